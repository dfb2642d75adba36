#include "gfx/DDPalette.h"

#include <algorithm>
#include <string>

#include "base/Log.h"
#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"
#include "platform/bmp.h"
#include "platform/display.h"

PALETTEENTRY g_Palette[256];
PALETTEENTRY g_WorkPalette[256];

namespace {

std::uint32_t Compose16(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const PIXELLAYOUT& l = g_PixelLayout;
  return (r & l.wMaxR) << l.wShiftR | (g & l.wMaxG) << l.wShiftG | (b & l.wMaxB) << l.wShiftB;
}

}  // namespace

std::uint32_t PalNumToRGB(std::uint32_t n) {
  if (n > 255) {
    if (g_lpD3DData) DebugPrintf("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(n));
    return 0;
  }
  const PALETTEENTRY& e = g_Palette[n];
  const std::uint32_t rgb = std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue;
  if (g_lpD3DData) return n == 0 ? g_lpD3DData->dwTransmitFill : 0xFF000000u | rgb;
  if (g_lpDDData) {
    switch (g_DDState.nBpp) {
      case 8: return n;
      case 16: return Compose16(e.peRed, e.peGreen, e.peBlue);
      default: return rgb;
    }
  }
  return 0;
}

void DDSetPaletteEntries(std::int32_t first, std::int32_t count, const PALETTEENTRY* entries) {
  std::uint32_t rgb[256];
  if (first < 0 || count <= 0 || first + count > 256) return;
  for (int i = 0; i < count; ++i)
    rgb[i] = std::uint32_t(entries[i].peRed) << 16 | std::uint32_t(entries[i].peGreen) << 8 | entries[i].peBlue;
  plat::display::setPaletteEntries(first, count, rgb);
}

bool DDLoadPaletteFromFile(PALETTEENTRY* palette, std::string_view fileName, std::int32_t) {
  std::optional<plat::bmp::Bitmap> b = plat::bmp::load(fileName);
  if (!b) return false;
  for (int i = 0; i < 256; ++i) {
    // Entries beyond a short colour table are black.
    plat::bmp::RgbQuad q = i < static_cast<int>(b->colors.size()) ? b->colors[i] : plat::bmp::RgbQuad{};
    palette[i] = PALETTEENTRY{q.red, q.green, q.blue, std::uint8_t((i < 10 || i > 245) ? PC_EXPLICIT : PC_RESERVED)};
  }
  if (g_lpDDData && g_DDState.nBpp == 8) {
    DDSetPaletteEntries(0, 256, palette);
  } else if ((g_lpDDData || g_lpD3DData) && g_DDState.nBpp >= 16) {
    DDSURFACEDATA temp;
    DDCreateSurfaceFromFile(&temp, fileName, 0, g_DDState.nBpp, 1, 0, 0, 0, 0, 0, false);
    DDGetPaletteFromSurface(palette, &temp);
    DDReleaseSurface(&temp);
  }
  return true;
}

std::int32_t DDSetTransmitFromFile(std::string_view fileName) {
  const std::string name(fileName);
  DDSURFACEDATA temp;
  const std::int32_t code = DDCreateSurfaceFromFile(&temp, name, 0, g_DDState.nBpp, 1, 0, 0, 0, 0, 0, false);
  if (!DDCheckLoadError(code)) {
    DebugPrintf("%s 作成失敗！", name.c_str());
    DDReleaseSurface(&temp);
    return 0;
  }
  cSurfaceLock lock;
  if (!lock.Lock(&temp)) {
    DebugLog("Lock 失敗！");
    DDReleaseSurface(&temp);
    return 0;
  }
  const int bpp = g_DDState.nBpp;
  std::uint32_t p = 0;
  if (bpp == 8) p = *lock.Row<std::uint8_t>(0);
  else if (bpp == 16) p = *lock.Row<std::uint16_t>(0);
  else if (bpp == 32) p = *lock.Row<std::uint32_t>(0);
  std::int32_t result = 1;
  if (bpp == 16) {
    // The colour key of 24-bit pictures loaded at 16 bits is the file's own colour of
    // that pixel (entry 0 of the colour table of an 8-bit file under Direct3D): without
    // it they would be keyed on black.
    g_TransmitPixel = p;
    std::optional<plat::bmp::Bitmap> b = plat::bmp::load(name);
    std::uint8_t* key = g_lpD3DData ? g_lpD3DData->TransmitColor16 : g_lpDDData ? g_lpDDData->TransmitColor16 : nullptr;
    if (!b) {
      result = 0;
    } else if (key && b->width > 0 && b->height > 0) {
      const std::uint32_t rgb =
          g_lpD3DData && b->bitsPerPixel == 8 && !b->colors.empty()
              ? std::uint32_t(b->colors[0].red) << 16 | std::uint32_t(b->colors[0].green) << 8 | b->colors[0].blue
              : b->rgbAt(0, 0);
      key[0] = std::uint8_t(rgb);
      key[1] = std::uint8_t(rgb >> 8);
      key[2] = std::uint8_t(rgb >> 16);
    }
  } else if (g_lpD3DData) {
    if (bpp == 32) DDSetTransmit(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
  } else if (g_lpDDData) {
    if (bpp == 8) {
      g_TransmitPixel = p;
    } else if (bpp == 32) {
      g_TransmitPixel = p;
      g_lpDDData->TransmitColor[0] = std::uint8_t(p);
      g_lpDDData->TransmitColor[1] = std::uint8_t(p >> 8);
      g_lpDDData->TransmitColor[2] = std::uint8_t(p >> 16);
    }
  }
  lock.Unlock();
  DDReleaseSurface(&temp);
  return result;
}

void DDSetTransmit(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (g_lpD3DData) {
    D3DDEVICEDATA& d = *g_lpD3DData;
    d.TransmitColor[0] = b;
    d.TransmitColor[1] = g;
    d.TransmitColor[2] = r;
    if (g_DDState.nBpp == 16) {
      // Never called at 16 bits by the game; the colour in the texture layout, opaque.
      const std::uint16_t v =
          std::uint16_t(0x8000u | (r * 31u / 255u) << 10 | (g * 31u / 255u) << 5 | (b * 31u / 255u));
      d.wBackTransmit16 = v;
      g_TransmitPixel = v;
      d.dwTransmitFill = d.dwBackTransmit = 0;
      d.wTransmitFill16 = 0;
    } else {
      d.dwBackTransmit = 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
      d.dwTransmitFill = 0;
      d.wTransmitFill16 = d.wBackTransmit16 = 0;
      g_TransmitPixel = d.dwTransmitFill;
    }
    return;
  }
  if (!g_lpDDData) return;
  if (g_DDState.nBpp == 32) {
    g_TransmitPixel = std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
    g_lpDDData->TransmitColor[0] = b;
    g_lpDDData->TransmitColor[1] = g;
    g_lpDDData->TransmitColor[2] = r;
  } else if (g_DDState.nBpp == 16) {
    const PIXELLAYOUT& l = g_PixelLayout;
    const std::uint32_t fr = r * l.wMaxR / 255u, fg = g * l.wMaxG / 255u, fb = b * l.wMaxB / 255u;
    g_TransmitPixel = fr << l.wShiftR | fg << l.wShiftG | fb << l.wShiftB;
    DebugLog("※16bit色で　DDSetTransmit(BYTE cbRed,BYTE cbGreen,BYTE cbBlue)　は未対応！");
    DebugPrintf("Tr %d RGB32(%d,%d,%d) -> RGB16(%d,%d,%d)", static_cast<int>(g_TransmitPixel), r, g, b,
                l.wMaxR ? static_cast<int>(fr * 255 / l.wMaxR) : 0, l.wMaxG ? static_cast<int>(fg * 255 / l.wMaxG) : 0,
                l.wMaxB ? static_cast<int>(fb * 255 / l.wMaxB) : 0);
  }
}

std::uint16_t DDRGBToPixel16(const PALETTEENTRY& e) {
  if (!g_lpDDData) return 0;
  return static_cast<std::uint16_t>(Compose16(e.peRed, e.peGreen, e.peBlue));
}

std::int32_t DDGetPaletteFromSurface(PALETTEENTRY* palette, DDSURFACEDATA* lpSD) {
  cSurfaceLock lock;
  if (!palette || !lock.Lock(lpSD)) return 1;
  const int bpp = g_DDState.nBpp;
  const PIXELLAYOUT& l = g_PixelLayout;
  // A picture smaller than the 16 x 24 block gives only the entries it holds.
  const int w = std::min(lpSD->nWidth, lock.m_lpSurface->width());
  const int h = std::min(lpSD->nHeight, lock.m_lpSurface->height());
  for (int n = 0; n < 256; ++n) {
    const int x = n % 16, y = 8 + n / 16;
    if (x >= w || y >= h) continue;
    PALETTEENTRY& e = palette[n];
    if (bpp == 16) {
      const std::uint32_t p = lock.Row<std::uint16_t>(y)[x];
      const std::uint32_t r = (p >> l.wShiftR) & l.wMaxR, g = (p >> l.wShiftG) & l.wMaxG,
                          b = (p >> l.wShiftB) & l.wMaxB;
      if (g_lpD3DData) {
        e.peRed = std::uint8_t(r * 255 / l.wMaxR);
        e.peGreen = std::uint8_t(g * 255 / l.wMaxG);
        e.peBlue = std::uint8_t(b * 255 / l.wMaxB);
      } else {
        e.peRed = std::uint8_t(r);
        e.peGreen = std::uint8_t(g);
        e.peBlue = std::uint8_t(b);
      }
    } else if (bpp == 32) {
      const std::uint32_t p = lock.Row<std::uint32_t>(y)[x];
      e.peRed = std::uint8_t(p >> 16);
      e.peGreen = std::uint8_t(p >> 8);
      e.peBlue = std::uint8_t(p);
      if (g_lpDDData) e.peFlags = std::uint8_t(p >> 24);
    }
  }
  return 1;
}
