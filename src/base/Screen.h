// The size of the game's screen and of the block grid stages are laid out on, in pixels.
#pragma once

inline constexpr int SCREEN_WIDTH = 640;
inline constexpr int SCREEN_HEIGHT = 480;
// One block of a stage's map is a square of this side; cell coordinates step by it.
inline constexpr int BLOCK_SIZE = 32;
// Cell arithmetic masks and shifts with it.
static_assert(BLOCK_SIZE > 0 && (BLOCK_SIZE & (BLOCK_SIZE - 1)) == 0, "the block size is a power of two");
