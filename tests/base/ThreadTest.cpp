#include "base/AppMessages.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/clock.h"
#include "platform/messaging.h"
#include "test_support/LogCapture.h"
#include "test_support/WaitFor.h"

namespace {

using test_support::WaitFor;
using ThreadTest = test_support::LogCapture;

const std::vector<std::string> kExitLines = {"Exit A", "Exit B", "Exit C", "Exit D", "Exit E"};

// Ends on its own quit, as the game thread and the sub-loops do.
unsigned QuitLoop(void*) {
  plat::Msg m;
  for (;;) {
    if (plat::this_thread::peek(m) && m.id == plat::wm::Quit) return 1;
    plat::this_thread::relax();
  }
}

// Ignores every quit but reaches checkpoints; counts its unwinding.
std::atomic<int> g_unwound{0};
unsigned Deaf(void*) {
  struct Guard {
    ~Guard() { ++g_unwound; }
  } guard;
  for (;;) plat::this_thread::sleepMs(1);
}

TEST_F(ThreadTest, ExitOnAnIdleWrapperDoesNothing) {
  cThread t;
  t.Exit();
  EXPECT_FALSE(t.HasThread());
  EXPECT_EQ(Debug(), "<none>");
  EXPECT_EQ(t.Suspend(), 1);
  EXPECT_EQ(t.Resume(), 1);
  t.Wait();  // no thread: returns at once
}

TEST_F(ThreadTest, ExitEndsAThreadThroughItsOwnQuitAlsoWhenSuspended) {
  for (bool suspended : {false, true}) {
    SetDebugLog(1, root_ + (suspended ? "\\s.txt" : "\\r.txt"));
    cThread t;
    ASSERT_EQ(t.Start(&QuitLoop, nullptr), 1);
    EXPECT_TRUE(t.HasThread());
    EXPECT_NE(t.m_dwThreadId.load(), 0u);
    if (suspended) { EXPECT_EQ(t.Suspend(), 1); }
    t.Exit();
    EXPECT_FALSE(t.HasThread());
    EXPECT_EQ(DebugLinesOf(suspended ? "\\s.txt" : "\\r.txt"), kExitLines);
  }
}

TEST_F(ThreadTest, AThreadThatIgnoresQuitIsCancelledNeverKilled) {
  plat::FakeClock clock;
  clock.autoAdvanceOnSleep(true);  // the 200 polls pass at once
  plat::installClock(&clock);
  g_unwound = 0;
  unsigned abandonedBefore = plat::abandonedWorkers();
  cThread t;
  ASSERT_EQ(t.Start(&Deaf, nullptr), 1);
  t.Exit();
  plat::installClock(nullptr);
  EXPECT_FALSE(t.HasThread());
  EXPECT_EQ(g_unwound, 1);  // unwound: its destructors ran
  EXPECT_EQ(plat::abandonedWorkers(), abandonedBefore);
  EXPECT_EQ(DebugLines(), kExitLines);
  EXPECT_GE(clock.nowMs(), static_cast<plat::Millis>(kExitPollsBeforeCancel));
}

TEST_F(ThreadTest, AWorkerBlockedInASendIsCancelledAndItsRequestNeverServed) {
  plat::this_thread::resetQueue();  // this thread plays the window thread, busy in Exit
  std::atomic<int> served{0};
  plat::WindowToken win = plat::registerWindow([&](plat::WindowToken, const plat::Msg&) -> std::intptr_t {
    ++served;
    return 0;
  });
  static plat::WindowToken s_win;
  s_win = win;
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  plat::send(s_win, plat::Msg{appmsg::PlaySound, 0, 0});
                  return 1;
                },
                nullptr),
            1);
  t.Exit();
  EXPECT_FALSE(t.HasThread());
  while (plat::pumpOne(false) == plat::Pump::Handled) {}
  EXPECT_EQ(served, 0);
  plat::unregisterWindow(win);
}

TEST_F(ThreadTest, ExitFromTwoThreadsAtOnce) {
  cThread t;
  ASSERT_EQ(t.Start(&QuitLoop, nullptr), 1);
  std::thread other([&] { t.Exit(); });
  t.Exit();
  other.join();
  EXPECT_FALSE(t.HasThread());
  EXPECT_TRUE(t.m_hThread.hasEnded());
}

TEST_F(ThreadTest, AThreadWithoutCheckpointsIsAbandonedAndLogged) {
  plat::FakeClock clock;
  clock.autoAdvanceOnSleep(true);
  plat::installClock(&clock);
  static std::atomic<bool> s_stop, s_done;
  s_stop = false;
  s_done = false;
  unsigned before = plat::abandonedWorkers();
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  while (!s_stop) std::this_thread::yield();
                  s_done = true;
                  return 1;
                },
                nullptr),
            1);
  t.Exit();
  plat::installClock(nullptr);
  EXPECT_FALSE(t.HasThread());
  EXPECT_EQ(plat::abandonedWorkers(), before + 1);
  EXPECT_NE(Report().find("abandoned"), std::string::npos);
  EXPECT_EQ(DebugLines().back(), "Exit E");
  s_stop = true;  // let the detached thread end before the process does
  EXPECT_TRUE(WaitFor([] { return s_done.load(); }));
}

// Counts the polls of a waiting thread: each poll is one sleep on the clock.
class PollCountingClock final : public plat::ClockSource {
 public:
  plat::Millis nowMs() override { return 0; }
  std::uint64_t nowNs() override { return 0; }
  void sleepMs(plat::Millis) override {
    ++sleeps;
    std::this_thread::yield();
  }
  std::atomic<int> sleeps{0};
};

TEST_F(ThreadTest, WaitReturnsOnlyWhenTheThreadHasEnded) {
  // The thread ends only after Wait has polled it a few times: a Wait that returned
  // early would find the work not done.
  static PollCountingClock s_clock;
  static std::atomic<bool> s_done;
  s_clock.sleeps = 0;
  s_done = false;
  plat::installClock(&s_clock);
  cThread t;
  ASSERT_EQ(t.Start(
                [](void*) -> unsigned {
                  while (s_clock.sleeps < 3) std::this_thread::yield();
                  s_done = true;
                  return 1;
                },
                nullptr),
            1);
  t.Wait();
  const bool doneAtReturn = s_done;
  s_clock.sleeps = 3;  // frees the thread should Wait have returned early
  plat::installClock(nullptr);
  EXPECT_TRUE(doneAtReturn);
  EXPECT_FALSE(t.HasThread());
  EXPECT_EQ(Debug(), "<none>");
}

TEST_F(ThreadTest, AnErrorLeavingTheProcedureIsLoggedAndClosesTheGame) {
  cThread t;
  ASSERT_EQ(t.Start([](void*) -> unsigned { throw std::runtime_error("stage text"); }, nullptr), 1);
  t.Wait();
  cThread u;
  ASSERT_EQ(u.Start([](void*) -> unsigned { throw std::out_of_range("invalid vector<T> subscript"); }, nullptr), 1);
  u.Wait();
  EXPECT_EQ(DebugLines(), (std::vector<std::string>{"stage text", "invalid vector<T> subscript"}));
  EXPECT_EQ(closes_, 2);
}

}  // namespace
