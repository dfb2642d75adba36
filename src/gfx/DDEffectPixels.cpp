#include "gfx/DDEffectPixels.h"

#include "gfx/DDBlt.h"
#include "gfx/PixelOps.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace ddfx {

namespace {

DDFX_HOT_ROW void BlendConstRow32(std::uint32_t* d, int n, std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  for (int c = 0; c < n; ++c) d[c] = BlendOver(d[c], argb, a);
}

}  // namespace

std::uint32_t TransparentValue() {
  if (g_lpD3DData) return g_DDState.nBpp == 16 ? g_lpD3DData->wTransmitFill16 : g_lpD3DData->dwTransmitFill;
  return g_TransmitPixel;
}

Fields16 PixelFields() {
  const PIXELLAYOUT& l = g_PixelLayout;
  Fields16 f{l.wShiftR, l.wShiftG, l.wShiftB, l.wMaxR, l.wMaxG, l.wMaxB, 0};
  if (g_lpD3DData) f.alpha = std::uint32_t(l.wMaxA & 1) << l.wShiftA;
  return f;
}

Fields16 ScreenFields() {
  const PIXELLAYOUT& l = g_ScreenLayout;
  return Fields16{l.wShiftR, l.wShiftG, l.wShiftB, l.wMaxR, l.wMaxG, l.wMaxB, 0};
}

void BuildConvert16(const Fields16& f, Convert16& out) {
  const std::uint32_t shift[3] = {f.sR, f.sG, f.sB}, max[3] = {f.mR, f.mG, f.mB};
  for (int c = 0; c < 3; ++c) {
    for (std::uint32_t v = 0; v < 256; ++v) {
      // A field value above the mask cannot occur; keep the table total anyway.
      out.up[c][v] = std::uint8_t(std::min<std::uint32_t>(Up8(std::min(v, max[c]), max[c]), 255));
      // The red table also carries the alpha bit, so that every composed pixel has it.
      out.down[c][v] = std::uint16_t((Down8(v, max[c]) & max[c]) << shift[c] | (c == 0 ? f.alpha : 0));
    }
  }
}

bool ClipPair(int x, int y, int w, int h, int dstW, int dstH, int sx, int sy, int srcW, int srcH, Span& out) {
  out.c0 = std::max({0, -x, -sx});
  out.c1 = std::min({w, dstW - x, srcW - sx});
  out.k0 = std::max({0, -y, -sy});
  out.k1 = std::min({h, dstH - y, srcH - sy});
  return out.c0 < out.c1 && out.k0 < out.k1;
}

void FillBlend(plat::Surface& s, int x, int y, int w, int h, std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  if (w <= 0 || h <= 0 || a == 0) return;
  if (s.bytesPerPixel() != 4) {
    pix::fillBlend(s, x, y, w, h, argb);
    return;
  }
  for (int k = y; k < y + h; ++k) BlendConstRow32(s.rowAs<std::uint32_t>(k) + x, w, argb);
}

void ResolveForEffect(DDSURFACEDATA** lpSD) {
  DDResolveAlias(lpSD);
  DDRedirectBackBuffer(lpSD);
}

bool InSystemMemory(const DDSURFACEDATA* a, const DDSURFACEDATA* b) {
  return (a->lpDT && a->lpDT->bInSystemMemory) || (b->lpDT && b->lpDT->bInSystemMemory);
}

void ParkRenderTarget() {
  if (g_lpD3DData && g_lpD3DData->lpParkingTarget) DDSetRenderTarget(0, g_lpD3DData->lpParkingTarget);
}

}  // namespace ddfx
