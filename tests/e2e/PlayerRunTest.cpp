// The player binary in a fresh copy of the sample project: the first start asks to make
// the game data from the default data, runs frames, and closes in order on a close
// request with exit code 0; the logs tell the start-up and the shutdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "platform/cp932.h"
#include "ui/BootDialog.h"
#include "test_support/TempDir.h"

namespace {

using e2e::fs::path;

// The system's texts are Shift-JIS literals; the logs and boxes are compared as UTF-8.
std::string U8(const char* cp932) { return plat::cp932::toUtf8(cp932); }

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// The lines appear in this order (others may come between).
::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& lines) {
  std::size_t at = 0;
  for (const std::string& line : lines) {
    std::size_t found = text.find(line + "\n", at);
    if (found == std::string::npos) return ::testing::AssertionFailure() << "missing or out of order: " << line;
    at = found + line.size();
  }
  return ::testing::AssertionSuccess();
}

class PlayerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = e2e::FreshSampleCopy(tmp_.path());
    ASSERT_FALSE(game_.empty()) << "the sample project could not be made";
  }

  path Work() const { return path(tmp_.path()) / "work"; }

  // Runs until n frames were shown, then closes it as the user does.
  void RunFramesAndClose(e2e::PlayerProcess& player, int frames) {
    ASSERT_TRUE(player.Started());
    ASSERT_TRUE(player.WaitForFrames(frames, 60000)) << player.Stderr();
    peakKb_ = player.PeakResidentKb();
    player.RequestClose();
    std::optional<int> code = player.Wait(30000);
    ASSERT_TRUE(code.has_value()) << "did not end by itself after the close request";
    EXPECT_EQ(0, *code);
  }

  test_support::TempDir tmp_;
  path game_;
  long peakKb_ = 0;
};

TEST_F(PlayerRun, FirstStartMakesTheDataRunsAndClosesInOrder) {
  ASSERT_FALSE(e2e::fs::exists(game_ / "data"));
  const auto defaults = e2e::Snapshot(game_ / "default");
  e2e::PlayerProcess player(game_, Work(), {.args = {}, .uiAnswers = {"yes"}, .env = {}});
  RunFramesAndClose(player, 120);

  // The figures of a run, for the record; they are measured, not judged, here.
  if (std::optional<long> first = player.FirstFrameAfterMs()) {
    RecordProperty("first_frame_ms", static_cast<int>(*first));
    RecordProperty("peak_resident_kb", static_cast<int>(peakKb_));
    std::printf("start-up to the first frame: %ld ms; peak resident memory: %ld kB\n", *first, peakKb_);
  }

  EXPECT_EQ(defaults, e2e::Snapshot(game_ / "data")) << "the data folder is a copy of the default data";
  const std::string err = player.Stderr();
  EXPECT_EQ(1, CountOf(err, "[message box]")) << err;
  EXPECT_EQ(1, CountOf(err, U8("データが存在しません！デフォルトデータを作成しますか？"))) << err;

  const std::string report = e2e::ReadLogUtf8(game_ / "Report_Game.txt");
  EXPECT_EQ(0u, report.find("App : ver 513\nOS : ")) << report;
  for (const char* key : {"\nCPU : ", "\nMem Total : ", "\nMem Free : ", "\nVir Total : ", "\nVir Free : ",
                          "\nHD Free : ", "\nMode : Window\nBpp : 32\n", "\nTextureMem : ", "\nDDI : "}) {
    EXPECT_NE(std::string::npos, report.find(key)) << key << " in\n" << report;
  }

  const std::string debug = e2e::ReadLogUtf8(game_ / "EC_Game.txt");
  EXPECT_TRUE(InOrder(debug, {"G", "H", U8("DDInit成功"), "I", "J", U8("WM_CLOSE 成功！"), "thPause.Exit()",
                              "thGame.Exit()", "WM_DESTROY", U8("UnInitGame後"), U8("ReleaseMutex後")}))
      << debug;
}

TEST_F(PlayerRun, TestPlaysTheNewestVariantOfTheStageOnTheCommandLine) {
  e2e::CopyDefaultToData(game_);
  // Only _001 exists; the name on the command line asks for _000.
  e2e::PlayerProcess player(game_, Work(), {.args = {"data\\stg4\\Stage01-1.stg4_000"}, .uiAnswers = {}, .env = {}});
  RunFramesAndClose(player, 30);
  const std::string err = player.Stderr();
  EXPECT_EQ(0, CountOf(err, "[message box]")) << err;
  const std::string report = e2e::ReadLogUtf8(game_ / "Report_Game.txt");
  EXPECT_EQ(std::string::npos, report.find(U8("の読み込みに失敗"))) << report;
}

TEST_F(PlayerRun, AStageFileThatIsNowhereLeadsToTheTitle) {
  e2e::CopyDefaultToData(game_);
  e2e::PlayerProcess player(game_, Work(), {.args = {"data\\stg4\\Nothing.stg4"}, .uiAnswers = {}, .env = {}});
  RunFramesAndClose(player, 30);
  const std::string report = e2e::ReadLogUtf8(game_ / "Report_Game.txt");
  EXPECT_NE(std::string::npos, report.find(U8("「data\\stg4\\Nothing.stg4」の読み込みに失敗しました！\n"))) << report;
  EXPECT_EQ(0, CountOf(player.Stderr(), "[message box]"));
}

TEST_F(PlayerRun, WithoutSystemIniTheDefaultsApplyAfterTheBox) {
  e2e::CopyDefaultToData(game_);
  e2e::fs::remove(game_ / "System.ini");
  e2e::PlayerProcess player(game_, Work(), {.args = {}, .uiAnswers = {"ok"}, .env = {}});
  RunFramesAndClose(player, 30);
  const std::string err = player.Stderr();
  EXPECT_EQ(1, CountOf(err, U8("System.ini の読み込みに失敗しました！"))) << err;
  const std::string report = e2e::ReadLogUtf8(game_ / "Report_Game.txt");
  // The project's defaults: Direct3D in a window at the desktop's depth.
  EXPECT_NE(std::string::npos, report.find("\nMode : Window\nBpp : 32\n")) << report;
}

TEST_F(PlayerRun, DirectDrawFullScreenShowsTheProjectsPaletteIn256Colours) {
  e2e::CopyDefaultToData(game_);
  ASSERT_TRUE(e2e::WriteFile(game_ / "System.ini", "Direct3D=0\nWindowMode=0\nBpp=0\nVSync=2\nShowFps=0\nExit\n"));
  e2e::PlayerProcess player(game_, Work(), {.args = {}, .uiAnswers = {}, .env = {}});
  RunFramesAndClose(player, 30);
  EXPECT_EQ(0, CountOf(player.Stderr(), "[message box]")) << player.Stderr();
  const std::string report = e2e::ReadLogUtf8(game_ / "Report_Game.txt");
  EXPECT_NE(std::string::npos, report.find("\nMode : Fullscreen\nBpp : 8\nVRAM Total : ")) << report;
  EXPECT_NE(std::string::npos, report.find("\nRR : 60\n")) << report;
}

// "Direct3D=2" leaves the drawing mode to the user: the start-up choice kept in
// "user_data\Boot.dat" (here with the dialog switched off) decides it, and the depth
// follows the mode: full screen at automatic depth, the palette project's DirectDraw opens
// 256 colours, Direct3D 32 bits.
TEST_F(PlayerRun, TheUsersStartUpChoicePicksTheDrawingModeAndItsDepth) {
  struct Case {
    int drawMode;
    const char* want;    // in the report
    const char* absent;  // not in it
  } cases[] = {
      {0, "\nMode : Fullscreen\nBpp : 8\nVRAM Total : ", "\nTextureMem : "},
      {1, "\nMode : Fullscreen\nBpp : 32\nSDL ", "\nVRAM Total : "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drawMode);
    const path dir = path(tmp_.path()) / ("mode" + std::to_string(c.drawMode));
    e2e::fs::create_directories(dir);
    const path game = e2e::FreshSampleCopy(dir);
    ASSERT_FALSE(game.empty());
    e2e::CopyDefaultToData(game);
    ASSERT_TRUE(e2e::WriteFile(game / "System.ini", "Direct3D=2\nWindowMode=0\nBpp=0\nVSync=2\nShowFps=0\nExit\n"));
    cBoot boot;
    boot.m_nDrawMode = c.drawMode;
    boot.m_bNoShow = 1;
    e2e::fs::create_directories(game / "user_data");
    ASSERT_TRUE(boot.SaveToFile((game / "user_data" / "Boot.dat").string()));
    e2e::PlayerProcess player(game, dir / "work", {.args = {}, .uiAnswers = {}, .env = {}});
    RunFramesAndClose(player, 30);
    EXPECT_EQ(0, CountOf(player.Stderr(), "[message box]")) << player.Stderr();
    const std::string report = e2e::ReadLogUtf8(game / "Report_Game.txt");
    EXPECT_NE(std::string::npos, report.find(c.want)) << report;
    EXPECT_EQ(std::string::npos, report.find(c.absent)) << report;
  }
}

}  // namespace
