// Shared by the dialog tests: a headless run in a folder of its own, answers from the
// scripted responder, and the state the dialogs read put back afterwards.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/SceneManager.h"
#include "gamedata/Option.h"
#include "gfx/DDInit.h"
#include "platform/fs.h"
#include "platform/input.h"
#include "platform/modal_ui.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "test_support/TempDir.h"
#include "ui/Hook.h"
#include "ui/NameEntryDialog.h"

namespace dialogtest {

class DialogFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::sys::LaunchParams p = plat::sys::launch();
    p.headless = true;
    plat::sys::setLaunch(p);
    plat::this_thread::resetQueue();
    plat::ui_script::reset();
    plat::input::InputProbe::reset();
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    std::filesystem::create_directories("user_data");
    plat::fs::invalidateCache();
    g_Option.SetDefaults();
    g_SceneManager.m_nMenuChoice = 0;
    SetStageRankNameSource(nullptr);
    g_DDState.bWindowed = 1;
  }
  void TearDown() override {
    ReleaseKeyboardHook();
    plat::ui_script::reset();
    plat::input::InputProbe::reset();
    SetStageRankNameSource(nullptr);
    g_SceneManager.m_nMenuChoice = 0;
    if (video_) {
      window_.discard();
      plat::videoQuit();
    }
    std::filesystem::current_path(oldCwd_);
    plat::fs::invalidateCache();
    plat::this_thread::resetQueue();
  }
  // The window system (dummy display) and a main window at (x, y) of the screen.
  void OpenMainWindow(int x, int y) {
    ASSERT_TRUE(plat::videoInit());
    video_ = true;
    ASSERT_TRUE(window_.create(640, 480, x, y, [](plat::WindowToken, const plat::Msg&) -> std::intptr_t { return 0; }));
  }
  static void Script(const char* text) {
    auto r = plat::ui_script::parse(text);
    ASSERT_TRUE(r) << text;
    for (auto& one : *r) plat::ui_script::push(std::move(one));
  }

  test_support::TempDir dir_;
  std::filesystem::path oldCwd_;
  bool video_ = false;
  plat::MainWindow window_;
};

}  // namespace dialogtest
