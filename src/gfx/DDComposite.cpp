#include "gfx/DDComposite.h"

#include <cmath>

#include "gfx/DDBlt.h"

namespace {

constexpr double kRadians = 0.017453292519943295;

}  // namespace

void DDBltNumber(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t cellW, std::int32_t cellH,
                 DDSURFACEDATA* digitSheet, std::int32_t sx, std::int32_t sy, std::int32_t flags, std::int32_t value,
                 std::int32_t minDigits, std::int32_t centre, std::int32_t) {
  // A negative value has no digit cells; it draws nothing rather than cells left of the strip.
  if (value < 0) return;
  int digits[10];
  int count = 0;
  std::int32_t v = value;
  do {
    digits[count++] = v % 10;
    v /= 10;
  } while (v != 0 && count < 10);
  if (count < minDigits) {
    const std::int32_t shift = (minDigits - count) * cellW;
    x += centre ? shift / 2 : shift;
  }
  for (int i = count - 1; i >= 0; --i) {
    DDBlt(dst, x, y, cellW, cellH, digitSheet, sx + cellW * digits[i], sy, flags);
    x += cellW;
  }
}

void DDBltWave(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double frequency,
               double amplitude, double phase, std::int32_t step, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
               std::int32_t flags, std::int32_t vertical) {
  if (step <= 0) return;
  const std::int32_t length = vertical ? w : h;
  if (length <= 0) return;
  // Neighbouring strips displaced alike are drawn as one: the copies are 1:1 and side by
  // side, so the picture is the same as strip by strip, with far fewer blits. (Not from a
  // negative source position, where a blit moves the source but not the destination.)
  const bool merge = (vertical ? sx : sy) >= 0;
  auto draw = [&](std::int32_t start, std::int32_t size, std::int32_t shift) {
    if (vertical) DDBlt(dst, x + start, y + shift, size, h, src, sx + start, sy, flags);
    else DDBlt(dst, x + shift, y + start, w, size, src, sx, sy + start, flags);
  };
  const double grow = 360.0 / length * step;
  double angle = 0.0;
  std::int32_t runStart = 0, runShift = 0;
  for (std::int32_t offset = 0; offset < length; offset += step) {
    angle += grow;
    const auto shift = static_cast<std::int32_t>(amplitude * std::sin(frequency * (phase + angle) * kRadians));
    if (offset == 0) {
      runShift = shift;
    } else if (shift != runShift || !merge) {
      draw(runStart, offset - runStart, runShift);
      runStart = offset;
      runShift = shift;
    }
    if (length - offset <= step) break;
  }
  draw(runStart, length - runStart, runShift);
}

void DDBltInterlace(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    std::int32_t step, std::int32_t offset, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
                    std::int32_t flags, std::int32_t vertical) {
  if (step == 0) {
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
    return;
  }
  if (step < 0) return;
  if (vertical) {
    // Odd columns move up, even columns down.
    const std::int32_t n = w / step;
    for (std::int32_t i = 0; i < n; ++i)
      DDBlt(dst, x + i * step, y + (i % 2 ? -offset : offset), step, h, src, sx + i * step, sy, flags);
  } else {
    // Odd rows move left, even rows right.
    const std::int32_t n = h / step;
    for (std::int32_t i = 0; i < n; ++i)
      DDBlt(dst, x + (i % 2 ? -offset : offset), y + i * step, w, step, src, sx, sy + i * step, flags);
  }
}

void DDBltFold(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src1,
               std::int32_t sx1, std::int32_t sy1, DDSURFACEDATA* src2, std::int32_t sx2, std::int32_t sy2,
               std::int32_t sw, std::int32_t sh, std::int32_t flags, std::int32_t counter, std::int32_t direction) {
  if (direction != 0 && direction != 1) return;
  const std::int32_t size = direction == 1 ? h : w;
  const std::int32_t u = size >> 1;
  // A picture one pixel across has no fold to run.
  if (u <= 0) return;
  // v runs 0 .. u - 1 and back: a triangle wave of the counter.
  const std::int32_t v = (counter / u) % 2 ? u - counter % u - 1 : counter % u;
  const bool second = ((counter + u) / size) % 2 != 0;
  DDSURFACEDATA* src = second ? src2 : src1;
  const std::int32_t sx = second ? sx2 : sx1, sy = second ? sy2 : sy1;
  if (direction == 1) DDStretchBlt(dst, x, y + v, w, h - 2 * v, src, sx, sy, sw, sh, flags);
  else DDStretchBlt(dst, x + v, y, w - 2 * v, h, src, sx, sy, sw, sh, flags);
}

void DDBltSplit(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t sx, std::int32_t sy, std::int32_t gap, std::int32_t flags) {
  const std::int32_t w2 = w >> 1, h2 = h >> 1;
  DDBlt(dst, x - gap, y - gap, w2, h2, src, sx, sy, flags);
  DDBlt(dst, x + w2 + gap, y - gap, w2, h2, src, sx + w2, sy, flags);
  DDBlt(dst, x - gap, y + h2 + gap, w2, h2, src, sx, sy + h2, flags);
  DDBlt(dst, x + w2 + gap, y + h2 + gap, w2, h2, src, sx + w2, sy + h2, flags);
}
