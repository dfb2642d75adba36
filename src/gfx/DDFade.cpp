#include "gfx/DDFade.h"

#include <algorithm>
#include <cmath>

#include "gfx/DDBlt.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDFadeTint.h"
#include "gfx/DDInit.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"

namespace {

constexpr double kRadians = 0.017453292519943295;

// One angle per fade and drawing mode, each kept between its calls.
double s_FadeOutAngleD3D = 90.0;
double s_FadeOutAngleDD = 90.0;
double s_FadeInAngleD3D = 0.0;
double s_FadeInAngleDD = 0.0;

// The entry range a palette call may touch.
bool ClampRange(std::int32_t& first, std::int32_t& last) {
  first = std::max(first, 0);
  last = std::min(last, 255);
  return first <= last;
}

// Direct3D: a black quad over the whole screen, covering by 255 - level.
bool CoverDirect3D(double angle) {
  const int level = static_cast<int>(std::sin(angle * kRadians) * 255);
  DDSURFACEDATA* target = &BackBuffer;
  DDRedirectBackBuffer(&target);
  if (!DDBeginScene() || !DDSetRenderTarget(0, target)) return false;
  plat::Surface* s = target->Pixels();
  ddfx::FillBlend(*s, 0, 0, std::min(target->nWidth, s->width()), std::min(target->nHeight, s->height()),
                  std::uint32_t(255 - level) << 24);
  ddfx::ParkRenderTarget();
  return true;
}

// DirectDraw: the palette at 8 bits, the screen copy mixed into the back buffer otherwise.
void CoverDirectDraw(double angle, PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::uint8_t red,
                     std::uint8_t green, std::uint8_t blue, const PALETTEENTRY* palette) {
  const int level = static_cast<int>(std::sin(angle * kRadians) * 256);
  if (g_DDState.nBpp == 8) {
    if (!work || !palette || !ClampRange(first, last)) return;
    DDBlendPalette(work, first, last, level, red, green, blue, palette);
    DDSetPaletteEntries(first, last - first + 1, &work[first]);
  } else {
    DDFade_UnPal(&BackBuffer, level, red, green, blue, &ScreenCopy);
  }
}

// One step of a fade whose angle runs from `start` to `end`.
bool FadeStep(double& angleD3D, double& angleDD, double start, double end, PALETTEENTRY* work, std::int32_t first,
              std::int32_t last, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t speed,
              const PALETTEENTRY* palette, bool finish) {
  double* angle;
  if (g_lpD3DData) {
    angle = &angleD3D;
    if (finish) *angle = end;
    if (!CoverDirect3D(*angle)) return false;
  } else if (g_lpDDData) {
    angle = &angleDD;
    // The picture is taken once, as the fade starts.
    if (*angle == start && g_DDState.nBpp != 8)
      DDBlt(&ScreenCopy, 0, 0, BackBuffer.nWidth, BackBuffer.nHeight, &BackBuffer, 0, 0, 0);
    if (finish) *angle = end;
    CoverDirectDraw(*angle, work, first, last, red, green, blue, palette);
  } else {
    return false;
  }
  if (end < start ? *angle > end : *angle < end) {
    *angle = end < start ? std::max(*angle - speed, end) : std::min(*angle + speed, end);
    return false;
  }
  *angle = start;
  return true;
}

}  // namespace

void DDBlendPalette(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::int32_t level, std::uint8_t red,
                    std::uint8_t green, std::uint8_t blue, const PALETTEENTRY* palette) {
  if (!work || !palette || !ClampRange(first, last)) return;
  const std::int32_t u = 256 - level;
  for (std::int32_t i = first; i <= last; ++i) {
    const PALETTEENTRY& p = palette[i];
    work[i].peRed = std::uint8_t((red * u + level * p.peRed) >> 8);
    work[i].peGreen = std::uint8_t((green * u + level * p.peGreen) >> 8);
    work[i].peBlue = std::uint8_t((blue * u + level * p.peBlue) >> 8);
    work[i].peFlags = PC_RESERVED;
  }
}

void DDRotatePalette(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::int32_t n, std::int32_t direction,
                     const PALETTEENTRY* palette) {
  if (g_DDState.nBpp != 8 && g_DDState.nBpp != 16) return;
  if (!work || !palette) return;
  PALETTEENTRY copy[256];
  std::copy(palette, palette + 256, copy);
  std::copy(copy, copy + 256, work);
  if (!ClampRange(first, last) || (direction != 0 && direction != 1)) return;
  // A turn by the whole range or more is the same as by what is left over.
  const std::int32_t count = last - first + 1;
  std::int32_t k = n % count;
  if (k < 0) k += count;
  if (direction == 1) k = (count - k) % count;
  for (std::int32_t i = 0; i < count; ++i) work[first + (i + k) % count] = copy[first + i];
}

bool DDFadeOut(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::uint8_t red, std::uint8_t green,
               std::uint8_t blue, std::int32_t speed, const PALETTEENTRY* palette, bool finish) {
  return FadeStep(s_FadeOutAngleD3D, s_FadeOutAngleDD, 90.0, 0.0, work, first, last, red, green, blue, speed, palette,
                  finish);
}

bool DDFadeIn(PALETTEENTRY* work, std::int32_t first, std::int32_t last, std::uint8_t red, std::uint8_t green,
              std::uint8_t blue, std::int32_t speed, const PALETTEENTRY* palette, bool finish) {
  return FadeStep(s_FadeInAngleD3D, s_FadeInAngleDD, 0.0, 90.0, work, first, last, red, green, blue, speed, palette,
                  finish);
}
