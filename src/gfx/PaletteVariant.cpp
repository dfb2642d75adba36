#include "gfx/PaletteVariant.h"

#include <algorithm>
#include <string>

#include "base/Log.h"
#include "gfx/BmpTable.h"
#include "gfx/DDFade.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDTranslucent.h"

DRAWMODE g_ColorDrawModes[COLOR_DRAW_MODE_COUNT];

namespace {

constexpr int kRamps = 9;
std::int32_t s_RampValue[kRamps];
std::int32_t s_RampDirection[kRamps];
std::int32_t s_HuePattern = 0;
std::int32_t s_CycleCounter = 0;

// Entries 16..207 hold the twelve rows of sixteen colours that a variant changes.
constexpr int kBandFirst = 16, kBandLast = 207, kRow = 16;

}  // namespace

std::int32_t PingPongStep(std::int32_t& value, std::int32_t& direction, std::int32_t step, std::int32_t min,
                          std::int32_t max) {
  if (direction == 0) {
    value += step;
    if (value >= max) {
      value -= step;
      direction = 1;
    }
    return 0;
  }
  value -= step;
  if (value <= min) {
    value += step;
    direction = 0;
    return 1;
  }
  return 0;
}

void ResetMenuColors() {
  std::fill(s_RampValue, s_RampValue + kRamps, 0);
  std::fill(s_RampDirection, s_RampDirection + kRamps, 0);
  s_HuePattern = 0;
  s_CycleCounter = 0;
}

std::int32_t LoadHbtPalette(std::int32_t number) {
  if (!g_lpDDData || g_DDState.nBpp != 8) return 1;
  std::string digits, name;
  FormatString(digits, "%02d", static_cast<int>(number));
  FormatString(name, "bmp\\hbt\\hbt%s.dat", digits.c_str());
  if (!DDLoadBlendTable(g_BlendTable, name)) {
    ErrorBoxPrintf("%s の読み込みに失敗！", name.c_str());
    return 0;
  }
  if (!DDLoadPaletteFromFile(g_Palette, g_BmpTable[0].szFileName, g_DDState.bWindowed)) {
    DebugLog("DDLoadPaletteFromFile失敗");
    return 0;
  }
  if (number >= 0 && number <= 11) {
    DDRotatePalette(g_Palette, kBandFirst, kBandLast, number * kRow, 0, g_Palette);
  } else if (number >= 12 && number <= 23) {
    // The whole band shows one row of the bitmap's palette.
    PALETTEENTRY row[kRow];
    std::copy_n(g_Palette + kRow * (number - 11), kRow, row);
    for (int start = kBandFirst; start <= kBandLast; start += kRow) std::copy_n(row, kRow, g_Palette + start);
  }
  std::copy_n(g_Palette, 256, g_WorkPalette);
  DDSetPaletteEntries(0, 255, g_Palette);
  return 1;
}

void CycleMenuColors(std::int32_t paletteCycle) {
  if (g_lpD3DData) {
    for (int k = 0; k < kRamps; ++k) {
      const std::uint32_t v = std::uint32_t(s_RampValue[k]) & 255u;
      std::uint32_t r = 0, g = 0, b = 0;
      std::int32_t op = D3DTOP_ADD;
      switch (k + 1) {
        case 1: r = g = b = v; break;
        case 2:
          r = g = b = v;
          op = D3DTOP_SUBTRACT;
          break;
        case 3: r = v; break;
        case 4: g = v; break;
        case 5: b = v; break;
        case 6: r = g = v; break;
        case 7:
          r = v;
          b = v >> 2;
          break;
        case 8:
          r = v >> 2;
          b = v;
          break;
        default:
          switch (s_HuePattern) {
            case 0: r = v; break;
            case 1: g = v; break;
            case 2: b = v; break;
            default: r = g = v; break;
          }
          break;
      }
      g_ColorDrawModes[k + 1] = DRAWMODE{0xFF000000u | r << 16 | g << 8 | b, op};
      const std::int32_t turned = PingPongStep(s_RampValue[k], s_RampDirection[k], 16, 0, 255);
      if (k + 1 == kRamps && turned) s_HuePattern = (s_HuePattern + 1) % 4;
    }
    return;
  }
  if (!g_lpDDData || !paletteCycle || g_DDState.nBpp != 8) return;
  if (++s_CycleCounter < 6) return;
  s_CycleCounter = 0;
  for (int first = 208; first < 240; first += 4) DDRotatePalette(g_WorkPalette, first, first + 3, 1, 0, g_WorkPalette);
  DDSetPaletteEntries(208, 32, &g_WorkPalette[208]);
}
