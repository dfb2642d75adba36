#include "gfx/DDCircleLens.h"

#include <algorithm>
#include <cmath>

#include "gfx/DDBlt.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace {

// floor(sqrt(q)) for q >= 0, exact for any 64-bit q.
std::int64_t ISqrt(std::int64_t q) {
  if (q <= 0) return 0;
  std::int64_t r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(q)));
  while (r * r > q) --r;
  while ((r + 1) * (r + 1) <= q) ++r;
  return r;
}

template <class T>
void LensLoop(ddfx::EffectLocks& l, int x, int y, std::int64_t radius, std::int64_t distance, std::int64_t L, int sx,
              int sy, T key) {
  const int dstW = ddfx::LockedWidth(l.dst), dstH = ddfx::LockedHeight(l.dst);
  // Source points count only inside the display; and never outside the source's pixels.
  const int limW = std::min(g_DDState.nWidth, ddfx::LockedWidth(l.src));
  const int limH = std::min(g_DDState.nHeight, ddfx::LockedHeight(l.src));
  const std::int64_t LL = L * L, RR = radius * radius;
  const double dist = static_cast<double>(distance);
  const std::int64_t j0 = std::max<std::int64_t>(-radius, -y), j1 = std::min<std::int64_t>(radius, dstH - 1 - y);
  for (std::int64_t j = j0; j <= j1; ++j) {
    T* d = l.dst.Row<T>(static_cast<int>(y + j));
    const std::int64_t chord = ISqrt(RR - j * j);
    const std::int64_t i0 = std::max<std::int64_t>(-chord, -x), i1 = std::min<std::int64_t>(chord, dstW - 1 - x);
    const double jd = static_cast<double>(j) * dist;
    for (std::int64_t i = i0; i <= i1; ++i) {
      const double s = std::sqrt(static_cast<double>(LL - (i * i + j * j)));
      std::int64_t u = i, v = j;
      if (s != 0.0) {
        u = static_cast<std::int64_t>(static_cast<double>(i) * dist / s + 0.5);
        v = static_cast<std::int64_t>(jd / s + 0.5);
      }
      const std::int64_t px = sx + u, py = sy + v;
      if (px < 0 || px >= limW || py < 0 || py >= limH) continue;
      const T p = l.src.Row<T>(static_cast<int>(py))[px];
      if (p != key) d[x + i] = p;
    }
  }
}

}  // namespace

std::int32_t DDBltCircle(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t halfWidth,
                         std::int32_t halfHeight, std::int32_t radius, std::int32_t step, DDSURFACEDATA* src,
                         std::int32_t sx, std::int32_t sy, std::int32_t flags) {
  if (radius <= 0 || step <= 0 || !dst || !src) return 0;
  DDResolveAlias(&dst);
  DDResolveAlias(&src);
  const std::int64_t R = radius;
  const std::int64_t left = std::max<std::int64_t>(0, std::int64_t(sx) - halfWidth);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t(sx) + halfWidth, src->nWidth);
  // Half chord at row offset m; the middle row is 2 * (radius - 1) wide.
  auto halfChord = [&](std::int64_t m) {
    std::int64_t k = ISqrt(R * R - m * m);
    if (k == R) k = R - 1;
    return k;
  };
  auto strip = [&](std::int64_t r, std::int32_t rows, std::int64_t k) {
    std::int64_t srcStart = sx - k, dstStart = x - k, width = 2 * k;
    if (srcStart < left) {
      const std::int64_t diff = left - srcStart;
      srcStart += diff;
      dstStart += diff;
      width -= diff;
    }
    if (srcStart + width >= right) width = right - srcStart;
    // A strip left with no width (a centre outside the source) is not drawn.
    if (width <= 0) return;
    const auto w = static_cast<std::int32_t>(width), ds = static_cast<std::int32_t>(dstStart),
               ss = static_cast<std::int32_t>(srcStart), row = static_cast<std::int32_t>(r);
    if (g_lpD3DData)
      DDStretchBlt(dst, ds, y + row, w, rows, src, ss, sy + row, w, rows, flags);
    else
      DDBlt(dst, ds, y + row, w, rows, src, ss, sy + row, flags);
  };
  if (step == 1) {
    for (std::int64_t r = R - 1; r >= -R; --r) {
      if (r >= halfHeight) continue;
      if (r < -halfHeight) break;
      strip(r, 1, halfChord(r));
    }
    return 1;
  }
  const std::int64_t half = step >> 1;
  for (std::int64_t r = R - step; r >= -R; r -= step) {
    if (r >= halfHeight) continue;
    if (r + step <= -halfHeight) break;
    if (r + step > halfHeight) r = halfHeight - step;
    if (r < -halfHeight) r = -halfHeight;
    strip(r, step, halfChord(r + half));
  }
  return 1;
}

bool DDBltRadial(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t radius, std::int32_t distance,
                 DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t) {
  if (distance < 0 || radius < 0) return false;
  const std::int64_t d = distance, r = radius;
  const auto L = static_cast<std::int64_t>(std::sqrt(static_cast<double>(d * d + r * r)));
  if (L <= d) return false;
  if (!dst || !src || (!g_lpD3DData && !g_lpDDData)) return false;
  if (g_lpD3DData) {
    ddfx::ResolveForEffect(&dst);
    ddfx::ResolveForEffect(&src);
  }
  ddfx::EffectLocks l;
  if (!l.Lock(dst, src)) return false;
  const std::uint32_t key = ddfx::TransparentValue();
  switch (g_DDState.nBpp) {
    case 8: LensLoop<std::uint8_t>(l, x, y, r, d, L, sx, sy, std::uint8_t(key)); break;
    case 16: LensLoop<std::uint16_t>(l, x, y, r, d, L, sx, sy, std::uint16_t(key)); break;
    case 32: LensLoop<std::uint32_t>(l, x, y, r, d, L, sx, sy, key); break;
    default: break;  // 24 bits: nothing
  }
  return true;
}
