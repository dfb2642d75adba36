#include "gfx/DDFrame.h"

#include "gfx/DDBlt.h"

void DDFrameRect(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t t,
                 std::uint32_t palNum) {
  DDFillRect(dst, x, y, w, t, palNum);
  DDFillRect(dst, x, y + h - t, w, t, palNum);
  DDFillRect(dst, x, y, t, h, palNum);
  DDFillRect(dst, x + w - t, y, t, h, palNum);
}

void DDBltFrame(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t t, std::uint32_t palNum) {
  DDBlt(dst, x, y, w, h, src, 0, 0, 0);
  // The frame lies outside the picture.
  DDFrameRect(dst, x - t, y - t, w + 2 * t, h + 2 * t, t, palNum);
}
