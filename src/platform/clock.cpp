#include "platform/clock.h"

#include <time.h>

#include <thread>

namespace plat {
namespace {

class SystemClock final : public ClockSource {
 public:
  Millis nowMs() override { return static_cast<Millis>(nowNs() / 1000000u); }
  std::uint64_t nowNs() override {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1000000000u + std::uint64_t(ts.tv_nsec);
  }
  void sleepMs(Millis ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {}
  }
};

SystemClock g_system;
std::atomic<ClockSource*> g_installed{nullptr};

}  // namespace

ClockSource& clock() {
  ClockSource* c = g_installed.load(std::memory_order_acquire);
  return c ? *c : g_system;
}

void installClock(ClockSource* source) { g_installed.store(source, std::memory_order_release); }

Millis systemNowMs() { return g_system.nowMs(); }

bool isSystemClock() { return g_installed.load(std::memory_order_acquire) == nullptr; }

void FakeClock::sleepMs(Millis ms) {
  if (autoAdvance_.load()) advance(ms);
  else std::this_thread::yield();
}

}  // namespace plat
