#include "gfx/DDTranslucent.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "gfx/DDBlt.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDInit.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/FieldUnits16.h"
#include "gfx/PixelOps.h"
#include "platform/fs.h"

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define DDTR_BYTE_PERMUTES 1
#include <immintrin.h>
// Rows that run over whole screens in a few operations a pixel get an AVX-512 version too.
#define DDTR_WIDE_ROW __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define DDTR_BYTE_PERMUTES 0
#define DDTR_WIDE_ROW DDFX_HOT_ROW
#endif

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

std::uint8_t g_BlendTable[65536];

namespace {

using ddfx::AvgBytes;
using ddfx::EffectLocks;
using ddfx::Span;

// Repeated halving toward a target stops changing after eight steps (the distance of
// two bytes halves each time), so larger levels give the same result as eight.
constexpr int kMaxHalvings = 8;

// Calls fn(d, s, n) for each clipped row: n pixels from the first drawn column.
template <class T, class Fn>
void ForRows(EffectLocks& l, int x, int y, int sx, int sy, const Span& sp, Fn fn) {
  const int n = sp.c1 - sp.c0;
  for (int k = sp.k0; k < sp.k1; ++k) fn(l.dst.Row<T>(y + k) + x + sp.c0, l.src.Row<T>(sy + k) + sx + sp.c0, n);
}

// The 1:1 quads of these blits from a 32-bit texture onto a 32-bit target, computed as the
// general quad code computes them (the texel through the stage's operation, then blended
// by its alpha), in loops the compiler vectorises. row(d, t, n) draws one row. False when
// the surfaces are of another kind (the general code draws then).
template <class Row>
bool Quad32(DDSURFACEDATA* dst, plat::Surface& ds, int x, int y, int w, int h, DDSURFACEDATA* src,
            const plat::Surface& ss, int sx, int sy, Row row) {
  if (ss.format() != plat::PixelFormat::Argb8888 || ds.bytesPerPixel() != 4 || &ds == &ss) return false;
  Span sp;
  if (!ddfx::ClipPair(x, y, w, h, std::min(dst->nWidth, ds.width()), std::min(dst->nHeight, ds.height()), sx, sy,
                      std::min(src->nWidth, ss.width()), std::min(src->nHeight, ss.height()), sp))
    return true;
  const int n = sp.c1 - sp.c0;
  for (int k = sp.k0; k < sp.k1; ++k)
    row(ds.rowAs<std::uint32_t>(y + k) + x + sp.c0, ss.rowAs<std::uint32_t>(sy + k) + sx + sp.c0, n);
  return true;
}

// Whether every texel of a row is either opaque or clear (sprites and pictures): one
// vectorised pass, a ^ (a >> 7 ? 255 : 0) being zero exactly for alphas 0 and 255.
inline bool BinaryAlpha(const std::uint32_t* t, int n) {
  std::uint32_t partial = 0;
  for (int c = 0; c < n; ++c) {
    const std::uint32_t a = t[c] >> 24;
    partial |= a ^ ((0u - (a >> 7)) & 0xFFu);
  }
  return partial == 0;
}

// The half-and-half quad: the texel's alpha modulated by 128, then the blend.
// The half blend of opaque texels in one pass, two 16-bit lanes a word:
// round((s * 128 + d * 127) / 255) is exactly (s + d + (s > d ? 1 : 0)) >> 1, and the
// alpha byte, that of 128 over the target's, is the same formula with s = 128. s > d is
// the borrow of d - s out of the lane.
inline std::uint32_t HalfLanes(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t up = (~((d | 0x01000100u) - s) >> 8) & 0x00010001u;
  return ((s + d + up) >> 1) & 0x00FF00FFu;
}
// Eight texels at a time in byte lanes where the compiler offers vectors of its own.
#if defined(__GNUC__)
typedef std::uint8_t Bytes32 __attribute__((vector_size(32)));
typedef std::uint16_t Halves16 __attribute__((vector_size(32)));
typedef std::uint32_t Words8 __attribute__((vector_size(32)));
// Sixteen texels at a time for the quad rows: one register under AVX-512, two or four
// elsewhere.
typedef std::uint8_t Bytes64 __attribute__((vector_size(64)));
typedef std::uint16_t Halves32 __attribute__((vector_size(64)));
typedef std::uint32_t Words16 __attribute__((vector_size(64)));
#endif
DDTR_WIDE_ROW void HalfOpaqueTexels32(std::uint32_t* __restrict d, const std::uint32_t* __restrict t, int n) {
  int c = 0;
#if defined(__GNUC__)
  for (; c + 16 <= n; c += 16) {
    Words16 p, q;
    std::memcpy(&p, t + c, sizeof p);
    std::memcpy(&q, d + c, sizeof q);
    const Bytes64 s = (Bytes64)((p & 0x00FFFFFFu) | 0x80000000u), b = (Bytes64)q, x = s ^ b;
    const Bytes64 up = x & 1 & (Bytes64)(s > b);
    const Words16 v = (Words16)((s & b) + (x >> 1) + up);
    const Words16 keep = (Words16)((p >> 24) == 0);
    const Words16 out = (q & keep) | (v & ~keep);
    std::memcpy(d + c, &out, sizeof out);
  }
#endif
  for (; c < n; ++c) {
    const std::uint32_t p = t[c], q = d[c];
    const std::uint32_t rb = HalfLanes(p & 0x00FF00FFu, q & 0x00FF00FFu);
    const std::uint32_t ga = HalfLanes(((p >> 8) & 0xFFu) | 0x00800000u, (q >> 8) & 0x00FF00FFu);
    d[c] = p >> 24 ? rb | ga << 8 : q;
  }
}

// The quad rows go through runs of kRun texels: a run of opaque and clear texels (sprites
// and pictures) takes the cheap form, and the run is still in cache when it is drawn, so
// the texels and the target stream from memory together.
constexpr int kRun = 64;

DDTR_WIDE_ROW void HalfQuadRow32(std::uint32_t* __restrict d, const std::uint32_t* __restrict t, int n) {
  const bool fast = !pix::generalLoopsOnly();
  for (int c0 = 0; c0 < n; c0 += kRun) {
    const int m = std::min(kRun, n - c0);
    std::uint32_t* __restrict dc = d + c0;
    const std::uint32_t* __restrict tc = t + c0;
    if (BinaryAlpha(tc, m)) {
      if (fast) HalfOpaqueTexels32(dc, tc, m);
      else
        for (int c = 0; c < m; ++c) dc[c] = tc[c] >> 24 ? ddfx::BlendOver(dc[c], tc[c], 128) : dc[c];
      continue;
    }
    for (int c = 0; c < m; ++c) dc[c] = ddfx::BlendOver(dc[c], tc[c], pix::div255((tc[c] >> 24) * 128));
  }
}

// The factor-alpha quad: round((texel * fa + factor * (255 - fa)) / 255) per channel (the
// factor's share given as rbTerm and gTerm, two 16-bit lanes a word, where v * fa + term
// stays below 65536), the texel's alpha, then the blend.
DDTR_WIDE_ROW void AlphaQuadRow32(std::uint32_t* __restrict d, const std::uint32_t* __restrict t, int n,
                                  std::uint32_t fa, std::uint32_t rbTerm, std::uint32_t gTerm) {
  auto colour = [&](std::uint32_t p) {
    return ddfx::Div255Lanes((p & 0x00FF00FFu) * fa + rbTerm) | ddfx::Div255Lanes(((p >> 8) & 0xFFu) * fa + gTerm) << 8;
  };
  for (int c0 = 0; c0 < n; c0 += kRun) {
    const int m = std::min(kRun, n - c0);
    std::uint32_t* __restrict dc = d + c0;
    const std::uint32_t* __restrict tc = t + c0;
    if (BinaryAlpha(tc, m)) {
      // Opaque texels replace, clear ones leave the destination.
      int c = 0;
#if defined(__GNUC__)
      // The low and the high byte of each 16-bit half in lanes of their own: the factor's
      // share of B and R is rbTerm's halves, that of G gTerm's low half.
      if (!pix::generalLoopsOnly()) {
        const Halves32 termLo = (Halves32)(Words16{} + (rbTerm + 0x00800080u));
        const Halves32 termHi = (Halves32)(Words16{} + (gTerm + 0x00800080u));
        const auto f = static_cast<std::uint16_t>(fa);
        for (; c + 16 <= m; c += 16) {
          Words16 p, q;
          std::memcpy(&p, tc + c, sizeof p);
          std::memcpy(&q, dc + c, sizeof q);
          const Halves32 w = (Halves32)p;
          Halves32 lo = (w & 0xFF) * f + termLo, hi = (w >> 8) * f + termHi;
          lo = (lo + (lo >> 8)) >> 8;
          hi = (hi + (hi >> 8)) >> 8;
          const Words16 v = (Words16)(lo | hi << 8) | 0xFF000000u;
          const Words16 keep = (Words16)((p >> 24) == 0);
          const Words16 out = (q & keep) | (v & ~keep);
          std::memcpy(dc + c, &out, sizeof out);
        }
      }
#endif
      for (; c < m; ++c) dc[c] = tc[c] >> 24 ? 0xFF000000u | colour(tc[c]) : dc[c];
      continue;
    }
    for (int c = 0; c < m; ++c) dc[c] = ddfx::BlendOver(dc[c], colour(tc[c]), tc[c] >> 24);
  }
}

// The float mix of the pixel loop at levels 2 to 4: v * t + k per channel, truncated.
DDFX_HOT_ROW void AlphaFloatRow32(std::uint32_t* d, const std::uint32_t* s, int n, float t, float kr, float kg,
                                  float kb, bool keyed, std::uint32_t key) {
  const std::uint32_t keyedMask = keyed ? ~0u : 0u;
  for (int c = 0; c < n; ++c) {
    const std::uint32_t p = s[c];
    // Through signed integers, which convert to and from float in one instruction.
    const auto r = static_cast<std::int32_t>(static_cast<float>(std::int32_t(p >> 16 & 255)) * t + kr);
    const auto g = static_cast<std::int32_t>(static_cast<float>(std::int32_t(p >> 8 & 255)) * t + kg);
    const auto b = static_cast<std::int32_t>(static_cast<float>(std::int32_t(p & 255)) * t + kb);
    const std::uint32_t v = 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
    const std::uint32_t keep = keyedMask & (0u - std::uint32_t(p == key));
    d[c] = (d[c] & keep) | (v & ~keep);
  }
}

// The same mix in integers: v * t + k is (v * w + T * (255 - w)) / 255 up to the float's
// rounding, which only matters where the quotient is whole; so per channel a constant c
// near T * (255 - w) makes floor((v * w + c) / 255) the float's value for every v. With c
// stored plus one, x = v * w + c + 1 gives the quotient as (x + (x >> 8)) >> 8, all in
// 16-bit lanes. FitAlphaMix32 finds the c of each channel and checks them against the
// float row for all 256 values; false when none fits (the float row draws then).
struct AlphaMix32 {
  std::uint16_t w;
  std::uint16_t c1[3];  // c + 1 for R, G, B
};

inline std::uint32_t MixLane(std::uint32_t v, std::uint32_t w, std::uint32_t c1) {
  const std::uint32_t x = v * w + c1;
  return (x + (x >> 8)) >> 8;
}

bool FitAlphaMix32(int weight, float t, const float k[3], const std::uint32_t target[3], AlphaMix32& m) {
  std::uint32_t ramp[256], want[256];
  for (std::uint32_t v = 0; v < 256; ++v) ramp[v] = v * 0x010101u;
  std::memset(want, 0, sizeof want);
  AlphaFloatRow32(want, ramp, 256, t, k[0], k[1], k[2], false, 0);
  m.w = std::uint16_t(weight);
  for (int ch = 0; ch < 3; ++ch) {
    const int shift = 16 - 8 * ch;
    const int c0 = int(target[ch]) * (255 - weight);
    bool found = false;
    for (const int dc : {0, -1, 1, -2, 2}) {
      const int c1 = c0 + dc + 1;
      if (c1 < 0 || c1 + 255 * weight + 255 > 65535) continue;  // the lanes hold 16 bits
      bool fits = true;
      for (std::uint32_t v = 0; v < 256 && fits; ++v)
        fits = MixLane(v, std::uint32_t(weight), std::uint32_t(c1)) == ((want[v] >> shift) & 255);
      if (fits) {
        m.c1[ch] = std::uint16_t(c1);
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

// Eight pixels at a time: B and R in the low bytes of the 16-bit lanes, G (and the alpha,
// overwritten) in the high bytes, each mixed in its own lane.
template <bool Keyed>
DDFX_HOT_ROW void AlphaFixedRow32(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n,
                                  const AlphaMix32& m, std::uint32_t key) {
  int c = 0;
#if defined(__GNUC__)
  Halves16 cLow{}, cHigh{};
  for (int i = 0; i < 16; i += 2) {
    cLow[i] = m.c1[2];
    cLow[i + 1] = m.c1[0];
    cHigh[i] = m.c1[1];
    cHigh[i + 1] = 0;
  }
  const std::uint16_t w = m.w;
  for (; c + 8 <= n; c += 8) {
    Words8 p;
    std::memcpy(&p, s + c, sizeof p);
    const Halves16 h = (Halves16)p;
    Halves16 lo = (h & 0xFF) * w + cLow, hi = (h >> 8) * w + cHigh;
    lo = (lo + (lo >> 8)) >> 8;
    hi = (hi + (hi >> 8)) >> 8;
    Words8 out = (Words8)(lo | hi << 8) | 0xFF000000u;
    if constexpr (Keyed) {
      Words8 q;
      std::memcpy(&q, d + c, sizeof q);
      const Words8 keep = (Words8)(p == key);
      out = (q & keep) | (out & ~keep);
    }
    std::memcpy(d + c, &out, sizeof out);
  }
#endif
  for (; c < n; ++c) {
    const std::uint32_t p = s[c];
    if (Keyed && p == key) continue;
    d[c] = 0xFF000000u | MixLane(p >> 16 & 255, m.w, m.c1[0]) << 16 | MixLane(p >> 8 & 255, m.w, m.c1[1]) << 8 |
           MixLane(p & 255, m.w, m.c1[2]);
  }
}

// --- DDBltAlpha ---

// The blend table applied `level` times to every palette number (by repeated squaring,
// so that any level costs a few passes over 256 entries).
void IterateBlendTable(const std::uint8_t* table, std::uint8_t colour, std::int64_t level, std::uint8_t out[256]) {
  std::uint8_t f[256], g[256];
  for (int v = 0; v < 256; ++v) {
    f[v] = table[v * 256 + colour];
    out[v] = std::uint8_t(v);
  }
  while (level > 0) {
    if (level & 1)
      for (int v = 0; v < 256; ++v) out[v] = f[out[v]];
    for (int v = 0; v < 256; ++v) g[v] = f[f[v]];
    for (int v = 0; v < 256; ++v) f[v] = g[v];
    level >>= 1;
  }
}

template <int L>
DDFX_HOT_ROW void AlphaRow32(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t target, bool keyed,
                             std::uint32_t key) {
  for (int c = 0; c < n; ++c) {
    const std::uint32_t p = s[c];
    std::uint32_t u = p;
    for (int i = 0; i < L; ++i) u = AvgBytes(u, target);
    const std::uint32_t out = (u & 0xFFFFFFu) | (d[c] & 0xFF000000u);
    d[c] = (keyed & (p == key)) ? d[c] : out;
  }
}

using AlphaRowFn = void (*)(std::uint32_t*, const std::uint32_t*, int, std::uint32_t, bool, std::uint32_t);
constexpr AlphaRowFn kAlphaRows32[] = {AlphaRow32<0>, AlphaRow32<1>, AlphaRow32<2>, AlphaRow32<3>, AlphaRow32<4>,
                                       AlphaRow32<5>, AlphaRow32<6>, AlphaRow32<7>, AlphaRow32<8>};

// Each 16-bit field value through its whole course (up, halvings, down), shifted into place.
struct FieldMap16 {
  std::uint16_t t[3][256];
  ddfx::Fields16 f;
  std::uint16_t Map(std::uint32_t p) const { return std::uint16_t(t[0][f.R(p)] | t[1][f.G(p)] | t[2][f.B(p)]); }
};

// --- 16-bit DirectDraw rows in 16-bit lanes ---
// The two usual layouts (5-6-5 and 5-5-5 without an alpha bit) computed with the same
// truncating conversions as the tables, in arithmetic the compiler vectorises.

using u16 = std::uint16_t;

template <bool Six>
struct Layout16 {
  static constexpr unsigned kShiftR = Six ? 11 : 10, kMaxG = Six ? 63 : 31;
  static u16 R(u16 p) { return u16((p >> kShiftR) & 31); }
  static u16 G(u16 p) { return u16((p >> 5) & kMaxG); }
  static u16 B(u16 p) { return u16(p & 31); }
  // Up8 and Down8 of the field: v * 255 / max and u * max / 255, both truncated.
  static u16 Up(u16 v, u16 max) { return u16(u16(v * 255) / max); }
  static u16 Down(u16 u, u16 max) { return u16(u16(u * max) / 255); }
  static u16 Compose(u16 r, u16 g, u16 b) { return u16(r << kShiftR | g << 5 | b); }
  // The fields shifted to bit 5, as ddfx::FieldUnits16::Up takes them.
  static u16 RAt5(u16 p) { return u16((p >> (kShiftR - 5)) & (31u << 5)); }
  static u16 GAt5(u16 p) { return u16(p & (kMaxG << 5)); }
  static u16 BAt5(u16 p) { return u16((p << 5) & (31u << 5)); }
};

// Which of the two layouts the fields are (0: neither).
int UsualLayout16(const ddfx::Fields16& f) {
  if (f.alpha || f.sG != 5 || f.sB != 0 || f.mR != 31 || f.mB != 31) return 0;
  if (f.sR == 11 && f.mG == 63) return 565;
  if (f.sR == 10 && f.mG == 31) return 555;
  return 0;
}

// DDBltHalf's 16-bit row: a transparent destination takes the source.
template <bool Six>
DDFX_HOT_ROW void HalfRow16(u16* __restrict d, const u16* __restrict s, int n, bool keyFits, bool keyed, u16 key) {
  using L = Layout16<Six>;
  using F5 = ddfx::FieldUnits16<31>;
  using FG = ddfx::FieldUnits16<L::kMaxG>;
  for (int c = 0; c < n; ++c) {
    const u16 p = s[c], q = d[c];
    // Sums of two 8-bit units stay within the 16-bit lanes.
    const u16 r = F5::DownHalf(u16(F5::Up(L::RAt5(p)) + F5::Up(L::RAt5(q))));
    const u16 g = FG::DownHalf(u16(FG::Up(L::GAt5(p)) + FG::Up(L::GAt5(q))));
    const u16 b = F5::DownHalf(u16(F5::Up(L::BAt5(p)) + F5::Up(L::BAt5(q))));
    const u16 mixed = (keyFits & (q == key)) ? p : L::Compose(r, g, b);
    d[c] = (keyed & keyFits & (p == key)) ? q : mixed;
  }
}

// DDBltAlpha's 16-bit row: each field up to 8-bit units, halved toward the colour H
// times, and down again. H floored halvings toward t are one: (u + t * (2^H - 1)) >> H,
// which stays within 16 bits up to H = 8.
template <bool Six, int H>
DDFX_HOT_ROW void AlphaRow16(u16* __restrict d, const u16* __restrict s, int n, const u16 target[3], bool keyed,
                             u16 key) {
  using L = Layout16<Six>;
  using F5 = ddfx::FieldUnits16<31>;
  using FG = ddfx::FieldUnits16<L::kMaxG>;
  constexpr u16 kSteps = u16((1u << H) - 1);
  const u16 kr = u16(target[0] * kSteps), kg = u16(target[1] * kSteps), kb = u16(target[2] * kSteps);
  for (int c = 0; c < n; ++c) {
    const u16 p = s[c];
    const u16 r = F5::Down(u16(u16(F5::Up(L::RAt5(p)) + kr) >> H));
    const u16 g = FG::Down(u16(u16(FG::Up(L::GAt5(p)) + kg) >> H));
    const u16 b = F5::Down(u16(u16(F5::Up(L::BAt5(p)) + kb) >> H));
    const u16 v = L::Compose(r, g, b);
    d[c] = (keyed & (p == key)) ? d[c] : v;
  }
}

using AlphaRow16Fn = void (*)(u16*, const u16*, int, const u16*, bool, u16);
template <bool Six>
constexpr AlphaRow16Fn kAlphaRows16[] = {AlphaRow16<Six, 0>, AlphaRow16<Six, 1>, AlphaRow16<Six, 2>,
                                         AlphaRow16<Six, 3>, AlphaRow16<Six, 4>, AlphaRow16<Six, 5>,
                                         AlphaRow16<Six, 6>, AlphaRow16<Six, 7>, AlphaRow16<Six, 8>};

// The course of one field value in DDBltAlpha: up to 8-bit units, halved toward the
// colour's units, down again.
std::uint32_t AlphaField(std::uint32_t v, std::uint32_t max, std::uint32_t target, int halvings) {
  std::uint32_t u = ddfx::Up8(std::min(v, max), max);
  for (int i = 0; i < halvings; ++i) u = (u + target) >> 1;
  return ddfx::Down8(u, max) & max;
}

// --- 16-bit DirectDraw rows through byte permutes ---
// Where the processor permutes bytes through 64-entry tables (AVX-512 VBMI), 32 pixels go
// at a time: each byte of a result is looked up from the six source bits that hold its
// field (blue in the low byte of p, red in the high byte of p >> 2, green's two parts in
// the low byte of p >> 5 and the high byte of p << 3).

#if DDTR_BYTE_PERMUTES
// Every AVX-512 row below (permutes, 128-bit masked loads, gathers) runs where this holds.
bool BytePermutes() {
  static const bool has =
      __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
  return has && pix::wideRowsAllowed();
}

struct AlphaBytes16 {
  alignas(64) std::uint8_t lo[64], hi[64], gLo[64], gHi[64];
};

// f[ch][v]: the result of field value v of channel ch (red, green, blue).
template <bool Six>
void BuildAlphaBytes16(const std::uint8_t (&f)[3][64], AlphaBytes16& t) {
  using L = Layout16<Six>;
  for (unsigned i = 0; i < 64; ++i) {
    t.lo[i] = f[2][i & 31];
    t.hi[i] = std::uint8_t(f[0][(i >> (L::kShiftR - 10)) & 31] << (L::kShiftR - 8));
    t.gLo[i] = std::uint8_t(f[1][i & L::kMaxG] << 5);
    t.gHi[i] = std::uint8_t(f[1][i & L::kMaxG] >> 3);
  }
}

// The half mix of the red and blue fields, looked up by their sums: the low byte of the
// index is the blues' sum, the high byte the reds'. Green goes through one byte per value
// (ddfx::HalfQuarters), looked up by the six bits from bit 5 (for 5-5-5 the sixth is red's).
struct HalfBytes16 {
  alignas(64) std::uint8_t lo[64], hi[64], green[64];
};

template <bool Six>
constexpr HalfBytes16 MakeHalfBytes16() {
  using L = Layout16<Six>;
  HalfBytes16 t{};
  for (unsigned i = 0; i < 64; ++i) {
    t.lo[i] = ddfx::HalfOfSum5(i);
    t.hi[i] = std::uint8_t(ddfx::HalfOfSum5(i) << (L::kShiftR - 8));
    t.green[i] = ddfx::HalfQuarters<L::kMaxG>(i & L::kMaxG);
  }
  return t;
}
// Built by the compiler: a blit then costs no set-up.
template <bool Six>
constexpr HalfBytes16 kHalfBytes16 = MakeHalfBytes16<Six>();

#define DDTR_PERMUTE_ROW __attribute__((target("avx512f,avx512bw,avx512vbmi")))
constexpr __mmask64 kHighBytes = 0xAAAAAAAAAAAAAAAAull, kLowBytes = ~kHighBytes;

// table[index & 63] in every byte (the zero-masked form keeps the unused source defined).
DDTR_PERMUTE_ROW inline __m512i Permute(__m512i index, __m512i table) {
  return _mm512_maskz_permutexvar_epi8(~__mmask64(0), index, table);
}

// 32 pixels read once into a register: folded into each instruction that uses them, they
// would be read again by each, across two cache lines where they are not aligned.
DDTR_PERMUTE_ROW inline __attribute__((always_inline)) __m512i Load32(const u16* s, __mmask32 m) {
  __m512i v = _mm512_maskz_loadu_epi16(m, s);
  __asm__("" : "+v"(v));
  return v;
}

// Runs block(c, m) over n pixels, 32 at a time, m the pixels of the 32 drawn: a first
// short block brings the destination to a 64-byte boundary, where whole cache lines go.
template <class Block>
DDTR_PERMUTE_ROW inline void Blocks32(const u16* d, int n, Block block) {
  int c = std::min(n, int(((64 - (reinterpret_cast<std::uintptr_t>(d) & 63)) & 63) >> 1));
  if (c > 0) block(0, __mmask32((1u << c) - 1));
  for (; c + 32 <= n; c += 32) block(c, __mmask32(~0u));
  if (c < n) block(c, __mmask32((1u << (n - c)) - 1));
}

template <bool Six>
DDTR_PERMUTE_ROW void AlphaBytesRow16(u16* d, const u16* s, int n, const AlphaBytes16& t, bool keyed, u16 key) {
  struct Block {
    __m512i lo, hi, gLo, gHi, keys;
    bool keyed;
    u16* d;
    const u16* s;
    DDTR_PERMUTE_ROW inline __attribute__((always_inline)) void operator()(int c, __mmask32 m) const {
      const __m512i p = Load32(s + c, m);
      const __m512i rb = _mm512_mask_permutexvar_epi8(Permute(p, lo), kHighBytes, _mm512_srli_epi16(p, 2), hi);
      const __m512i g =
          _mm512_mask_permutexvar_epi8(Permute(_mm512_srli_epi16(p, 5), gLo), kHighBytes, _mm512_slli_epi16(p, 3), gHi);
      const __mmask32 left = keyed ? _mm512_cmpeq_epi16_mask(p, keys) : 0;
      _mm512_mask_storeu_epi16(d + c, m & ~left, _mm512_or_si512(rb, g));
    }
  };
  Blocks32(d, n,
           Block{_mm512_load_si512(t.lo), _mm512_load_si512(t.hi), _mm512_load_si512(t.gLo), _mm512_load_si512(t.gHi),
                 _mm512_set1_epi16(short(key)), keyed, d, s});
}

// HalfBytesRow16: red and blue through the sum tables, green through its value bytes.
template <bool Six>
DDTR_PERMUTE_ROW void HalfBytesRow16(u16* d, const u16* s, int n, const HalfBytes16& t, bool keyFits, bool keyed,
                                     u16 key) {
  struct Block {
    __m512i lo, hi, greenT, keys;
    bool keyFits, keyed;
    u16* d;
    const u16* s;
    DDTR_PERMUTE_ROW inline __attribute__((always_inline)) void operator()(int c, __mmask32 m) const {
      using L = Layout16<Six>;
      const __m512i p = Load32(s + c, m), q = Load32(d + c, m);
      // Red and blue alone: their sum keeps the blues' sum in the low byte; the average,
      // 17 bits wide, keeps the reds' sum, which the shift brings to the high byte.
      const __m512i redBlue = _mm512_set1_epi16(short(31u << L::kShiftR | 31u));
      const __m512i rbP = _mm512_and_si512(p, redBlue), rbQ = _mm512_and_si512(q, redBlue);
      const __m512i blueSums = _mm512_add_epi16(rbP, rbQ);
      const __m512i redSums = _mm512_srli_epi16(_mm512_avg_epu16(rbP, rbQ), L::kShiftR - 9);
      const __m512i rb = _mm512_mask_permutexvar_epi8(Permute(blueSums, lo), kHighBytes, redSums, hi);
      // Green: the source's value in the low byte, the destination's in the high byte, each
      // through its byte; the multiply-add of the two bytes is eight times their sum.
      const __m512i greens = _mm512_mask_blend_epi8(kLowBytes, _mm512_slli_epi16(q, 3), _mm512_srli_epi16(p, 5));
      const __m512i eights = _mm512_maddubs_epi16(Permute(greens, greenT), _mm512_set1_epi8(8));
      // The fields are apart: red and blue with green's bits of the eights.
      const __m512i v = _mm512_ternarylogic_epi32(rb, eights, _mm512_set1_epi16(short(L::kMaxG << 5)), 0xF8);
      // A transparent destination takes p: p goes first to every pixel drawn, the mix then
      // over it where the destination is not the key (two stores cost less than a blend).
      const __mmask32 drawn = keyFits && keyed ? _mm512_mask_cmpneq_epi16_mask(m, p, keys) : m;
      if (!keyFits) {
        _mm512_mask_storeu_epi16(d + c, drawn, v);
        return;
      }
      _mm512_mask_storeu_epi16(d + c, drawn, p);
      _mm512_mask_storeu_epi16(d + c, _mm512_mask_cmpneq_epi16_mask(drawn, q, keys), v);
    }
  };
  Blocks32(d, n,
           Block{_mm512_load_si512(t.lo), _mm512_load_si512(t.hi), _mm512_load_si512(t.green),
                 _mm512_set1_epi16(short(key)), keyFits, keyed, d, s});
}

// The pixel loop's mix of 1-5-5-5 texels: each field's result, already in place in the
// output layout, looked up by the field's five bits (word permutes use only those).
struct AlphaWords16 {
  alignas(64) std::uint16_t t[3][32];
};

DDTR_PERMUTE_ROW void AlphaWordsRow16(u16* d, const u16* s, int n, const AlphaWords16& w, bool keyed, u16 key) {
  struct Block {
    __m512i r, g, b, keys;
    bool keyed;
    u16* d;
    const u16* s;
    DDTR_PERMUTE_ROW inline __attribute__((always_inline)) void operator()(int c, __mmask32 m) const {
      const __m512i p = Load32(s + c, m);
      const __m512i v = _mm512_ternarylogic_epi32(_mm512_permutexvar_epi16(_mm512_srli_epi16(p, 10), r),
                                                  _mm512_permutexvar_epi16(_mm512_srli_epi16(p, 5), g),
                                                  _mm512_permutexvar_epi16(p, b), 0xFE);
      const __mmask32 left = keyed ? _mm512_cmpeq_epi16_mask(p, keys) : 0;
      _mm512_mask_storeu_epi16(d + c, m & ~left, v);
    }
  };
  Blocks32(d, n,
           Block{_mm512_load_si512(w.t[0]), _mm512_load_si512(w.t[1]), _mm512_load_si512(w.t[2]),
                 _mm512_set1_epi16(short(key)), keyed, d, s});
}

// DirectDraw's 8-bit mix: the 256-entry map in four registers, 64 pixels at a time, the
// index's top bit choosing between the two halves' permutes.
struct ByteMap8 {
  alignas(64) std::uint8_t t[256];
};

DDTR_PERMUTE_ROW void MapBytesRow8(std::uint8_t* d, const std::uint8_t* s, int n, const ByteMap8& map, bool keyed,
                                   std::uint8_t key) {
  const __m512i t0 = _mm512_load_si512(map.t), t1 = _mm512_load_si512(map.t + 64), t2 = _mm512_load_si512(map.t + 128),
                t3 = _mm512_load_si512(map.t + 192);
  const __m512i keys = _mm512_set1_epi8(char(key));
  for (int c = 0; c < n; c += 64) {
    const __mmask64 m = n - c >= 64 ? ~__mmask64(0) : (__mmask64(1) << (n - c)) - 1;
    const __m512i p = _mm512_maskz_loadu_epi8(m, s + c);
    const __m512i low = _mm512_permutex2var_epi8(t0, p, t1), high = _mm512_permutex2var_epi8(t2, p, t3);
    const __m512i v = _mm512_mask_mov_epi8(low, _mm512_movepi8_mask(p), high);
    const __mmask64 left = keyed ? _mm512_cmpeq_epi8_mask(p, keys) : 0;
    _mm512_mask_storeu_epi8(d + c, m & ~left, v);
  }
}
#endif

bool AlphaDirectDraw(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                     const PALETTEENTRY* palette, std::uint8_t colour, int level) {
  if (level == 0) return true;
  EffectLocks l;
  if (!l.Lock(dst, src)) return false;
  Span sp;
  if (!l.Clip(x, y, w, h, sx, sy, sp)) return true;
  const bool keyed = flags == 1;
  const std::uint32_t key = g_TransmitPixel;
  const PALETTEENTRY pe = palette ? palette[colour] : PALETTEENTRY{};
  switch (g_DDState.nBpp) {
    case 8: {
      std::uint8_t map[256];
      IterateBlendTable(g_BlendTable, colour, level < 0 ? 0 : level, map);
      const std::uint8_t k8 = std::uint8_t(key);
      const bool keyFits = key < 256;
#if DDTR_BYTE_PERMUTES
      if (!pix::generalLoopsOnly() && BytePermutes()) {
        ByteMap8 m8;
        std::memcpy(m8.t, map, sizeof m8.t);
        ForRows<std::uint8_t>(l, x, y, sx, sy, sp, [&](std::uint8_t* d, const std::uint8_t* s, int n) {
          MapBytesRow8(d, s, n, m8, keyed && keyFits, k8);
        });
        break;
      }
#endif
      ForRows<std::uint8_t>(l, x, y, sx, sy, sp, [&](std::uint8_t* d, const std::uint8_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint8_t v = s[c];
          d[c] = (keyed & keyFits & (v == k8)) ? d[c] : map[v];
        }
      });
      break;
    }
    case 16: {
      // The 16-bit palette holds field values: take them up to 8-bit units first.
      FieldMap16 m;
      m.f = ddfx::PixelFields();
      const std::uint32_t max[3] = {m.f.mR, m.f.mG, m.f.mB}, shift[3] = {m.f.sR, m.f.sG, m.f.sB};
      const std::uint32_t pal[3] = {pe.peRed, pe.peGreen, pe.peBlue};
      const int halvings = level < 0 ? 0 : std::min(level, kMaxHalvings);
      const int layout = UsualLayout16(m.f);
      if (layout && !pix::generalLoopsOnly()) {
        u16 target[3];
        for (int ch = 0; ch < 3; ++ch) target[ch] = u16(std::min<std::uint32_t>(ddfx::Up8(pal[ch], max[ch]), 255));
        const bool keyFits = key <= 0xFFFF;
#if DDTR_BYTE_PERMUTES
        if (BytePermutes()) {
          std::uint8_t f[3][64];
          for (int ch = 0; ch < 3; ++ch)
            for (std::uint32_t v = 0; v < 64; ++v)
              f[ch][v] = std::uint8_t(AlphaField(v, max[ch], target[ch], halvings));
          AlphaBytes16 t;
          layout == 565 ? BuildAlphaBytes16<true>(f, t) : BuildAlphaBytes16<false>(f, t);
          const auto row = layout == 565 ? AlphaBytesRow16<true> : AlphaBytesRow16<false>;
          ForRows<u16>(l, x, y, sx, sy, sp,
                       [&](u16* d, const u16* s, int n) { row(d, s, n, t, keyed && keyFits, u16(key)); });
          break;
        }
#endif
        const AlphaRow16Fn row = (layout == 565 ? kAlphaRows16<true> : kAlphaRows16<false>)[halvings];
        ForRows<u16>(l, x, y, sx, sy, sp,
                     [&](u16* d, const u16* s, int n) { row(d, s, n, target, keyed && keyFits, u16(key)); });
        break;
      }
      for (int ch = 0; ch < 3; ++ch) {
        const std::uint32_t target = std::min<std::uint32_t>(ddfx::Up8(pal[ch], max[ch]), 255);
        for (std::uint32_t v = 0; v < 256; ++v)
          m.t[ch][v] = std::uint16_t(AlphaField(v, max[ch], target, halvings) << shift[ch]);
      }
      ForRows<std::uint16_t>(l, x, y, sx, sy, sp, [&](std::uint16_t* d, const std::uint16_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint16_t p = s[c];
          d[c] = (keyed & (p == key)) ? d[c] : m.Map(p);
        }
      });
      break;
    }
    case 32: {
      const std::uint32_t target = std::uint32_t(pe.peRed) << 16 | std::uint32_t(pe.peGreen) << 8 | pe.peBlue;
      const AlphaRowFn row = kAlphaRows32[level < 0 ? 0 : std::min(level, kMaxHalvings)];
      ForRows<std::uint32_t>(l, x, y, sx, sy, sp, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        row(d, s, n, target, keyed, key);
      });
      break;
    }
    default: break;  // 24 bits: nothing
  }
  return true;
}

// The Direct3D pixel loops read 1-5-5-5 texels; they write the same layout (alpha bit
// set), or the screen's layout on the full-screen back buffer.
bool TextureLayout16(const ddfx::Fields16& f) {
  return f.sR == 10 && f.sG == 5 && f.sB == 0 && f.mR == 31 && f.mG == 31 && f.mB == 31 && f.alpha == 0x8000;
}
// 0: neither of the usual layouts (alpha bit aside).
int OutLayout16(const ddfx::Fields16& f) {
  ddfx::Fields16 g = f;
  g.alpha = 0;
  return UsualLayout16(g);
}

// DDBltHalf's pixel loop: each field the floor average; onto the screen's layout the
// screen's G with the texel's G doubled.
template <bool Screen, bool Six>
DDTR_WIDE_ROW void HalfPixelsRow16(u16* __restrict d, const u16* __restrict s, int n, u16 alpha, bool keyed, u16 key) {
  using In = Layout16<false>;
  using Out = Layout16<Six>;
  if constexpr (!Screen || Six) {
    // Field-wise floor averages of one layout in one go: (a & b) + ((a ^ b) >> 1) with
    // the low bit of every field masked off before the shift, so none spills into the
    // field below. Onto the 5-6-5 screen the texel is first taken to 5-6-5 with its G
    // doubled, which is what the screen's formula averages.
    constexpr u16 kLowBits = Screen ? u16(0xF7DE) : u16(0x7BDE);
    for (int c = 0; c < n; ++c) {
      const u16 p = s[c], q = d[c];
      const u16 a = Screen ? u16((p & 0x7FE0) << 1 | (p & 0x1F)) : u16(p & 0x7FFF);
      const u16 v = u16((a & q) + (((a ^ q) & kLowBits) >> 1));
      d[c] = (keyed & (p == key)) ? q : u16((Screen ? v : u16(v & 0x7FFF)) | alpha);
    }
    return;
  }
  for (int c = 0; c < n; ++c) {
    const u16 p = s[c], q = d[c];
    u16 r, g, b;
    if constexpr (Screen) {
      r = u16((In::R(p) + Out::R(q)) >> 1), g = u16((Out::G(q) + 2 * In::G(p)) >> 1),
      b = u16((In::B(p) + Out::B(q)) >> 1);
    } else {
      r = u16((In::R(p) + In::R(q)) >> 1), g = u16((In::G(p) + In::G(q)) >> 1), b = u16((In::B(p) + In::B(q)) >> 1);
    }
    const u16 v = u16(Out::Compose(r & 31, g & Out::kMaxG, b & 31) | alpha);
    d[c] = (keyed & (p == key)) ? q : v;
  }
}

// DDBltAlpha's pixel loop: each field v mixed with the colour's field, (v * mul + add[ch])
// >> 11 (an exact stand-in for the general loop's mix, checked by the caller); onto the
// screen's layout G is doubled, or at level 1 (half) the sum of the two fields.
template <bool Screen, bool Six>
DDFX_HOT_ROW void AlphaPixelsRow16(u16* __restrict d, const u16* __restrict s, int n, u16 mul, const u16 add[3],
                                   u16 gScreenAdd, bool halfLevel, u16 alpha, bool keyed, u16 key) {
  using In = Layout16<false>;
  using Out = Layout16<Six>;
  const u16 ar = add[0], ag = add[1], ab = add[2];
  for (int c = 0; c < n; ++c) {
    const u16 p = s[c];
    const u16 vr = In::R(p), vg = In::G(p), vb = In::B(p);
    const u16 r = u16(u16(vr * mul + ar) >> 11), b = u16(u16(vb * mul + ab) >> 11);
    u16 g = u16(u16(vg * mul + ag) >> 11);
    if constexpr (Screen) g = halfLevel ? u16(vg + gScreenAdd) : u16(g * 2);
    const u16 v = u16(Out::Compose(r & 31, g & Out::kMaxG, b & 31) | alpha);
    d[c] = (keyed & (p == key)) ? d[c] : v;
  }
}

// A slope mul and offsets add with (v * mul + add[ch]) >> 11 == mix[ch][v] for every 5-bit
// v and channel, searched near the mix's own slope (2048 * weight); false when none fits.
bool AffineMix5(const std::uint32_t mix[3][256], int slope, u16& mul, u16 add[3]) {
  for (int m = std::max(0, slope - 3); m <= slope + 3; ++m) {
    bool fits = true;
    for (int ch = 0; ch < 3 && fits; ++ch) {
      // The offset must put every v in [mix * 2048, mix * 2048 + 2047].
      int lo = 0, hi = 65535 - 31 * m;
      for (int v = 0; v < 32; ++v) {
        lo = std::max(lo, int(mix[ch][v]) * 2048 - v * m);
        hi = std::min(hi, int(mix[ch][v]) * 2048 + 2047 - v * m);
      }
      fits = lo <= hi;
      add[ch] = u16(lo);
    }
    if (fits) {
      mul = u16(m);
      return true;
    }
  }
  return false;
}

// The pixel loop of Direct3D textures in system memory. Weights 128, 64, 32, 16 by level;
// level 1 is the exact half, the others the float mix, truncated.
bool AlphaDirect3DPixels(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                         const PALETTEENTRY& pe, int level) {
  EffectLocks l;
  if (!l.Lock(dst, src)) return true;
  Span sp;
  if (!l.Clip(x, y, w, h, sx, sy, sp)) return true;
  const int weight = level == 1 ? 128 : level == 2 ? 64 : level == 3 ? 32 : level == 4 ? 16 : 0;
  const float t = static_cast<float>(weight) * 0.003921569f;
  const bool keyed = flags == 1;
  const std::uint32_t key = ddfx::TransparentValue();
  const ddfx::Fields16 pf = ddfx::PixelFields();
  const std::uint32_t pal[3] = {pe.peRed, pe.peGreen, pe.peBlue};
  // mix[ch][v]: channel value v of the source mixed with the target, in layout units.
  auto buildMix = [&](const std::uint32_t max[3], std::uint32_t mix[3][256]) {
    for (int ch = 0; ch < 3; ++ch) {
      const std::uint32_t target = ddfx::Down8(pal[ch], max[ch]);
      for (std::uint32_t v = 0; v < 256; ++v) {
        if (level == 1) {
          mix[ch][v] = (v + target) >> 1;
        } else {
          const float m = static_cast<float>(v) * t + static_cast<float>(target) * (1.0f - t);
          mix[ch][v] = static_cast<std::uint32_t>(static_cast<std::int32_t>(m));
        }
      }
    }
  };
  std::uint32_t mix[3][256];
  if (g_DDState.nBpp == 16) {
    const bool screen = DDIsFullScreenBackBuffer(dst);
    const ddfx::Fields16 out = screen ? ddfx::ScreenFields() : pf;
    const int layout = OutLayout16(out);
    // tab[ch][v]: field value v of channel ch mixed and put in place in the output layout.
    // In the screen layout G is six bits: level 1 writes the sum of the two five-bit
    // values, the other levels the mixed value doubled.
    auto buildTables = [&](std::uint16_t tab[3][256]) {
      const std::uint32_t max[3] = {pf.mR, pf.mG, pf.mB};
      buildMix(max, mix);
      for (std::uint32_t v = 0; v < 256; ++v) {
        const std::uint32_t vr = std::min(v, pf.mR), vg = std::min(v, pf.mG), vb = std::min(v, pf.mB);
        std::uint32_t g = mix[1][vg];
        if (screen) g = level == 1 ? vg + ddfx::Down8(pal[1], pf.mG) : g * 2;
        tab[0][v] = std::uint16_t(((mix[0][vr] & out.mR) << out.sR) | out.alpha);
        tab[1][v] = std::uint16_t((g & out.mG) << out.sG);
        tab[2][v] = std::uint16_t((mix[2][vb] & out.mB) << out.sB);
      }
    };
#if DDTR_BYTE_PERMUTES
    // The texture's fields are five bits each: the tables' first 32 entries in registers.
    if (TextureLayout16(pf) && !pix::generalLoopsOnly() && BytePermutes()) {
      std::uint16_t tab[3][256];
      buildTables(tab);
      AlphaWords16 words;
      for (int ch = 0; ch < 3; ++ch) std::memcpy(words.t[ch], tab[ch], sizeof words.t[ch]);
      const bool keyFits = key <= 0xFFFF;
      ForRows<u16>(l, x, y, sx, sy, sp,
                   [&](u16* d, const u16* s, int n) { AlphaWordsRow16(d, s, n, words, keyed && keyFits, u16(key)); });
      return true;
    }
#endif
    if (TextureLayout16(pf) && (screen ? layout != 0 : layout == 555) && !pix::generalLoopsOnly()) {
      const std::uint32_t max[3] = {31, 31, 31};
      buildMix(max, mix);
      u16 mul = 0, add[3];
      if (AffineMix5(mix, level == 1 ? 1024 : weight * 2048 / 255, mul, add)) {
        const bool six = layout == 565;
        const auto row = screen ? (six ? AlphaPixelsRow16<true, true> : AlphaPixelsRow16<true, false>)
                                : AlphaPixelsRow16<false, false>;
        const bool keyFits = key <= 0xFFFF;
        const u16 gAdd = u16(ddfx::Down8(pal[1], 31));
        ForRows<u16>(l, x, y, sx, sy, sp, [&](u16* d, const u16* s, int n) {
          row(d, s, n, mul, add, gAdd, level == 1, u16(out.alpha), keyed && keyFits, u16(key));
        });
        return true;
      }
    }
    std::uint16_t tab[3][256];
    buildTables(tab);
    ForRows<std::uint16_t>(l, x, y, sx, sy, sp, [&](std::uint16_t* d, const std::uint16_t* s, int n) {
      for (int c = 0; c < n; ++c) {
        const std::uint16_t p = s[c];
        const std::uint16_t v = std::uint16_t(tab[0][pf.R(p)] | tab[1][pf.G(p)] | tab[2][pf.B(p)]);
        d[c] = (keyed & (p == key)) ? d[c] : v;
      }
    });
  } else if (g_DDState.nBpp == 32) {
    const std::uint32_t target = std::uint32_t(pal[0]) << 16 | std::uint32_t(pal[1]) << 8 | pal[2];
    if (level == 1) {
      ForRows<std::uint32_t>(l, x, y, sx, sy, sp, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint32_t p = s[c];
          const std::uint32_t v = 0xFF000000u | AvgBytes(p, target);
          d[c] = (keyed & (p == key)) ? d[c] : v;
        }
      });
    } else {
      // The float mix, with the target's share computed once as the expression does.
      const float kr = static_cast<float>(pal[0]) * (1.0f - t), kg = static_cast<float>(pal[1]) * (1.0f - t),
                  kb = static_cast<float>(pal[2]) * (1.0f - t);
      // Fitting costs about as much as a thousand pixels: only larger blits take it.
      const float k[3] = {kr, kg, kb};
      AlphaMix32 m;
      const long long area = static_cast<long long>(sp.c1 - sp.c0) * (sp.k1 - sp.k0);
      if (area >= 4096 && !pix::generalLoopsOnly() && FitAlphaMix32(weight, t, k, pal, m)) {
        const auto row = keyed ? AlphaFixedRow32<true> : AlphaFixedRow32<false>;
        ForRows<std::uint32_t>(l, x, y, sx, sy, sp,
                               [&](std::uint32_t* d, const std::uint32_t* s, int n) { row(d, s, n, m, key); });
        return true;
      }
      ForRows<std::uint32_t>(l, x, y, sx, sy, sp, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        AlphaFloatRow32(d, s, n, t, kr, kg, kb, keyed, key);
      });
    }
  }
  return true;
}

bool AlphaDirect3D(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                   const PALETTEENTRY* palette, std::uint8_t colour, int level) {
  if (level <= 0) return true;
  ddfx::ResolveForEffect(&dst);
  ddfx::ResolveForEffect(&src);
  if (!dst->lpDT || !src->lpDT) return true;
  const PALETTEENTRY pe = palette ? palette[colour] : PALETTEENTRY{};
  if (ddfx::InSystemMemory(dst, src)) return AlphaDirect3DPixels(dst, x, y, w, h, src, sx, sy, flags, pe, level);
  const std::uint32_t alpha = level == 1 ? 0x80 : level == 2 ? 0x50 : level == 3 ? 0x30 : level == 4 ? 0x10 : 0;
  const std::uint32_t rgb = std::uint32_t(pe.peRed) << 16 | std::uint32_t(pe.peGreen) << 8 | pe.peBlue;
  plat::Surface* ss = src->Pixels();
  if (!ss || ss->isLost() || !DDBeginScene() || !DDSetRenderTarget(0, dst)) return true;
  plat::Surface* ds = dst->Pixels();
  // The texture weighted by the factor's alpha plus the factor's colour by the rest; the
  // texel's own alpha keeps transparent texels out.
  // Colour: round((texel * fa + factor * (255 - fa)) / 255) per channel; alpha: the texel's.
  const std::uint32_t rbTerm = (rgb & 0x00FF00FFu) * (255 - alpha), gTerm = ((rgb >> 8) & 0xFFu) * (255 - alpha);
  const bool fast =
      Quad32(dst, *ds, x, y, w, h, src, *ss, sx, sy,
             [&](std::uint32_t* d, const std::uint32_t* t, int n) { AlphaQuadRow32(d, t, n, alpha, rbTerm, gTerm); });
  if (fast) {
    ddfx::ParkRenderTarget();
    return true;
  }
  pix::QuadOp op;
  op.factor = alpha << 24 | rgb;
  op.diffuse = 0xFF000000u | rgb;
  op.colorOp = D3DTOP_BLENDFACTORALPHA;
  op.alphaOp = D3DTOP_SELECTARG1;
  op.srcLimitW = src->nWidth;
  op.srcLimitH = src->nHeight;
  op.dstLimitW = dst->nWidth;
  op.dstLimitH = dst->nHeight;
  pix::drawQuad(*ds, x, y, w, h, *ss, sx, sy, w, h, op);
  ddfx::ParkRenderTarget();
  return true;
}

// --- DDBltHalf ---

// DirectDraw: a transparent destination takes the source; byte 3 stays.
DDFX_HOT_ROW void HalfRow32(std::uint32_t* d, const std::uint32_t* s, int n, bool keyed, std::uint32_t key) {
  for (int c = 0; c < n; ++c) {
    const std::uint32_t p = s[c], q = d[c];
    const std::uint32_t mixed = ((q == key ? p : AvgBytes(p, q)) & 0xFFFFFFu) | (q & 0xFF000000u);
    d[c] = (keyed & (p == key)) ? q : mixed;
  }
}

// Direct3D pixel loop: every destination is mixed; the result is opaque.
DDFX_HOT_ROW void HalfOpaqueRow32(std::uint32_t* d, const std::uint32_t* s, int n, bool keyed, std::uint32_t key) {
  for (int c = 0; c < n; ++c) {
    const std::uint32_t p = s[c], q = d[c];
    const std::uint32_t v = AvgBytes(p, q) | 0xFF000000u;
    d[c] = (keyed & (p == key)) ? q : v;
  }
}

// DDBltHalf's 8-bit row: the table's entry for the destination's and the source's
// numbers, a destination of number 0 taking the source. Without branches, so that the
// compiler can gather the entries a vector at a time.
template <bool Keyed>
DDTR_WIDE_ROW void HalfTableRow8(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, int n,
                                 const std::uint8_t* __restrict table) {
  for (int c = 0; c < n; ++c) {
    const std::uint32_t v = s[c], o = d[c];
    const std::uint32_t mixed = o == 0 ? v : table[o << 8 | v];
    d[c] = std::uint8_t(Keyed && v == 0 ? o : mixed);
  }
}

#if DDTR_BYTE_PERMUTES
// The same, sixteen pixels at a time through gathers where the processor has AVX-512:
// each entry read as the aligned four bytes that hold it (never past the table's end),
// then shifted down.

template <bool Keyed>
__attribute__((target("avx512f,avx512bw,avx512vl"))) void HalfGatherRow8(std::uint8_t* d, const std::uint8_t* s, int n,
                                                                         const std::uint8_t* table) {
  // The zero-masked forms over all lanes: the plain ones start from an undefined register.
  constexpr __mmask16 kAll = 0xFFFF;
  const __m512i zero = _mm512_setzero_si512(), three = _mm512_set1_epi32(3);
  for (int c = 0; c < n; c += 16) {
    const __mmask16 m = n - c >= 16 ? kAll : __mmask16((1u << (n - c)) - 1);
    const __m512i v = _mm512_maskz_cvtepu8_epi32(kAll, _mm_maskz_loadu_epi8(m, s + c));
    const __m512i o = _mm512_maskz_cvtepu8_epi32(kAll, _mm_maskz_loadu_epi8(m, d + c));
    const __m512i index = _mm512_or_si512(_mm512_maskz_slli_epi32(kAll, o, 8), v);
    const __m512i words = _mm512_mask_i32gather_epi32(zero, m, _mm512_maskz_srli_epi32(kAll, index, 2), table, 4);
    __m512i mixed =
        _mm512_maskz_srlv_epi32(kAll, words, _mm512_maskz_slli_epi32(kAll, _mm512_and_si512(index, three), 3));
    mixed = _mm512_mask_mov_epi32(mixed, _mm512_cmpeq_epi32_mask(o, zero), v);
    const __mmask16 left = Keyed ? _mm512_cmpeq_epi32_mask(v, zero) : __mmask16(0);
    _mm_mask_storeu_epi8(d + c, __mmask16(m & ~left), _mm512_maskz_cvtepi32_epi8(kAll, mixed));
  }
}
#endif

bool HalfDirectDraw(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags,
                    const std::uint8_t* table) {
  EffectLocks l;
  if (!l.Lock(dst, src)) return false;
  Span sp;
  if (!l.Clip(x, y, w, h, sx, sy, sp)) return true;
  const bool keyed = flags == 1;
  const std::uint32_t key = g_TransmitPixel;
  switch (g_DDState.nBpp) {
    case 8:
      // Palette number 0 is the transparent colour of this blit.
#if DDTR_BYTE_PERMUTES
      if (!pix::generalLoopsOnly() && BytePermutes()) {
        const auto row = keyed ? HalfGatherRow8<true> : HalfGatherRow8<false>;
        ForRows<std::uint8_t>(l, x, y, sx, sy, sp,
                              [&](std::uint8_t* d, const std::uint8_t* s, int n) { row(d, s, n, table); });
        break;
      }
#endif
      ForRows<std::uint8_t>(l, x, y, sx, sy, sp, [&](std::uint8_t* d, const std::uint8_t* s, int n) {
        const auto row = keyed ? HalfTableRow8<true> : HalfTableRow8<false>;
        row(d, s, n, table);
      });
      break;
    case 16: {
      const ddfx::Fields16 f = ddfx::PixelFields();
      if (const int layout = UsualLayout16(f); layout && !pix::generalLoopsOnly()) {
        // A key above 16 bits matches no pixel.
        const bool keyFits = key <= 0xFFFF;
#if DDTR_BYTE_PERMUTES
        if (BytePermutes()) {
          const HalfBytes16& t = layout == 565 ? kHalfBytes16<true> : kHalfBytes16<false>;
          const auto row = layout == 565 ? HalfBytesRow16<true> : HalfBytesRow16<false>;
          ForRows<u16>(l, x, y, sx, sy, sp,
                       [&](u16* d, const u16* s, int n) { row(d, s, n, t, keyFits, keyed, u16(key)); });
          break;
        }
#endif
        const auto row = layout == 565 ? HalfRow16<true> : HalfRow16<false>;
        ForRows<u16>(l, x, y, sx, sy, sp, [&](u16* d, const u16* s, int n) { row(d, s, n, keyFits, keyed, u16(key)); });
        break;
      }
      ddfx::Convert16 cv;
      ddfx::BuildConvert16(f, cv);
      ForRows<std::uint16_t>(l, x, y, sx, sy, sp, [&](std::uint16_t* d, const std::uint16_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint32_t p = s[c], q = d[c];
          const std::uint32_t r = (cv.up[0][f.R(p)] + cv.up[0][f.R(q)]) >> 1;
          const std::uint32_t g = (cv.up[1][f.G(p)] + cv.up[1][f.G(q)]) >> 1;
          const std::uint32_t b = (cv.up[2][f.B(p)] + cv.up[2][f.B(q)]) >> 1;
          const std::uint32_t mixed = q == key ? p : cv.Compose8(r, g, b);
          d[c] = std::uint16_t((keyed & (p == key)) ? q : mixed);
        }
      });
      break;
    }
    case 32:
      ForRows<std::uint32_t>(l, x, y, sx, sy, sp,
                             [&](std::uint32_t* d, const std::uint32_t* s, int n) { HalfRow32(d, s, n, keyed, key); });
      break;
    default: break;
  }
  return true;
}

bool HalfDirect3DPixels(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags) {
  EffectLocks l;
  if (!l.Lock(dst, src)) return true;
  Span sp;
  if (!l.Clip(x, y, w, h, sx, sy, sp)) return true;
  const bool keyed = flags == 1;
  const std::uint32_t key = ddfx::TransparentValue();
  if (g_DDState.nBpp == 16) {
    const ddfx::Fields16 f = ddfx::PixelFields();
    const bool screen = DDIsFullScreenBackBuffer(dst);
    const ddfx::Fields16 out = screen ? ddfx::ScreenFields() : f;
    const int layout = OutLayout16(out);
    if (TextureLayout16(f) && (screen ? layout != 0 : layout == 555) && !pix::generalLoopsOnly()) {
      const auto row = screen ? (layout == 565 ? HalfPixelsRow16<true, true> : HalfPixelsRow16<true, false>)
                              : HalfPixelsRow16<false, false>;
      const bool keyFits = key <= 0xFFFF;
      ForRows<u16>(l, x, y, sx, sy, sp,
                   [&](u16* d, const u16* s, int n) { row(d, s, n, u16(out.alpha), keyed && keyFits, u16(key)); });
      return true;
    }
    if (screen) {
      // The destination holds 5-6-5 pixels: its G is mixed with the source's G doubled.
      const ddfx::Fields16 sf = ddfx::ScreenFields();
      ForRows<std::uint16_t>(l, x, y, sx, sy, sp, [&](std::uint16_t* d, const std::uint16_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint32_t p = s[c], q = d[c];
          const std::uint32_t v =
              sf.Compose((f.R(p) + sf.R(q)) >> 1, (sf.G(q) + 2 * f.G(p)) >> 1, (f.B(p) + sf.B(q)) >> 1);
          d[c] = std::uint16_t((keyed & (p == key)) ? q : v);
        }
      });
    } else {
      ForRows<std::uint16_t>(l, x, y, sx, sy, sp, [&](std::uint16_t* d, const std::uint16_t* s, int n) {
        for (int c = 0; c < n; ++c) {
          const std::uint32_t p = s[c], q = d[c];
          const std::uint32_t v = f.Compose((f.R(p) + f.R(q)) >> 1, (f.G(p) + f.G(q)) >> 1, (f.B(p) + f.B(q)) >> 1);
          d[c] = std::uint16_t((keyed & (p == key)) ? q : v);
        }
      });
    }
  } else if (g_DDState.nBpp == 32) {
    ForRows<std::uint32_t>(l, x, y, sx, sy, sp, [&](std::uint32_t* d, const std::uint32_t* s, int n) {
      HalfOpaqueRow32(d, s, n, keyed, key);
    });
  }
  return true;
}

bool HalfDirect3D(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int flags) {
  ddfx::ResolveForEffect(&dst);
  ddfx::ResolveForEffect(&src);
  if (!dst->lpDT || !src->lpDT) return true;
  if (ddfx::InSystemMemory(dst, src) || g_lpD3DData->bVirBackBuffer)
    return HalfDirect3DPixels(dst, x, y, w, h, src, sx, sy, flags);
  plat::Surface* ss = src->Pixels();
  if (!ss || ss->isLost() || !DDBeginScene() || !DDSetRenderTarget(0, dst)) return true;
  plat::Surface* ds = dst->Pixels();
  const bool fast = Quad32(dst, *ds, x, y, w, h, src, *ss, sx, sy, HalfQuadRow32);
  if (fast) {
    ddfx::ParkRenderTarget();
    DDSetAlphaOpTexture();
    return true;
  }
  pix::QuadOp op;
  op.diffuse = 0x80FFFFFF;
  op.colorOp = D3DTOP_MODULATE;
  op.alphaOp = D3DTOP_MODULATE;
  op.srcLimitW = src->nWidth;
  op.srcLimitH = src->nHeight;
  op.dstLimitW = dst->nWidth;
  op.dstLimitH = dst->nHeight;
  pix::drawQuad(*ds, x, y, w, h, *ss, sx, sy, w, h, op);
  ddfx::ParkRenderTarget();
  DDSetAlphaOpTexture();
  return true;
}

}  // namespace

bool DDLoadBlendTable(std::uint8_t* table, std::string_view fileName) {
  if (g_lpD3DData) return true;
  if (!table) return false;
  std::FILE* f = plat::fs::open(fileName, "rb");
  if (!f) return false;
  // A short file leaves the rest of the table as it was.
  const std::size_t got = std::fread(table, 1, 65536, f);
  (void)got;
  std::fclose(f);
  return true;
}

bool DDBltAlpha(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t sx, std::int32_t sy, std::int32_t flags, const PALETTEENTRY* palette, const std::uint8_t*,
                std::uint8_t colour, std::int32_t level) {
  if (!dst || !src) return false;
  if (g_lpD3DData) return AlphaDirect3D(dst, x, y, w, h, src, sx, sy, flags, palette, colour, level);
  if (!g_lpDDData) return false;
  return AlphaDirectDraw(dst, x, y, w, h, src, sx, sy, flags, palette, colour, level);
}

bool DDBltHalf(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
               std::int32_t sx, std::int32_t sy, std::int32_t flags, const std::uint8_t* blendTable) {
  if (!dst || !src) return false;
  if (g_lpD3DData) return HalfDirect3D(dst, x, y, w, h, src, sx, sy, flags);
  if (!g_lpDDData) return false;
  // Without a table of its own the blit mixes through the library's table.
  return HalfDirectDraw(dst, x, y, w, h, src, sx, sy, flags, blendTable ? blendTable : g_BlendTable);
}
