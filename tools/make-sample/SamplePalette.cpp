#include "SamplePalette.h"

#include <vector>

namespace sample {

namespace {

Rgb Mix(Rgb a, Rgb b, int num, int den) {
  auto m = [&](int x, int y) { return static_cast<std::uint8_t>(x + (y - x) * num / den); };
  return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Palette MakePalette() {
  Palette p{};
  p[pal::KEY] = Rgb{255, 0, 255};
  // Entries the 8-bit mode leaves to the system: plain greys.
  for (int i = 1; i <= 9; ++i) p[i] = Rgb{std::uint8_t(i * 8), std::uint8_t(i * 8), std::uint8_t(i * 8)};
  for (int i = 246; i <= 255; ++i) {
    const auto v = static_cast<std::uint8_t>(150 + (i - 246) * 10);
    p[i] = Rgb{v, v, v};
  }
  // The author band: a grey ramp that starts at the dark screen colour, then eleven hues,
  // each from near black through the hue itself to near white.
  for (int s = 0; s < 16; ++s) {
    const auto v = static_cast<std::uint8_t>(24 + s * 231 / 15);
    p[Shade(GREY, s)] = s == 0 ? Rgb{16, 16, 40} : Rgb{v, v, v};
  }
  // clang-format off
  const Rgb hues[RAMP_COUNT] = {{},           {220, 40, 40},  {240, 130, 30}, {240, 220, 40},
                                {50, 180, 60}, {30, 160, 140}, {90, 170, 240}, {40, 70, 200},
                                {140, 60, 200}, {240, 110, 170}, {140, 90, 50}, {240, 190, 150}};
  // clang-format on
  for (int r = RED; r < RAMP_COUNT; ++r)
    for (int s = 0; s < 16; ++s)
      p[Shade(Ramp(r), s)] = s <= 9 ? Mix(Rgb{}, hues[r], s + 1, 10) : Mix(hues[r], Rgb{255, 255, 255}, s - 9, 7);
  // Eight menu colours, each a group of four that the cycling rotates.
  const Rgb menu[8] = {{255, 255, 255}, {255, 230, 60},  {80, 230, 255}, {90, 240, 90},
                       {255, 90, 90},   {110, 140, 255}, {255, 160, 60}, {255, 130, 220}};
  for (int g = 0; g < 8; ++g)
    for (int k = 0; k < 4; ++k) p[pal::MENU + 4 * g + k] = Mix(Rgb{}, menu[g], 10 - 2 * k, 10);
  p[pal::FRAME] = Rgb{180, 200, 255};
  p[pal::FONT] = Rgb{255, 255, 255};
  p[pal::FONT2] = Rgb{255, 240, 120};
  p[243] = Rgb{0, 0, 0};
  p[244] = Rgb{64, 64, 64};
  p[245] = Rgb{128, 128, 128};
  return p;
}

}  // namespace

const Palette& SamplePalette() {
  static const Palette p = MakePalette();
  return p;
}

namespace {

constexpr int BAND_FIRST = 16, BAND_LENGTH = 192;

// Where rotation n puts the base palette's entry i.
int Rotated(int i, int n) {
  return i < BAND_FIRST || i >= BAND_FIRST + BAND_LENGTH ? i : BAND_FIRST + (i - BAND_FIRST + 16 * n) % BAND_LENGTH;
}

}  // namespace

Palette PaletteVariant(int n) {
  const Palette& base = SamplePalette();
  Palette p = base;
  constexpr int first = BAND_FIRST, len = BAND_LENGTH;
  if (n >= 1 && n <= 11) {
    for (int i = 0; i < 256; ++i) p[Rotated(i, n)] = base[i];
  } else if (n >= 12 && n <= 23) {
    for (int i = 0; i < len; ++i) p[first + i] = base[16 * (n - 11) + i % 16];
  }
  return p;
}

BlendTable MakeBlendTable(const Palette& p) {
  // Distinct colours only, each under its lowest number: ties go to the lower number.
  std::vector<int> candidates;
  for (int i = 1; i < 256; ++i) {
    bool seen = p[i] == p[pal::KEY];
    for (int j : candidates) seen = seen || p[j] == p[i];
    if (!seen) candidates.push_back(i);
  }
  BlendTable table{};
  for (int a = 0; a < 256; ++a)
    for (int b = a; b < 256; ++b) {
      const int r = (p[a].r + p[b].r) / 2, g = (p[a].g + p[b].g) / 2, bl = (p[a].b + p[b].b) / 2;
      int best = candidates.front(), bestDist = 1 << 30;
      for (int c : candidates) {
        const int dr = p[c].r - r, dg = p[c].g - g, db = p[c].b - bl;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
          bestDist = d;
          best = c;
        }
      }
      table[a * 256 + b] = table[b * 256 + a] = static_cast<std::uint8_t>(best);
    }
  return table;
}

std::vector<BlendTable> MakeBlendTables() {
  const BlendTable base = MakeBlendTable(SamplePalette());
  std::vector<BlendTable> tables{base};
  for (int n = 1; n <= 11; ++n) {
    BlendTable t{};
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) {
        // Entry a of the rotated palette is the base entry that rotates onto it.
        const int baseA = Rotated(a, 12 - n), baseB = Rotated(b, 12 - n);
        t[a * 256 + b] = static_cast<std::uint8_t>(Rotated(base[baseA * 256 + baseB], n));
      }
    tables.push_back(t);
  }
  for (int n = 12; n <= 23; ++n) tables.push_back(MakeBlendTable(PaletteVariant(n)));
  return tables;
}

}  // namespace sample
