#include "gfx/DDBlt.h"

#include <algorithm>
#include <cmath>

#include "base/Log.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"

namespace {

// Pixels of a record that can be drawn now (not lost, present).
plat::Surface* Drawable(DDSURFACEDATA* lpSD) {
  plat::Surface* s = lpSD ? lpSD->Pixels() : nullptr;
  return (s && !s->isLost()) ? s : nullptr;
}

void Park() {
  if (g_lpD3DData) g_lpD3DData->lpRenderTarget = g_lpD3DData->lpParkingTarget;
}

struct Rect {
  int left, top, right, bottom;
};

// Clips to (0, 0, w, h); false when nothing is left.
bool ClipTo(Rect& r, int w, int h) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, w);
  r.bottom = std::min(r.bottom, h);
  return r.left < r.right && r.top < r.bottom;
}

// The value a raw clear writes for transparency into this target.
std::uint32_t ClearValue(DDSURFACEDATA* dst, const plat::Surface& s) {
  const D3DDEVICEDATA& d = *g_lpD3DData;
  const bool sixteen = g_DDState.nBpp == 16;
  if (dst == &BackBuffer) return sixteen ? d.wBackTransmit16 : pix::argbToRaw(s.format(), d.dwBackTransmit);
  return sixteen ? d.wTransmitFill16 : pix::argbToRaw(s.format(), d.dwTransmitFill);
}

// The system-memory path of a stretched copy: raw pixels, every pixel checked against
// both surfaces, the transparent value left out with flags 1.
template <class T>
void SoftwareStretch(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                     int flags) {
  cSurfaceLock ld, ls;
  if (!ld.Lock(dst)) return;
  if (!ls.Lock(src)) return;
  const D3DDEVICEDATA& d = *g_lpD3DData;
  const T key = sizeof(T) == 2 ? T(d.wTransmitFill16) : T(d.dwTransmitFill);
  const bool screen16 = sizeof(T) == 2 && DDIsFullScreenBackBuffer(dst);
  const PIXELLAYOUT& pl = g_PixelLayout;
  const PIXELLAYOUT& sl = g_ScreenLayout;
  auto convert = [&](T p) -> T {
    if (!screen16) return p;
    const std::uint32_t r = (p >> pl.wShiftR) & pl.wMaxR, g = ((p >> pl.wShiftG) & pl.wMaxG) * 2,
                        b = (p >> pl.wShiftB) & pl.wMaxB;
    return T(r << sl.wShiftR | g << sl.wShiftG | b << sl.wShiftB);
  };
  const int dw = std::min(dst->nWidth, ld.m_lpSurface->width()), dh = std::min(dst->nHeight, ld.m_lpSurface->height());
  const int swl = std::min(src->nWidth, ls.m_lpSurface->width()),
            shl = std::min(src->nHeight, ls.m_lpSurface->height());
  auto put = [&](int di, int dj, int si, int sj) {
    if (di < 0 || di >= dh || dj < 0 || dj >= dw || si < 0 || si >= shl || sj < 0 || sj >= swl) return;
    const T v = ls.Row<T>(si)[sj];
    if (flags == 1 && v == key) return;
    ld.Row<T>(di)[dj] = convert(v);
  };
  if (w == sw && h == sh) {
    for (int i = 0; i < h; ++i)
      for (int j = 0; j < w; ++j) put(y + i, x + j, sy + i, sx + j);
    return;
  }
  const float fx = static_cast<float>(sw) / static_cast<float>(w);
  const float fy = static_cast<float>(sh) / static_cast<float>(h);
  for (int i = 0; i < h; ++i) {
    int ki = static_cast<int>(static_cast<float>(i) * fy);
    if (sh < 0) {
      // Upwards from sy - 1, as the columns read leftwards.
      ki -= 1;
      if (!(sh < ki + 1 && ki + 1 <= 0)) continue;
    } else if (!(ki >= 0 && ki < sh)) {
      continue;
    }
    for (int j = 0; j < w; ++j) {
      const int t = static_cast<int>(static_cast<float>(j) * fx);
      int kj;
      if (sw >= 0) {
        if (!(t >= 0 && t < sw)) continue;
        kj = t;
      } else {
        if (!(sw < t && t <= 0)) continue;
        kj = t - 1;
      }
      put(y + i, x + j, sy + ki, sx + kj);
    }
  }
}

bool BltDirectDraw(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags) {
  plat::Surface* ds = Drawable(dst);
  plat::Surface* ss = Drawable(src);
  if (!ds || !ss) return false;
  Rect r{sx, sy, sx + w, sy + h};
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, src->nWidth);
  r.bottom = std::min(r.bottom, src->nHeight);
  // Both edges of the target clip (a picture wider than the screen at a negative x too).
  if (x < 0) {
    r.left -= x;
    x = 0;
  }
  if (x + (r.right - r.left) > dst->nWidth) r.right = r.left + dst->nWidth - x;
  if (y < 0) {
    r.top -= y;
    y = 0;
  }
  if (y + (r.bottom - r.top) > dst->nHeight) r.bottom = r.top + dst->nHeight - y;
  const int cw = r.right - r.left, chh = r.bottom - r.top;
  if (cw <= 0 || chh <= 0 || x + cw > ds->width() || y + chh > ds->height() || r.right > ss->width() ||
      r.bottom > ss->height())
    return false;
  const DDDRAWPART& sp = *src->lpDD;
  if (flags == 1 && sp.bColorKey) pix::copyKeyed(*ds, x, y, *ss, r.left, r.top, cw, chh, sp.dwColorKey);
  else pix::copyRaw(*ds, x, y, *ss, r.left, r.top, cw, chh);
  return true;
}

bool StretchDirectDraw(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                       int sh, int flags) {
  if (w < 1 || h < 1) return false;
  plat::Surface* ds = Drawable(dst);
  plat::Surface* ss = Drawable(src);
  if (!ds || !ss) return false;
  const double fx = static_cast<double>(sw) / w, fy = static_cast<double>(sh) / h;
  Rect d{x, y, x + w, y + h};
  Rect s{sx, sy, sx + sw, sy + sh};
  s.left = std::max(s.left, 0);
  s.top = std::max(s.top, 0);
  s.right = std::min(s.right, src->nWidth);
  s.bottom = std::min(s.bottom, src->nHeight);
  if (d.left < 0) {
    s.left -= static_cast<int>(std::trunc(fx * d.left));
    d.left = 0;
  }
  if (d.right > dst->nWidth) {
    s.right -= static_cast<int>(std::trunc(fx * (d.right - dst->nWidth)));
    d.right = dst->nWidth;
  }
  if (d.top < 0) {
    s.top -= static_cast<int>(std::trunc(fy * d.top));
    d.top = 0;
  }
  if (d.bottom > dst->nHeight) {
    s.bottom -= static_cast<int>(std::trunc(fy * (d.bottom - dst->nHeight)));
    d.bottom = dst->nHeight;
  }
  // A rectangle the blitter would reject draws nothing.
  if (d.left >= d.right || d.top >= d.bottom || s.left >= s.right || s.top >= s.bottom || s.left < 0 || s.top < 0 ||
      s.right > ss->width() || s.bottom > ss->height() || d.right > ds->width() || d.bottom > ds->height())
    return false;
  const DDDRAWPART& sp = *src->lpDD;
  pix::stretchRaw(*ds, d.left, d.top, d.right - d.left, d.bottom - d.top, *ss, s.left, s.top, s.right - s.left,
                  s.bottom - s.top, flags == 1 && sp.bColorKey, sp.dwColorKey);
  return true;
}

bool StretchDirect3D(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                     int flags) {
  D3DDEVICEDATA& d = *g_lpD3DData;
  DDResolveAlias(&dst);
  DDResolveAlias(&src);
  if (d.bFlushing) {
    dst = &BackBuffer;
    src = &VirBackBuffer;
  } else {
    DDRedirectBackBuffer(&dst);
    DDRedirectBackBuffer(&src);
  }
  if (!dst->lpDT || !src->lpDT) return false;
  if (dst->lpDT->bInSystemMemory || src->lpDT->bInSystemMemory) {
    if (!Drawable(dst) || !Drawable(src)) return false;
    if (g_DDState.nBpp == 16) SoftwareStretch<std::uint16_t>(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    else SoftwareStretch<std::uint32_t>(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
    return true;
  }
  plat::Surface* ss = Drawable(src);
  if (!ss || !DDBeginScene() || !DDSetRenderTarget(0, dst)) return false;
  plat::Surface* ds = Drawable(dst);
  pix::QuadOp op;
  op.diffuse = d.dwDrawColor;
  op.colorOp = d.nColorOp;
  op.alphaOp = d.nAlphaOp;
  op.factor = d.dwTextureFactor;
  op.srcLimitW = src->nWidth;
  op.srcLimitH = src->nHeight;
  op.dstLimitW = dst->nWidth;
  op.dstLimitH = dst->nHeight;
  if (d.bFlushing) {
    // The virtual back buffer reaches the screen as an opaque picture.
    op.diffuse = 0xFFFFFFFF;
    op.colorOp = D3DTOP_SELECTARG1;
    op.alphaOp = D3DTOP_SELECTARG2;
  }
  if (flags == 0 && src->lpDT->bColorKey) {
    op.clearFirst = true;
    op.clearValue = ClearValue(dst, *ds);
  }
  pix::drawQuad(*ds, x, y, w, h, *ss, sx, sy, sw, sh, op);
  Park();
  return true;
}

}  // namespace

bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD) { return lpSD == &BackBuffer && !g_DDState.bWindowed; }

bool DDSetRenderTarget(std::int32_t, DDSURFACEDATA* lpSD) {
  if (!g_lpD3DData || !lpSD || !lpSD->lpDT || !lpSD->lpDT->bValid) return false;
  plat::Surface* s = lpSD->lpDT->lpSurface;
  if (!s || s->isLost()) {
    ReportPrintfDebug("SetRenderTarget Err %x (%s)", 0x8876086Cu, lpSD->szFileName.c_str());
    return false;
  }
  g_lpD3DData->lpRenderTarget = lpSD;
  return true;
}

void DDResolveAlias(DDSURFACEDATA** lpSD) {
  if (g_lpD3DData && lpSD && *lpSD && (*lpSD)->lpAlias) *lpSD = (*lpSD)->lpAlias;
}

bool DDRedirectBackBuffer(DDSURFACEDATA** lpSD) {
  if (g_lpD3DData && g_lpD3DData->bVirBackBuffer && lpSD && *lpSD == &BackBuffer) {
    *lpSD = &VirBackBuffer;
    return true;
  }
  return false;
}

void DDFillRect(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                std::uint32_t dwPalNum) {
  if (!lpSD) return;
  const std::uint32_t color = PalNumToRGB(dwPalNum);
  if (g_lpD3DData) {
    DDFillRectColor(lpSD, x, y, w, h, color);
    return;
  }
  plat::Surface* s = Drawable(lpSD);
  if (!s) return;
  Rect r{x, y, x + w, y + h};
  if (!ClipTo(r, std::min(lpSD->nWidth, s->width()), std::min(lpSD->nHeight, s->height()))) return;
  pix::fillRaw(*s, r.left, r.top, r.right - r.left, r.bottom - r.top, color);
}

void DDClear(DDSURFACEDATA* lpSD, std::uint32_t dwPalNum) {
  if (lpSD) DDFillRect(lpSD, 0, 0, lpSD->nWidth, lpSD->nHeight, dwPalNum);
}

void DDFillRectColor(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                     std::uint32_t color) {
  if (!lpSD) return;
  if (!g_lpD3DData) {
    plat::Surface* s = Drawable(lpSD);
    if (!s) return;
    Rect r{x, y, x + w, y + h};
    if (!ClipTo(r, std::min(lpSD->nWidth, s->width()), std::min(lpSD->nHeight, s->height()))) return;
    pix::fillRaw(*s, r.left, r.top, r.right - r.left, r.bottom - r.top, color);
    return;
  }
  D3DDEVICEDATA& d = *g_lpD3DData;
  DDResolveAlias(&lpSD);
  DDRedirectBackBuffer(&lpSD);
  if (!lpSD->lpDT) return;
  if (lpSD->lpDT->bInSystemMemory) {
    cSurfaceLock lock;
    if (!lock.Lock(lpSD)) return;
    Rect r{x, y, x + w, y + h};
    if (ClipTo(r, std::min(lpSD->nWidth, lock.m_lpSurface->width()),
               std::min(lpSD->nHeight, lock.m_lpSurface->height())))
      // At 16 bits the colour goes into the texture layout (alpha bit from the colour's alpha).
      pix::fillRaw(*lock.m_lpSurface, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   pix::argbToRaw(lock.m_lpSurface->format(), color));
    return;
  }
  if (!DDBeginScene() || !DDSetRenderTarget(0, lpSD)) return;
  plat::Surface* s = Drawable(lpSD);
  Rect r{x, y, x + w, y + h};
  if (s && ClipTo(r, std::min(lpSD->nWidth, s->width()), std::min(lpSD->nHeight, s->height()))) {
    const std::uint32_t transparent = lpSD == &BackBuffer ? d.dwBackTransmit : d.dwTransmitFill;
    if (lpSD->lpDT->bColorKey && color == transparent)
      pix::fillRaw(*s, r.left, r.top, r.right - r.left, r.bottom - r.top, ClearValue(lpSD, *s));
    else pix::fillBlend(*s, r.left, r.top, r.right - r.left, r.bottom - r.top, color);
  }
  Park();
}

bool DDBlt(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
           std::int32_t sx, std::int32_t sy, std::int32_t flags) {
  if (!dst || !src) return false;
  if (g_lpD3DData) return DDStretchBlt(dst, x, y, w, h, src, sx, sy, w, h, flags);
  if (!g_lpDDData) return false;
  return BltDirectDraw(dst, x, y, w, h, src, sx, sy, flags);
}

bool DDStretchBlt(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                  std::int32_t flags) {
  if (!dst || !src) return false;
  if (g_lpD3DData) return StretchDirect3D(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  if (!g_lpDDData) return false;
  return StretchDirectDraw(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
}

bool DDBltEx(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
             std::int32_t sx, std::int32_t sy, std::int32_t flags, const DRAWMODE* drawMode) {
  if (g_lpD3DData) return DDStretchBltEx(dst, x, y, w, h, src, sx, sy, w, h, flags, drawMode);
  return DDBlt(dst, x, y, w, h, src, sx, sy, flags);
}

bool DDStretchBltEx(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                    std::int32_t flags, const DRAWMODE* drawMode) {
  if (!g_lpD3DData || !drawMode) return DDStretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  DDSetDrawColor(drawMode->dwColor);
  DDSetColorOp(drawMode->nColorOp);
  const bool result = DDStretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, flags);
  DDResetDrawColor();
  DDResetColorOp();
  return result;
}
