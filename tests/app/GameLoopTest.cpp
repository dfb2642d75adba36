#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "base/AppGlobals.h"
#include "app/SceneHost.h"
#include "base/AppMessages.h"
#include "base/Thread.h"
#include "app/WinMain.h"
#include "test_support/Graphics.h"
#include "test_support/LogCapture.h"
#include "test_support/WaitFor.h"

namespace {

using test_support::WaitFor;

// The frame clock runs once the graphics exist (Direct3D without vertical sync here).
class GameLoopTest : public test_support::LogCapture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(graphics_.Open(true, false));  // before the logs: its own lines stay out
    LogCapture::SetUp();
  }
  void TearDown() override {
    thGame.Exit();
    g_SceneHost.DeleteAllScenes();
    graphics_.Close();
    LogCapture::TearDown();
  }
  test_support::Graphics graphics_;
};

std::uint32_t Frames() { return g_SceneHost.m_nFramesStepped.load(); }

// Frames stop advancing once a frame already under way has ended; true when a quiet
// spell of 100 ms comes within 5 s. A loop that goes on stepping has no such spell,
// while a slow machine only makes the wait longer.
bool Stalled() {
  for (int tries = 0; tries < 50; ++tries) {
    const std::uint32_t before = Frames();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (Frames() == before) return true;
  }
  return false;
}

TEST_F(GameLoopTest, StepsFramesOnlyWhileActiveDropsMessagesAndEndsOnQuit) {
  g_bActive = 0;
  g_SceneManager.m_nFrameRate = 60;
  ASSERT_EQ(thGame.Start(&GameLoop, nullptr), 1);
  EXPECT_TRUE(plat::postThread(thGame.m_dwThreadId.load(), plat::Msg{plat::wm::App, 0, 0}));
  EXPECT_TRUE(Stalled());  // inactive: no frame

  g_bActive = 1;
  std::uint32_t start = Frames();
  ASSERT_TRUE(WaitFor([&] { return Frames() >= start + 3; }));
  // Messages other than the quit are dropped and the frames go on.
  for (std::uint32_t id :
       {std::uint32_t{plat::wm::App}, std::uint32_t{appmsg::NameEntry}, std::uint32_t{plat::wm::Close}})
    EXPECT_TRUE(plat::postThread(thGame.m_dwThreadId.load(), plat::Msg{id, 0, 0}));
  std::uint32_t after = Frames();
  ASSERT_TRUE(WaitFor([&] { return Frames() >= after + 3; }));
  EXPECT_FALSE(thGame.m_hThread.hasEnded());

  // The suspension gate of every worker holds the game thread between frames.
  SuspendAllThreads();
  EXPECT_TRUE(Stalled());
  ResumeAllThreads();
  std::uint32_t resumed = Frames();
  ASSERT_TRUE(WaitFor([&] { return Frames() >= resumed + 2; }));

  EXPECT_TRUE(plat::postThread(thGame.m_dwThreadId.load(), plat::Msg{plat::wm::Quit, 0, 0}));
  ASSERT_TRUE(WaitFor([] { return thGame.m_hThread.hasEnded(); }));
  thGame.Wait();
  EXPECT_EQ(DebugLines(), std::vector<std::string>{"GameLoop WM_QUIT!"});
  EXPECT_EQ(closes_, 0);
  g_bActive = 0;
}

TEST_F(GameLoopTest, FramesComeAtTheFrameRate) {
  // 60 frames a second are at least 16 ms apart: 10 frames take at least 9 periods.
  g_bActive = 1;
  g_SceneManager.m_nFrameRate = 60;
  ASSERT_EQ(thGame.Start(&GameLoop, nullptr), 1);
  ASSERT_TRUE(WaitFor([] { return Frames() >= 1; }));
  std::uint64_t t0 = plat::clock().nowNs();
  std::uint32_t f0 = Frames();
  ASSERT_TRUE(WaitFor([&] { return Frames() >= f0 + 10; }));
  std::uint64_t elapsedMs = (plat::clock().nowNs() - t0) / 1000000u;
  thGame.Exit();
  g_bActive = 0;
  // The limiter counts whole milliseconds, so each frame may begin up to 1 ms before
  // its time on the nanosecond clock.
  EXPECT_GE(elapsedMs, 9u * 15u);
}

}  // namespace
