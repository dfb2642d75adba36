#include "platform/mailbox_thread.h"

#include <condition_variable>
#include <mutex>
#include <set>

namespace plat {
namespace {

// One lock for every mailbox: they are few and their traffic is light, and it lets the
// idle check see them all at once.
struct Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::set<MailboxThread*> live;
};
Shared& shared() {
  static Shared* s = new Shared;  // never destroyed: threads may end during static destruction
  return *s;
}

}  // namespace

MailboxThread::~MailboxThread() {
  if (thread_.joinable()) {
    postQuit();
    join();
  }
}

bool MailboxThread::start(std::function<void(MailboxThread&)> proc) {
  if (thread_.joinable()) return false;
  Shared& s = shared();
  {
    std::lock_guard lock(s.mutex);
    queue_.clear();
    quit_ = waiting_ = finished_ = false;
    s.live.insert(this);
  }
  thread_ = std::thread([this, proc = std::move(proc)] {
    proc(*this);
    Shared& sh = shared();
    std::lock_guard lock(sh.mutex);
    finished_ = true;
    sh.changed.notify_all();
  });
  return true;
}

bool MailboxThread::post(const Msg& m) {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  if (finished_ || !s.live.count(this)) return false;
  queue_.push_back(m);
  s.changed.notify_all();
  return true;
}

void MailboxThread::postQuit() {
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  quit_ = true;
  s.changed.notify_all();
}

bool MailboxThread::get(Msg& out) {
  Shared& s = shared();
  std::unique_lock lock(s.mutex);
  waiting_ = true;
  s.changed.notify_all();
  s.changed.wait(lock, [this] { return quit_ || !queue_.empty(); });
  waiting_ = false;
  if (quit_) {
    queue_.clear();
    return false;
  }
  out = queue_.front();
  queue_.pop_front();
  return true;
}

void MailboxThread::join() {
  if (!thread_.joinable()) return;
  thread_.join();
  Shared& s = shared();
  std::lock_guard lock(s.mutex);
  s.live.erase(this);
  s.changed.notify_all();
}

bool MailboxThread::waitAllIdle(int timeoutMs) {
  Shared& s = shared();
  std::unique_lock lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&s] {
    for (MailboxThread* m : s.live)
      if (!m->finished_ && !(m->waiting_ && m->queue_.empty())) return false;
    return true;
  });
}

}  // namespace plat
