#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/messaging.h"
#include "platform/queue_detail.h"
#include "platform/thread.h"
#include "test_support/WaitFor.h"

namespace {

using test_support::WaitFor;

TEST(Worker, PostsSucceedOnceStartedAndFailOnceEnded) {
  plat::Worker w;
  std::vector<std::uint32_t> got;
  ASSERT_TRUE(w.start([&] {
    plat::Msg m;
    while (plat::this_thread::get(m)) got.push_back(m.id);
  }));
  plat::ThreadToken t = w.token();
  EXPECT_NE(t, 0u);
  EXPECT_TRUE(plat::postThread(t, plat::Msg{plat::wm::App, 0, 0}));  // first try: the queue exists
  EXPECT_TRUE(plat::postThread(t, plat::Msg{plat::wm::Quit, 0, 0}));
  ASSERT_TRUE(WaitFor([&] { return w.hasEnded(); }));
  EXPECT_FALSE(plat::postThread(t, plat::Msg{plat::wm::App, 0, 0}));
  w.release();
  EXPECT_FALSE(w.attached());
  EXPECT_EQ(w.token(), 0u);
  EXPECT_TRUE(w.hasEnded());  // idle counts as ended
  EXPECT_EQ(got, std::vector<std::uint32_t>{plat::wm::App});
  EXPECT_FALSE(plat::postThread(0xFFFFFFF0u, plat::Msg{plat::wm::App, 0, 0}));  // no such thread
}

TEST(Worker, QuitComesAfterPostedMessagesAndStaysSet) {
  plat::Worker w;
  std::atomic<bool> go{false};
  std::vector<std::uint32_t> got;
  ASSERT_TRUE(w.start([&] {
    while (!go) std::this_thread::yield();
    plat::Msg m;
    for (int i = 0; i < 4 && plat::this_thread::peek(m); ++i) got.push_back(m.id);
  }));
  plat::postThread(w.token(), plat::Msg{plat::wm::User + 1, 0, 0});
  plat::postThread(w.token(), plat::Msg{plat::wm::Quit, 0, 0});
  plat::postThread(w.token(), plat::Msg{plat::wm::User + 2, 0, 0});
  go = true;
  ASSERT_TRUE(WaitFor([&] { return w.hasEnded(); }));
  w.release();
  EXPECT_EQ(got, (std::vector<std::uint32_t>{plat::wm::User + 1, plat::wm::User + 2, plat::wm::Quit, plat::wm::Quit}));
}

// Whether the worker waits at its suspension gate now, and its suspend count: read
// under the queues' lock, so no sleep has to guess when the thread got there.
struct Gate {
  int held = -1;
  int count = -1;
};
Gate GateOf(const plat::Worker& w) {
  std::lock_guard lk(plat::detail::lock());
  auto q = plat::detail::findQueueLocked(w.token());
  if (!q) return {};
  return {q->held, q->suspendCount};
}

TEST(Worker, SuspensionHoldsAtCheckpointsAndNests) {
  plat::Worker w;
  std::atomic<int> turns{0};
  std::atomic<bool> stop{false};
  ASSERT_TRUE(w.start([&] {
    while (!stop) {
      plat::this_thread::relax();
      ++turns;
    }
  }));
  ASSERT_TRUE(WaitFor([&] { return turns > 2; }));
  EXPECT_TRUE(w.suspend());
  EXPECT_TRUE(w.suspend());
  // Held at its next checkpoint; while it waits there the count cannot move.
  ASSERT_TRUE(WaitFor([&] { return GateOf(w).held == 1; }));
  const int held = turns;
  EXPECT_TRUE(w.resume());  // one level left: the gate stays shut
  EXPECT_EQ(GateOf(w).count, 1);
  EXPECT_EQ(GateOf(w).held, 1);
  EXPECT_EQ(turns, held);
  EXPECT_TRUE(w.resume());
  EXPECT_TRUE(WaitFor([&] { return turns > held + 2; }));
  EXPECT_EQ(GateOf(w).held, 0);
  stop = true;
  ASSERT_TRUE(WaitFor([&] { return w.hasEnded(); }));
  w.release();
  EXPECT_TRUE(w.suspend());  // idle: success, nothing to hold
  EXPECT_TRUE(w.resume());
}

TEST(Worker, CancelUnwindsTheThreadAtItsNextCheckpoint) {
  struct Guard {
    std::atomic<bool>& flag;
    ~Guard() { flag = true; }
  };
  // Where each kind of worker is blocked when the cancel comes.
  enum class Blocked { Sleeping, Suspended, Getting };
  for (Blocked where : {Blocked::Sleeping, Blocked::Suspended, Blocked::Getting}) {
    plat::Worker w;
    std::atomic<bool> unwound{false}, inside{false};
    ASSERT_TRUE(w.start([&] {
      Guard g{unwound};
      inside = true;
      plat::Msg m;
      for (;;) {
        if (where == Blocked::Getting) plat::this_thread::get(m);  // ignores the quit
        else plat::this_thread::sleepMs(1);
      }
    }));
    ASSERT_TRUE(WaitFor([&] { return inside.load(); }));
    if (where == Blocked::Suspended) w.suspend();
    plat::postThread(w.token(), plat::Msg{plat::wm::Quit, 0, 0});
    w.requestCancel();
    ASSERT_TRUE(WaitFor([&] { return w.hasEnded(); })) << static_cast<int>(where);
    EXPECT_TRUE(unwound) << static_cast<int>(where);
    w.release();
  }
}

TEST(Worker, CancelledSenderTakesItsRequestBack) {
  std::atomic<int> served{0};
  plat::this_thread::resetQueue();
  plat::WindowToken win = plat::registerWindow([&](plat::WindowToken, const plat::Msg&) -> std::intptr_t {
    ++served;
    return 1;
  });
  plat::Worker w;
  std::atomic<bool> sending{false}, returned{false};
  ASSERT_TRUE(w.start([&] {
    sending = true;
    plat::send(win, plat::Msg{plat::wm::User + 5, 0, 0});  // nobody pumps: blocks
    returned = true;
  }));
  // The request waits in this thread's queue: the sender is blocked in its send.
  const auto own = plat::detail::currentQueue();
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard lk(plat::detail::lock());
    return !own->sent.empty();
  }));
  w.requestCancel();
  ASSERT_TRUE(WaitFor([&] { return w.hasEnded(); }));
  w.release();
  EXPECT_FALSE(returned);
  while (plat::pumpOne(false) == plat::Pump::Handled) {}
  EXPECT_EQ(served, 0);
  plat::unregisterWindow(win);
}

TEST(Worker, DestructorStopsARunningThreadWithoutTerminating) {
  std::atomic<bool> unwound{false};
  {
    plat::Worker w;
    struct Guard {
      std::atomic<bool>& flag;
      ~Guard() { flag = true; }
    };
    ASSERT_TRUE(w.start([&] {
      Guard g{unwound};
      for (;;) plat::this_thread::sleepMs(1);
    }));
  }
  EXPECT_TRUE(unwound);
}

TEST(Worker, AbandonDetachesAThreadThatPassesNoCheckpoint) {
  auto stop = std::make_shared<std::atomic<bool>>(false);
  auto done = std::make_shared<std::atomic<bool>>(false);
  unsigned before = plat::abandonedWorkers();
  plat::Worker w;
  ASSERT_TRUE(w.start([stop, done] {
    while (!stop->load()) std::this_thread::yield();
    done->store(true);
  }));
  w.requestCancel();
  EXPECT_FALSE(w.hasEnded());  // the body spins until told: only abandon can free the worker
  w.abandon();
  EXPECT_FALSE(w.attached());
  EXPECT_EQ(plat::abandonedWorkers(), before + 1);
  stop->store(true);  // let the detached thread end before the process does
  EXPECT_TRUE(WaitFor([&] { return done->load(); }));
}

}  // namespace
