#include "gfx/PixelOps.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PIX_AVX512_ROWS 1
#endif

// The loops below are the program's hot path; let the compiler vectorise them fully.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

// The hottest rows are compiled twice, for AVX2 and for the base instruction set; the
// processor's version is picked when the program loads (-march stays the default). The
// 16-bit quad rows that run over whole screens get an AVX-512 version too.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define PIX_HOT_ROW __attribute__((target_clones("avx2", "default")))
#define PIX_WIDE_ROW __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define PIX_HOT_ROW
#define PIX_WIDE_ROW
#endif

namespace pix {

using plat::PixelFormat;
using plat::Surface;

namespace {

constexpr int kChunk = 256;  // pixels combined at a time in the quad path's scratch row

inline int floorDiv(long long a, long long b) {  // b > 0
  long long q = a / b;
  if ((a % b != 0) && (a < 0)) --q;
  return static_cast<int>(q);
}

template <class T>
void fillRow(T* d, int n, T v) {
  for (int i = 0; i < n; ++i) d[i] = v;
}

void fillRow24(std::uint8_t* d, int n, std::uint32_t v) {
  const std::uint8_t b0 = std::uint8_t(v), b1 = std::uint8_t(v >> 8), b2 = std::uint8_t(v >> 16);
  for (int i = 0; i < n; ++i) {
    d[3 * i] = b0;
    d[3 * i + 1] = b1;
    d[3 * i + 2] = b2;
  }
}

template <class T>
void keyedRow(T* __restrict d, const T* __restrict s, int n, T key) {
  for (int i = 0; i < n; ++i) {
    const T v = s[i];
    d[i] = v == key ? d[i] : v;
  }
}

void keyedRow24(std::uint8_t* d, const std::uint8_t* s, int n, std::uint32_t key) {
  for (int i = 0; i < n; ++i) {
    const std::uint32_t v =
        std::uint32_t(s[3 * i]) | std::uint32_t(s[3 * i + 1]) << 8 | std::uint32_t(s[3 * i + 2]) << 16;
    if (v == (key & 0xFFFFFF)) continue;
    d[3 * i] = s[3 * i];
    d[3 * i + 1] = s[3 * i + 1];
    d[3 * i + 2] = s[3 * i + 2];
  }
}

template <class T>
void stretchRow(T* __restrict d, const T* __restrict s, const int* cols, int n, bool keyed, T key) {
  if (keyed) {
    for (int j = 0; j < n; ++j) {
      const T v = s[cols[j]];
      d[j] = v == key ? d[j] : v;
    }
  } else {
    for (int j = 0; j < n; ++j) d[j] = s[cols[j]];
  }
}

void stretchRow24(std::uint8_t* d, const std::uint8_t* s, const int* cols, int n, bool keyed, std::uint32_t key) {
  for (int j = 0; j < n; ++j) {
    const std::uint8_t* p = s + 3 * cols[j];
    const std::uint32_t v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    if (keyed && v == (key & 0xFFFFFF)) continue;
    d[3 * j] = p[0];
    d[3 * j + 1] = p[1];
    d[3 * j + 2] = p[2];
  }
}

// --- textured path ---

// The blend without a branch: alphas 255 and 0 come out as the texel and the target
// exactly (div255 of v * 255 is v), so whole runs vectorise.
inline std::uint32_t blendPixel32(std::uint32_t d, std::uint32_t s) {
  const std::uint32_t a = s >> 24, ia = 255 - a;
  const std::uint32_t r = div255(((s >> 16) & 255) * a + ((d >> 16) & 255) * ia);
  const std::uint32_t g = div255(((s >> 8) & 255) * a + ((d >> 8) & 255) * ia);
  const std::uint32_t b = div255((s & 255) * a + (d & 255) * ia);
  const std::uint32_t oa = div255(a * a + (d >> 24) * ia);
  return oa << 24 | r << 16 | g << 8 | b;
}
// Classifies the alphas of a run in one vectorisable pass: all opaque, all clear, or
// only 0 and 255 (a ^ (a >> 7 ? 255 : 0) is zero exactly for those two).
struct AlphaRun {
  bool opaque, clear, binary;
};
inline AlphaRun classify(const std::uint32_t* __restrict s, int n) {
  std::uint32_t all = 0xFFFFFFFFu, any = 0, partial = 0;
  for (int k = 0; k < n; ++k) {
    const std::uint32_t v = s[k], a = v >> 24;
    all &= v;
    any |= v;
    partial |= a ^ ((0u - (a >> 7)) & 0xFFu);
  }
  return AlphaRun{(all >> 24) == 0xFF, (any >> 24) == 0, partial == 0};
}

inline void selectRow32(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
  for (int k = 0; k < n; ++k) {
    const std::uint32_t v = s[k];
    d[k] = (v >> 24) ? v : d[k];
  }
}

// Opaque and clear runs (the usual picture or sprite) are copied, skipped or selected
// without branches per texel; only texels of partial alpha take the blend.
PIX_HOT_ROW void blendRow32(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
  if (n < 16) {  // a short row (a small sprite): a branch a texel costs less than the passes
    for (int k = 0; k < n; ++k) {
      const std::uint32_t v = s[k], a = v >> 24;
      if (a == 255) d[k] = v;
      else if (a != 0) d[k] = blendPixel32(d[k], v);
    }
    return;
  }
  const AlphaRun row = classify(s, n);
  if (row.opaque) {
    std::memcpy(d, s, static_cast<std::size_t>(n) * 4);
    return;
  }
  if (row.clear) return;
  if (row.binary) {
    selectRow32(d, s, n);
    return;
  }
  constexpr int kRun = 16;
  int i = 0;
  for (; i + kRun <= n; i += kRun) {
    const AlphaRun r = classify(s + i, kRun);
    if (r.binary) {
      selectRow32(d + i, s + i, kRun);
    } else {
      std::uint32_t* __restrict dk = d + i;
      const std::uint32_t* __restrict sk = s + i;
      for (int k = 0; k < kRun; ++k) dk[k] = blendPixel32(dk[k], sk[k]);
    }
  }
  for (; i < n; ++i) d[i] = blendPixel32(d[i], s[i]);
}

// 16-bit texels with white modulate onto 16-bit targets: the alpha bit selects, the
// fields pass unchanged (to 565: green by bit replication), as the general path gives.
// A run of opaque texels (a picture) is copied without reading the target.
inline bool allAlphaBits(const std::uint16_t* __restrict s, int n) {
  std::uint16_t all = 0xFFFF;
  for (int i = 0; i < n; ++i) all &= s[i];
  return (all & 0x8000) != 0;
}
PIX_HOT_ROW void selectRow1555(std::uint16_t* __restrict d, const std::uint16_t* __restrict s, int n) {
  if (allAlphaBits(s, n)) {
    std::memcpy(d, s, static_cast<std::size_t>(n) * 2);
    return;
  }
  for (int i = 0; i < n; ++i) d[i] = (s[i] & 0x8000) ? s[i] : d[i];
}
PIX_HOT_ROW void selectRow1555To565(std::uint16_t* __restrict d, const std::uint16_t* __restrict s, int n) {
  if (allAlphaBits(s, n)) {
    for (int i = 0; i < n; ++i) {
      const std::uint16_t p = s[i];
      d[i] = std::uint16_t((p & 0x7C00) << 1 | (p & 0x03E0) << 1 | (p >> 4 & 0x20) | (p & 31));
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    const std::uint32_t p = s[i], g = (p >> 5) & 31;
    const std::uint16_t v = std::uint16_t(((p >> 10) & 31) << 11 | ((g << 1) | (g >> 4)) << 5 | (p & 31));
    d[i] = (p & 0x8000) ? v : d[i];
  }
}

// Branch-free like blendPixel32: alpha 0 writes the target's own value back.
template <bool Six, bool HasAlpha>
void blendRow16(std::uint16_t* __restrict d, const std::uint32_t* __restrict s, int n) {
  for (int i = 0; i < n; ++i) {
    const std::uint32_t p = s[i], q = d[i];
    const std::uint32_t a = p >> 24, ia = 255 - a;
    std::uint32_t dr, dg, db, da;
    if constexpr (Six) {
      dr = up5(q >> 11), dg = up6((q >> 5) & 63), db = up5(q & 31), da = 255;
    } else {
      dr = up5((q >> 10) & 31), dg = up5((q >> 5) & 31), db = up5(q & 31), da = (q & 0x8000) ? 255 : 0;
    }
    const std::uint32_t r = div255(((p >> 16) & 255) * a + dr * ia);
    const std::uint32_t g = div255(((p >> 8) & 255) * a + dg * ia);
    const std::uint32_t b = div255((p & 255) * a + db * ia);
    if constexpr (Six) {
      d[i] = std::uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    } else {
      const std::uint32_t oa = div255(a * a + da * ia);
      // Without an alpha bit the unused top bit stays where the target is untouched.
      const std::uint32_t bit = HasAlpha ? (oa >= 128 ? 0x8000u : 0u) : (a == 0 ? q & 0x8000u : 0u);
      d[i] = std::uint16_t(bit | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    }
  }
}

void blendRow(PixelFormat f, std::uint8_t* row, int x, const std::uint32_t* s, int n) {
  switch (f) {
    case PixelFormat::Xrgb8888:
    case PixelFormat::Argb8888: blendRow32(reinterpret_cast<std::uint32_t*>(row) + x, s, n); break;
    case PixelFormat::Rgb565: blendRow16<true, false>(reinterpret_cast<std::uint16_t*>(row) + x, s, n); break;
    case PixelFormat::Argb1555: blendRow16<false, true>(reinterpret_cast<std::uint16_t*>(row) + x, s, n); break;
    case PixelFormat::Rgb555: blendRow16<false, false>(reinterpret_cast<std::uint16_t*>(row) + x, s, n); break;
    default: break;  // the textured path has no 8 or 24-bit targets
  }
}

template <PixelFormat F>
inline std::uint32_t fetch(const std::uint8_t* row, int x) {
  if constexpr (F == PixelFormat::Argb8888) {
    return reinterpret_cast<const std::uint32_t*>(row)[x];
  } else if constexpr (F == PixelFormat::Xrgb8888) {
    return reinterpret_cast<const std::uint32_t*>(row)[x] | 0xFF000000u;
  } else if constexpr (F == PixelFormat::Argb1555) {
    const std::uint32_t p = reinterpret_cast<const std::uint16_t*>(row)[x];
    return ((p & 0x8000) ? 0xFF000000u : 0u) | up5((p >> 10) & 31) << 16 | up5((p >> 5) & 31) << 8 | up5(p & 31);
  } else if constexpr (F == PixelFormat::Rgb555) {
    const std::uint32_t p = reinterpret_cast<const std::uint16_t*>(row)[x];
    return 0xFF000000u | up5((p >> 10) & 31) << 16 | up5((p >> 5) & 31) << 8 | up5(p & 31);
  } else if constexpr (F == PixelFormat::Rgb565) {
    const std::uint32_t p = reinterpret_cast<const std::uint16_t*>(row)[x];
    return 0xFF000000u | up5(p >> 11) << 16 | up6((p >> 5) & 63) << 8 | up5(p & 31);
  } else if constexpr (F == PixelFormat::Bgr24) {
    const std::uint8_t* q = row + 3 * x;
    return 0xFF000000u | std::uint32_t(q[2]) << 16 | std::uint32_t(q[1]) << 8 | q[0];
  } else {
    return 0xFF000000u | row[x];
  }
}

template <PixelFormat F>
void fetchRow(const std::uint8_t* row, int first, const int* cols, std::uint32_t* out, int n) {
  if (cols) {
    for (int k = 0; k < n; ++k) out[k] = fetch<F>(row, cols[k]);
  } else {
    for (int k = 0; k < n; ++k) out[k] = fetch<F>(row, first + k);
  }
}

void fetchAny(PixelFormat f, const std::uint8_t* row, int first, const int* cols, std::uint32_t* out, int n) {
  switch (f) {
    case PixelFormat::Argb8888: fetchRow<PixelFormat::Argb8888>(row, first, cols, out, n); break;
    case PixelFormat::Xrgb8888: fetchRow<PixelFormat::Xrgb8888>(row, first, cols, out, n); break;
    case PixelFormat::Argb1555: fetchRow<PixelFormat::Argb1555>(row, first, cols, out, n); break;
    case PixelFormat::Rgb555: fetchRow<PixelFormat::Rgb555>(row, first, cols, out, n); break;
    case PixelFormat::Rgb565: fetchRow<PixelFormat::Rgb565>(row, first, cols, out, n); break;
    case PixelFormat::Bgr24: fetchRow<PixelFormat::Bgr24>(row, first, cols, out, n); break;
    case PixelFormat::Index8: fetchRow<PixelFormat::Index8>(row, first, cols, out, n); break;
  }
}

template <class Fn>
void mapRgb(std::uint32_t* t, int n, Fn fn) {
  for (int k = 0; k < n; ++k) {
    const std::uint32_t p = t[k];
    t[k] = (p & 0xFF000000u) | fn((p >> 16) & 255, 0) << 16 | fn((p >> 8) & 255, 1) << 8 | fn(p & 255, 2);
  }
}

void applyOp(std::uint32_t* t, int n, const QuadOp& op) {
  const std::uint32_t dc[3] = {(op.diffuse >> 16) & 255, (op.diffuse >> 8) & 255, op.diffuse & 255};
  const std::uint32_t da = op.diffuse >> 24;
  // Colour: argument 1 is the texel, argument 2 the diffuse colour.
  switch (op.colorOp) {
    case 2: break;  // SELECTARG1
    case 3: mapRgb(t, n, [&](std::uint32_t, int c) { return dc[c]; }); break;
    case 7: mapRgb(t, n, [&](std::uint32_t v, int c) { return std::min<std::uint32_t>(v + dc[c], 255); }); break;
    case 10: mapRgb(t, n, [&](std::uint32_t v, int c) { return v > dc[c] ? v - dc[c] : 0; }); break;
    case 14: {
      const std::uint32_t fa = op.factor >> 24;
      mapRgb(t, n, [&](std::uint32_t v, int c) { return div255(v * fa + dc[c] * (255 - fa)); });
      break;
    }
    default:  // MODULATE
      if ((op.diffuse & 0xFFFFFF) != 0xFFFFFF) mapRgb(t, n, [&](std::uint32_t v, int c) { return div255(v * dc[c]); });
      break;
  }
  // Alpha: argument 1 the texel's alpha, argument 2 the diffuse alpha.
  switch (op.alphaOp) {
    case 3:
      for (int k = 0; k < n; ++k) t[k] = (t[k] & 0xFFFFFF) | da << 24;
      break;
    case 4:
      if (da != 255)
        for (int k = 0; k < n; ++k) t[k] = (t[k] & 0xFFFFFF) | div255((t[k] >> 24) * da) << 24;
      break;
    default: break;  // SELECTARG1
  }
}

// --- 16-bit textured path in 16-bit lanes ---
// The same arithmetic as fetch, applyOp and blendRow16, but with every channel in its own
// array of 16-bit values: every product and sum stays below 65536, so the loops run in
// 16-bit vector lanes (the general path's 32-bit products vectorise poorly).

using u16 = std::uint16_t;

inline u16 div255x16(u16 x) {  // x <= 255 * 255
  const u16 t = u16(x + 128);
  return u16(u16(t + (t >> 8)) >> 8);
}

bool is16(PixelFormat f) { return f == PixelFormat::Rgb565 || f == PixelFormat::Rgb555 || f == PixelFormat::Argb1555; }

// A chunk of texels as 8-bit channel values and alphas.
struct Lanes16 {
  alignas(32) u16 r[kChunk], g[kChunk], b[kChunk], a[kChunk];
};

// Texels to channels; a texel's alpha is a1 where its format calls it opaque, a0 where
// its alpha bit is clear (the alpha operation has already been applied to 255 and 0).
template <PixelFormat F>
PIX_HOT_ROW void decode16(const u16* __restrict s, int n, u16 a1, u16 a0, Lanes16& t) {
  for (int k = 0; k < n; ++k) {
    const u16 p = s[k];
    if constexpr (F == PixelFormat::Rgb565) {
      const u16 r = u16(p >> 11), g = u16((p >> 5) & 63), b = u16(p & 31);
      t.r[k] = u16(r << 3 | r >> 2), t.g[k] = u16(g << 2 | g >> 4), t.b[k] = u16(b << 3 | b >> 2);
      t.a[k] = a1;
    } else {
      const u16 r = u16((p >> 10) & 31), g = u16((p >> 5) & 31), b = u16(p & 31);
      t.r[k] = u16(r << 3 | r >> 2), t.g[k] = u16(g << 3 | g >> 2), t.b[k] = u16(b << 3 | b >> 2);
      if constexpr (F == PixelFormat::Argb1555) t.a[k] = (p & 0x8000) ? a1 : a0;
      else t.a[k] = a1;
    }
  }
}

void decodeAny16(PixelFormat f, const u16* s, int n, u16 a1, u16 a0, Lanes16& t) {
  switch (f) {
    case PixelFormat::Rgb565: decode16<PixelFormat::Rgb565>(s, n, a1, a0, t); break;
    case PixelFormat::Rgb555: decode16<PixelFormat::Rgb555>(s, n, a1, a0, t); break;
    default: decode16<PixelFormat::Argb1555>(s, n, a1, a0, t); break;
  }
}

// The colour operation of applyOp on one channel array; c is the diffuse channel.
template <class Fn>
inline void mapLane(u16* __restrict v, int n, Fn fn) {
  for (int k = 0; k < n; ++k) v[k] = fn(v[k]);
}
PIX_HOT_ROW void colourOp16(Lanes16& t, int n, const QuadOp& op) {
  const u16 dc[3] = {u16((op.diffuse >> 16) & 255), u16((op.diffuse >> 8) & 255), u16(op.diffuse & 255)};
  u16* lanes[3] = {t.r, t.g, t.b};
  for (int ch = 0; ch < 3; ++ch) {
    const u16 c = dc[ch];
    switch (op.colorOp) {
      case 2: break;
      case 3: mapLane(lanes[ch], n, [c](u16) { return c; }); break;
      case 7: mapLane(lanes[ch], n, [c](u16 v) { return u16(std::min<u16>(u16(v + c), 255)); }); break;
      case 10: mapLane(lanes[ch], n, [c](u16 v) { return u16(v > c ? v - c : 0); }); break;
      case 14: {
        const u16 fa = u16(op.factor >> 24), term = u16(c * (255 - fa));
        mapLane(lanes[ch], n, [fa, term](u16 v) { return div255x16(u16(v * fa + term)); });
        break;
      }
      default:
        if ((op.diffuse & 0xFFFFFF) != 0xFFFFFF) mapLane(lanes[ch], n, [c](u16 v) { return div255x16(u16(v * c)); });
        break;
    }
  }
}

// blendRow16 on one pixel of channel values: c = round((s * a + d * (255 - a)) / 255),
// fields truncated.
template <bool Six, bool HasAlpha>
inline u16 blendOne16(u16 q, u16 sr, u16 sg, u16 sb, u16 a) {
  const u16 ia = u16(255 - a);
  u16 dr, dg, db;
  if constexpr (Six) {
    const u16 r = u16(q >> 11), g = u16((q >> 5) & 63), b = u16(q & 31);
    dr = u16(r << 3 | r >> 2), dg = u16(g << 2 | g >> 4), db = u16(b << 3 | b >> 2);
  } else {
    const u16 r = u16((q >> 10) & 31), g = u16((q >> 5) & 31), b = u16(q & 31);
    dr = u16(r << 3 | r >> 2), dg = u16(g << 3 | g >> 2), db = u16(b << 3 | b >> 2);
  }
  const u16 r = div255x16(u16(sr * a + dr * ia));
  const u16 g = div255x16(u16(sg * a + dg * ia));
  const u16 b = div255x16(u16(sb * a + db * ia));
  if constexpr (Six) {
    return u16((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
  } else {
    u16 bit;
    if constexpr (HasAlpha) {
      const u16 da = (q & 0x8000) ? u16(255) : u16(0);
      bit = div255x16(u16(a * a + da * ia)) >= 128 ? u16(0x8000) : u16(0);
    } else {
      bit = a == 0 ? u16(q & 0x8000) : u16(0);
    }
    return u16(bit | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
  }
}

template <bool Six, bool HasAlpha>
PIX_HOT_ROW void blendLanes16(u16* __restrict d, const Lanes16& t, int n) {
  for (int i = 0; i < n; ++i) d[i] = blendOne16<Six, HasAlpha>(d[i], t.r[i], t.g[i], t.b[i], t.a[i]);
}

// 1-5-5-5 texels whose colour the stage passes unchanged, decoded and blended in one pass.
template <bool Six, bool HasAlpha>
PIX_HOT_ROW void blendTexels1555(u16* __restrict d, const u16* __restrict s, int n, u16 a1, u16 a0) {
  for (int i = 0; i < n; ++i) {
    const u16 p = s[i];
    const u16 r = u16((p >> 10) & 31), g = u16((p >> 5) & 31), b = u16(p & 31);
    d[i] = blendOne16<Six, HasAlpha>(d[i], u16(r << 3 | r >> 2), u16(g << 3 | g >> 2), u16(b << 3 | b >> 2),
                                     (p & 0x8000) ? a1 : a0);
  }
}

// High half of a 16 x 16-bit product: one vector instruction (pmulhuw) a lane.
inline u16 mulHigh(u16 a, u16 b) { return u16((std::uint32_t(a) * b) >> 16); }

// A 1-5-5-5 texel's fields taken up to 8 bits straight from their place:
// mulHigh(v << k, m) is floor(v * 33 / 4) = up5(v) for the multipliers below.
inline u16 upRed(u16 p) { return mulHigh(u16(p & 0x7C00), 528); }
inline u16 upGreen(u16 p) { return mulHigh(u16(p & 0x03E0), 16896); }
inline u16 upBlue(u16 p) { return mulHigh(u16(p << 11), 264); }

// 1-5-5-5 texels through the factor-alpha operation (each channel round((v * fa + term)
// / 255), term the diffuse colour's share), decoded, mixed and blended in one pass; the
// rounded division is mulHigh(x + 128, 257), div255 in one multiply (term128 holds the 128).
// Alphas 255 and 0 (the usual alpha operation) replace and keep: the blend of alpha 255
// gives the colour with the alpha bit set, that of alpha 0 the target unchanged.
template <bool Six, bool HasAlpha, bool Select>
PIX_WIDE_ROW void blendFactor1555(u16* __restrict d, const u16* __restrict s, int n, u16 a1, u16 a0, u16 fa, u16 tr128,
                                  u16 tg128, u16 tb128) {
  for (int i = 0; i < n; ++i) {
    const u16 p = s[i];
    const u16 cr = mulHigh(u16(upRed(p) * fa + tr128), 257);
    const u16 cg = mulHigh(u16(upGreen(p) * fa + tg128), 257);
    const u16 cb = mulHigh(u16(upBlue(p) * fa + tb128), 257);
    if constexpr (Select) {
      const u16 v = Six ? u16((cr & 0xF8) << 8 | (cg & 0xFC) << 3 | (cb >> 3))
                        : u16((HasAlpha ? 0x8000 : 0) | (cr & 0xF8) << 7 | (cg & 0xF8) << 2 | (cb >> 3));
      d[i] = (p & 0x8000) ? v : d[i];
    } else {
      d[i] = blendOne16<Six, HasAlpha>(d[i], cr, cg, cb, (p & 0x8000) ? a1 : a0);
    }
  }
}

// The select form of the factor-alpha stage maps each texel field on its own (32 values
// to one target field each): the three maps as tables of target pixels' fields, the
// alpha bit of 1-5-5-5 targets in the red entries.
struct FactorTables {
  alignas(64) u16 r[32], g[32], b[32];
};
#ifdef PIX_AVX512_ROWS
void makeFactorTables(PixelFormat f, const QuadOp& op, FactorTables& t) {
  const std::uint32_t fa = op.factor >> 24;
  auto mix = [&](std::uint32_t v, int shift) {
    return div255(up5(v) * fa + ((op.diffuse >> shift) & 255) * (255 - fa));
  };
  for (std::uint32_t v = 0; v < 32; ++v) {
    const std::uint32_t r = mix(v, 16), g = mix(v, 8), b = mix(v, 0);
    if (f == PixelFormat::Rgb565) {
      t.r[v] = u16((r >> 3) << 11), t.g[v] = u16((g >> 2) << 5);
    } else {
      t.r[v] = u16((f == PixelFormat::Argb1555 ? 0x8000 : 0) | (r >> 3) << 10), t.g[v] = u16((g >> 3) << 5);
    }
    t.b[v] = u16(b >> 3);
  }
}

// A 32-entry table of 16-bit values is one register, and one permute looks up 32 lanes
// (only the low five bits of each index count): three lookups and a masked store draw
// 32 texels.
__attribute__((target("avx512bw"))) void factorLookupRow512(u16* d, const u16* s, int n, const FactorTables& t) {
  const __m512i tr = _mm512_load_si512(t.r), tg = _mm512_load_si512(t.g), tb = _mm512_load_si512(t.b);
  for (int i = 0; i < n; i += 32) {
    const __mmask32 in = n - i >= 32 ? ~__mmask32(0) : (__mmask32(1) << (n - i)) - 1;
    const __m512i p = _mm512_maskz_loadu_epi16(in, s + i);
    const __m512i v = _mm512_or_si512(_mm512_or_si512(_mm512_permutexvar_epi16(_mm512_srli_epi16(p, 10), tr),
                                                      _mm512_permutexvar_epi16(_mm512_srli_epi16(p, 5), tg)),
                                      _mm512_permutexvar_epi16(p, tb));
    _mm512_mask_storeu_epi16(d + i, in & _mm512_movepi16_mask(p), v);  // texels with the alpha bit
  }
}
bool wideRows() {
  static const bool supported = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512bw") != 0;
  }();
  return supported && wideRowsAllowed();
}
#endif

// tables: the select form's maps where the processor looks them up in registers.
void blendFactorAny16(PixelFormat f, u16* d, const u16* s, int n, u16 a1, u16 a0, const QuadOp& op,
                      const FactorTables* tables) {
  const u16 fa = u16(op.factor >> 24), ia = u16(255 - fa);
  const u16 tr = u16(((op.diffuse >> 16) & 255) * ia + 128), tg = u16(((op.diffuse >> 8) & 255) * ia + 128),
            tb = u16((op.diffuse & 255) * ia + 128);
  const bool select = a1 == 255 && a0 == 0;
#ifdef PIX_AVX512_ROWS
  if (select && tables) {
    factorLookupRow512(d, s, n, *tables);
    return;
  }
#else
  (void)tables;
#endif
  switch (f) {
    case PixelFormat::Rgb565:
      (select ? blendFactor1555<true, false, true> : blendFactor1555<true, false, false>)(d, s, n, a1, a0, fa, tr, tg,
                                                                                          tb);
      break;
    case PixelFormat::Argb1555:
      (select ? blendFactor1555<false, true, true> : blendFactor1555<false, true, false>)(d, s, n, a1, a0, fa, tr, tg,
                                                                                          tb);
      break;
    default:
      (select ? blendFactor1555<false, false, true> : blendFactor1555<false, false, false>)(d, s, n, a1, a0, fa, tr, tg,
                                                                                            tb);
      break;
  }
}

// The half stage (alpha 128 on texels with the alpha bit, 0 elsewhere) onto 5-5-5
// targets, all three fields at once in each 16-bit lane. With S, D the fields taken up
// to 8 bits, round((S * 128 + D * 127) / 255) is (S + D + (S >= D)) >> 1; its top five
// bits are floor((s + d) / 2), plus one where s + d is odd and
// (s >> 2) + (d >> 2) + (s >> 4) >= 8 (the last term stands for S >= D, which matters
// only where the first two sum to 7). The target's alpha bit stays (191 or 64 out).
template <bool HasAlpha>
PIX_WIDE_ROW void halfTexels555(u16* __restrict d, const u16* __restrict s, int n) {
  for (int i = 0; i < n; ++i) {
    const u16 p = s[i], q = d[i], x = u16(p ^ q);
    const u16 floorAvg = u16((p & q) + ((x & 0x7BDE) >> 1));
    // Per field (s >> 2) + (s >> 4) + (d >> 2), four bits at bits 2, 7 and 12.
    const u16 high = u16((p & 0x739C) + ((p & 0x4210) >> 2) + (q & 0x739C));
    u16 v = u16(floorAvg + ((high >> 5) & x & 0x0421));
    if constexpr (!HasAlpha) v &= 0x7FFF;
    d[i] = (p & 0x8000) ? v : q;
  }
}

// The same onto 5-6-5 targets: red and blue as above once the texel is moved to the
// target's places; green from the fields taken up to 8 bits (S + D + (S >= D)) >> 3.
PIX_WIDE_ROW void halfTexels565(u16* __restrict d, const u16* __restrict s, int n) {
  for (int i = 0; i < n; ++i) {
    const u16 q = d[i];
    // t + (t & 0x7FE0) moves red and green up a bit; the alpha bit (set where the result
    // is used) only flips the top bit.
    const u16 p = u16((s[i] + (s[i] & 0x7FE0)) ^ 0x8000), x = u16(p ^ q);
    const u16 floorAvg = u16((p & q) + ((x & 0xF7DE) >> 1));
    // (s >> 2) + (s >> 4) + (d >> 2) for red and blue, at bits 12 and 1.
    const u16 high = u16(((p >> 1) & 0x700E) + ((p >> 3) & 0x1002) + ((q >> 1) & 0x700E));
    const u16 sg = upGreen(s[i]), dg = mulHigh(u16(q & 0x07E0), 8320);  // up6 in place: floor(d * 65 / 16)
    const u16 green = u16(u16(sg + dg + (sg >= dg ? 1 : 0)) << 2);
    const u16 v = u16(((floorAvg + ((high >> 4) & x & 0x0801)) & 0xF81F) | (green & 0x07E0));
    d[i] = (s[i] & 0x8000) ? v : q;
  }
}

void blendTexelsAny16(PixelFormat f, u16* d, const u16* s, int n, u16 a1, u16 a0) {
  const bool half = a1 == 128 && a0 == 0;
  switch (f) {
    case PixelFormat::Rgb565:
      if (half) halfTexels565(d, s, n);
      else blendTexels1555<true, false>(d, s, n, a1, a0);
      break;
    case PixelFormat::Argb1555:
      if (half) halfTexels555<true>(d, s, n);
      else blendTexels1555<false, true>(d, s, n, a1, a0);
      break;
    default:
      if (half) halfTexels555<false>(d, s, n);
      else blendTexels1555<false, false>(d, s, n, a1, a0);
      break;
  }
}

void blendAny16(PixelFormat f, u16* d, const Lanes16& t, int n) {
  switch (f) {
    case PixelFormat::Rgb565: blendLanes16<true, false>(d, t, n); break;
    case PixelFormat::Argb1555: blendLanes16<false, true>(d, t, n); break;
    default: blendLanes16<false, false>(d, t, n); break;
  }
}

// The alphas applyOp gives texels of alpha 255 and 0.
void opAlphas(const QuadOp& op, bool plain, u16& a1, u16& a0) {
  const u16 da = u16(op.diffuse >> 24);
  a1 = 255, a0 = 0;
  if (plain) return;
  if (op.alphaOp == 3) a1 = a0 = da;
  else if (op.alphaOp == 4) a1 = da;
}

bool g_generalLoopsOnly = false;
bool g_wideRowsOff = false;

}  // namespace

std::uint32_t argbToRaw(PixelFormat f, std::uint32_t c) {
  const std::uint32_t a = c >> 24, r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
  switch (f) {
    case PixelFormat::Index8: return c & 255;
    case PixelFormat::Rgb565: return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case PixelFormat::Rgb555: return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::Argb1555: return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    case PixelFormat::Bgr24: return c & 0xFFFFFF;
    case PixelFormat::Xrgb8888:
    case PixelFormat::Argb8888: return c;
  }
  return c;
}

std::uint32_t getRaw(const Surface& s, int x, int y) {
  const std::uint8_t* p = s.row(y) + x * s.bytesPerPixel();
  switch (s.bytesPerPixel()) {
    case 1: return p[0];
    case 2: return *reinterpret_cast<const std::uint16_t*>(p);
    case 3: return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    default: return *reinterpret_cast<const std::uint32_t*>(p);
  }
}

void putRaw(Surface& s, int x, int y, std::uint32_t v) {
  std::uint8_t* p = s.row(y) + x * s.bytesPerPixel();
  switch (s.bytesPerPixel()) {
    case 1: p[0] = std::uint8_t(v); break;
    case 2: *reinterpret_cast<std::uint16_t*>(p) = std::uint16_t(v); break;
    case 3:
      p[0] = std::uint8_t(v);
      p[1] = std::uint8_t(v >> 8);
      p[2] = std::uint8_t(v >> 16);
      break;
    default: *reinterpret_cast<std::uint32_t*>(p) = v; break;
  }
}

void fillRaw(Surface& s, int x, int y, int w, int h, std::uint32_t v) {
  if (w <= 0 || h <= 0) return;
  for (int i = 0; i < h; ++i) {
    std::uint8_t* r = s.row(y + i);
    switch (s.bytesPerPixel()) {
      case 1: std::memset(r + x, int(v & 255), static_cast<std::size_t>(w)); break;
      case 2: fillRow(reinterpret_cast<std::uint16_t*>(r) + x, w, std::uint16_t(v)); break;
      case 3: fillRow24(r + 3 * x, w, v); break;
      default: fillRow(reinterpret_cast<std::uint32_t*>(r) + x, w, v); break;
    }
  }
}

void copyRaw(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  const int bpp = dst.bytesPerPixel();
  const std::size_t bytes = static_cast<std::size_t>(w) * bpp;
  // On one surface with the target below the source, copy bottom-up.
  const bool up = &dst == &src && dy > sy;
  for (int k = 0; k < h; ++k) {
    const int i = up ? h - 1 - k : k;
    std::memmove(dst.row(dy + i) + dx * bpp, src.row(sy + i) + sx * bpp, bytes);
  }
}

void copyKeyed(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h, std::uint32_t key) {
  if (w <= 0 || h <= 0) return;
  const int bpp = dst.bytesPerPixel();
  if (&dst == &src) {  // overlapping rows: read from a copy of the source rectangle
    std::vector<std::uint8_t> tmp(static_cast<std::size_t>(w) * bpp * h);
    for (int i = 0; i < h; ++i)
      std::memcpy(tmp.data() + static_cast<std::size_t>(i) * w * bpp, src.row(sy + i) + sx * bpp,
                  static_cast<std::size_t>(w) * bpp);
    for (int i = 0; i < h; ++i) {
      const std::uint8_t* s = tmp.data() + static_cast<std::size_t>(i) * w * bpp;
      std::uint8_t* d = dst.row(dy + i) + dx * bpp;
      switch (bpp) {
        case 1: keyedRow(d, s, w, std::uint8_t(key)); break;
        case 2:
          keyedRow(reinterpret_cast<std::uint16_t*>(d), reinterpret_cast<const std::uint16_t*>(s), w,
                   std::uint16_t(key));
          break;
        case 3: keyedRow24(d, s, w, key); break;
        default:
          keyedRow(reinterpret_cast<std::uint32_t*>(d), reinterpret_cast<const std::uint32_t*>(s), w, key);
          break;
      }
    }
    return;
  }
  for (int i = 0; i < h; ++i) {
    const std::uint8_t* s = src.row(sy + i) + sx * bpp;
    std::uint8_t* d = dst.row(dy + i) + dx * bpp;
    switch (bpp) {
      case 1: keyedRow(d, s, w, std::uint8_t(key)); break;
      case 2:
        keyedRow(reinterpret_cast<std::uint16_t*>(d), reinterpret_cast<const std::uint16_t*>(s), w, std::uint16_t(key));
        break;
      case 3: keyedRow24(d, s, w, key); break;
      default: keyedRow(reinterpret_cast<std::uint32_t*>(d), reinterpret_cast<const std::uint32_t*>(s), w, key); break;
    }
  }
}

void stretchRaw(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw, int sh,
                bool keyed, std::uint32_t key) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int bpp = dst.bytesPerPixel();
  std::vector<int> cols(static_cast<std::size_t>(dw));
  for (int j = 0; j < dw; ++j) cols[j] = static_cast<int>(static_cast<long long>(j) * sw / dw);
  // One surface onto itself: sample from a copy of the source rectangle.
  std::vector<std::uint8_t> tmp;
  if (&dst == &src) {
    tmp.resize(static_cast<std::size_t>(sw) * bpp * sh);
    for (int i = 0; i < sh; ++i)
      std::memcpy(tmp.data() + static_cast<std::size_t>(i) * sw * bpp, src.row(sy + i) + sx * bpp,
                  static_cast<std::size_t>(sw) * bpp);
  }
  for (int i = 0; i < dh; ++i) {
    const int si = static_cast<int>(static_cast<long long>(i) * sh / dh);
    const std::uint8_t* s =
        tmp.empty() ? src.row(sy + si) + sx * bpp : tmp.data() + static_cast<std::size_t>(si) * sw * bpp;
    std::uint8_t* d = dst.row(dy + i) + dx * bpp;
    switch (bpp) {
      case 1: stretchRow(d, s, cols.data(), dw, keyed, std::uint8_t(key)); break;
      case 2:
        stretchRow(reinterpret_cast<std::uint16_t*>(d), reinterpret_cast<const std::uint16_t*>(s), cols.data(), dw,
                   keyed, std::uint16_t(key));
        break;
      case 3: stretchRow24(d, s, cols.data(), dw, keyed, key); break;
      default:
        stretchRow(reinterpret_cast<std::uint32_t*>(d), reinterpret_cast<const std::uint32_t*>(s), cols.data(), dw,
                   keyed, key);
        break;
    }
  }
}

void drawQuad(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, int sw, int sh,
              const QuadOp& op) {
  if (w <= 0 || h <= 0) return;
  const int dstW = op.dstLimitW < 0 ? dst.width() : std::min(op.dstLimitW, dst.width());
  const int dstH = op.dstLimitH < 0 ? dst.height() : std::min(op.dstLimitH, dst.height());
  const int srcW = op.srcLimitW < 0 ? src.width() : std::min(op.srcLimitW, src.width());
  const int srcH = op.srcLimitH < 0 ? src.height() : std::min(op.srcLimitH, src.height());
  int j0 = std::max(0, -x), j1 = std::min(w, dstW - x);
  int i0 = std::max(0, -y), i1 = std::min(h, dstH - y);
  if (j0 >= j1 || i0 >= i1) return;
  auto texelX = [&](int j) { return sx + floorDiv((2LL * j + 1) * sw, 2LL * w); };
  auto texelY = [&](int i) { return sy + floorDiv((2LL * i + 1) * sh, 2LL * h); };
  const bool direct = sw == w && sh == h;  // column j reads texel sx + j
  // The mapping is monotonic, so the columns (rows) that sample inside the source are
  // one run: trim the quad to it (at once for an unscaled quad, whose small blits must
  // stay cheap).
  if (direct) {
    j0 = std::max(j0, -sx), j1 = std::min(j1, srcW - sx);
    i0 = std::max(i0, -sy), i1 = std::min(i1, srcH - sy);
  } else {
    while (j0 < j1 && (texelX(j0) < 0 || texelX(j0) >= srcW)) ++j0;
    while (j1 > j0 && (texelX(j1 - 1) < 0 || texelX(j1 - 1) >= srcW)) --j1;
    while (i0 < i1 && (texelY(i0) < 0 || texelY(i0) >= srcH)) ++i0;
    while (i1 > i0 && (texelY(i1 - 1) < 0 || texelY(i1 - 1) >= srcH)) --i1;
  }
  if (j0 >= j1 || i0 >= i1) return;

  const bool plainColor = op.colorOp == 2 || (op.colorOp == 4 && (op.diffuse & 0xFFFFFF) == 0xFFFFFF);
  const bool plainAlpha = op.alphaOp == 2 || (op.alphaOp == 4 && (op.diffuse >> 24) == 255);
  const bool plain = plainColor && plainAlpha;
  // Columns that map one to one (a quad stretched only upright) read texel sx + j too.
  const bool directX = sw == w;
  std::vector<int> cols;
  if (!directX) {
    cols.resize(static_cast<std::size_t>(j1 - j0));
    for (int j = j0; j < j1; ++j) cols[j - j0] = texelX(j);
  }
  // A quad reading its own target samples a copy, as the hardware reads a finished texture.
  std::unique_ptr<Surface> copy;
  const Surface* from = &src;
  if (&dst == &src) {
    copy = Surface::create(src.width(), src.height(), src.format(), plat::Memory::System);
    if (!copy) return;
    copyRaw(*copy, 0, 0, src, 0, 0, src.width(), src.height());
    from = copy.get();
  }
  if (op.clearFirst) fillRaw(dst, x + j0, y + i0, j1 - j0, i1 - i0, op.clearValue);
  // Plain quads of the usual formats whose columns map one to one (pictures, sprites):
  // whole rows at once, the format decided here once, as small blits must stay cheap.
  if (directX && plain && !g_generalLoopsOnly) {
    const int n = j1 - j0;
    const PixelFormat sf = from->format(), df = dst.format();
    if (sf == PixelFormat::Argb8888 && (df == PixelFormat::Argb8888 || df == PixelFormat::Xrgb8888)) {
      for (int i = i0; i < i1; ++i)
        blendRow32(dst.rowAs<std::uint32_t>(y + i) + x + j0,
                   from->rowAs<std::uint32_t>(direct ? sy + i : texelY(i)) + sx + j0, n);
      return;
    }
    if (sf == PixelFormat::Argb1555 && (df == PixelFormat::Argb1555 || df == PixelFormat::Rgb565)) {
      const auto row = df == PixelFormat::Argb1555 ? selectRow1555 : selectRow1555To565;
      for (int i = i0; i < i1; ++i)
        row(dst.rowAs<u16>(y + i) + x + j0, from->rowAs<u16>(direct ? sy + i : texelY(i)) + sx + j0, n);
      return;
    }
  }
  std::uint32_t tmp[kChunk];
  const bool lanes16 = !g_generalLoopsOnly && is16(dst.format()) && is16(from->format());
  // Stretched plain 1-5-5-5 texels onto the two usual targets: gathered, then selected.
  const bool select1555 = lanes16 && plain && from->format() == PixelFormat::Argb1555 &&
                          (dst.format() == PixelFormat::Argb1555 || dst.format() == PixelFormat::Rgb565);
  u16 a1 = 255, a0 = 0;
  opAlphas(op, plain, a1, a0);
  Lanes16 lanes;
  u16 gathered[kChunk];
  const FactorTables* tables = nullptr;
#ifdef PIX_AVX512_ROWS
  FactorTables factorTables;
  if (lanes16 && wideRows() && op.colorOp == 14 && a1 == 255 && a0 == 0) {
    makeFactorTables(dst.format(), op, factorTables);
    tables = &factorTables;
  }
#endif
  // Texels read in place by a one-pass row need no scratch: whole rows at a time.
  const bool onePass =
      lanes16 && directX && from->format() == PixelFormat::Argb1555 && (select1555 || plainColor || op.colorOp == 14);
  const int step = onePass ? j1 - j0 : kChunk;
  for (int i = i0; i < i1; ++i) {
    const std::uint8_t* srow = from->row(direct ? sy + i : texelY(i));
    std::uint8_t* drow = dst.row(y + i);
    for (int c0 = j0; c0 < j1; c0 += step) {
      const int n = std::min(step, j1 - c0);
      const std::uint32_t* texels = tmp;
      if (lanes16) {
        const u16* s16 = reinterpret_cast<const u16*>(srow);
        if (directX) {
          s16 += sx + c0;
        } else {
          const int* cj = cols.data() + (c0 - j0);
          for (int k = 0; k < n; ++k) gathered[k] = s16[cj[k]];
          s16 = gathered;
        }
        if (select1555) {
          u16* d16 = reinterpret_cast<u16*>(drow) + x + c0;
          if (dst.format() == PixelFormat::Argb1555) selectRow1555(d16, s16, n);
          else selectRow1555To565(d16, s16, n);
          continue;
        }
        if (plainColor && from->format() == PixelFormat::Argb1555) {
          blendTexelsAny16(dst.format(), reinterpret_cast<u16*>(drow) + x + c0, s16, n, a1, a0);
          continue;
        }
        if (op.colorOp == 14 && from->format() == PixelFormat::Argb1555) {
          blendFactorAny16(dst.format(), reinterpret_cast<u16*>(drow) + x + c0, s16, n, a1, a0, op, tables);
          continue;
        }
        decodeAny16(from->format(), s16, n, a1, a0, lanes);
        if (!plain) colourOp16(lanes, n, op);
        blendAny16(dst.format(), reinterpret_cast<u16*>(drow) + x + c0, lanes, n);
        continue;
      }
      if (directX && plain && from->format() == PixelFormat::Argb8888) {
        texels = reinterpret_cast<const std::uint32_t*>(srow) + sx + c0;
      } else {
        fetchAny(from->format(), srow, sx + c0, directX ? nullptr : cols.data() + (c0 - j0), tmp, n);
        if (!plain) applyOp(tmp, n, op);
      }
      blendRow(dst.format(), drow, x + c0, texels, n);
    }
  }
}

void fillBlend(Surface& dst, int x, int y, int w, int h, std::uint32_t argb) {
  if (w <= 0 || h <= 0 || (argb >> 24) == 0) return;
  if (!g_generalLoopsOnly && is16(dst.format())) {
    Lanes16 lanes;
    std::fill(lanes.r, lanes.r + kChunk, u16((argb >> 16) & 255));
    std::fill(lanes.g, lanes.g + kChunk, u16((argb >> 8) & 255));
    std::fill(lanes.b, lanes.b + kChunk, u16(argb & 255));
    std::fill(lanes.a, lanes.a + kChunk, u16(argb >> 24));
    for (int i = 0; i < h; ++i) {
      u16* d = dst.rowAs<u16>(y + i) + x;
      for (int c0 = 0; c0 < w; c0 += kChunk) blendAny16(dst.format(), d + c0, lanes, std::min(kChunk, w - c0));
    }
    return;
  }
  std::uint32_t row[kChunk];
  std::fill(row, row + kChunk, argb);
  for (int i = 0; i < h; ++i) {
    std::uint8_t* d = dst.row(y + i);
    for (int c0 = 0; c0 < w; c0 += kChunk) blendRow(dst.format(), d, x + c0, row, std::min(kChunk, w - c0));
  }
}

namespace {

struct MaskClip {
  int i0, i1, j0, j1;
};
bool ClipMask(const Surface& dst, int x, int y, int mw, int mh, int limitW, int limitH, MaskClip& c) {
  const int w = std::min(limitW, dst.width()), h = std::min(limitH, dst.height());
  c.j0 = std::max(0, -x);
  c.j1 = std::min(mw, w - x);
  c.i0 = std::max(0, -y);
  c.i1 = std::min(mh, h - y);
  return c.j0 < c.j1 && c.i0 < c.i1;
}

}  // namespace

void drawMaskBlend(Surface& dst, int x, int y, const std::uint8_t* mask, int mw, int mh, int maskPitch,
                   std::uint32_t argb, int limitW, int limitH) {
  MaskClip c;
  if (!ClipMask(dst, x, y, mw, mh, limitW, limitH, c)) return;
  const std::uint32_t rgb = argb & 0xFFFFFF, ca = argb >> 24;
  std::uint32_t tmp[kChunk];
  for (int i = c.i0; i < c.i1; ++i) {
    const std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(i) * maskPitch;
    for (int c0 = c.j0; c0 < c.j1; c0 += kChunk) {
      const int n = std::min(kChunk, c.j1 - c0);
      for (int k = 0; k < n; ++k) tmp[k] = div255(m[c0 + k] * ca) << 24 | rgb;
      blendRow(dst.format(), dst.row(y + i), x + c0, tmp, n);
    }
  }
}

void useGeneralLoopsForTests(bool on) { g_generalLoopsOnly = on; }
bool generalLoopsOnly() { return g_generalLoopsOnly; }
void useWideRowsForTests(bool on) { g_wideRowsOff = !on; }
bool wideRowsAllowed() { return !g_wideRowsOff; }

void drawMaskRaw(Surface& dst, int x, int y, const std::uint8_t* mask, int mw, int mh, int maskPitch, std::uint32_t raw,
                 int limitW, int limitH) {
  MaskClip c;
  if (!ClipMask(dst, x, y, mw, mh, limitW, limitH, c)) return;
  for (int i = c.i0; i < c.i1; ++i) {
    const std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(i) * maskPitch;
    for (int j = c.j0; j < c.j1; ++j)
      if (m[j] >= 128) putRaw(dst, x + j, y + i, raw);
  }
}

}  // namespace pix
