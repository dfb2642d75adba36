// The one 256-colour palette that every bitmap of the sample project carries, and the
// names of the palette numbers the sample draws with.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace sample {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

using Palette = std::array<Rgb, 256>;

// The project's palette: 0 is the transparent colour (no other entry shares its RGB);
// 16-207 are twelve ramps of sixteen shades, dark to light; 208-239 eight groups of four
// menu colours that the 8-bit mode cycles; 240 window frames; 241 and 242 the fonts.
// 1-9 and 246-255 are left to the system in the 8-bit mode and never drawn with.
const Palette& SamplePalette();

// Ramps of the author band: ramp r, shade s (0 darkest, 15 lightest) is 16 + 16 r + s.
enum Ramp : int { GREY = 0, RED, ORANGE, YELLOW, GREEN, TEAL, SKY, BLUE, PURPLE, PINK, BROWN, SKIN, RAMP_COUNT };
constexpr std::uint8_t Shade(Ramp r, int s) { return static_cast<std::uint8_t>(16 + 16 * r + s); }

namespace pal {
constexpr std::uint8_t KEY = 0;      // transparent
constexpr std::uint8_t SCREEN = 16;  // the dark fill of screens and backgrounds
constexpr std::uint8_t BLACK = Shade(GREY, 0);
constexpr std::uint8_t WHITE = Shade(GREY, 15);
constexpr std::uint8_t MENU = 208;   // first of the eight cycled groups of four
constexpr std::uint8_t FRAME = 240;  // window frames
constexpr std::uint8_t FONT = 241;   // font colours 241 and 242
constexpr std::uint8_t FONT2 = 242;
}  // namespace pal

// The palette that the 8-bit mode shows for palette option n (0 to 23): 0-11 rotate
// the author band by 16 n entries, 12-23 repeat one of its rows in every row.
Palette PaletteVariant(int n);

using BlendTable = std::array<std::uint8_t, 65536>;

// The blend table of a palette: byte a * 256 + b is the entry nearest to the half-and-half
// mix of a and b (entry 0, the transparent colour, is never chosen; ties go to the lower
// number).
BlendTable MakeBlendTable(const Palette& p);
// The tables of the 24 palette options. A rotated palette holds the base palette's
// colours in other places, so its table is the base table renumbered.
std::vector<BlendTable> MakeBlendTables();

}  // namespace sample
