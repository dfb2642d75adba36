#include "gfx/DDRotate.h"

#include <algorithm>
#include <cmath>
#include <memory>

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

// Slightly below pi / 180, so that 30 degrees gives a sine of 511 / 1024, not 512.
constexpr double kRotateRadians = 0.017453292519943278;

// The inverse mapping of one call: a destination point (X, Y) of the turned rectangle's
// space reads the rectangle's point
//   u = ((C * (X - cx) + S * (Y - cy)) >> 10) + cx,  v = ((-S * (X - cx) + C * (Y - cy)) >> 10) + cy
// with S and C the sine and cosine scaled by 1024 and truncated (exact at quarter turns).
// It lands on destination column X - cx + x, row Y - cy + y.
struct Mapping {
  std::int64_t S = 0, C = 0;
  int xmin = 0, xmax = 0, ymin = 0, ymax = 0;  // bounding box in the turned space, with the margin
  int w = 0, h = 0, cx = 0, cy = 0;
  int uLimit = 0, vLimit = 0;  // u < uLimit, v < vLimit: inside the rectangle and the source
  int uFloor = 0, vFloor = 0;  // u >= uFloor, v >= vFloor: the same on the source's left and top

  void Init(int width, int height, int centreX, int centreY, int angle, int sx, int sy, int srcW, int srcH) {
    const double rad = angle * kRotateRadians;
    S = static_cast<std::int64_t>(std::sin(rad) * 1024);
    C = static_cast<std::int64_t>(std::cos(rad) * 1024);
    w = width;
    h = height;
    cx = centreX;
    cy = centreY;
    const std::int64_t ox[4] = {-centreX, width - 1 - centreX, -centreX, width - 1 - centreX};
    const std::int64_t oy[4] = {-centreY, -centreY, height - 1 - centreY, height - 1 - centreY};
    std::int64_t x0 = INT32_MAX, x1 = INT32_MIN, y0 = INT32_MAX, y1 = INT32_MIN;
    for (int i = 0; i < 4; ++i) {
      const std::int64_t X = ((C * ox[i] - S * oy[i]) >> 10) + centreX;
      const std::int64_t Y = ((S * ox[i] + C * oy[i]) >> 10) + centreY;
      x0 = std::min(x0, X);
      x1 = std::max(x1, X);
      y0 = std::min(y0, Y);
      y1 = std::max(y1, Y);
    }
    xmin = static_cast<int>(std::clamp<std::int64_t>(x0 - 2, INT32_MIN / 2, INT32_MAX / 2));
    xmax = static_cast<int>(std::clamp<std::int64_t>(x1 + 2, INT32_MIN / 2, INT32_MAX / 2));
    ymin = static_cast<int>(std::clamp<std::int64_t>(y0 - 2, INT32_MIN / 2, INT32_MAX / 2));
    ymax = static_cast<int>(std::clamp<std::int64_t>(y1 + 2, INT32_MIN / 2, INT32_MAX / 2));
    uLimit = std::min(width, srcW - sx);
    vLimit = std::min(height, srcH - sy);
    uFloor = std::max(0, -sx);
    vFloor = std::max(0, -sy);
  }
};

// Walks the rows of the turned rectangle that land inside the destination and, in each,
// the one run of columns whose source point is usable (u and v are monotonic along a
// row, so the usable columns are contiguous). fn(row, X0, n, un, vn) gets the first
// column's scaled source point; each next column adds C to un and subtracts S from vn.
template <class Fn>
void ForRuns(const Mapping& m, int x, int y, int dstW, int dstH, Fn fn) {
  const int X0 = std::max(m.xmin, m.cx - x), X1 = std::min(m.xmax, dstW + m.cx - x);
  const int Y0 = std::max(m.ymin, m.cy - y), Y1 = std::min(m.ymax, dstH + m.cy - y);
  for (int Y = Y0; Y < Y1; ++Y) {
    const std::int64_t dy = Y - m.cy;
    std::int64_t un = m.C * (X0 - m.cx) + m.S * dy;
    std::int64_t vn = -m.S * (X0 - m.cx) + m.C * dy;
    auto usable = [&](std::int64_t a, std::int64_t b) {
      const std::int64_t u = (a >> 10) + m.cx, v = (b >> 10) + m.cy;
      return u >= m.uFloor && u < m.uLimit && v >= m.vFloor && v < m.vLimit;
    };
    int X = X0;
    while (X < X1 && !usable(un, vn)) {
      ++X;
      un += m.C;
      vn -= m.S;
    }
    if (X == X1) continue;
    const std::int64_t ua = un, va = vn;
    const int start = X;
    while (X < X1 && usable(un, vn)) {
      ++X;
      un += m.C;
      vn -= m.S;
    }
    fn(Y - m.cy + y, start - m.cx + x, X - start, ua, va);
  }
}

// Copies the source point of every column of a run (the pixel loop).
template <class T>
void CopyRuns(ddfx::EffectLocks& l, const Mapping& m, int x, int y, int sx, int sy, bool keyed, T key) {
  const cSurfaceLock& src = l.src;
  ForRuns(m, x, y, ddfx::LockedWidth(l.dst), ddfx::LockedHeight(l.dst),
          [&](int row, int col, int n, std::int64_t un, std::int64_t vn) {
            T* d = l.dst.Row<T>(row) + col;
            for (int i = 0; i < n; ++i, un += m.C, vn -= m.S) {
              const T p =
                  src.Row<T>(sy + static_cast<int>((vn >> 10) + m.cy))[sx + static_cast<int>((un >> 10) + m.cx)];
              if (!((keyed & (p == key)))) d[i] = p;
            }
          });
}

// The textured path: each run's texels gathered into a one-row texture, then drawn as a
// quad of that row with the draw mode and blended by the texels' alpha.
template <class T>
void DrawRuns(DDSURFACEDATA* dst, plat::Surface& ds, const plat::Surface& ss, const Mapping& m, int x, int y, int sx,
              int sy) {
  const D3DDEVICEDATA& d = *g_lpD3DData;
  const int runMax = std::max(1, m.xmax - m.xmin);
  std::unique_ptr<plat::Surface> row = plat::Surface::create(runMax, 1, ss.format(), plat::Memory::System);
  if (!row) return;
  pix::QuadOp op;
  op.diffuse = d.dwDrawColor;
  op.colorOp = d.nColorOp;
  op.alphaOp = d.nAlphaOp;
  op.factor = d.dwTextureFactor;
  op.dstLimitW = dst->nWidth;
  op.dstLimitH = dst->nHeight;
  ForRuns(m, x, y, std::min(dst->nWidth, ds.width()), std::min(dst->nHeight, ds.height()),
          [&](int r, int col, int n, std::int64_t un, std::int64_t vn) {
            T* t = row->rowAs<T>(0);
            for (int i = 0; i < n; ++i, un += m.C, vn -= m.S)
              t[i] = ss.rowAs<T>(sy + static_cast<int>((vn >> 10) + m.cy))[sx + static_cast<int>((un >> 10) + m.cx)];
            pix::drawQuad(ds, col, r, n, 1, *row, 0, 0, n, 1, op);
          });
}

bool RotatePixels(DDSURFACEDATA* dst, int x, int y, int width, int height, int centreX, int centreY, int angle,
                  DDSURFACEDATA* src, int sx, int sy, int flags, bool failResult) {
  ddfx::EffectLocks l;
  if (!l.Lock(dst, src)) return failResult;
  Mapping m;
  m.Init(width, height, centreX, centreY, angle, sx, sy, ddfx::LockedWidth(l.src), ddfx::LockedHeight(l.src));
  const bool keyed = flags == 1;
  const std::uint32_t key = ddfx::TransparentValue();
  switch (g_DDState.nBpp) {
    case 8: CopyRuns<std::uint8_t>(l, m, x, y, sx, sy, keyed && key < 256, std::uint8_t(key)); break;
    case 16: CopyRuns<std::uint16_t>(l, m, x, y, sx, sy, keyed, std::uint16_t(key)); break;
    case 32: CopyRuns<std::uint32_t>(l, m, x, y, sx, sy, keyed, key); break;
    default: break;  // 24 bits: nothing
  }
  return true;
}

}  // namespace

bool DDBltRotate(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 std::int32_t centreX, std::int32_t centreY, std::int32_t angle, DDSURFACEDATA* src, std::int32_t sx,
                 std::int32_t sy, std::int32_t flags) {
  if (g_lpDDData) {
    if (!dst || !src) return false;
    return RotatePixels(dst, x, y, width, height, centreX, centreY, angle, src, sx, sy, flags, false);
  }
  if (!g_lpD3DData || !dst || !src) return true;
  ddfx::ResolveForEffect(&dst);
  ddfx::ResolveForEffect(&src);
  if (!dst->lpDT || !src->lpDT) return true;
  if (ddfx::InSystemMemory(dst, src))
    return RotatePixels(dst, x, y, width, height, centreX, centreY, angle, src, sx, sy, flags, true);
  plat::Surface* ss = src->Pixels();
  if (!ss || ss->isLost() || !DDBeginScene() || !DDSetRenderTarget(0, dst)) return true;
  plat::Surface* ds = dst->Pixels();
  Mapping m;
  m.Init(width, height, centreX, centreY, angle, sx, sy, std::min(src->nWidth, ss->width()),
         std::min(src->nHeight, ss->height()));
  if (ss->bytesPerPixel() == 2) DrawRuns<std::uint16_t>(dst, *ds, *ss, m, x, y, sx, sy);
  else if (ss->bytesPerPixel() == 4) DrawRuns<std::uint32_t>(dst, *ds, *ss, m, x, y, sx, sy);
  ddfx::ParkRenderTarget();
  return true;
}
