#include "gfx/DDBlurMosaic.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/Log.h"
#include "gfx/DDBlt.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace {

using ddfx::EffectLocks;

// floor(sum / count): a multiply and a shift for the counts of usual boxes and blocks
// (exact while sum <= 255 * count and count < 4096), a division beyond them.
constexpr std::uint32_t kMagicCounts = 4096;
const std::array<std::uint64_t, kMagicCounts>& MagicTable() {
  static const std::array<std::uint64_t, kMagicCounts> table = [] {
    std::array<std::uint64_t, kMagicCounts> t{};
    for (std::uint64_t d = 1; d < kMagicCounts; ++d) t[d] = (std::uint64_t{1} << 32) / d + 1;
    return t;
  }();
  return table;
}
inline std::uint32_t DivCount(std::uint64_t sum, std::uint64_t count, const std::uint64_t* magic) {
  return count < kMagicCounts ? std::uint32_t((sum * magic[count]) >> 32) : std::uint32_t(sum / count);
}

// The part of a w x h rectangle whose source pixels exist: columns c0..c1, rows k0..k1.
struct Region {
  int c0, c1, k0, k1;
};
bool SourceRegion(int w, int h, int sx, int sy, int srcW, int srcH, Region& r) {
  r.c0 = std::max(0, -sx);
  r.c1 = std::min(w, srcW - sx);
  r.k0 = std::max(0, -sy);
  r.k1 = std::min(h, srcH - sy);
  return r.c0 < r.c1 && r.k0 < r.k1;
}

// --- blur ---

// Column sums of the box rows: samples of the three channels and their count.
struct Columns {
  std::vector<std::uint32_t> r, g, b, n;
  void Reset(int w) {
    for (auto* v : {&r, &g, &b, &n}) v->assign(static_cast<std::size_t>(w), 0);
  }
};

// The fields of one pixel format: 16-bit layouts or the bytes of 32-bit pixels.
struct Split32 {
  std::uint32_t R(std::uint32_t p) const { return (p >> 16) & 255; }
  std::uint32_t G(std::uint32_t p) const { return (p >> 8) & 255; }
  std::uint32_t B(std::uint32_t p) const { return p & 255; }
};

// Adds (or removes) the usable samples of one source row to the column sums.
template <bool Add, class T, class Split>
DDFX_HOT_ROW void AccumulateRow(Columns& cols, const T* s, int w, const Split& sp, bool keyed, T key) {
  std::uint32_t* __restrict r = cols.r.data();
  std::uint32_t* __restrict g = cols.g.data();
  std::uint32_t* __restrict b = cols.b.data();
  std::uint32_t* __restrict n = cols.n.data();
  for (int c = 0; c < w; ++c) {
    const T p = s[c];
    const std::uint32_t m = (keyed & (p == key)) ? 0u : ~0u;
    if constexpr (Add) {
      r[c] += sp.R(p) & m;
      g[c] += sp.G(p) & m;
      b[c] += sp.B(p) & m;
      n[c] += m & 1u;
    } else {
      r[c] -= sp.R(p) & m;
      g[c] -= sp.G(p) & m;
      b[c] -= sp.B(p) & m;
      n[c] -= m & 1u;
    }
  }
}

// The box sums slide down the rows (column sums) and along each row (a running sum of
// the column sums), so a pixel costs the same for any radius.
template <class T, class Split, class Put>
void BlurLoop(EffectLocks& l, int x, int y, int sx, int sy, const Region& rg, int hr, int vr, bool keyed, T key,
              const Split& sp, Put put) {
  const int w = rg.c1 - rg.c0, h = rg.k1 - rg.k0;
  // A box wider than the region takes in no more samples.
  hr = std::min(hr, w);
  vr = std::min(vr, h);
  const int dstW = ddfx::LockedWidth(l.dst), dstH = ddfx::LockedHeight(l.dst);
  // The columns of the region that land inside the destination.
  const int a = std::max(0, -(x + rg.c0)), b = std::min(w, dstW - (x + rg.c0));
  thread_local Columns cols;
  cols.Reset(w);
  auto srcRow = [&](int k) { return l.src.Row<T>(sy + rg.k0 + k) + sx + rg.c0; };
  for (int k = 0; k < std::min(vr, h); ++k) AccumulateRow<true>(cols, srcRow(k), w, sp, keyed, key);
  const std::uint64_t* magic = MagicTable().data();
  for (int k = 0; k < h; ++k) {
    const int dy = y + rg.k0 + k;
    if (dy >= 0 && dy < dstH && a < b) {
      const T* s = srcRow(k);
      T* d = l.dst.Row<T>(dy) + x + rg.c0;
      std::uint64_t sr = 0, sg = 0, sb = 0, sn = 0;
      for (int j = std::max(0, a - hr); j < std::min(w, a + hr); ++j) {
        sr += cols.r[j];
        sg += cols.g[j];
        sb += cols.b[j];
        sn += cols.n[j];
      }
      for (int c = a; c < b; ++c) {
        const T p = s[c];
        if (sn != 0 && !((keyed & (p == key))))
          d[c] = put(d[c], DivCount(sr, sn, magic), DivCount(sg, sn, magic), DivCount(sb, sn, magic));
        if (c - hr >= 0) {
          sr -= cols.r[c - hr];
          sg -= cols.g[c - hr];
          sb -= cols.b[c - hr];
          sn -= cols.n[c - hr];
        }
        if (c + hr < w) {
          sr += cols.r[c + hr];
          sg += cols.g[c + hr];
          sb += cols.b[c + hr];
          sn += cols.n[c + hr];
        }
      }
    }
    if (k - vr >= 0) AccumulateRow<false>(cols, srcRow(k - vr), w, sp, keyed, key);
    if (k + vr < h) AccumulateRow<true>(cols, srcRow(k + vr), w, sp, keyed, key);
  }
}

// --- mosaic ---

// The colours of one row of blocks, spread over the rectangle's columns: colour[c] is the
// colour of column c's block, mask[c] all ones where that block is drawn.
template <class T>
struct BlockRow {
  std::vector<T> colour, mask;
  void Reset(int w) {
    colour.assign(static_cast<std::size_t>(w), 0);
    mask.assign(static_cast<std::size_t>(w), 0);
  }
  void Set(int c0, int c1, T value) {
    for (int c = c0; c < c1; ++c) {
      colour[c] = value;
      mask[c] = T(~T(0));
    }
  }
};

// Writes the block row into rows k0..k1 of the rectangle where they lie inside the
// destination; at 32 bits byte 3 of the destination stays.
template <class T>
DDFX_HOT_ROW void FillBlockRow(EffectLocks& l, int x, int y, int w, int k0, int k1, const BlockRow<T>& row) {
  const int dstW = ddfx::LockedWidth(l.dst), dstH = ddfx::LockedHeight(l.dst);
  const int a = std::max(0, -x), b = std::min(w, dstW - x);
  if (a >= b) return;
  const T keep = sizeof(T) == 4 ? T(0xFF000000u) : T(0);
  const T* __restrict colour = row.colour.data();
  const T* __restrict mask = row.mask.data();
  for (int k = std::max(k0, -y); k < std::min(k1, dstH - y); ++k) {
    T* __restrict d = l.dst.Row<T>(y + k) + x;
    for (int c = a; c < b; ++c) d[c] = T((d[c] & T(~mask[c] | keep)) | (colour[c] & mask[c]));
  }
}

// Blocks coloured by their top-left source pixel (8 bits; 16-bit Direct3D).
template <class T, class Convert>
void MosaicCorner(EffectLocks& l, int x, int y, int w, int h, int n, int sx, int sy, const Region& rg, bool keyed,
                  T key, Convert convert) {
  thread_local BlockRow<T> row;
  for (int kb = 0; kb < h; kb += n) {
    row.Reset(w);
    if (kb >= rg.k0 && kb < rg.k1) {
      const T* s = l.src.Row<T>(sy + kb) + sx;
      for (int cb = 0; cb < w; cb += n) {
        if (cb < rg.c0 || cb >= rg.c1) continue;  // no source pixel there
        const T p = s[cb];
        if (!((keyed & (p == key)))) row.Set(cb, std::min(cb + n, w), convert(p));
      }
    }
    FillBlockRow(l, x, y, w, kb, std::min(kb + n, h), row);
  }
}

// Blocks coloured by the average of their usable source pixels: the samples of a row of
// blocks are summed per column first, then per block. `average` turns the sums and count
// into the block's colour, or reports the block as not drawn.
template <class T, class Split, class Average>
void MosaicAverage(EffectLocks& l, int x, int y, int w, int h, int n, int sx, int sy, const Region& rg, bool keyed,
                   T key, const Split& sp, Average average) {
  thread_local Columns cols;
  thread_local BlockRow<T> row;
  const int cw = rg.c1 - rg.c0;
  for (int kb = 0; kb < h; kb += n) {
    const int kEnd = std::min(kb + n, h);
    cols.Reset(cw);
    row.Reset(w);
    for (int k = std::max(kb, rg.k0); k < std::min(kEnd, rg.k1); ++k)
      AccumulateRow<true>(cols, l.src.Row<T>(sy + k) + sx + rg.c0, cw, sp, keyed, key);
    for (int cb = 0; cb < w; cb += n) {
      const int c0 = std::max(cb, rg.c0), c1 = std::min(std::min(cb + n, w), rg.c1);
      std::uint32_t acc[4] = {0, 0, 0, 0};
      for (int c = c0; c < c1; ++c) {
        acc[0] += cols.r[c - rg.c0];
        acc[1] += cols.g[c - rg.c0];
        acc[2] += cols.b[c - rg.c0];
        acc[3] += cols.n[c - rg.c0];
      }
      T colour;
      if (acc[3] != 0 && average(acc, colour)) row.Set(cb, std::min(cb + n, w), colour);
    }
    FillBlockRow(l, x, y, w, kb, kEnd, row);
  }
}

// 16-bit DirectDraw channels taken up to 8-bit units.
struct SplitUp16 {
  const ddfx::Fields16* f;
  const ddfx::Convert16* cv;
  std::uint32_t R(std::uint32_t p) const { return cv->up[0][f->R(p)]; }
  std::uint32_t G(std::uint32_t p) const { return cv->up[1][f->G(p)]; }
  std::uint32_t B(std::uint32_t p) const { return cv->up[2][f->B(p)]; }
};

}  // namespace

bool DDBlur(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            std::int32_t radiusX, std::int32_t radiusY, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
            std::int32_t flags) {
  if (radiusX == 0 || radiusY == 0) return true;
  if (!dst || !src || (!g_lpD3DData && !g_lpDDData)) return false;
  if (g_lpD3DData) {
    ddfx::ResolveForEffect(&dst);
    ddfx::ResolveForEffect(&src);
  }
  EffectLocks l;
  if (!l.Lock(dst, src)) return false;
  const int bpp = g_DDState.nBpp;
  if (bpp == 8) {
    DebugLog("8ビットぼかしは不可能！");
    return true;
  }
  // A negative radius makes an empty box: no samples, nothing drawn.
  if (radiusX < 0 || radiusY < 0 || (bpp != 16 && bpp != 32)) return true;
  Region rg;
  if (!SourceRegion(width, height, sx, sy, ddfx::LockedWidth(l.src), ddfx::LockedHeight(l.src), rg)) return true;
  const bool keyed = flags == 1;
  const std::uint32_t key = ddfx::TransparentValue();
  if (bpp == 16) {
    const ddfx::Fields16 in = ddfx::PixelFields();
    // On the full-screen Direct3D back buffer the result is a 5-6-5 pixel, G doubled.
    const bool screen = g_lpD3DData && DDIsFullScreenBackBuffer(dst);
    const ddfx::Fields16 out = screen ? ddfx::ScreenFields() : in;
    const std::uint32_t gScale = screen ? 2 : 1;
    BlurLoop<std::uint16_t>(l, x, y, sx, sy, rg, radiusX, radiusY, keyed, std::uint16_t(key), in,
                            [&](std::uint16_t, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
                              return std::uint16_t(out.Compose(r, g * gScale, b));
                            });
  } else {
    BlurLoop<std::uint32_t>(l, x, y, sx, sy, rg, radiusX, radiusY, keyed, key, Split32{},
                            [](std::uint32_t old, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
                              return (old & 0xFF000000u) | r << 16 | g << 8 | b;
                            });
  }
  return true;
}

bool DDMosaic(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::int32_t blockSize, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t flags) {
  if (blockSize == 0) return true;
  if (!dst || !src || (!g_lpD3DData && !g_lpDDData)) return false;
  if (g_lpD3DData) {
    ddfx::ResolveForEffect(&dst);
    ddfx::ResolveForEffect(&src);
  }
  EffectLocks l;
  if (!l.Lock(dst, src)) return false;
  // A negative block size has no blocks.
  if (blockSize < 0) return true;
  Region rg;
  if (!SourceRegion(width, height, sx, sy, ddfx::LockedWidth(l.src), ddfx::LockedHeight(l.src), rg)) return true;
  // A block larger than the rectangle is the rectangle.
  const int n = std::min(blockSize, std::max(width, height));
  const bool keyed = flags == 1;
  const std::uint32_t key = ddfx::TransparentValue();
  const std::uint64_t* magic = MagicTable().data();
  switch (g_DDState.nBpp) {
    case 8:
      MosaicCorner<std::uint8_t>(l, x, y, width, height, n, sx, sy, rg, keyed && key < 256, std::uint8_t(key),
                                 [](std::uint8_t p) { return p; });
      break;
    case 16:
      if (g_lpD3DData) {
        const ddfx::Fields16 pf = ddfx::PixelFields(), sf = ddfx::ScreenFields();
        const bool screen = DDIsFullScreenBackBuffer(dst);
        MosaicCorner<std::uint16_t>(
            l, x, y, width, height, n, sx, sy, rg, keyed, std::uint16_t(key),
            [&](std::uint16_t p) { return screen ? std::uint16_t(sf.Compose(pf.R(p), pf.G(p) * 2, pf.B(p))) : p; });
      } else {
        const ddfx::Fields16 f = ddfx::PixelFields();
        ddfx::Convert16 cv;
        ddfx::BuildConvert16(f, cv);
        MosaicAverage<std::uint16_t>(
            l, x, y, width, height, n, sx, sy, rg, keyed, std::uint16_t(key), SplitUp16{&f, &cv},
            [&](const std::uint32_t* acc, std::uint16_t& colour) {
              colour = std::uint16_t(cv.Compose8(DivCount(acc[0], acc[3], magic), DivCount(acc[1], acc[3], magic),
                                                 DivCount(acc[2], acc[3], magic)));
              return !(keyed && colour == key);
            });
      }
      break;
    case 32: {
      // Under DirectDraw a block averaging to the transparent colour (B, G, R) is left out;
      // under Direct3D transparency is alpha 0, which an average of usable texels never is.
      const bool skipKeyColour = keyed && g_lpDDData;
      MosaicAverage<std::uint32_t>(l, x, y, width, height, n, sx, sy, rg, keyed, key, Split32{},
                                   [&](const std::uint32_t* acc, std::uint32_t& colour) {
                                     colour = DivCount(acc[0], acc[3], magic) << 16 |
                                              DivCount(acc[1], acc[3], magic) << 8 | DivCount(acc[2], acc[3], magic);
                                     return !(skipKeyColour && colour == (key & 0xFFFFFFu));
                                   });
      break;
    }
    default: break;  // 24 bits: nothing
  }
  return true;
}
