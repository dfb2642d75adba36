#include "gfx/DDBitmapCopy.h"

#include <optional>
#include <string>
#include <vector>

#include "base/Log.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDSurface.h"
#include "platform/bmp.h"

namespace {

// Column b of a sheet in cells a wide lands on column a * (b / a + 1) - b % a - 1.
inline int Mirror(int b, int a) { return a * (b / a + 1) - b % a - 1; }

// The palette index a bitmap pixel gives an 8-bit display: its own index for 1, 4 and
// 8-bit bitmaps; the nearest colour of the palette for a 24-bit one.
std::uint8_t IndexFor(const plat::bmp::Bitmap& b, int x, int y) {
  if (b.bitsPerPixel <= 8) return b.indexAt(x, y);
  const std::uint32_t c = b.rgbAt(x, y);
  const int r = int(c >> 16 & 255), g = int(c >> 8 & 255), bl = int(c & 255);
  int best = 0, bestDist = 1 << 30;
  for (int n = 0; n < 256; ++n) {
    const int dr = r - g_Palette[n].peRed, dg = g - g_Palette[n].peGreen, db = bl - g_Palette[n].peBlue;
    const int dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = n;
    }
  }
  return std::uint8_t(best);
}

std::uint32_t Down(std::uint32_t v, std::uint32_t max) { return v * max / 255; }

std::uint32_t ToPixel(std::uint32_t rgb, int bpp) {
  const PIXELLAYOUT& l = g_PixelLayout;
  if (bpp == 16)
    return Down(rgb >> 16 & 255, l.wMaxR) << l.wShiftR | Down(rgb >> 8 & 255, l.wMaxG) << l.wShiftG |
           Down(rgb & 255, l.wMaxB) << l.wShiftB;
  return rgb & 0xFFFFFF;
}

void Put(cSurfaceLock& lock, int bpp, int x, int y, std::uint32_t v) {
  switch (bpp) {
    case 8: lock.Row<std::uint8_t>(y)[x] = std::uint8_t(v); break;
    case 16: lock.Row<std::uint16_t>(y)[x] = std::uint16_t(v); break;
    case 24: {
      std::uint8_t* p = lock.Row<std::uint8_t>(y) + 3 * x;
      p[0] = std::uint8_t(v);
      p[1] = std::uint8_t(v >> 8);
      p[2] = std::uint8_t(v >> 16);
      break;
    }
    default: lock.Row<std::uint32_t>(y)[x] = v; break;
  }
}

// Direct writes at 8 bits and for 24-bit bitmaps at 16 bits: mirrored destinations that
// fall beyond the picture end the row (or the copy).
template <class PixelFn>
void CopyDirect(cSurfaceLock& lock, const plat::bmp::Bitmap& b, int bpp, int cw, int ch, int w, int h, PixelFn fn) {
  for (int r = 0; r < b.height; ++r) {
    const int dr = ch ? Mirror(r, ch) : r;
    if (dr >= h) return;
    for (int c = 0; c < b.width; ++c) {
      const int dc = cw ? Mirror(c, cw) : c;
      if (dc >= w) break;
      Put(lock, bpp, dc, dr, fn(c, r));
    }
  }
}

// What the system's bitmap copy does for every other combination: whole cells only,
// each flipped within itself, every colour converted to the surface's format.
void CopyConverted(cSurfaceLock& lock, const plat::bmp::Bitmap& b, int bpp, int cw, int ch, int w, int h) {
  const int cellW = cw ? cw : b.width, cellH = ch ? ch : b.height;
  const int cols = b.width / cellW, rows = b.height / cellH;
  for (int cy = 0; cy < rows; ++cy)
    for (int cx = 0; cx < cols; ++cx)
      for (int y = 0; y < cellH; ++y)
        for (int x = 0; x < cellW; ++x) {
          const int sx = cx * cellW + x, sy = cy * cellH + y;
          const int dx = cw ? cx * cellW + (cellW - 1 - x) : sx;
          const int dy = ch ? cy * cellH + (cellH - 1 - y) : sy;
          if (dx >= w || dy >= h) continue;
          Put(lock, bpp, dx, dy, ToPixel(b.rgbAt(sx, sy), bpp));
        }
}

}  // namespace

bool DDCopyBitmapToSurface(DDSURFACEDATA* lpSD, std::string_view fileName, std::int32_t bpp, std::int32_t indexMap,
                           std::int32_t cw, std::int32_t ch) {
  if (g_lpD3DData || fileName.empty()) return true;
  if (!lpSD || !lpSD->lpDD) return false;
  std::optional<plat::bmp::Bitmap> b = plat::bmp::load(fileName);
  if (!b) return false;
  if (cw < 0) cw = 0;
  if (ch < 0) ch = 0;

  {
    cSurfaceLock lock;
    if (lock.Lock(lpSD)) {
      const int w = lock.m_lpSurface->width(), h = lock.m_lpSurface->height();
      if (bpp == 8) {
        CopyDirect(lock, *b, bpp, cw, ch, w, h, [&](int c, int r) { return IndexFor(*b, c, r); });
      } else if (bpp == 16 && b->bitsPerPixel == 24) {
        const std::uint8_t* key = g_lpDDData ? g_lpDDData->TransmitColor16 : nullptr;
        const std::uint32_t keyRgb = key ? (std::uint32_t(key[2]) << 16 | std::uint32_t(key[1]) << 8 | key[0]) : 0;
        const std::uint32_t maxB = g_PixelLayout.wMaxB;
        CopyDirect(lock, *b, bpp, cw, ch, w, h, [&](int c, int r) {
          const std::uint32_t rgb = b->rgbAt(c, r);
          if (key && rgb == keyRgb) return g_TransmitPixel;
          std::uint32_t v = ToPixel(rgb, 16);
          // An opaque pixel never takes the transparent value: move it one step.
          if (v == g_TransmitPixel) v = ((v >> g_PixelLayout.wShiftB) & maxB) == maxB ? v - 1 : v + 1;
          return v;
        });
      } else {
        CopyConverted(lock, *b, bpp, cw, ch, w, h);
      }
    }
  }

  lpSD->nWidth = lpSD->nAllocWidth = b->width;
  lpSD->nHeight = lpSD->nAllocHeight = b->height;
  lpSD->nMirrorWidth = cw;
  lpSD->nMirrorHeight = ch;
  lpSD->szFileName = std::string(fileName);

  DDDRAWPART& part = *lpSD->lpDD;
  part.IndexMap.clear();
  part.bIndexMap = false;
  if (indexMap && bpp != 8) {
    cSurfaceLock lock;
    if (!lock.Lock(lpSD)) {
      OutOfMemory();
      return false;
    }
    if (bpp == 16) {
      // First palette number of each pixel value; values without one map to 0.
      std::vector<std::uint8_t> first(65536, 0);
      for (int n = 255; n >= 0; --n) first[DDRGBToPixel16(g_Palette[n])] = std::uint8_t(n);
      const int pitch = lock.m_nPitch, h = lock.m_lpSurface->height(), w = lock.m_lpSurface->width();
      part.IndexMap.assign(static_cast<std::size_t>(pitch) * h, 0);
      for (int y = 0; y < h; ++y) {
        const std::uint16_t* row = lock.Row<std::uint16_t>(y);
        for (int x = 0; x < w; ++x) part.IndexMap[static_cast<std::size_t>(y) * pitch + x] = first[row[x]];
      }
      part.bIndexMap = true;
    }
  }
  return true;
}

bool DDReloadBitmap(DDSURFACEDATA* lpSD, std::int32_t bpp) {
  if (g_lpD3DData) return true;
  if (!lpSD || !lpSD->lpDD) return false;
  return DDCopyBitmapToSurface(lpSD, lpSD->szFileName, bpp, lpSD->lpDD->bIndexMap ? 1 : 0, lpSD->nMirrorWidth,
                               lpSD->nMirrorHeight);
}
