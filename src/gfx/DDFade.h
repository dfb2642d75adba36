// Palette blends and rotations, and the full-screen fades every scene runs: a coloured
// quad under Direct3D, the palette at 8 bits and a mix from the screen copy at 16 and 32
// bits under DirectDraw. Each fade owns its angle and reports true once, when it ends.
#pragma once
#include <cstdint>

#include "gfx/DDPalette.h"

// Entries first..last of work become (colour * (256 - level) + palette * level) >> 8.
void DDBlendPalette(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::int32_t level, std::uint8_t red,
                    std::uint8_t green, std::uint8_t blue, const PALETTEENTRY* palette);
// work = palette, with entries first..last rotated n places (direction 0 up, 1 down);
// only at 8 and 16 bits.
void DDRotatePalette(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::int32_t n, std::int32_t direction,
                     const PALETTEENTRY* palette);
// From the picture to the colour (angle 90 down to 0).
bool DDFadeOut(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::uint8_t red, std::uint8_t green,
               std::uint8_t blue, std::int32_t speed, const PALETTEENTRY* palette, bool finish);
// From the colour to the picture (angle 0 up to 90).
bool DDFadeIn(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::uint8_t red, std::uint8_t green,
              std::uint8_t blue, std::int32_t speed, const PALETTEENTRY* palette, bool finish);
