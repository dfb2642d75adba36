// Shared set-up of the front-end record tests: a fresh folder with the user's folders,
// and the globals these records read (system settings, world map, links, play record)
// put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include "records/FrontendLinks.h"
#include "gamedata/DataFile.h"
#include "gamedata/PaletteFixture.h"
#include "records/PlayRecord.h"
#include "gamedata/RecordTestUtil.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "platform/fs.h"

namespace fe {

// A WAV of a few silent 16-bit samples, for sound tables the menus play from.
inline std::string SilentWav() {
  rt::Bytes b;
  b.bytes("RIFF").u32(36 + 8).bytes("WAVE").bytes("fmt ").u32(16);
  const std::int16_t format[2] = {1, 1};
  b.raw(format, 4).u32(22050).u32(44100);
  const std::int16_t align[2] = {2, 16};
  b.raw(align, 4).bytes("data").u32(8).u32(0).u32(0);
  return b.s;
}

// A stage file with a hero that loads and can be played, written as the first numbered
// copy of stem ("<stem>_001"); the stem is what a map point or the stage list names.
inline void WritePlayableStage(const std::string& stem) {
  rt::PaletteRefs refs;
  const cDataRefs* before = &DataRefs();
  SetDataRefs(&refs);
  cEdStage s;
  s.m_nWidth = 20;
  s.m_nHeight = 15;
  cEdChara& hero = s.m_Charas.emplace_back();
  hero.m_nOperator = 0;
  hero.m_nImage = 1;
  s.m_Blocks.resize(2);
  s.m_Backgrounds.resize(2);
  cDataWriter out;
  out.WriteU32(CURRENT_DATA_VERSION);
  s.Save(out);
  SetDataRefs(before);
  EXPECT_TRUE(plat::fs::writeFileAtomic(stem + "_001", out.Bytes()));
  plat::fs::invalidateCache();
}

class FrontendFixture : public rt::RecordFixture {
 protected:
  void SetUp() override {
    rt::RecordFixture::SetUp();
    for (const char* dir :
         {"user_data", "user_data\\story", "user_data\\challenge", "user_data\\free", "user_data\\rpl4"}) {
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
