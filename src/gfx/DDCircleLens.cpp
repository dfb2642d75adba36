#include "gfx/DDCircleLens.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

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

// The source point of one destination pixel, copied unless it is transparent or lies
// outside the display or the source.
struct LensClip {
  int limW, limH;
};

template <class T>
inline void LensPixel(T* d, const ddfx::EffectLocks& l, const LensClip& c, std::int64_t px, std::int64_t py, T key) {
  if (px < 0 || px >= c.limW || py < 0 || py >= c.limH) return;
  const T p = l.src.Row<T>(static_cast<int>(py))[px];
  if (p != key) *d = p;
}

// Row by row from the top, every pixel computed on its own: the order that matters when
// the source is the destination itself.
template <class T>
void LensLoopInOrder(ddfx::EffectLocks& l, const LensClip& c, int x, int y, std::int64_t radius, std::int64_t distance,
                     std::int64_t L, int sx, int sy, T key) {
  const int dstW = ddfx::LockedWidth(l.dst), dstH = ddfx::LockedHeight(l.dst);
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
      LensPixel(d + x + i, l, c, sx + u, sy + v, key);
    }
  }
}

// The rows and columns of a lens whose L is below this have every integer of the formula
// (L * L, a * distance, j * distance) exact in a float.
constexpr std::int64_t LENS_FLOAT_LIMIT = 4096;

// The source offsets of the columns a = a0 .. a0 + n - 1 in the row pair +-j: uPos, uNeg
// for the columns +a and -a, vPos, vNeg for the rows +j and -j. The quotients of -a and
// -j are the exact negatives of those of a and j, so one square root serves four pixels.
// They are worked in floats, eight columns at a time, with a multiplication by 1 / s for
// the division: four roundings of 2^-24 at most, so a float result lies within
// (|f| + 1) * 2^-22 of the true value f, and where no integer is nearer than four times
// that it truncates as the pixel-by-pixel formula in doubles does. Columns with an offset
// that near an integer are marked in `unsure` for that formula.
DDFX_HOT_ROW void LensOffsetsRow(int n, float a0, float j, float LL, float dist, std::int32_t* uPos, std::int32_t* uNeg,
                                 std::int32_t* vPos, std::int32_t* vNeg, std::int32_t* unsure) {
  const float jj = j * j, jd = j * dist;
  const auto near = [](float f) { return std::fabs(f - std::rint(f)) <= (std::fabs(f) + 1.0f) * 0x1p-20f; };
  for (int k = 0; k < n; ++k) {
    const float a = a0 + static_cast<float>(k);
    const float s2 = LL - (a * a + jj);
    // s = 0 (a rim point where i * i + j * j = L * L) keeps its own position.
    const bool bRim = s2 == 0.0f;
    const float r = 1.0f / std::sqrt(bRim ? 1.0f : s2);
    const float qx = a * dist * r, qy = jd * r;
    const float up = qx + 0.5f, un = 0.5f - qx, vp = qy + 0.5f, vn = 0.5f - qy;
    const auto ia = static_cast<std::int32_t>(a), ij = static_cast<std::int32_t>(j);
    const auto iup = static_cast<std::int32_t>(up), iun = static_cast<std::int32_t>(un);
    const auto ivp = static_cast<std::int32_t>(vp), ivn = static_cast<std::int32_t>(vn);
    uPos[k] = bRim ? ia : iup;
    uNeg[k] = bRim ? -ia : iun;
    vPos[k] = bRim ? ij : ivp;
    vNeg[k] = bRim ? -ij : ivn;
    const std::int32_t nNear = near(up) | near(un) | near(vp) | near(vn);
    unsure[k] = bRim ? 0 : nNear;
  }
}

struct LensOffsets {
  std::vector<std::int32_t> uPos, uNeg, vPos, vNeg, unsure;
  void Fill(std::int64_t aLo, std::int64_t aHi, std::int64_t j, std::int64_t LL, std::int64_t distance) {
    const std::size_t n = static_cast<std::size_t>(aHi) + 1;
    if (uPos.size() < n)
      for (std::vector<std::int32_t>* v : {&uPos, &uNeg, &vPos, &vNeg, &unsure}) v->resize(n);
    LensOffsetsRow(static_cast<int>(aHi - aLo + 1), static_cast<float>(aLo), static_cast<float>(j),
                   static_cast<float>(LL), static_cast<float>(distance), &uPos[aLo], &uNeg[aLo], &vPos[aLo], &vNeg[aLo],
                   &unsure[aLo]);
    const double dist = static_cast<double>(distance);
    for (std::int64_t a = aLo; a <= aHi; ++a) {
      if (!unsure[a]) continue;
      const double s = std::sqrt(static_cast<double>(LL - (a * a + j * j)));
      uPos[a] = static_cast<std::int32_t>(static_cast<double>(a) * dist / s + 0.5);
      uNeg[a] = static_cast<std::int32_t>(static_cast<double>(-a) * dist / s + 0.5);
      vPos[a] = static_cast<std::int32_t>(static_cast<double>(j) * dist / s + 0.5);
      vNeg[a] = static_cast<std::int32_t>(static_cast<double>(-j) * dist / s + 0.5);
    }
  }
};

// The source as the pixel loops of the lens read it, held in locals so that the stores
// into the destination cannot be taken for changes of it.
template <class T>
struct LensSource {
  const std::uint8_t* bits;
  std::ptrdiff_t pitch;
  std::int64_t sx, sy;
  std::uint64_t limW, limH;  // the display's size, never more than the source's pixels
  T key;
};

// Columns a = aFrom .. aTo on one side of a row: the destination pixel d[dir * a] shows
// the source point (sx + u[a], sy + v[a]).
template <class T>
inline void LensSpan(T* d, std::int64_t dir, std::int64_t aFrom, std::int64_t aTo, const std::int32_t* u,
                     const std::int32_t* v, const LensSource<T> src) {
  for (std::int64_t a = aFrom; a <= aTo; ++a) {
    const std::int64_t px = src.sx + u[a], py = src.sy + v[a];
    if (static_cast<std::uint64_t>(px) >= src.limW || static_cast<std::uint64_t>(py) >= src.limH) continue;
    const T p = reinterpret_cast<const T*>(src.bits + py * src.pitch)[px];
    if (p != src.key) d[dir * a] = p;
  }
}

template <class T>
void LensLoop(ddfx::EffectLocks& l, int x, int y, std::int64_t radius, std::int64_t distance, std::int64_t L, int sx,
              int sy, T key) {
  const int dstW = ddfx::LockedWidth(l.dst), dstH = ddfx::LockedHeight(l.dst);
  // Source points count only inside the display; and never outside the source's pixels.
  const LensClip c{std::min(g_DDState.nWidth, ddfx::LockedWidth(l.src)),
                   std::min(g_DDState.nHeight, ddfx::LockedHeight(l.src))};
  // A lens beyond the screen's size by far, and one that reads its own destination: pixel
  // by pixel.
  if (l.dst.m_lpSurface == l.src.m_lpSurface || L >= LENS_FLOAT_LIMIT) {
    LensLoopInOrder(l, c, x, y, radius, distance, L, sx, sy, key);
    return;
  }
  const LensSource<T> src{
      static_cast<const std::uint8_t*>(l.src.m_pBits), static_cast<std::ptrdiff_t>(l.src.m_lpSurface->pitch()), sx, sy,
      static_cast<std::uint64_t>(std::max(c.limW, 0)), static_cast<std::uint64_t>(std::max(c.limH, 0)),         key};
  const std::int64_t LL = L * L, RR = radius * radius;
  const std::int64_t j0 = std::max<std::int64_t>(-radius, -y), j1 = std::min<std::int64_t>(radius, dstH - 1 - y);
  if (j0 > j1) return;
  LensOffsets t;
  for (std::int64_t j = 0, jTop = std::max(j1, -j0); j <= jTop; ++j) {
    const bool bBelow = j >= j0 && j <= j1, bAbove = j > 0 && -j >= j0 && -j <= j1;
    if (!bBelow && !bAbove) continue;
    const std::int64_t chord = ISqrt(RR - j * j);
    const std::int64_t i0 = std::max<std::int64_t>(-chord, -x), i1 = std::min<std::int64_t>(chord, dstW - 1 - x);
    if (i0 > i1) continue;
    const std::int64_t aLo = i0 <= 0 && i1 >= 0 ? 0 : std::min(std::abs(i0), std::abs(i1));
    t.Fill(aLo, std::max(std::abs(i0), std::abs(i1)), j, LL, distance);
    for (const std::int64_t row : {-j, j}) {
      if (row < 0 ? !bAbove : !bBelow) continue;
      const std::int32_t* v = row < 0 ? t.vNeg.data() : t.vPos.data();
      T* d = l.dst.Row<T>(static_cast<int>(y + row)) + x;
      // Left of the centre (i = -a), then from the centre on (i = a).
      if (i0 < 0) LensSpan(d, -1, std::max<std::int64_t>(1, -i1), -i0, t.uNeg.data(), v, src);
      if (i1 >= 0) LensSpan(d, 1, std::max<std::int64_t>(0, i0), i1, t.uPos.data(), v, src);
      if (row == 0) break;
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
    if (g_lpD3DData) DDStretchBlt(dst, ds, y + row, w, rows, src, ss, sy + row, w, rows, flags);
    else DDBlt(dst, ds, y + row, w, rows, src, ss, sy + row, flags);
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
