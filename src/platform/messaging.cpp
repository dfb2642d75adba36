#include "platform/messaging.h"

#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace plat {
namespace {

struct WindowEntry {
  WindowProc proc;
  std::thread::id owner;
  std::deque<Msg> posted;
};

struct Registry {
  std::mutex mutex;
  std::map<WindowToken, WindowEntry> windows;
  WindowToken next = 1;
  PostObserver observer;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

WindowToken registerWindow(WindowProc proc) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  WindowToken t = r.next++;
  r.windows[t] = WindowEntry{std::move(proc), std::this_thread::get_id(), {}};
  return t;
}

void unregisterWindow(WindowToken w) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.windows.erase(w);
}

bool post(WindowToken to, Msg m) {
  Registry& r = registry();
  PostObserver obs;
  bool ok = false;
  {
    std::lock_guard lock(r.mutex);
    obs = r.observer;
    auto it = r.windows.find(to);
    if (it != r.windows.end()) {
      it->second.posted.push_back(m);
      ok = true;
    }
  }
  if (obs) obs(to, m);
  return ok;
}

std::intptr_t send(WindowToken to, Msg m) {
  Registry& r = registry();
  WindowProc proc;
  {
    std::lock_guard lock(r.mutex);
    auto it = r.windows.find(to);
    if (it == r.windows.end()) return 0;
    proc = it->second.proc;
  }
  return proc ? proc(to, m) : 0;
}

void setPostObserver(PostObserver obs) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.observer = std::move(obs);
}

}  // namespace plat
