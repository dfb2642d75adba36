#include "base/Random.h"

#include "platform/sys.h"

namespace {
// Used by one thread at a time: start-up, then the game thread.
plat::sys::MsvcRand g_Generator;
}  // namespace

void Srand(std::uint32_t seed) { g_Generator.seed(seed); }

int Rand() { return g_Generator.next(); }
