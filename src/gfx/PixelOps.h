// The pixel loops under the drawing primitives. Every function works on rectangles
// already clipped by its caller (except drawQuad, which clips to the target itself) and
// decides the format once per call, never per pixel.
#pragma once
#include <cstdint>

#include "platform/surface.h"

namespace pix {

// Rounded x / 255 for 0 <= x <= 255 * 255: the one division of every blend.
inline std::uint32_t div255(std::uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// Bit replication from 5 and 6-bit fields to 8 bits, and back by dropping low bits:
// the textured path's conversions, lossless for a field taken up and down again.
inline std::uint32_t up5(std::uint32_t v) { return (v << 3) | (v >> 2); }
inline std::uint32_t up6(std::uint32_t v) { return (v << 2) | (v >> 4); }

// An ARGB colour as a raw pixel of the format (a clear of a render target).
std::uint32_t argbToRaw(plat::PixelFormat f, std::uint32_t argb);

// Raw pixel access.
std::uint32_t getRaw(const plat::Surface& s, int x, int y);
void putRaw(plat::Surface& s, int x, int y, std::uint32_t value);

// Writes the raw value into every pixel of the rectangle.
void fillRaw(plat::Surface& s, int x, int y, int w, int h, std::uint32_t value);
// Copies a rectangle between surfaces of one pixel size (the same surface too).
void copyRaw(plat::Surface& dst, int dx, int dy, const plat::Surface& src, int sx, int sy, int w, int h);
// The same, leaving out source pixels equal to key (whole-pixel compare).
void copyKeyed(plat::Surface& dst, int dx, int dy, const plat::Surface& src, int sx, int sy, int w, int h,
               std::uint32_t key);
// Nearest-neighbour stretch of the source rectangle onto the destination rectangle:
// destination column j reads source column sx + j * sw / dw (truncated), rows alike.
void stretchRaw(plat::Surface& dst, int dx, int dy, int dw, int dh, const plat::Surface& src, int sx, int sy, int sw,
                int sh, bool keyed, std::uint32_t key);

// One textured quad of the Direct3D path: texels point-sampled at pixel centres
// (column j of the w-pixel quad reads texel sx + floor((2j + 1) * sw / 2w), so a
// negative sw mirrors), combined with the diffuse colour by the stage's colour and
// alpha operations, and alpha-blended onto the target:
// c = round((s * a + d * (255 - a)) / 255), target alpha likewise from a * a.
// Pixels whose texel lies outside the source's limits, or that lie outside the
// target's limits, are not drawn (both rectangles clip).
struct QuadOp {
  std::uint32_t diffuse = 0xFFFFFFFF;
  std::int32_t colorOp = 4;  // D3DTOP numbering
  std::int32_t alphaOp = 2;
  std::uint32_t factor = 0;            // texture factor (BLENDFACTORALPHA)
  int srcLimitW = -1, srcLimitH = -1;  // logical size of the source; -1: the whole surface
  int dstLimitW = -1, dstLimitH = -1;
  bool clearFirst = false;  // write clearValue (raw) under the quad before drawing
  std::uint32_t clearValue = 0;
};
void drawQuad(plat::Surface& dst, int x, int y, int w, int h, const plat::Surface& src, int sx, int sy, int sw, int sh,
              const QuadOp& op);
// A coloured quad (colour and alpha taken from the colour) blended onto the rectangle.
void fillBlend(plat::Surface& dst, int x, int y, int w, int h, std::uint32_t argb);

// Tests: draw quads and coloured quads through the general loops only, leaving out the
// loops specialised for common formats, so that the two can be compared.
void useGeneralLoopsForTests(bool on);
bool generalLoopsOnly();
// Tests: leave out (false) or allow the rows written by hand for AVX-512 processors, so
// that the rows other processors run are compared too. wideRowsAllowed() reads it.
void useWideRowsForTests(bool on);
bool wideRowsAllowed();

// A coverage mask (one byte a pixel, maskPitch bytes a row) drawn at (x, y), clipped to
// limitW x limitH: blended in the colour with alpha = coverage * colour alpha / 255, or,
// for raw targets, the raw value written where the coverage is at least half.
void drawMaskBlend(plat::Surface& dst, int x, int y, const std::uint8_t* mask, int mw, int mh, int maskPitch,
                   std::uint32_t argb, int limitW, int limitH);
void drawMaskRaw(plat::Surface& dst, int x, int y, const std::uint8_t* mask, int mw, int mh, int maskPitch,
                 std::uint32_t raw, int limitW, int limitH);

}  // namespace pix
