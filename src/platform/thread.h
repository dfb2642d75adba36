// Worker threads and the thread side of messaging: per-thread queues with post and a
// sticky quit, a cooperative suspension gate and cancellation.
//
// Nothing here stops a thread from outside. Suspension holds a thread at its next
// checkpoint; cancellation makes its next checkpoint throw ThreadCancelled, which
// unwinds the thread's code (destructors run) up to the worker's entry, where it is
// caught. Checkpoints: peek, get, sleepMs, yieldNow, relax, the wait inside send and
// its return. A checkpoint never throws while another exception is unwinding.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "platform/winnum.h"

namespace plat {

using ThreadToken = std::uint32_t;  // 0 = no thread

// Thrown at a checkpoint of a cancelled thread. Deliberately not a std::exception, so
// handlers for program errors let it pass; only the worker's entry catches it.
struct ThreadCancelled {};

namespace detail {
struct ThreadQueue;
}

// One worker thread. Every member is safe to call from any thread.
class Worker {
 public:
  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  // Ends in join or detach, never in std::terminate: a thread still running is
  // cancelled and waited for a bounded time, then abandoned.
  ~Worker();

  // Makes the thread's queue, then the thread (posts succeed at once). False, and
  // nothing attached, when the thread cannot be made or one is still attached.
  bool start(std::function<void()> body);
  bool attached() const { return attached_.load(std::memory_order_acquire); }
  ThreadToken token() const { return token_.load(std::memory_order_acquire); }
  // True once the thread's body has returned, and when nothing is attached.
  bool hasEnded() const;
  // Joins an ended thread (waits for a running one) and becomes idle.
  void release();
  // The suspension gate: nests like a suspend count. True (also when idle).
  bool suspend();
  bool resume();
  // Checkpoints of the thread throw ThreadCancelled from now on.
  void requestCancel();
  // Last resort for a thread that passes no checkpoint: detach it and count it.
  void abandon();

 private:
  struct Shared {
    std::atomic<bool> ended{false};
  };
  mutable std::mutex mutex_;
  std::thread thread_;
  std::shared_ptr<Shared> shared_;
  std::shared_ptr<detail::ThreadQueue> queue_;
  std::atomic<bool> attached_{false};
  std::atomic<ThreadToken> token_{0};
};

// Number of workers abandoned so far; shared teardown must not run while one lives.
unsigned abandonedWorkers();

// PostThreadMessage. A quit (wm::Quit, exit code in w) sets the thread's sticky quit.
// False when the thread has no queue or has ended.
bool postThread(ThreadToken to, Msg m);

namespace this_thread {
ThreadToken token();
// Removes one message. Pending sends to this thread's windows are served first; the
// quit, once posted, is reported on every call after the posted messages.
bool peek(Msg& out);
// Blocking peek; false on quit.
bool get(Msg& out);
void checkpoint();
void sleepMs(Millis ms);
void yieldNow();
// For polling loops: a checkpoint and a short sleep, so a spinning loop leaves the core.
void relax();
// PostQuitMessage: the calling thread's sticky quit with its exit code.
void postQuit(int exitCode);
bool quitPosted();
int quitCode();
// Tests: gives the calling thread a fresh queue (clears a sticky quit).
void resetQueue();
}  // namespace this_thread

}  // namespace plat
