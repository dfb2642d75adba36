// The size of the game's screen and of the block grid stages are laid out on, in pixels.
#pragma once

inline constexpr int SCREEN_WIDTH = 640;
inline constexpr int SCREEN_HEIGHT = 480;
// One block of a stage's map is a square of this side; cell coordinates step by it.
inline constexpr int BLOCK_SIZE = 32;
// Pixel to cell is a shift (which rounds down also left of the map), and the offset
// inside a cell a mask of BLOCK_SIZE - 1.
inline constexpr int BLOCK_SHIFT = 5;
static_assert(1 << BLOCK_SHIFT == BLOCK_SIZE);
