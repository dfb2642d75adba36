// A worker thread with a message queue of its own, served by a get loop:
// post() from any thread, get() on the worker, quit ends the loop. The queue exists
// from the start, so a post right after start() is never lost.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <thread>

#include "platform/winnum.h"

namespace plat {

class MailboxThread {
 public:
  MailboxThread() = default;
  ~MailboxThread();  // quits and joins a thread still running
  MailboxThread(const MailboxThread&) = delete;
  MailboxThread& operator=(const MailboxThread&) = delete;

  bool start(std::function<void(MailboxThread&)> proc);
  bool running() const { return thread_.joinable(); }
  bool post(const Msg& m);
  // Quit stays set once posted: get() answers false from then on.
  void postQuit();
  // On the worker: waits for the next message; false at quit.
  bool get(Msg& out);
  void join();

  // Tests: waits until every mailbox thread has emptied its queue and waits in get()
  // (or has ended); false if that did not happen within the time.
  static bool waitAllIdle(int timeoutMs);

 private:
  std::thread thread_;
  std::deque<Msg> queue_;
  bool quit_ = false;
  bool waiting_ = false;
  bool finished_ = false;
};

}  // namespace plat
