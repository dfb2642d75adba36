#include "platform/signals.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>

namespace plat::signals {
namespace {

std::atomic<bool> g_taken{false};
// Lock-free, so the handler may set it.
std::atomic<int> g_pending{0};
static_assert(std::atomic<int>::is_always_lock_free);

void onCloseSignal(int) { g_pending.store(1); }

}  // namespace

void takeCloseSignals() {
  if (g_taken.exchange(true)) return;
  struct sigaction sa {};
  sa.sa_handler = &onCloseSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  // A launcher may hand them over blocked: then no close request would ever arrive (one
  // sent before the start is delivered now).
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool closeSignalsTaken() { return g_taken.load(); }

bool takeCloseRequest() { return g_pending.exchange(0) != 0; }

}  // namespace plat::signals
