// The set-up the menu-scene tests share: an open 640 x 480 display, a fresh folder as the
// working folder, the globals the scenes read reset before and after, one pad that a
// test drives frame by frame, and the scene under test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/SceneManager.h"
#include "frontend/MenuCursor.h"
#include "gamedata/System.h"
#include "gfx/GfxTest.h"
#include "records/FrontendLinks.h"
#include "records/PlayRecord.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace fe {

template <class Scene>
class SceneFixture : public gfxtest::GfxFixture {
 protected:
  // The scene's own id is the current and the next scene; fades take 30 steps a frame.
  void SetUpScene(std::int32_t sceneId) {
    GfxFixture::SetUp();
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    ASSERT_TRUE(Open(mode_));
    ResetGlobals();
    g_Pads.assign(1, cPad());
    g_SceneManager.m_nScene = g_SceneManager.m_nNextScene = sceneId;
    g_SceneManager.m_nFadeSpeed = 30;
  }
  void TearDown() override {
    scene_.reset();
    g_SoundTable.clear();
    ResetGlobals();
    std::filesystem::current_path(oldDir_);
    GfxFixture::TearDown();
  }
  static void ResetGlobals() {
    g_System = cEdSystem();
    g_PlayRecord = cPlayRecord();
    g_MenuCursor.Reset();
    g_SaveSlots.assign(SAVE_SLOT_COUNT, cSaveSlotInfo());
    g_FrontendLinks = cFrontendLinks();
    g_SceneManager.m_nScene = g_SceneManager.m_nNextScene = g_SceneManager.m_nPrevScene = 0;
    g_SceneManager.m_nGameMode = g_SceneManager.m_nMenuChoice = g_SceneManager.m_bModeRanks = 0;
    g_SceneManager.m_nStageCursor = g_SceneManager.m_nStageScroll = 0;
  }

  // A new scene, run through its fade-in to its menu (phase 1).
  void StartScene() {
    scene_ = std::make_unique<Scene>();
    for (int i = 0; i < 20 && scene_->m_nPhase != 1; ++i) Frame();
    ASSERT_EQ(scene_->m_nPhase, 1);
  }
  // One frame with the pad holding these buttons and directions.
  void Frame(std::uint16_t buttons = 0, std::uint16_t dir = 0) {
    g_Pads[0].m_wButtons = buttons;
    g_Pads[0].m_wDirection = dir;
    scene_->Run();
  }
  // A fresh press of a button or a direction, after a frame with nothing held.
  void Press(std::uint16_t button = 1) {
    Frame();
    Frame(button);
  }
  void Move(std::uint16_t dir) {
    Frame();
    Frame(0, dir);
  }

  std::unique_ptr<Scene> scene_;
  gfxtest::Mode mode_ = gfxtest::Mode::DD32;  // the drawing mode SetUpScene opens
  std::filesystem::path oldDir_;
};

}  // namespace fe
