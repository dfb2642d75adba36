// The rules every software effect reads and writes pixels by: the transparent value of
// the open mode, the channel fields of 16-bit pixels and their conversion to and from
// 8-bit units, the two locks of an effect (destination first, source second, released
// in the reverse order) and the clipping of a rectangle against both surfaces.
// Everything here is decided once per call; the pixel loops see plain tables and shifts.
#pragma once
#include <algorithm>
#include <cstdint>

#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"

// The hot row loops are compiled twice, for AVX2 and for the base instruction set, and
// the processor's version is picked when the program loads (not under the thread
// sanitizer, whose start-up cannot run the picking code).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define DDFX_HOT_ROW __attribute__((target_clones("avx2", "default")))
#else
#define DDFX_HOT_ROW
#endif

namespace ddfx {

// Going up to 8-bit units and back down; both divisions truncate, so 15 of a 5-bit
// field goes up to 123 and comes back as 14.
inline std::uint32_t Up8(std::uint32_t v, std::uint32_t max) { return max ? v * 255 / max : 0; }
inline std::uint32_t Down8(std::uint32_t v, std::uint32_t max) { return v * max / 255; }

// Floor average of each byte of two words: (a + b) >> 1 per byte, no carries between them.
inline std::uint32_t AvgBytes(std::uint32_t a, std::uint32_t b) { return (a & b) + (((a ^ b) >> 1) & 0x7F7F7F7Fu); }

// round(x / 255) in both 16-bit halves of a word (each half at most 255 * 255): the
// textured path's division, two channels at once.
inline std::uint32_t Div255Lanes(std::uint32_t x) {
  x += 0x00800080u;
  return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// The textured path's alpha blend of a 32-bit pixel: the colour of s with alpha a over d,
// each byte round((s * a + d * (255 - a)) / 255), the alpha byte from a * a + dA * (255 - a).
// Alpha 0 leaves d and alpha 255 gives s, as the general quad code does.
inline std::uint32_t BlendOver(std::uint32_t d, std::uint32_t s, std::uint32_t a) {
  const std::uint32_t ia = 255 - a;
  const std::uint32_t rb = Div255Lanes((s & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * ia);
  const std::uint32_t ga = Div255Lanes((((s >> 8) & 0xFFu) | a << 16) * a + ((d >> 8) & 0x00FF00FFu) * ia);
  return rb | ga << 8;
}

// A coloured quad over a rectangle already clipped to the surface: 32-bit targets here,
// the others through the general quad code.
void FillBlend(plat::Surface& s, int x, int y, int w, int h, std::uint32_t argb);

// The value a whole pixel is compared with to find transparency: the transparent fill
// values (0) under Direct3D, the raw transparent colour under DirectDraw.
std::uint32_t TransparentValue();

// The fields of a 16-bit layout, with the alpha bit that composed pixels carry.
struct Fields16 {
  std::uint32_t sR = 0, sG = 0, sB = 0, mR = 0, mG = 0, mB = 0, alpha = 0;
  std::uint32_t R(std::uint32_t p) const { return (p >> sR) & mR; }
  std::uint32_t G(std::uint32_t p) const { return (p >> sG) & mG; }
  std::uint32_t B(std::uint32_t p) const { return (p >> sB) & mB; }
  std::uint32_t Compose(std::uint32_t r, std::uint32_t g, std::uint32_t b) const {
    return (r & mR) << sR | (g & mG) << sG | (b & mB) << sB | alpha;
  }
};
// g_PixelLayout; under Direct3D its pixels get the alpha bit (opaque).
Fields16 PixelFields();
// g_ScreenLayout (the full-screen Direct3D back buffer), no alpha bit.
Fields16 ScreenFields();

// Per-call tables of a 16-bit layout: a field value up to 8-bit units, and an 8-bit value
// down to the field, already shifted into place.
struct Convert16 {
  std::uint8_t up[3][256];
  std::uint16_t down[3][256];
  std::uint32_t Compose8(std::uint32_t r, std::uint32_t g, std::uint32_t b) const {
    return std::uint32_t(down[0][r] | down[1][g] | down[2][b]);
  }
};
void BuildConvert16(const Fields16& f, Convert16& out);

// The logical size of a locked record, never more than its pixels.
inline int LockedWidth(const cSurfaceLock& l) { return std::min<int>(l.m_lpSD->nWidth, l.m_lpSurface->width()); }
inline int LockedHeight(const cSurfaceLock& l) { return std::min<int>(l.m_lpSD->nHeight, l.m_lpSurface->height()); }

// The destination is locked first, then the source; members are destroyed in reverse,
// so the source is released first.
// The columns c0 <= c < c1 and rows k0 <= k < k1 of a w x h rectangle for which both the
// destination pixel (x + c, y + k) and the source pixel (sx + c, sy + k) lie inside their
// surfaces; false when there are none.
struct Span {
  int c0 = 0, c1 = 0, k0 = 0, k1 = 0;
};
bool ClipPair(int x, int y, int w, int h, int dstW, int dstH, int sx, int sy, int srcW, int srcH, Span& out);

struct EffectLocks {
  cSurfaceLock dst;
  cSurfaceLock src;
  bool Lock(DDSURFACEDATA* d, DDSURFACEDATA* s) { return dst.Lock(d) && src.Lock(s); }
  // ClipPair against the two locked surfaces.
  bool Clip(int x, int y, int w, int h, int sx, int sy, Span& out) const {
    return ClipPair(x, y, w, h, LockedWidth(dst), LockedHeight(dst), sx, sy, LockedWidth(src), LockedHeight(src), out);
  }
};

// Direct3D: a record replaced by the one holding its pixels, and the back buffer by the
// virtual back buffer while that is on.
void ResolveForEffect(DDSURFACEDATA** lpSD);

// Direct3D: whether either record's texture lies in system memory (the pixel-loop path).
bool InSystemMemory(const DDSURFACEDATA* a, const DDSURFACEDATA* b);

// Direct3D: hands the render target back to the parking target after a quad.
void ParkRenderTarget();

}  // namespace ddfx
