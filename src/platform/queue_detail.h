// Internal to the platform layer: the per-thread message queue that messaging, the
// worker threads and the window pump share. One lock guards every queue and the
// window table: messages are rare (a few a frame), so contention does not matter and
// a single lock keeps the send/cancel/destroy races simple.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/messaging.h"

namespace plat::detail {

struct ThreadQueue;

// One blocking send waiting to be served by the receiving thread's pump.
struct SendRecord {
  enum class State { Pending, Serving, Done, Abandoned };
  WindowToken to = 0;
  Msg msg;
  std::function<std::intptr_t()> call;  // a marshalled call instead of a window message
  std::intptr_t result = 0;
  State state = State::Pending;
  std::shared_ptr<ThreadQueue> sender;
};

struct Posted {
  WindowToken to;  // 0 = a thread message
  Msg msg;
};

struct ThreadQueue {
  ThreadToken token = 0;
  std::condition_variable cv;
  std::deque<std::shared_ptr<SendRecord>> sent;
  std::deque<Posted> posted;
  bool quit = false;  // sticky once posted
  int quitCode = 0;
  int suspendCount = 0;
  int held = 0;  // 1 while the thread waits at its suspension gate (tests read it)
  bool cancel = false;
  bool closed = false;  // the thread has ended: posts fail
  PumpSource* source = nullptr;
};

std::mutex& lock();
// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> currentQueue();
// A registered queue for a thread about to start; the thread binds it with bindCurrent.
std::shared_ptr<ThreadQueue> newQueue();
void bindCurrent(std::shared_ptr<ThreadQueue> q);
// Marks a queue ended: posts fail, pending sends answer 0. Takes the lock.
void closeQueue(const std::shared_ptr<ThreadQueue>& q);
std::shared_ptr<ThreadQueue> findQueueLocked(ThreadToken t);
// Wakes a thread waiting on its queue: its condition variable at once; the pump source
// it returns must be woken by the caller after releasing the lock (the window system
// may call back into messaging while it queues the wake-up).
[[nodiscard]] PumpSource* wakeLocked(ThreadQueue& q);
// Blocks while suspended; throws ThreadCancelled when cancelled (never while unwinding).
void checkpointLocked(ThreadQueue& q, std::unique_lock<std::mutex>& lk);
// Serves the oldest pending send of q; false when none. Releases the lock while serving.
bool serveOneLocked(ThreadQueue& q, std::unique_lock<std::mutex>& lk);

}  // namespace plat::detail
