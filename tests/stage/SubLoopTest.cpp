// The starters of the stage's sub-loops on their own workers: the close flag, a thread
// that cannot be made, the start handshake and the message-wait loop's early end.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "base/AppGlobals.h"
#include "base/Thread.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/winnum.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"
#include "stage/DrawFixture.h"

namespace {

std::atomic<int> g_nRuns{0};
std::atomic<bool> g_bSawStartMessage{false};
std::atomic<bool> g_bRelease{false};
std::atomic<bool> g_bBlockerEnded{false};

// A sub-loop during which the user closes the window: the window thread's part.
unsigned ClosedDuringLoop(void* arg) {
  ++g_nRuns;
  static_cast<cStageScene*>(arg)->m_bQuit.store(1);
  return 1;
}

unsigned CountRun(void*) {
  ++g_nRuns;
  return 1;
}

// Reads its queue until the start message arrives (or a quit, or some seconds pass).
unsigned AwaitStartMessage(void*) {
  for (int i = 0; i < 5000; ++i) {
    plat::Msg m;
    while (plat::this_thread::peek(m)) {
      if (m.id == plat::wm::App) {
        g_bSawStartMessage = true;
        return 1;
      }
      if (m.id == plat::wm::Quit) return 0;
    }
    plat::this_thread::sleepMs(1);
  }
  return 0;
}

// Holds its worker until released (at most some seconds, so a fault cannot hang the run).
unsigned Blocker(void*) {
  for (int i = 0; i < 5000 && !g_bRelease.load(); ++i) plat::this_thread::sleepMs(1);
  g_bBlockerEnded = true;
  return 1;
}

class SubLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    g_nRuns = 0;
    g_bSawStartMessage = false;
    g_bRelease = false;
    g_bBlockerEnded = false;
    scene_ = std::make_unique<cStageScene>();
  }
  std::unique_ptr<cStageScene> scene_;
  cThread worker_;
};

TEST_F(SubLoop, ACloseDuringOneSubLoopSkipsEveryLaterOne) {
  for (bool bHandshake : {true, false}) {
    SCOPED_TRACE(bHandshake);
    g_nRuns = 0;
    scene_->m_bQuit.store(0);
    RunSubLoop(worker_, ClosedDuringLoop, *scene_, bHandshake);
    RunSubLoop(worker_, CountRun, *scene_, bHandshake);
    RunSubLoop(worker_, CountRun, *scene_, bHandshake);
    EXPECT_EQ(1, g_nRuns.load());
    EXPECT_FALSE(worker_.HasThread());
  }
}

TEST_F(SubLoop, TheStarterPostsTheStartMessageAndWaitsForTheEnd) {
  RunSubLoop(worker_, AwaitStartMessage, *scene_, true);
  EXPECT_TRUE(g_bSawStartMessage.load());
  EXPECT_FALSE(worker_.HasThread());
}

TEST_F(SubLoop, AThreadThatCannotBeMadeCountsAsAnEndedWait) {
  // The worker is still attached to another thread, so the start fails.
  ASSERT_EQ(1, worker_.Start(Blocker, nullptr));
  RunSubLoop(worker_, CountRun, *scene_, true);
  // Back without posting to or waiting for a thread of its own.
  EXPECT_FALSE(g_bBlockerEnded.load());
  EXPECT_EQ(0, g_nRuns.load());
  g_bRelease = true;
  worker_.Wait();
}

TEST_F(SubLoop, TheHandshakeStopsWhenTheThreadHasEndedAlready) {
  ASSERT_EQ(1, worker_.Start(CountRun, nullptr));
  while (!worker_.m_hThread.hasEnded()) plat::this_thread::sleepMs(1);
  ProveThreadQueue(worker_);
  worker_.Wait();
  EXPECT_EQ(1, g_nRuns.load());
}

TEST_F(SubLoop, AMessageWaitStartedAfterTheCloseEndsAtOnce) {
  scene_->m_bQuit.store(1);
  EXPECT_EQ(0u, MessageWaitThread(scene_.get()));
}

// The message-wait loop drawing the frozen stage on its own worker.
class MessageWaitLoop : public stagetest::DrawFixture {
 protected:
  void TearDown() override {
    worker_.Exit();
    g_bActive = 0;
    DrawFixture::TearDown();
  }
  cThread worker_;
};

// The close flag set while a key wait runs, its quit message lost: the loop asks itself
// to quit once its grace has passed, so the waiting command gets back.
TEST_F(MessageWaitLoop, AKeyWaitEndsByItselfAfterTheCloseFlagEvenWithoutTheQuitMessage) {
  g_bActive = 1;
  Scene().m_Wait.Start(WAIT_MESSAGE, 1, 0, 0);
  ASSERT_EQ(1, worker_.Start(MessageWaitThread, &Scene()));
  plat::this_thread::sleepMs(30);
  EXPECT_FALSE(worker_.m_hThread.hasEnded());  // nothing ends a key wait but the key
  Scene().m_bQuit.store(1);
  const plat::Millis since = plat::systemNowMs();
  while (!worker_.m_hThread.hasEnded() && plat::systemNowMs() - since < 10000) plat::this_thread::sleepMs(5);
  EXPECT_TRUE(worker_.m_hThread.hasEnded());
}

}  // namespace
