// Messages to windows and threads: the queues that carry close requests, private
// requests of the game thread and quit notices between the program's threads.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/winnum.h"

namespace plat {

using WindowToken = std::uint32_t;  // 0 = no window: posts are dropped, sends answer 0
using ThreadToken = std::uint32_t;  // 0 = no thread

using WindowProc = std::function<std::intptr_t(WindowToken, const Msg&)>;

// Registers a window served by the calling thread's pump; returns its token.
WindowToken registerWindow(WindowProc proc);
// Forgets a window: later posts to it are dropped, pending sends answer 0.
void unregisterWindow(WindowToken w);

// PostMessage: false, and the message dropped, when no such window exists.
bool post(WindowToken to, Msg m);
// SendMessage: a direct call on the window's own thread; from another thread the
// request is served ahead of posts by the window thread's pump while the sender waits.
std::intptr_t send(WindowToken to, Msg m);

// Observer for tests: sees every post made to any window (also dropped ones).
using PostObserver = std::function<void(WindowToken, const Msg&)>;
void setPostObserver(PostObserver obs);

}  // namespace plat
