// Messages to windows and threads: the queues that carry close requests, private
// requests of the game thread and quit notices between the program's threads.
//
// Every thread has a queue, made on first use (a worker's before it starts). A window
// belongs to the thread that registered it and is served by that thread's pump:
// sends first (each blocks its sender until served), then posted messages in order,
// then a quit, which stays set once posted.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/thread.h"
#include "platform/winnum.h"

namespace plat {

using WindowToken = std::uint32_t;  // 0 = no window: posts are dropped, sends answer 0

using WindowProc = std::function<std::intptr_t(WindowToken, const Msg&)>;

// Registers a window served by the calling thread's pump; returns its token.
WindowToken registerWindow(WindowProc proc);
// Forgets a window: queued posts to it are dropped, later posts fail, pending sends
// answer 0.
void unregisterWindow(WindowToken w);
bool windowExists(WindowToken w);

// PostMessage: false, and the message dropped, when no such window exists.
bool post(WindowToken to, Msg m);
// SendMessage: a direct call on the window's own thread; from another thread the
// request is served ahead of posts by the owner's pump while the sender waits. The
// wait is a checkpoint: a cancelled sender stops waiting, and a request not yet
// started is never served. 0 when the window does not exist or is destroyed first.
std::intptr_t send(WindowToken to, Msg m);
// Runs fn on the thread `to` inside its pump, like a send; the caller waits.
// A call to the calling thread runs at once; 0 when that thread is gone.
std::intptr_t callOn(ThreadToken to, const std::function<std::intptr_t()>& fn);

// Observer for tests: sees every post made to any window (also dropped ones).
using PostObserver = std::function<void(WindowToken, const Msg&)>;
void setPostObserver(PostObserver obs);

// One turn of the calling thread's pump. Re-entrant: nested loops (dialogs, boxes,
// waits) call it too and serve sends the same way.
enum class Pump { Handled, Empty, Quit };
Pump pumpOne(bool block);

// Events from outside the queue (the window system) that a thread's pump serves after
// its queued messages; installed by the window module for the window thread.
class PumpSource {
 public:
  virtual ~PumpSource() = default;
  virtual void beginTurn() {}  // start of every pump turn
  // Serves one pending external event. A wake (see wake()) is an event of its own: it
  // ends the pump's turn unless the wake came with a message for the thread's queue.
  enum class Served { None, Event, Wake };
  virtual Served dispatchOne() = 0;
  virtual void waitMs(int ms) = 0;  // until an external event or wake(), at most ms
  virtual void wake() = 0;          // any thread: end a waitMs
};
// For the calling thread; nullptr removes it.
void setPumpSource(PumpSource* source);

}  // namespace plat
