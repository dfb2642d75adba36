// The game's one random-number generator, shared by stage play and the flows. Replays
// store its seed and must repeat its sequence, also those recorded on the original
// platform, so it is that platform's C runtime generator, never the C library's rand.
#pragma once
#include <cstdint>

// Sets the state.
void Srand(std::uint32_t seed);
// The next number, 0 to 32767.
int Rand();
