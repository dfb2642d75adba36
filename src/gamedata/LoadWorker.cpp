#include "gamedata/LoadWorker.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/AppGlobals.h"
#include "core/Log.h"

namespace {

std::mutex g_PumpMutex;
LoadMessagePump g_Pump;
std::atomic<bool> g_bStop{false};

// A worker's fault must not end the process: it is logged and the program asked to close.
void RunGuarded(const std::function<void(const std::atomic<bool>&)>& work) {
  try {
    work(g_bStop);
  } catch (const std::exception& e) {
    DebugLog(e.what());
    PostCloseRequest();
  }
}

}  // namespace

void SetLoadMessagePump(LoadMessagePump pump) {
  std::lock_guard lock(g_PumpMutex);
  g_Pump = std::move(pump);
}

void CancelLoadWorker() { g_bStop.store(true); }

eWorkerEnd RunLoadWorker(const std::function<void(const std::atomic<bool>& stop)>& work) {
  LoadMessagePump pump;
  {
    std::lock_guard lock(g_PumpMutex);
    pump = g_Pump;
  }
  g_bStop.store(false);
  std::mutex mutex;
  std::condition_variable ended;
  bool bDone = false;
  std::thread worker;
  try {
    worker = std::thread([&] {
      RunGuarded(work);
      std::lock_guard lock(mutex);
      bDone = true;
      ended.notify_all();
    });
  } catch (const std::system_error&) {
    RunGuarded(work);
    return eWorkerEnd::Finished;
  }

  eWorkerEnd end = eWorkerEnd::Finished;
  for (;;) {
    if (pump && !pump()) {
      DebugPrintf("msg.message == WM_QUIT");
      end = eWorkerEnd::Quit;
      g_bStop.store(true);
      break;
    }
    // A short wait instead of a busy poll: the messages are still served every
    // millisecond, and the end of the work is seen at once.
    std::unique_lock lock(mutex);
    if (ended.wait_for(lock, std::chrono::milliseconds(1), [&] { return bDone; })) break;
  }
  worker.join();
  return end;
}
