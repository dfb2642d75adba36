// The stage loader's worker: runs one piece of work on its own thread while the calling
// thread keeps serving its messages, and stops the work when the caller's queue says
// the program is quitting.
//
// This stands in for the worker-thread wrapper of the application core until that is
// available here; the wait then becomes thLoad's start, the caller's message pump and
// thLoad's exit, with the same results.
#pragma once
#include <atomic>
#include <functional>

// Serves the calling thread's pending messages once; false when it removed the quit
// message (the wait must end).
using LoadMessagePump = std::function<bool()>;

// The pump that LoadStage serves while it waits; none: nothing to serve.
void SetLoadMessagePump(LoadMessagePump pump);

enum class eWorkerEnd { Finished, Quit };

// Runs work(stop) on a new thread. Meanwhile the calling thread calls the installed pump,
// once right after the start and then after every millisecond that the work goes on;
// when it answers false, stop is set, the work is awaited (it must end soon after seeing
// stop) and the answer is Quit. A thread that cannot be started runs the work on the
// calling thread.
eWorkerEnd RunLoadWorker(const std::function<void(const std::atomic<bool>& stop)>& work);

// Asks the running work to stop (what the close handling does to the loader); harmless
// when nothing runs.
void CancelLoadWorker();
