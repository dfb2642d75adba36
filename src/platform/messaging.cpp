#include "platform/messaging.h"

#include <map>
#include <unordered_map>

#include "platform/queue_detail.h"

namespace plat {
namespace detail {
namespace {

struct WindowEntry {
  WindowProc proc;
  std::shared_ptr<ThreadQueue> owner;
};

struct State {
  std::mutex mutex;
  std::unordered_map<ThreadToken, std::shared_ptr<ThreadQueue>> queues;
  ThreadToken nextThread = 1;
  std::map<WindowToken, WindowEntry> windows;
  WindowToken nextWindow = 1;
  PostObserver observer;
};

State& state() {
  static State* s = new State();  // never destroyed: threads may post during static teardown
  return *s;
}

// Closes the queue of a plain thread (not a worker) when that thread ends.
struct CurrentHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~CurrentHolder() {
    if (queue) closeQueue(queue);
  }
};
thread_local CurrentHolder t_current;

std::shared_ptr<ThreadQueue> makeQueueLocked() {
  State& s = state();
  auto q = std::make_shared<ThreadQueue>();
  q->token = s.nextThread++;
  if (s.nextThread == 0) s.nextThread = 1;
  s.queues[q->token] = q;
  return q;
}

void completeLocked(SendRecord& r, std::intptr_t result) {
  if (r.state == SendRecord::State::Pending || r.state == SendRecord::State::Serving) {
    r.state = SendRecord::State::Done;
    r.result = result;
  }
  if (r.sender) r.sender->cv.notify_all();
}

}  // namespace

std::mutex& lock() { return state().mutex; }

std::shared_ptr<ThreadQueue> currentQueue() {
  if (t_current.queue) return t_current.queue;
  std::lock_guard lk(lock());
  t_current.queue = makeQueueLocked();
  return t_current.queue;
}

std::shared_ptr<ThreadQueue> newQueue() {
  std::lock_guard lk(lock());
  return makeQueueLocked();
}

void bindCurrent(std::shared_ptr<ThreadQueue> q) { t_current.queue = std::move(q); }

void closeQueue(const std::shared_ptr<ThreadQueue>& q) {
  std::lock_guard lk(lock());
  if (q->closed) return;
  q->closed = true;
  q->source = nullptr;
  for (auto& r : q->sent) completeLocked(*r, 0);
  q->sent.clear();
  q->posted.clear();
  state().queues.erase(q->token);
}

std::shared_ptr<ThreadQueue> findQueueLocked(ThreadToken t) {
  auto& qs = state().queues;
  auto it = qs.find(t);
  return it == qs.end() ? nullptr : it->second;
}

PumpSource* wakeLocked(ThreadQueue& q) {
  q.cv.notify_all();
  return q.source;
}

void checkpointLocked(ThreadQueue& q, std::unique_lock<std::mutex>& lk) {
  if (q.suspendCount > 0 && !q.cancel) {
    ++q.held;
    while (q.suspendCount > 0 && !q.cancel) q.cv.wait(lk);
    --q.held;
  }
  if (q.cancel && std::uncaught_exceptions() == 0) throw ThreadCancelled{};
}

bool serveOneLocked(ThreadQueue& q, std::unique_lock<std::mutex>& lk) {
  if (q.sent.empty()) return false;
  std::shared_ptr<SendRecord> r = q.sent.front();
  q.sent.pop_front();
  r->state = SendRecord::State::Serving;
  WindowProc proc;
  if (!r->call) {
    auto it = state().windows.find(r->to);
    if (it != state().windows.end()) proc = it->second.proc;
  }
  lk.unlock();
  std::intptr_t result = 0;
  try {
    if (r->call) result = r->call();
    else if (proc) result = proc(r->to, r->msg);
  } catch (...) {
    // The sender must not wait forever for a handler that threw; the error goes on.
    lk.lock();
    completeLocked(*r, 0);
    throw;
  }
  lk.lock();
  completeLocked(*r, result);
  return true;
}

}  // namespace detail

using detail::SendRecord;
using detail::ThreadQueue;

namespace {

// Waits, on the sender's side, for a send record handed to another thread.
std::intptr_t waitForReply(const std::shared_ptr<ThreadQueue>& self, const std::shared_ptr<ThreadQueue>& target,
                           const std::shared_ptr<SendRecord>& rec, std::unique_lock<std::mutex>& lk) {
  for (;;) {
    if (rec->state == SendRecord::State::Done) break;
    if (self->cancel && std::uncaught_exceptions() == 0) {
      // The sender leaves; a request not yet started is taken back so it never runs.
      if (rec->state == SendRecord::State::Pending) {
        for (auto it = target->sent.begin(); it != target->sent.end(); ++it) {
          if (*it == rec) {
            target->sent.erase(it);
            break;
          }
        }
      }
      rec->state = SendRecord::State::Abandoned;
      throw ThreadCancelled{};
    }
    // Sends to this thread's own windows are served while it waits (no deadlock
    // when two threads send to each other).
    if (detail::serveOneLocked(*self, lk)) continue;
    self->cv.wait(lk);
  }
  std::intptr_t result = rec->result;
  detail::checkpointLocked(*self, lk);
  return result;
}

}  // namespace

WindowToken registerWindow(WindowProc proc) {
  auto owner = detail::currentQueue();
  std::lock_guard lk(detail::lock());
  auto& s = detail::state();
  WindowToken t = s.nextWindow++;
  s.windows[t] = detail::WindowEntry{std::move(proc), owner};
  return t;
}

void unregisterWindow(WindowToken w) {
  std::lock_guard lk(detail::lock());
  auto& s = detail::state();
  auto it = s.windows.find(w);
  if (it == s.windows.end()) return;
  // The entry may hold the last reference to its thread's queue (the thread has ended).
  const std::shared_ptr<ThreadQueue> owner = it->second.owner;
  ThreadQueue& q = *owner;
  s.windows.erase(it);
  std::erase_if(q.posted, [w](const detail::Posted& p) { return p.to == w; });
  for (auto r = q.sent.begin(); r != q.sent.end();) {
    if (!(*r)->call && (*r)->to == w) {
      detail::completeLocked(**r, 0);
      r = q.sent.erase(r);
    } else {
      ++r;
    }
  }
}

bool windowExists(WindowToken w) {
  std::lock_guard lk(detail::lock());
  return detail::state().windows.count(w) != 0;
}

bool post(WindowToken to, Msg m) {
  PostObserver obs;
  PumpSource* src = nullptr;
  bool ok = false;
  {
    std::lock_guard lk(detail::lock());
    auto& s = detail::state();
    obs = s.observer;
    auto it = s.windows.find(to);
    if (it != s.windows.end() && !it->second.owner->closed) {
      ThreadQueue& q = *it->second.owner;
      q.posted.push_back({to, m});
      src = detail::wakeLocked(q);
      ok = true;
    }
  }
  if (src) src->wake();
  if (obs) obs(to, m);
  return ok;
}

std::intptr_t send(WindowToken to, Msg m) {
  auto self = detail::currentQueue();
  std::unique_lock lk(detail::lock());
  auto& s = detail::state();
  auto it = s.windows.find(to);
  if (it == s.windows.end() || it->second.owner->closed) return 0;
  if (it->second.owner == self) {
    WindowProc proc = it->second.proc;
    lk.unlock();
    return proc ? proc(to, m) : 0;
  }
  auto target = it->second.owner;
  auto rec = std::make_shared<SendRecord>();
  rec->to = to;
  rec->msg = m;
  rec->sender = self;
  target->sent.push_back(rec);
  if (PumpSource* src = detail::wakeLocked(*target)) {
    lk.unlock();
    src->wake();
    lk.lock();
  }
  return waitForReply(self, target, rec, lk);
}

std::intptr_t callOn(ThreadToken to, const std::function<std::intptr_t()>& fn) {
  auto self = detail::currentQueue();
  if (to == self->token) return fn();
  std::unique_lock lk(detail::lock());
  auto target = detail::findQueueLocked(to);
  if (!target || target->closed) return 0;
  auto rec = std::make_shared<SendRecord>();
  rec->call = fn;
  rec->sender = self;
  target->sent.push_back(rec);
  if (PumpSource* src = detail::wakeLocked(*target)) {
    lk.unlock();
    src->wake();
    lk.lock();
  }
  return waitForReply(self, target, rec, lk);
}

void setPostObserver(PostObserver obs) {
  std::lock_guard lk(detail::lock());
  detail::state().observer = std::move(obs);
}

Pump pumpOne(bool block) {
  auto self = detail::currentQueue();
  for (;;) {
    PumpSource* src;
    {
      std::unique_lock lk(detail::lock());
      src = self->source;
    }
    if (src) src->beginTurn();
    std::unique_lock lk(detail::lock());
    detail::checkpointLocked(*self, lk);
    if (detail::serveOneLocked(*self, lk)) return Pump::Handled;
    if (!self->posted.empty()) {
      detail::Posted p = self->posted.front();
      self->posted.pop_front();
      if (p.to == 0) return Pump::Handled;  // a thread message has no procedure to go to
      auto& s = detail::state();
      auto it = s.windows.find(p.to);
      if (it == s.windows.end()) return Pump::Handled;
      WindowProc proc = it->second.proc;
      lk.unlock();
      if (proc) proc(p.to, p.msg);
      return Pump::Handled;
    }
    if (self->quit) return Pump::Quit;
    src = self->source;
    lk.unlock();
    if (src) {
      const PumpSource::Served served = src->dispatchOne();
      if (served == PumpSource::Served::Event) return Pump::Handled;
      if (served == PumpSource::Served::Wake) {
        // A post queues its message, then wakes: when the wake is taken before the
        // message is seen, the message is served in this turn rather than left behind.
        lk.lock();
        const bool queued = !self->sent.empty() || !self->posted.empty() || self->quit;
        lk.unlock();
        if (queued) continue;
        return Pump::Handled;
      }
    }
    if (!block) return Pump::Empty;
    if (src) {
      src->waitMs(10);
    } else {
      lk.lock();
      self->cv.wait(lk, [&] {
        return !self->sent.empty() || !self->posted.empty() || self->quit || self->cancel || self->suspendCount > 0;
      });
    }
  }
}

void setPumpSource(PumpSource* source) {
  auto self = detail::currentQueue();
  std::lock_guard lk(detail::lock());
  self->source = source;
}

}  // namespace plat
