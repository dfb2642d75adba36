#include "platform/messaging.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/queue_detail.h"
#include "test_support/WaitFor.h"

namespace {

using test_support::WaitFor;

// A thread that owns one window and pumps only once told to, recording what it serves.
class PumpThread {
 public:
  PumpThread() {
    thread_ = std::thread([this] {
      window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
        {
          std::lock_guard lk(mutex_);
          seen_.push_back(m.id);
        }
        return static_cast<std::intptr_t>(m.id) + 1000;
      });
      token_ = plat::this_thread::token();
      ready_ = true;
      while (!go_) std::this_thread::yield();
      while (plat::pumpOne(true) != plat::Pump::Quit) {}
      plat::unregisterWindow(window_);
    });
    WaitFor([this] { return ready_.load(); });
  }
  ~PumpThread() {
    Go();
    plat::callOn(token_, [] {
      plat::this_thread::postQuit(0);
      return std::intptr_t{0};
    });
    thread_.join();
  }
  void Go() { go_ = true; }
  plat::WindowToken window() const { return window_; }
  std::size_t PendingSends() {
    std::lock_guard lk(plat::detail::lock());
    auto q = plat::detail::findQueueLocked(token_);
    return q ? q->sent.size() : 0;
  }
  std::vector<std::uint32_t> Seen() {
    std::lock_guard lk(mutex_);
    return seen_;
  }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false}, go_{false};
  plat::WindowToken window_ = 0;
  plat::ThreadToken token_ = 0;
  std::mutex mutex_;
  std::vector<std::uint32_t> seen_;
};

TEST(Messaging, PostsQueuedBeforeThePumpRunsArriveInOrder) {
  PumpThread pt;
  ASSERT_TRUE(plat::post(pt.window(), plat::Msg{1, 0, 0}));
  ASSERT_TRUE(plat::post(pt.window(), plat::Msg{2, 0, 0}));
  pt.Go();
  ASSERT_TRUE(WaitFor([&] { return pt.Seen().size() == 2; }));
  EXPECT_EQ(pt.Seen(), (std::vector<std::uint32_t>{1, 2}));
}

TEST(Messaging, PostToNoWindowIsDroppedButObserved) {
  PumpThread pt;
  plat::WindowToken gone = plat::registerWindow([](plat::WindowToken, const plat::Msg&) { return 0; });
  plat::unregisterWindow(gone);
  std::vector<plat::WindowToken> observed;
  plat::setPostObserver([&](plat::WindowToken w, const plat::Msg&) { observed.push_back(w); });
  EXPECT_FALSE(plat::post(0, plat::Msg{plat::wm::Close, 0, 0}));
  EXPECT_FALSE(plat::post(gone, plat::Msg{plat::wm::Close, 0, 0}));
  plat::setPostObserver(nullptr);
  EXPECT_EQ(observed, (std::vector<plat::WindowToken>{0, gone}));
  EXPECT_EQ(plat::send(0, plat::Msg{plat::wm::User, 0, 0}), 0);
}

TEST(Messaging, SendIsServedAheadOfEarlierPostsAndReturnsTheAnswer) {
  PumpThread pt;
  plat::post(pt.window(), plat::Msg{1, 0, 0});
  plat::post(pt.window(), plat::Msg{2, 0, 0});
  std::atomic<std::intptr_t> answer{-1};
  std::thread sender([&] { answer = plat::send(pt.window(), plat::Msg{plat::wm::User + 5, 0, 0}); });
  ASSERT_TRUE(WaitFor([&] { return pt.PendingSends() == 1; }));
  EXPECT_EQ(answer.load(), -1);  // still waiting: nothing pumps yet
  pt.Go();
  sender.join();
  EXPECT_EQ(answer.load(), plat::wm::User + 5 + 1000);
  ASSERT_TRUE(WaitFor([&] { return pt.Seen().size() == 3; }));
  EXPECT_EQ(pt.Seen(), (std::vector<std::uint32_t>{plat::wm::User + 5, 1, 2}));
}

TEST(Messaging, SendToOwnWindowIsADirectCall) {
  plat::this_thread::resetQueue();
  int calls = 0;
  plat::WindowToken w = plat::registerWindow([&](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
    ++calls;
    return m.w * 2;
  });
  EXPECT_EQ(plat::send(w, plat::Msg{plat::wm::User, 21, 0}), 42);
  EXPECT_EQ(calls, 1);
  plat::unregisterWindow(w);
}

TEST(Messaging, SendPendingWhenTheWindowIsDestroyedAnswersZero) {
  PumpThread pt;
  std::atomic<std::intptr_t> answer{-1};
  std::thread sender([&] { answer = plat::send(pt.window(), plat::Msg{plat::wm::User + 1, 0, 0}); });
  ASSERT_TRUE(WaitFor([&] { return pt.PendingSends() == 1; }));
  plat::unregisterWindow(pt.window());
  sender.join();
  EXPECT_EQ(answer.load(), 0);
  pt.Go();
  EXPECT_TRUE(pt.Seen().empty());
}

TEST(Messaging, WindowOfAThreadThatHasEndedCanBeUnregistered) {
  // The window then holds the last reference to its thread's queue.
  plat::WindowToken w = 0;
  std::thread t([&] {
    w = plat::registerWindow([](plat::WindowToken, const plat::Msg&) -> std::intptr_t { return 0; });
    plat::post(w, plat::Msg{1, 0, 0});  // never served
  });
  t.join();
  plat::unregisterWindow(w);
  EXPECT_FALSE(plat::windowExists(w));
  EXPECT_FALSE(plat::post(w, plat::Msg{2, 0, 0}));
}

TEST(Messaging, QuitStaysSetAcrossNestedPumps) {
  std::vector<std::string> trace;
  std::thread t([&] {
    plat::WindowToken w = plat::registerWindow([&](plat::WindowToken self, const plat::Msg& m) -> std::intptr_t {
      if (m.id == 1) {
        // A nested modal loop: it ends on the quit, and must not swallow it.
        plat::post(self, plat::Msg{2, 0, 0});
        while (plat::pumpOne(true) != plat::Pump::Quit) {}
        trace.push_back("nested saw quit");
      } else if (m.id == 2) {
        plat::this_thread::postQuit(3);
      }
      return 0;
    });
    plat::post(w, plat::Msg{1, 0, 0});
    while (plat::pumpOne(true) != plat::Pump::Quit) {}
    trace.push_back("outer saw quit");
    trace.push_back("code " + std::to_string(plat::this_thread::quitCode()));
    plat::unregisterWindow(w);
  });
  t.join();
  EXPECT_EQ(trace, (std::vector<std::string>{"nested saw quit", "outer saw quit", "code 3"}));
}

TEST(Messaging, CallOnRunsOnTheTargetThreadInsideItsPump) {
  std::atomic<plat::ThreadToken> target{0};
  std::thread owner([&] {
    target = plat::this_thread::token();
    while (plat::pumpOne(true) != plat::Pump::Quit) {}
  });
  ASSERT_TRUE(WaitFor([&] { return target != 0; }));
  std::thread::id ran;
  EXPECT_EQ(plat::callOn(target,
                         [&]() -> std::intptr_t {
                           ran = std::this_thread::get_id();
                           return 7;
                         }),
            7);
  EXPECT_EQ(ran, owner.get_id());
  plat::callOn(target, [] {
    plat::this_thread::postQuit(0);
    return std::intptr_t{0};
  });
  owner.join();
  EXPECT_EQ(plat::callOn(target, [] { return std::intptr_t{1}; }), 0);  // that thread is gone
}

}  // namespace
