// Linked into every test program: a program started by hand, outside ctest, runs as
// ctest runs it (no display, no sound card, message boxes on standard error) instead of
// waiting on a dialog nobody sees. A value the caller set is kept.
#include <cstdlib>

namespace {

const bool g_bHeadlessDefaults = [] {
  ::setenv("SDL_VIDEODRIVER", "dummy", 0);
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);
  ::setenv("PELLMOOR_HEADLESS", "1", 0);
  return true;
}();

}  // namespace
