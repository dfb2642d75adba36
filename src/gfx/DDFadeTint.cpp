#include "gfx/DDFadeTint.h"

#include <algorithm>

#include "base/Log.h"
#include "gfx/DDBlt.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDInit.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace {

// (colour * (256 - a) + p * a) >> 8 on the red and blue bytes at once and on the green
// byte: each product stays below 65536, so the bytes never carry into each other.
inline std::uint32_t MixRgb(std::uint32_t p, std::uint32_t a, std::uint32_t rbTerm, std::uint32_t gTerm) {
  const std::uint32_t rb = (((p & 0xFF00FFu) * a + rbTerm) >> 8) & 0xFF00FFu;
  const std::uint32_t g = (((p & 0x00FF00u) * a + gTerm) >> 8) & 0x00FF00u;
  return rb | g;
}

// The fade's row: the source mixed toward the colour, byte 3 of the destination kept.
DDFX_HOT_ROW void FadeRow32(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t w, std::uint32_t rbTerm,
                            std::uint32_t gTerm) {
  for (int c = 0; c < n; ++c) d[c] = MixRgb(s[c], w, rbTerm, gTerm) | (d[c] & 0xFF000000u);
}

// The tint's row: the picture mixed toward the colour, opaque.
DDFX_HOT_ROW void TintRow32(std::uint32_t* d, int n, std::uint32_t a, std::uint32_t rbTerm, std::uint32_t gTerm) {
  for (int c = 0; c < n; ++c) d[c] = MixRgb(d[c], a, rbTerm, gTerm) | 0xFF000000u;
}

}  // namespace

std::int32_t DDFade_UnPal(DDSURFACEDATA* dst, std::int32_t weight, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue, DDSURFACEDATA* src) {
  if (g_lpD3DData) {
    DebugLog("D3DではDDFade_UnPalは未対応");
    return 1;
  }
  if (!g_lpDDData || !dst || !src) return 0;
  ddfx::EffectLocks l;
  if (!l.Lock(dst, src)) return 0;
  // Weights outside 0..256 cannot come from a fade; keep the mix inside its bytes.
  const std::uint32_t w = std::uint32_t(std::clamp(weight, 0, 256)), u = 256 - w;
  // The source is read at the same position; only where it covers the destination.
  const int width = std::min(ddfx::LockedWidth(l.dst), ddfx::LockedWidth(l.src));
  const int height = std::min(ddfx::LockedHeight(l.dst), ddfx::LockedHeight(l.src));
  if (g_DDState.nBpp == 16) {
    const ddfx::Fields16 f = ddfx::PixelFields();
    const std::uint32_t max[3] = {f.mR, f.mG, f.mB}, shift[3] = {f.sR, f.sG, f.sB}, colour[3] = {red, green, blue};
    std::uint16_t t[3][256];
    for (int ch = 0; ch < 3; ++ch)
      for (std::uint32_t v = 0; v < 256; ++v) {
        const std::uint32_t s = ddfx::Up8(std::min(v, max[ch]), max[ch]);
        const std::uint32_t m = (colour[ch] * u + w * s) >> 8;
        t[ch][v] = std::uint16_t((ddfx::Down8(m, max[ch]) & max[ch]) << shift[ch]);
      }
    for (int k = 0; k < height; ++k) {
      std::uint16_t* d = l.dst.Row<std::uint16_t>(k);
      const std::uint16_t* s = l.src.Row<std::uint16_t>(k);
      for (int c = 0; c < width; ++c) {
        const std::uint32_t p = s[c];
        d[c] = std::uint16_t(t[0][f.R(p)] | t[1][f.G(p)] | t[2][f.B(p)]);
      }
    }
  } else if (g_DDState.nBpp == 32) {
    const std::uint32_t rbTerm = (std::uint32_t(red) << 16 | blue) * u, gTerm = (std::uint32_t(green) << 8) * u;
    for (int k = 0; k < height; ++k)
      FadeRow32(l.dst.Row<std::uint32_t>(k), l.src.Row<std::uint32_t>(k), width, w, rbTerm, gTerm);
  }
  return 1;
}

std::int32_t DDChangeColor(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t nWidth,
                           std::int32_t nHeight, std::int32_t nAlpha, std::uint8_t bRed, std::uint8_t bGreen,
                           std::uint8_t bBlue) {
  if (!g_lpD3DData) {
    if (g_lpDDData)
      DebugLog(
          "DDrawでは DDChangeColor(DDSURFACEDATA *lpSD,int x,int y,int nWidth,int nHeight,int nAlpha,BYTE bRed,BYTE "
          "bGreen,BYTE bBlue) は未対応");
    return 1;
  }
  if (!lpSD) return 1;
  ddfx::ResolveForEffect(&lpSD);
  if (!lpSD->lpDT) return 1;
  const std::uint32_t rgb = std::uint32_t(bRed) << 16 | std::uint32_t(bGreen) << 8 | bBlue;
  if (!g_lpD3DData->bVirBackBuffer) {
    // One quad of the plain colour over the whole surface; its alpha is the colour's share.
    if (!DDBeginScene() || !DDSetRenderTarget(0, lpSD)) return 1;
    plat::Surface* s = lpSD->Pixels();
    const std::uint32_t alpha = std::uint32_t(-(nAlpha + 1)) & 255u;
    ddfx::FillBlend(*s, 0, 0, std::min(lpSD->nWidth, s->width()), std::min(lpSD->nHeight, s->height()),
                    alpha << 24 | rgb);
    ddfx::ParkRenderTarget();
    return 1;
  }
  cSurfaceLock lock;
  if (!lock.Lock(lpSD)) return 1;
  const int c0 = std::max(x, 0), c1 = std::min(x + nWidth, ddfx::LockedWidth(lock));
  const int k0 = std::max(y, 0), k1 = std::min(y + nHeight, ddfx::LockedHeight(lock));
  if (c0 >= c1 || k0 >= k1) return 1;
  const std::uint32_t a = std::uint32_t(std::clamp(nAlpha, 0, 256)), ia = 256 - a;
  if (g_DDState.nBpp == 16) {
    // The colour in the units of the texture layout, also where the pixels are 5-6-5.
    const ddfx::Fields16 pf = ddfx::PixelFields();
    const ddfx::Fields16 f = DDIsFullScreenBackBuffer(lpSD) ? ddfx::ScreenFields() : pf;
    const std::uint32_t cr = ddfx::Down8(bRed, pf.mR) * ia, cg = ddfx::Down8(bGreen, pf.mG) * ia,
                        cb = ddfx::Down8(bBlue, pf.mB) * ia;
    for (int k = k0; k < k1; ++k) {
      std::uint16_t* d = lock.Row<std::uint16_t>(k);
      for (int c = c0; c < c1; ++c) {
        const std::uint32_t p = d[c];
        d[c] = std::uint16_t(f.Compose((f.R(p) * a + cr) >> 8, (f.G(p) * a + cg) >> 8, (f.B(p) * a + cb) >> 8));
      }
    }
  } else if (g_DDState.nBpp == 32) {
    const std::uint32_t rbTerm = (rgb & 0xFF00FFu) * ia, gTerm = (rgb & 0x00FF00u) * ia;
    for (int k = k0; k < k1; ++k) TintRow32(lock.Row<std::uint32_t>(k) + c0, c1 - c0, a, rbTerm, gTerm);
  }
  return 1;
}
