// Shared set-up of the front-end record tests: a fresh folder with the user's folders,
// and the globals these records read (system settings, world map, links, play record)
// put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include "frontend/FrontendLinks.h"
#include "frontend/PlayRecord.h"
#include "gamedata/RecordTestUtil.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "platform/fs.h"

namespace fe {

class FrontendFixture : public rt::RecordFixture {
 protected:
  void SetUp() override {
    rt::RecordFixture::SetUp();
    for (const char* dir : {"user_data", "user_data\\story", "user_data\\challenge", "user_data\\free",
                            "user_data\\rpl4"}) {
      ASSERT_TRUE(plat::fs::makeDirectory(dir));
    }
    Restore();
  }
  void TearDown() override {
    Restore();
    rt::RecordFixture::TearDown();
  }
  static void Restore() {
    g_System = cEdSystem();
    g_WorldMap = cEdWorldMap();
    g_FrontendLinks = cFrontendLinks();
    g_PlayRecord = cPlayRecord();
    g_SaveSlots.assign(SAVE_SLOT_COUNT, cSaveSlotInfo());
  }
  // The links read game mode and test play from these.
  void LinkMode() {
    g_FrontendLinks.gameMode = [this] { return mode_; };
    g_FrontendLinks.testPlay = [this] { return testPlay_; };
  }

  int mode_ = 0;
  int testPlay_ = 0;
};

}  // namespace fe
