// Time: a millisecond clock that wraps like a 32-bit tick count, a nanosecond clock
// for fine measurements, and sleeping. Tests install a fake clock.
#pragma once
#include <atomic>
#include <cstdint>

namespace plat {

using Millis = std::uint32_t;  // wraps after about 49.7 days

class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual Millis nowMs() = 0;           // milliseconds since an arbitrary start, truncated to 32 bits
  virtual std::uint64_t nowNs() = 0;    // nanoseconds, monotonic
  virtual void sleepMs(Millis ms) = 0;  // at least ms (a fake clock may advance instead)
};

// The clock in use: the monotonic system clock unless a test installed another.
ClockSource& clock();
// Tests only; nullptr restores the system clock. The caller keeps ownership.
void installClock(ClockSource* source);
bool isSystemClock();
// The system clock's milliseconds even while a fake is installed: bounds that guard
// against hung threads must pass in real time.
Millis systemNowMs();

// A clock that moves only when told to. Safe to read and advance from any thread.
class FakeClock final : public ClockSource {
 public:
  explicit FakeClock(Millis startMs = 0) : ns_(std::uint64_t{startMs} * 1000000u) {}
  Millis nowMs() override { return static_cast<Millis>(ns_.load() / 1000000u); }
  std::uint64_t nowNs() override { return ns_.load(); }
  void sleepMs(Millis ms) override;
  void advance(Millis ms) { ns_.fetch_add(std::uint64_t{ms} * 1000000u); }
  void setMs(Millis ms) { ns_.store(std::uint64_t{ms} * 1000000u); }
  // When on, sleepMs advances the clock by the time asked for; otherwise it only yields
  // and the test moves the time.
  void autoAdvanceOnSleep(bool on) { autoAdvance_.store(on); }

 private:
  std::atomic<std::uint64_t> ns_;
  std::atomic<bool> autoAdvance_{false};
};

// "now is not earlier than deadline", correct across the 32-bit wrap.
inline bool reached(Millis now, Millis deadline) { return static_cast<std::int32_t>(now - deadline) >= 0; }

}  // namespace plat
