// Two colour services of the scenes: the palette variant of the 256-colour mode (its
// blend table and the palette derived from the palette bitmap), and the colours that
// pulse or cycle once per drawn frame (the draw modes of coloured characters under
// Direct3D, the menu entries of the 8-bit palette under DirectDraw).
#pragma once
#include <cstdint>

#include "gfx/DDBlt.h"

// Draw modes by a character's colour setting; entries 1 to 9 pulse, entry 0 is the plain mode.
constexpr int COLOR_DRAW_MODE_COUNT = 10;
extern DRAWMODE g_ColorDrawModes[COLOR_DRAW_MODE_COUNT];

// Loads the blend table "bmp\hbt\hbt<NN>.dat" of the variant and derives the palette;
// 8-bit DirectDraw only (1 elsewhere). 0 on failure.
std::int32_t LoadHbtPalette(std::int32_t number);

// One animation step, called once per drawn frame. paletteCycle is the project's
// palette-cycling setting (`m_bPaletteCycle` of the system settings).
void CycleMenuColors(std::int32_t paletteCycle);

// value moves by step toward max (direction 0) or min (direction 1) and turns back at
// either end, holding the turning value for one extra call; 1 when it turned at min.
std::int32_t PingPongStep(std::int32_t& value, std::int32_t& direction, std::int32_t step, std::int32_t min,
                          std::int32_t max);

// Puts the ramps, the hue pattern and the cycle counter back to their start (tests).
void ResetMenuColors();
