#include "core/Timer.h"

#include "platform/clock.h"

namespace {

// Used by one thread at a time: the game thread, or a sub-loop while it waits.
plat::Millis g_WorkStart = 0;
std::uint32_t g_FrameCount = 0;
bool g_FpsStarted = false;
plat::Millis g_FpsStart = 0;
std::uint32_t g_FpsCount = 0;
std::uint32_t g_FpsPublished = 0;
bool g_NextFrameSet = false;
plat::Millis g_NextFrame = 0;
std::uint32_t g_PeriodCarry = 0;  // 1000 % rate summed over frames, below rate

}  // namespace

void StartTimer() { g_WorkStart = plat::clock().nowMs(); }

std::uint32_t ElapsedTime() { return plat::clock().nowMs() - g_WorkStart; }

int CountFrames(int mode, std::uint32_t n) {
  if (mode == 0) {
    g_FrameCount = 0;
    return 0;
  }
  if (mode == 2) return g_FrameCount == 0 ? 1 : 0;
  ++g_FrameCount;
  if (g_FrameCount >= n) {
    g_FrameCount = 0;
    return 1;
  }
  return 0;
}

int CountFps() {
  plat::Millis now = plat::clock().nowMs();
  if (!g_FpsStarted) {
    g_FpsStarted = true;
    g_FpsStart = now;
  }
  if (now - g_FpsStart >= 1000) {
    g_FpsStart = now;
    g_FpsPublished = g_FpsCount;
    g_FpsCount = 0;
    return static_cast<int>(g_FpsPublished);
  }
  ++g_FpsCount;
  return static_cast<int>(g_FpsPublished);
}

bool LimitFrameRate(int rate) {
  plat::Millis now = plat::clock().nowMs();
  if (!g_NextFrameSet) {
    g_NextFrameSet = true;
    g_NextFrame = now;
  }
  if (rate == 0) return true;
  // Wrap-safe: a plain "now < next" would release a burst of frames when the 32-bit
  // millisecond clock wraps.
  if (!plat::reached(now, g_NextFrame)) return false;
  // Whole milliseconds of 1000 / rate leave a remainder: 16 ms at 60 would give 62.5
  // frames a second, and every timed part of the game would run fast.
  const auto r = static_cast<std::uint32_t>(rate);
  g_PeriodCarry += 1000 % r;
  const std::uint32_t extra = g_PeriodCarry / r;
  g_PeriodCarry %= r;
  g_NextFrame = now + static_cast<plat::Millis>(1000 / r + extra);
  return true;
}

std::uint32_t FrameTimeLeft() {
  if (!g_NextFrameSet) return 0;
  plat::Millis now = plat::clock().nowMs();
  return plat::reached(now, g_NextFrame) ? 0 : g_NextFrame - now;
}

void ResetTimers() {
  g_WorkStart = 0;
  g_FrameCount = 0;
  g_FpsStarted = false;
  g_FpsStart = g_FpsCount = g_FpsPublished = 0;
  g_NextFrameSet = false;
  g_NextFrame = 0;
  g_PeriodCarry = 0;
}
