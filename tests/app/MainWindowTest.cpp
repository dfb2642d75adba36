// The main window on the real two threads: the test thread is the window thread and
// pumps; the game thread and the workers send their requests as the game does.
#include "app/MainWindow.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "base/Failure.h"
#include "app/DialogRequests.h"
#include "app/SceneHost.h"
#include "app/SceneFactory.h"
#include "base/AppMessages.h"
#include "base/Thread.h"
#include "app/WinMain.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/sys.h"
#include "platform/modal_ui.h"
#include "sound/BgmPlayer.h"
#include "sound/SoundTable.h"
#include "stage/StageScene.h"
#include "test_support/EditorListener.h"
#include "test_support/Graphics.h"
#include "test_support/LogCapture.h"
#include "test_support/WaitFor.h"
#include "ui/DialogRequests.h"
#include "ui/Pad.h"

namespace {

using test_support::WaitFor;

// A worker that runs until it is told to quit.
unsigned UntilQuit(void*) {
  plat::Msg m;
  for (;;) {
    if (plat::this_thread::peek(m) && m.id == plat::wm::Quit) return 1;
    plat::this_thread::relax();
  }
}

class MainWindowTest : public test_support::LogCapture {
 protected:
  void SetUp() override {
    LogCapture::SetUp();
    plat::this_thread::resetQueue();
    ASSERT_TRUE(plat::videoInit());
    ASSERT_TRUE(g_MainWindow.Create(640, 480, 100, 100));
    g_hWnd = g_MainWindow.m_hWnd;
    g_SoundTable.resize(17);
    g_nExitStatus = 0;
  }
  void TearDown() override {
    for (cThread* t : {&thGame, &thPause, &thRanking, &thLoad}) t->Exit();
    g_MainWindow.m_Window.discard();
    plat::setPresentHook(nullptr);
    plat::videoQuit();
    plat::this_thread::resetQueue();
    g_hWnd = 0;
    g_bActive = 0;
    g_bFromEditor = 0;
    g_SoundTable.clear();
    g_BgmRequestLinks = cBgmRequestLinks{};
    g_SceneHost.DeleteAllScenes();
    g_SceneHost.m_lpFactory = nullptr;
    g_SceneManager.m_nScene = 0;
    graphics_.Close();
    LogCapture::TearDown();
  }
  // The window thread's loop until the quit (true) or a time limit (false).
  static bool PumpUntilQuit(int limitMs = 10000) {
    plat::Millis start = plat::systemNowMs();
    while (plat::systemNowMs() - start < static_cast<plat::Millis>(limitMs))
      if (plat::pumpOne(true) == plat::Pump::Quit) return true;
    return false;
  }
  static bool PumpUntil(const std::function<bool()>& pred, int limitMs = 10000) {
    plat::Millis start = plat::systemNowMs();
    while (!pred()) {
      if (plat::systemNowMs() - start >= static_cast<plat::Millis>(limitMs)) return false;
      if (plat::pumpOne(false) == plat::Pump::Empty) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
  }
  // The close sequence's lines with the game thread's own quit line taken out.
  std::vector<std::string> CloseLines() {
    std::vector<std::string> lines = DebugLines();
    std::erase(lines, std::string("GameLoop WM_QUIT!"));
    return lines;
  }
  static std::vector<std::string> ExitLines() { return {"Exit A", "Exit B", "Exit C", "Exit D", "Exit E"}; }

  test_support::Graphics graphics_;
};

// The requests and what each leaves behind for its sender.
struct Request {
  const char* what;
  std::uint32_t id;
  std::uintptr_t w;
  std::intptr_t l;
  std::function<void()> before;  // on the game thread, before sending
  std::function<int()> observe;  // on the game thread, right after the send returned
  int expected;
};

std::atomic<int> g_StageBgm{-1};
std::atomic<int> g_StageBgmCount{0};

TEST_F(MainWindowTest, EachPrivateRequestIsServedBeforeItsSenderGoesOn) {
  ASSERT_TRUE(graphics_.Open(true, false));
  g_BgmRequestLinks.setStageBgm = [](int n) {
    g_StageBgm = n;
    ++g_StageBgmCount;
  };
  auto fileRequest = [] { return g_bDialogDone.load() * 10 + g_bDialogResult.load(); };
  static std::vector<Request> requests;
  requests = {
      {"name entry", appmsg::NameEntry, 0, 0, [] { g_bNameDone = 0; }, [] { return g_bNameDone.load(); }, 1},
      {"stage file, cancelled", appmsg::StageFileDialog, 0, 0, [] { g_bDialogDone = 0; }, fileRequest, 10},
      {"replay file, cancelled", appmsg::ReplayFileDialog, 0, 0, [] { g_bDialogDone = 0; }, fileRequest, 10},
      {"replay save of the current log, cancelled", appmsg::ReplaySaveDialog, 0, 0, [] { g_bDialogDone = 0; },
       fileRequest, 10},
      {"replay save of the previous log, cancelled", appmsg::ReplaySaveDialog, 1, 0, [] { g_bDialogDone = 0; },
       fileRequest, 10},
      {"stage music 7", appmsg::PlayMusic, appmsg::MusicStage, 7, nullptr, [] { return g_StageBgm.load(); }, 7},
      {"stage music 0 stops", appmsg::PlayMusic, appmsg::MusicStage, 0, nullptr, [] { return g_StageBgm.load(); }, 0},
      {"device reset", appmsg::RestoreSurfaces, 0, 0, [] { plat::display::injectLoss(); },
       [] { return plat::display::deviceLost() ? 0 : 1; }, 1},
      {"sound past the table: logged, closes", appmsg::PlaySound, 40, 0, nullptr, [] { return 0; }, 0},
  };
  static std::vector<int> observed;
  static std::atomic<int> closesSeen;
  static std::atomic<int>* closes;
  closesSeen = -1;
  closes = &closes_;
  observed.clear();
  ASSERT_EQ(thGame.Start(
                [](void*) -> unsigned {
                  for (const Request& r : requests) {
                    if (r.before) r.before();
                    plat::send(g_hWnd.load(), plat::Msg{r.id, r.w, r.l});
                    observed.push_back(r.observe());
                  }
                  closesSeen = closes->load();
                  return 1;
                },
                nullptr),
            1);
  // The last request asks the game to close: the window thread ends in order.
  ASSERT_TRUE(PumpUntilQuit());
  ASSERT_EQ(observed.size(), requests.size());
  for (std::size_t i = 0; i < requests.size(); ++i) EXPECT_EQ(observed[i], requests[i].expected) << requests[i].what;
  EXPECT_EQ(closesSeen.load(), 1);
  EXPECT_NE(Report().find("err V[40] ( 17 , "), std::string::npos) << Report();
  EXPECT_EQ(g_hWnd.load(), 0u);
  EXPECT_TRUE(thGame.m_hThread.hasEnded() || !thGame.HasThread());
}

TEST_F(MainWindowTest, TheSenderPollsTheDoneFlagOfADialogRequest) {
  static std::atomic<std::intptr_t> sent{-1};
  ASSERT_EQ(thGame.Start(
                [](void*) -> unsigned {
                  g_bDialogDone = 7;
                  sent = SendDialogRequest(appmsg::ReplayFileDialog, 0, g_bDialogDone);
                  return 1;
                },
                nullptr),
            1);
  ASSERT_TRUE(PumpUntil([] { return thGame.m_hThread.hasEnded(); }));
  EXPECT_EQ(sent.load(), 0);
  EXPECT_EQ(g_bDialogDone.load(), 1);
  EXPECT_EQ(g_bDialogResult.load(), 0);
}

// Confirm held as a dialog opens (the ranking name asked on confirm) and let go while
// it is up: the first press after it closes acts at once, for buttons and directions.
TEST_F(MainWindowTest, TheFirstPressAfterADialogActsAtOnce) {
  static std::atomic<int> buttons{-1}, direction{-1};
  plat::input::InputProbe::reset();
  // Inside the file chooser the player lets go of Z and of Up, then cancels.
  plat::ui_script::pushCall([](plat::ui::Dialog& d) {
    plat::input::InputProbe::setKey('Z', false);
    plat::input::InputProbe::setKey(plat::vk::Up, false);
    d.requestClose();
  });
  ASSERT_EQ(thGame.Start(
                [](void*) -> unsigned {
                  cPad& pad = g_Pads[0];
                  pad.SetRepeat(18, 6);
                  plat::input::InputProbe::setKey('Z', true);
                  plat::input::InputProbe::setKey(plat::vk::Up, true);
                  g_SceneHost.UpdateInput(g_Pads);
                  pad.PressOnce(0);
                  pad.ApplyRepeat();
                  SendDialogRequest(appmsg::ReplayFileDialog, 0, g_bDialogDone);
                  // The next frame: both pressed again.
                  plat::input::InputProbe::setKey('Z', true);
                  plat::input::InputProbe::setKey(plat::vk::Up, true);
                  g_SceneHost.UpdateInput(g_Pads);
                  pad.PressOnce(0);
                  pad.ApplyRepeat();
                  buttons = pad.m_wButtons;
                  direction = pad.m_wDirection;
                  return 1;
                },
                nullptr),
            1);
  ASSERT_TRUE(PumpUntil([] { return thGame.m_hThread.hasEnded(); }));
  plat::input::InputProbe::reset();
  EXPECT_EQ(1, buttons.load());
  EXPECT_EQ(cPad::DirUp, direction.load());
}

// Stage play whose first play frame waits for a message on thPause, as a message of
// the stage does; afterwards it plays on.
class PausingStage : public cStageScene {
 public:
  void Run() override {
    if (!paused_) {
      paused_ = true;
      thPause.Start(&UntilQuit, nullptr);
      thPause.Wait();
      return;
    }
    cStageScene::Run();
  }

 private:
  bool paused_ = false;
};

TEST_F(MainWindowTest, ACloseWhileThPauseRunsSetsTheStageFlagAndTheNextPlayFrameCloses) {
  g_SceneHost.m_lpFactory = [](std::int32_t id) -> std::unique_ptr<cScene> {
    return id == SCENE_STAGE ? std::make_unique<PausingStage>() : nullptr;
  };
  g_SceneManager.m_nScene = SCENE_STAGE;
  g_MainWindow.Show(plat::sw::Normal);  // headless: showing activates
  EXPECT_EQ(g_bActive.load(), 1);
  ASSERT_EQ(thGame.Start(&GameLoop, nullptr), 1);
  ASSERT_TRUE(PumpUntil([] { return thPause.HasThread(); }));
  PostCloseRequest();
  ASSERT_TRUE(PumpUntilQuit());

  ASSERT_NE(g_StageScene.load(), nullptr);
  EXPECT_EQ(g_StageScene.load()->m_bQuit.load(), 1);
  EXPECT_GE(closes_, 2);  // ours, then stage play's (every play frame until it is stopped)
  std::vector<std::string> expected = {"WM_CLOSE thPause.m_hThread", "WM_CLOSE 成功！", "thPause.Exit()"};
  for (const std::string& l : ExitLines()) expected.push_back(l);
  expected.insert(expected.end(), {"thGame.Exit()", "WM_DESTROY"});
  EXPECT_EQ(CloseLines(), expected);
  EXPECT_FALSE(thPause.HasThread());
}

std::atomic<bool> g_bRankingStopped{false};

unsigned RankingUntilQuit(void* arg) {
  const unsigned result = UntilQuit(arg);
  g_bRankingStopped = true;
  return result;
}

// Stage play that starts a message wait on thPause only once the close sequence has
// stopped the workers (the ranking display is stopped after thPause).
class LateWaitStage : public cStageScene {
 public:
  void Run() override {
    if (started_ || !g_bRankingStopped.load()) return;
    started_ = true;
    thPause.Start(&UntilQuit, nullptr);
    thPause.Wait();
  }

 private:
  bool started_ = false;
};

TEST_F(MainWindowTest, ASubLoopStartedWhileTheWindowClosesDoesNotOutliveIt) {
  g_bRankingStopped = false;
  g_SceneHost.m_lpFactory = [](std::int32_t id) -> std::unique_ptr<cScene> {
    return id == SCENE_STAGE ? std::make_unique<LateWaitStage>() : nullptr;
  };
  g_SceneManager.m_nScene = SCENE_STAGE;
  g_MainWindow.Show(plat::sw::Normal);
  ASSERT_EQ(thRanking.Start(&RankingUntilQuit, nullptr), 1);
  const std::uint32_t before = g_SceneHost.m_nFramesStepped.load();
  ASSERT_EQ(thGame.Start(&GameLoop, nullptr), 1);
  ASSERT_TRUE(PumpUntil([&] { return g_SceneHost.m_nFramesStepped.load() >= before + 3; }));
  PostCloseRequest();
  ASSERT_TRUE(PumpUntilQuit());
  EXPECT_TRUE(g_bRankingStopped.load());
  EXPECT_FALSE(thGame.HasThread());
  EXPECT_FALSE(thPause.HasThread());
}

TEST_F(MainWindowTest, TheCloseSequenceStopsEveryWorkerInOrderWhateverAskedForIt) {
  struct Case {
    const char* what;
    std::function<void()> close;
  };
  const Case cases[] = {
      {"a close request", [] { PostCloseRequest(); }},
      {"the Escape key",
       [] {
         SDL_Event ev{};
         ev.type = SDL_KEYDOWN;
         ev.key.windowID = SDL_GetWindowID(g_MainWindow.m_Window.sdlWindow());
         ev.key.keysym.sym = SDLK_ESCAPE;
         ev.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
         SDL_PushEvent(&ev);
       }},
  };
  for (const Case& c : cases) {
    if (&c != cases) SetUp();  // every case closes the window
    SetDebugLog(1, root_ + "\\EC_" + std::to_string(&c - cases) + ".txt");
    g_MainWindow.Show(plat::sw::Normal);
    ASSERT_EQ(thLoad.Start(&UntilQuit, nullptr), 1);
    ASSERT_EQ(thRanking.Start(&UntilQuit, nullptr), 1);
    const std::uint32_t before = g_SceneHost.m_nFramesStepped.load();
    ASSERT_EQ(thGame.Start(&GameLoop, nullptr), 1);
    // Frames run (the title has asked for its music): the game thread waits for nothing.
    ASSERT_TRUE(PumpUntil([&] { return g_SceneHost.m_nFramesStepped.load() >= before + 3; })) << c.what;
    c.close();
    ASSERT_TRUE(PumpUntilQuit()) << c.what;
    // The title finds no pictures in this folder and may end the game as a failure first:
    // the quit carries the status the game set.
    EXPECT_EQ(plat::this_thread::quitCode(), g_nExitStatus.load()) << c.what;
    std::vector<std::string> expected = {"WM_CLOSE 成功！"};
    for (int worker = 0; worker < 2; ++worker)
      for (const std::string& l : ExitLines()) expected.push_back(l);
    expected.push_back("thPause.Exit()");
    for (const std::string& l : ExitLines()) expected.push_back(l);
    expected.insert(expected.end(), {"thGame.Exit()", "WM_DESTROY"});
    std::vector<std::string> lines = DebugLinesOf("\\EC_" + std::to_string(&c - cases) + ".txt");
    EXPECT_EQ(std::erase(lines, std::string("GameLoop WM_QUIT!")), 1u) << c.what;  // ended by the quit
    EXPECT_EQ(lines, expected) << c.what;
    for (cThread* t : {&thGame, &thRanking, &thLoad}) EXPECT_FALSE(t->HasThread()) << c.what;
    EXPECT_EQ(g_hWnd.load(), 0u) << c.what;
    EXPECT_EQ(g_MainWindow.m_hWnd, 0u) << c.what;
    TearDown();
  }
  SetUp();  // for the fixture's own TearDown
}

TEST_F(MainWindowTest, TheEditorHearsTheEndOnlyWhenItStartedThePlayer) {
  test_support::EditorListener editor(dir_.path() + "/editor.sock");
  ASSERT_TRUE(editor.bound());
  plat::sys::LaunchParams p = plat::sys::launch();
  p.editorLink = dir_.path() + "/editor.sock";
  plat::sys::setLaunch(p);
  const std::uint32_t token = g_MainWindow.m_hWnd;
  g_MainWindow.NotifyEditorStart();
  g_MainWindow.NotifyEditorExit(0);  // what a failed start-up sends
  using Notice = std::array<std::uint32_t, 4>;
  EXPECT_EQ(editor.Notices(), (std::vector<Notice>{{1, 4, 1, token}, {0, 4, 0, token}}));

  g_bFromEditor = 0;
  g_MainWindow.Destroy();
  EXPECT_TRUE(editor.Notices().empty());
  SetUp();
  g_bFromEditor = 1;
  g_MainWindow.Destroy();  // closed while start-up runs: start-up tells the editor
  EXPECT_TRUE(editor.Notices().empty());
  SetUp();
  g_bInitDone = 1;
  g_MainWindow.Destroy();  // a normal end, told with no window
  g_bInitDone = 0;
  EXPECT_EQ(editor.Notices(), (std::vector<Notice>{{0, 4, 1, 0}}));
  g_MainWindow.NotifyEditorExit(1);  // told once
  EXPECT_TRUE(editor.Notices().empty());
  p.editorLink.clear();
  plat::sys::setLaunch(p);
}

TEST_F(MainWindowTest, OrdinaryWindowMessagesKeepTheSharedValues) {
  const plat::WindowToken w = g_MainWindow.m_hWnd;
  EXPECT_EQ(g_MainWindow.WindowProc(w, plat::Msg{plat::wm::ActivateApp, 1, 0}), 0);
  EXPECT_EQ(g_bActive.load(), 1);
  EXPECT_EQ(g_MainWindow.WindowProc(w, plat::Msg{plat::wm::ActivateApp, 0, 0}), 0);
  EXPECT_EQ(g_bActive.load(), 0);

  g_MainWindow.m_Window.moveTo(150, 120);
  g_MainWindow.WindowProc(w, plat::Msg{plat::wm::Move, 0, 0});
  const plat::Rect client = g_MainWindow.m_Window.clientRectOnScreen();
  const plat::Rect seen = g_MainWindow.ClientRectOnScreen();
  EXPECT_EQ(seen.left, client.left);
  EXPECT_EQ(seen.bottom - seen.top, 480);

  MINMAXINFO mmi{};
  g_MainWindow.WindowProc(w, plat::Msg{plat::wm::GetMinMaxInfo, 0, reinterpret_cast<std::intptr_t>(&mmi)});
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 640 + 2 * plat::frameMetrics().dlgFrameX);

  // Keys other than Escape, commands and clicks ask for nothing.
  for (std::uint32_t id : {std::uint32_t{plat::wm::KeyDown}, std::uint32_t{plat::wm::Command},
                           std::uint32_t{plat::wm::LButtonDown}, std::uint32_t{plat::wm::PaletteChanged}})
    EXPECT_EQ(g_MainWindow.WindowProc(w, plat::Msg{id, 'Z', 0}), 0);
  EXPECT_EQ(closes_, 0);
  g_MainWindow.WindowProc(w, plat::Msg{plat::wm::KeyDown, plat::vk::Escape, 0});
  EXPECT_EQ(closes_, 1);
}

TEST_F(MainWindowTest, TenThousandMixedRequestsFromTwoThreadsAreAllServed) {
  constexpr int kEach = 5000;
  g_BgmRequestLinks.setStageBgm = [](int n) {
    g_StageBgm = n;
    ++g_StageBgmCount;
  };
  g_StageBgmCount = 0;
  static std::atomic<int> gameSends{0}, workerSends{0}, musicSends{0}, unfinished{0};
  gameSends = workerSends = musicSends = unfinished = 0;
  ASSERT_EQ(thGame.Start(
                [](void*) -> unsigned {
                  for (int i = 0; i < kEach; ++i) {
                    const std::uint32_t kinds[] = {
                        appmsg::NameEntry, appmsg::StageFileDialog, appmsg::ReplayFileDialog, appmsg::ReplaySaveDialog,
                        appmsg::PlaySound, appmsg::PlayMusic,       appmsg::RestoreSurfaces};
                    const std::uint32_t id = kinds[i % 7];
                    if (id == appmsg::NameEntry) g_bNameDone = 0;
                    if (id >= appmsg::StageFileDialog && id <= appmsg::ReplaySaveDialog) g_bDialogDone = 0;
                    plat::send(g_hWnd.load(),
                               plat::Msg{id,
                                         static_cast<std::uintptr_t>(
                                             id == appmsg::PlayMusic ? std::uintptr_t{appmsg::MusicStage} : 1),
                                         i % 9 + 1});
                    if (id == appmsg::PlayMusic) ++musicSends;
                    if ((id == appmsg::NameEntry && !g_bNameDone) ||
                        (id >= appmsg::StageFileDialog && id <= appmsg::ReplaySaveDialog && !g_bDialogDone))
                      ++unfinished;
                    ++gameSends;
                  }
                  return 1;
                },
                nullptr),
            1);
  ASSERT_EQ(thLoad.Start(
                [](void*) -> unsigned {
                  for (int i = 0; i < kEach; ++i) {
                    const bool music = i % 2 == 0;
                    plat::send(g_hWnd.load(), plat::Msg{music ? appmsg::PlayMusic : appmsg::PlaySound,
                                                        music ? std::uintptr_t{appmsg::MusicStage} : 2u, 3});
                    if (music) ++musicSends;
                    ++workerSends;
                  }
                  return 1;
                },
                nullptr),
            1);
  ASSERT_TRUE(PumpUntil([] { return thGame.m_hThread.hasEnded() && thLoad.m_hThread.hasEnded(); }, 120000));
  EXPECT_EQ(gameSends.load(), kEach);
  EXPECT_EQ(workerSends.load(), kEach);
  EXPECT_EQ(unfinished.load(), 0);
  EXPECT_EQ(g_StageBgmCount.load(), musicSends.load());
  EXPECT_EQ(closes_, 0);
}

}  // namespace
