#include "platform/thread.h"

// <chrono> itself cannot be compiled for the CP932 execution charset (its micro sign);
// the durations come with <thread> and <condition_variable>.
#include <system_error>

#include "platform/queue_detail.h"

namespace plat {
namespace {

std::atomic<unsigned> g_abandoned{0};

// How long a destructor waits for a cancelled thread before giving it up.
constexpr int kDestructorWaitMs = 2000;

// Sleeps on the queue's condition variable so that a suspension or a cancellation
// ends the sleep early; the checkpoint that follows then holds or throws.
void sleepOn(detail::ThreadQueue& q, Millis ms) {
  std::unique_lock lk(detail::lock());
  detail::checkpointLocked(q, lk);
  if (isSystemClock()) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    q.cv.wait_until(lk, until, [&] { return q.cancel || q.suspendCount > 0; });
  } else {
    lk.unlock();
    clock().sleepMs(ms);
    lk.lock();
  }
  detail::checkpointLocked(q, lk);
}

}  // namespace

Worker::~Worker() {
  std::unique_lock lk(mutex_);
  if (!thread_.joinable()) return;
  if (!shared_->ended.load(std::memory_order_acquire)) {
    lk.unlock();
    requestCancel();
    for (int i = 0; i < kDestructorWaitMs && !shared_->ended.load(std::memory_order_acquire); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    lk.lock();
  }
  if (shared_->ended.load(std::memory_order_acquire)) {
    thread_.join();
  } else {
    thread_.detach();
    g_abandoned.fetch_add(1);
  }
}

bool Worker::start(std::function<void()> body) {
  std::lock_guard lk(mutex_);
  if (thread_.joinable()) {
    if (!shared_->ended.load(std::memory_order_acquire)) return false;
    thread_.join();
  }
  auto q = detail::newQueue();
  auto shared = std::make_shared<Shared>();
  try {
    thread_ = std::thread([q, shared, body = std::move(body)] {
      detail::bindCurrent(q);
      try {
        body();
      } catch (const ThreadCancelled&) {
        // The thread was asked to stop and has unwound: a normal end.
      }
      detail::closeQueue(q);
      shared->ended.store(true, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    detail::closeQueue(q);
    return false;
  }
  queue_ = q;
  shared_ = shared;
  token_.store(q->token, std::memory_order_release);
  attached_.store(true, std::memory_order_release);
  return true;
}

bool Worker::hasEnded() const {
  std::lock_guard lk(mutex_);
  if (!thread_.joinable()) return true;
  return shared_->ended.load(std::memory_order_acquire);
}

void Worker::release() {
  std::lock_guard lk(mutex_);
  if (thread_.joinable()) thread_.join();
  attached_.store(false, std::memory_order_release);
  token_.store(0, std::memory_order_release);
  queue_.reset();
}

bool Worker::suspend() {
  std::lock_guard lk(mutex_);
  if (!queue_) return true;
  std::lock_guard qlk(detail::lock());
  ++queue_->suspendCount;
  return true;
}

bool Worker::resume() {
  std::lock_guard lk(mutex_);
  if (!queue_) return true;
  std::lock_guard qlk(detail::lock());
  if (queue_->suspendCount > 0) --queue_->suspendCount;
  queue_->cv.notify_all();
  return true;
}

void Worker::requestCancel() {
  std::lock_guard lk(mutex_);
  if (!queue_) return;
  std::lock_guard qlk(detail::lock());
  queue_->cancel = true;
  queue_->cv.notify_all();
}

void Worker::abandon() {
  std::lock_guard lk(mutex_);
  if (!thread_.joinable()) return;
  if (shared_->ended.load(std::memory_order_acquire)) {
    thread_.join();
  } else {
    thread_.detach();
    g_abandoned.fetch_add(1);
  }
  attached_.store(false, std::memory_order_release);
  token_.store(0, std::memory_order_release);
  queue_.reset();
}

unsigned abandonedWorkers() { return g_abandoned.load(); }

bool postThread(ThreadToken to, Msg m) {
  PumpSource* src;
  {
    std::lock_guard lk(detail::lock());
    auto q = detail::findQueueLocked(to);
    if (!q || q->closed) return false;
    if (m.id == wm::Quit) {
      q->quit = true;
      q->quitCode = static_cast<int>(m.w);
    } else {
      q->posted.push_back({0, m});
    }
    src = detail::wakeLocked(*q);
  }
  if (src) src->wake();
  return true;
}

namespace this_thread {

ThreadToken token() { return detail::currentQueue()->token; }

bool peek(Msg& out) {
  auto q = detail::currentQueue();
  std::unique_lock lk(detail::lock());
  detail::checkpointLocked(*q, lk);
  while (detail::serveOneLocked(*q, lk)) {}
  if (!q->posted.empty()) {
    out = q->posted.front().msg;
    q->posted.pop_front();
    return true;
  }
  if (q->quit) {
    out = Msg{wm::Quit, static_cast<std::uintptr_t>(q->quitCode), 0};
    return true;
  }
  return false;
}

bool get(Msg& out) {
  auto q = detail::currentQueue();
  for (;;) {
    if (peek(out)) return out.id != wm::Quit;
    std::unique_lock lk(detail::lock());
    q->cv.wait(lk,
               [&] { return !q->sent.empty() || !q->posted.empty() || q->quit || q->cancel || q->suspendCount > 0; });
  }
}

void checkpoint() {
  auto q = detail::currentQueue();
  std::unique_lock lk(detail::lock());
  detail::checkpointLocked(*q, lk);
}

void sleepMs(Millis ms) { sleepOn(*detail::currentQueue(), ms); }

void yieldNow() {
  checkpoint();
  std::this_thread::yield();
}

void relax() { sleepOn(*detail::currentQueue(), 1); }

void postQuit(int exitCode) {
  auto q = detail::currentQueue();
  std::lock_guard lk(detail::lock());
  q->quit = true;
  q->quitCode = exitCode;
  q->cv.notify_all();
}

bool quitPosted() {
  auto q = detail::currentQueue();
  std::lock_guard lk(detail::lock());
  return q->quit;
}

int quitCode() {
  auto q = detail::currentQueue();
  std::lock_guard lk(detail::lock());
  return q->quitCode;
}

void resetQueue() {
  detail::closeQueue(detail::currentQueue());
  detail::bindCurrent(detail::newQueue());
}

}  // namespace this_thread
}  // namespace plat
