// The whole process from entry to exit code, each run in a child process of its own
// (fresh globals, its own folder and lock folder), headless.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "app/SceneHost.h"
#include "records/PlayRecord.h"
#include "app/WinMain.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "sound/BgmPlayer.h"
#include "stage/StageScene.h"
#include "test_support/EditorListener.h"
#include "test_support/SampleProject.h"
#include "test_support/TempDir.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string ReadNative(const std::string& path) {
  return plat::fs::readFile(plat::fs::fromNative(path)).value_or("<none>");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

struct PlayerRun {
  int exitCode = -1;  // -1: did not exit normally in time
  std::string stderrText;
};

// Runs PlayerMain in a child process inside dir. `before` runs in the child first (a
// test injects faults there); `during` runs on a thread of the child once the game
// thread has stepped a few frames (it is how a test closes the game).
PlayerRun RunPlayer(const std::string& dir, std::vector<std::pair<std::string, std::string>> env,
                    void (*during)() = nullptr, void (*before)() = nullptr) {
  std::string errPath = dir + "/stderr.txt";
  PlayerRun r;
  if (!test_support::CopySampleProject(dir, true)) {
    ADD_FAILURE() << "no sample project";
    return r;
  }
  pid_t pid = ::fork();
  if (pid == 0) {
    int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 2);
    if (::chdir(dir.c_str()) != 0) ::_exit(101);
    ::setenv("PELLMOOR_HEADLESS", "1", 1);
    ::setenv("PELLMOOR_DEBUG_LOG", "1", 1);
    ::setenv("PELLMOOR_LOCK_DIR", dir.c_str(), 1);
    ::unsetenv("PELLMOOR_SHOW_COMMAND");
    ::unsetenv("PELLMOOR_EDITOR_LINK");
    ::unsetenv("PELLMOOR_UI_SCRIPT");
    for (auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
    if (before) before();
    if (during) {
      std::uint32_t before = g_SceneHost.m_nFramesStepped.load();  // tests run earlier stepped some
      std::thread([during, before] {
        for (int i = 0; i < 5000 && g_SceneHost.m_nFramesStepped.load() < before + 3; ++i)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        during();
      }).detach();
    }
    char name[] = "pellmoor-player";
    char* argv[] = {name, nullptr};
    ::_exit(PlayerMain(1, argv));
  }
  int status = 0;
  for (int i = 0; i < 20000; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
      r.stderrText = ReadNative(errPath);
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  r.stderrText = ReadNative(errPath);
  return r;
}

void PushEscape() {
  SDL_Event ev{};
  ev.type = SDL_KEYDOWN;
  ev.key.keysym.sym = SDLK_ESCAPE;
  ev.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  SDL_PushEvent(&ev);
}

void PushCloseButton() {
  SDL_Event ev{};
  ev.type = SDL_WINDOWEVENT;
  ev.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&ev);
}

void RaiseTerm() { ::kill(::getpid(), SIGTERM); }

TEST(PlayerMain, EveryCloseRequestEndsTheGameInOrder) {
  struct Case {
    const char* what;
    void (*close)();
  };
  const Case cases[] = {{"Escape", &PushEscape}, {"close button", &PushCloseButton}, {"SIGTERM", &RaiseTerm}};
  for (const Case& c : cases) {
    test_support::TempDir dir;
    PlayerRun r = RunPlayer(dir.path(), {}, c.close);
    EXPECT_EQ(r.exitCode, 0) << c.what << "\n" << r.stderrText;
    EXPECT_EQ(Lines(ReadNative(dir.path() + "/Report_Game.txt")).at(0), "App : ver 513") << c.what;

    std::vector<std::string> lines = Lines(ReadNative(dir.path() + "/EC_Game.txt"));
    // The game thread logs its quit while the window thread waits in Exit.
    auto quit = std::find(lines.begin(), lines.end(), "GameLoop WM_QUIT!");
    ASSERT_NE(quit, lines.end()) << c.what;
    auto exitA = std::find(lines.begin(), lines.end(), "Exit A");
    auto exitD = std::find(lines.begin(), lines.end(), "Exit D");
    EXPECT_TRUE(exitA < quit && quit < exitD) << c.what;
    lines.erase(quit);
    // Start-up writes lines of its own between "H" and "I".
    ASSERT_GE(lines.size(), 2u) << c.what;
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 2), (std::vector<std::string>{"G", "H"}));
    auto initDone = std::find(lines.begin(), lines.end(), "I");
    const std::vector<std::string> expected = {
        "I",      "J",      "WM_CLOSE 成功！", "thPause.Exit()", "Exit A",       "Exit B",        "Exit C",
        "Exit D", "Exit E", "thGame.Exit()",   "WM_DESTROY",     "UnInitGame後", "ReleaseMutex後"};
    EXPECT_EQ(std::vector<std::string>(initDone, lines.end()), expected) << c.what;

    std::optional<plat::fs::InstanceLock> lock;  // released at the end
    EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), "ゲーム", lock), plat::fs::InstanceLock::Result::Acquired);
  }
}

TEST(PlayerMain, ASecondInstanceShowsTheBoxAndLeavesTheRunningGameAlone) {
  test_support::TempDir dir;
  std::optional<plat::fs::InstanceLock> running;
  ASSERT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), "ゲーム", running), plat::fs::InstanceLock::Result::Acquired);
  ASSERT_TRUE(plat::fs::writeFileAtomic(plat::fs::fromNative(dir.path() + "/Report_Game.txt"), "running\r\n"));
  PlayerRun r = RunPlayer(dir.path(), {{"PELLMOOR_UI_SCRIPT", "ok"}});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.stderrText.find(U8(u8"二重起動")), std::string::npos) << r.stderrText;
  EXPECT_NE(r.stderrText.find(U8(u8"既に起動しています")), std::string::npos) << r.stderrText;
  EXPECT_EQ(ReadNative(dir.path() + "/Report_Game.txt"), "running\r\n");
  EXPECT_EQ(ReadNative(dir.path() + "/EC_Game.txt"), "<none>");  // no window, no step logged
}

TEST(PlayerMain, AReportLogThatCannotBeMadeIsSaidAndEndsWithAFailure) {
  test_support::TempDir dir;
  // A folder where the report log would go: the log cannot be created.
  std::filesystem::create_directories(dir.path() + "/Report_Game.txt");
  PlayerRun r = RunPlayer(dir.path(), {{"PELLMOOR_UI_SCRIPT", "ok"}});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.exitCode, -1);  // it ended by itself
  EXPECT_NE(r.stderrText.find("Report_Game.txt"), std::string::npos) << r.stderrText;
}

using test_support::EditorListener;

TEST(PlayerMain, AFailedStartUpTellsTheEditorWithTheWindowAndEndsAsAFailure) {
  test_support::TempDir dir;
  EditorListener editor(dir.path() + "/editor.sock");
  ASSERT_TRUE(editor.bound());
  PlayerRun r = RunPlayer(
      dir.path(), {{"PELLMOOR_SHOW_COMMAND", "5"}, {"PELLMOOR_EDITOR_LINK", dir.path() + "/editor.sock"}}, nullptr, [] {
        // Neither drawing mode can start.
        plat::display::faults().createDevice = 2;
        plat::display::faults().directDrawStep = 1;
      });
  EXPECT_EQ(r.exitCode, 1) << r.stderrText;
  auto notices = editor.Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0][0], 1u);
  EXPECT_NE(notices[0][3], 0u);
  EXPECT_EQ(notices[1], (std::array<std::uint32_t, 4>{0, 4, 0, notices[0][3]}));  // failed, from the window's owner
}

TEST(PlayerMain, TheEditorIsToldOfStartAndEndOnlyWhenItStartedThePlayer) {
  for (const char* show : {"5", "1"}) {
    test_support::TempDir dir;
    EditorListener editor(dir.path() + "/editor.sock");
    ASSERT_TRUE(editor.bound());
    PlayerRun r =
        RunPlayer(dir.path(), {{"PELLMOOR_SHOW_COMMAND", show}, {"PELLMOOR_EDITOR_LINK", dir.path() + "/editor.sock"}},
                  &PushEscape);
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    auto notices = editor.Notices();
    if (std::string(show) == "5") {
      ASSERT_EQ(notices.size(), 2u);
      EXPECT_EQ(notices[0][0], 1u);  // started, with the player's window
      EXPECT_EQ(notices[0][1], 4u);
      EXPECT_EQ(notices[0][2], 1u);
      EXPECT_NE(notices[0][3], 0u);
      EXPECT_EQ(notices[1], (std::array<std::uint32_t, 4>{0, 4, 1, 0}));  // ended normally, from WM_DESTROY
    } else {
      EXPECT_TRUE(notices.empty());
    }
  }
}

TEST(PlayerMain, ADirect3DDeviceThatCannotBeMadeGivesDirectDrawInTheSameMode) {
  test_support::TempDir dir;
  PlayerRun r = RunPlayer(dir.path(), {}, &RaiseTerm, [] { plat::display::faults().createDevice = 2; });
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  const std::string report = ReadNative(dir.path() + "/Report_Game.txt");
  // The display block of DirectDraw: same window and depth, video memory instead of devices.
  EXPECT_NE(report.find("\r\nMode : Window\r\nBpp : 32\r\nVRAM Total : "), std::string::npos) << report;
  EXPECT_EQ(report.find("---"), std::string::npos) << report;
}

// Stage music asked for as the stage scene does, through nothing but what start-up
// installed: the number lands in the play record and the loop flag is read from it.
TEST(PlayerMain, StageMusicRequestsGoThroughTheLinksOfStartUp) {
  test_support::TempDir dir;
  PlayerRun r = RunPlayer(dir.path(), {}, [] {
    {
      cStageScene stage;
      // Sample music 3 is the stage song, 2 the world map's; 0 stops.
      for (auto [n, loop] : {std::pair{3, 1}, std::pair{2, 0}, std::pair{0, 1}}) {
        stage.RequestBgm(n, loop);
        std::lock_guard lock(g_BgmPlayer.m_Lock);
        cMidiPlayer* midi = g_BgmPlayer.m_Midi.m_lpPlayers.empty() ? nullptr : g_BgmPlayer.m_Midi.m_lpPlayers[0].get();
        int loopFlag = -1, state = -1;
        if (midi) {
          std::lock_guard midiLock(midi->m_Lock);
          loopFlag = midi->m_bLoop;
          state = midi->m_nState;
        }
        std::fprintf(stderr, "stage music %d: record %d, file %s, loop %d, state %d\n", n,
                     static_cast<int>(g_PlayRecord.m_nStageBgm), g_BgmMidiNames[4], loopFlag, state);
      }
    }
    PushEscape();
  });
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  for (const char* line : {"stage music 3: record 3, file bgm\\Stage.mid, loop 1, state 1",
                           "stage music 2: record 2, file bgm\\WorldMap.mid, loop 0, state 1",
                           "stage music 0: record 0, file , loop 0, state 0"})
    EXPECT_NE(r.stderrText.find(line), std::string::npos) << line << "\n" << r.stderrText;
}

}  // namespace
