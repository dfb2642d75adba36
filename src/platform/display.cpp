#include "platform/display.h"

#include <mutex>

namespace plat::display {

namespace {

struct State {
  std::mutex mutex;
  int depthOverride = 0;
  PixelFormat format16 = PixelFormat::Rgb565;
  DeviceCaps caps;
  Faults faults;
  long long budget = -1;
  long long used = 0;
  Palette palette{};
  bool lost = false;
  int lostAnswers = 0;
  int failedResets = 0;
};
// Never destroyed: surfaces held by static records release memory at exit.
State& state() {
  static State* s = new State;
  return *s;
}

}  // namespace

int desktopDepth() {
  std::lock_guard lock(state().mutex);
  return state().depthOverride ? state().depthOverride : 32;
}

void setDesktopDepthOverride(int bpp) {
  std::lock_guard lock(state().mutex);
  state().depthOverride = bpp;
}

PixelFormat directDraw16Format() {
  std::lock_guard lock(state().mutex);
  return state().format16;
}

void setDirectDraw16Format(PixelFormat f) {
  std::lock_guard lock(state().mutex);
  state().format16 = f;
}

DeviceCaps& caps() { return state().caps; }
Faults& faults() { return state().faults; }

void setVideoMemoryBudget(long long bytes) {
  std::lock_guard lock(state().mutex);
  state().budget = bytes;
}

long long videoMemoryBudget() {
  std::lock_guard lock(state().mutex);
  return state().budget;
}

long long videoMemoryUsed() {
  std::lock_guard lock(state().mutex);
  return state().used;
}

bool reserveVideoMemory(long long bytes) {
  std::lock_guard lock(state().mutex);
  State& s = state();
  if (s.budget >= 0 && s.used + bytes > s.budget) return false;
  s.used += bytes;
  return true;
}

void releaseVideoMemory(long long bytes) {
  std::lock_guard lock(state().mutex);
  state().used -= bytes;
}

void setPaletteEntries(int first, int count, const std::uint32_t* rgb) {
  std::lock_guard lock(state().mutex);
  for (int i = 0; i < count; ++i) {
    int n = first + i;
    if (n >= 0 && n < 256) state().palette[n] = rgb[i] & 0xFFFFFF;
  }
}

Palette palette() {
  std::lock_guard lock(state().mutex);
  return state().palette;
}

void injectLoss(int lostAnswers) {
  {
    std::lock_guard lock(state().mutex);
    state().lost = true;
    state().lostAnswers = lostAnswers;
  }
  markVideoSurfacesLost();
}

bool deviceLost() {
  std::lock_guard lock(state().mutex);
  return state().lost;
}

Coop testCooperative() {
  std::lock_guard lock(state().mutex);
  State& s = state();
  if (!s.lost) return Coop::Ok;
  if (s.lostAnswers > 0) {
    --s.lostAnswers;
    return Coop::Lost;
  }
  return Coop::NotReset;
}

bool reset() {
  std::lock_guard lock(state().mutex);
  State& s = state();
  if (s.failedResets > 0) {
    --s.failedResets;
    return false;
  }
  s.lost = false;
  s.lostAnswers = 0;
  return true;
}

void failNextResets(int count) {
  std::lock_guard lock(state().mutex);
  state().failedResets = count;
}

void resetForTests() {
  std::lock_guard lock(state().mutex);
  State& s = state();
  s.depthOverride = 0;
  s.format16 = PixelFormat::Rgb565;
  s.caps = DeviceCaps{};
  s.faults = Faults{};
  s.budget = -1;
  s.palette = Palette{};
  s.lost = false;
  s.lostAnswers = 0;
  s.failedResets = 0;
}

}  // namespace plat::display
