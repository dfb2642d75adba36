// Drawing built from the blits: numbers from a strip of digit cells, and the wave,
// interlace, fold and split blits of draw modes and screen effects (frames are in
// DDFrame.h).
#pragma once
#include <cstdint>

#include "gfx/DDFrame.h"

struct DDSURFACEDATA;

// A non-negative value from ten digit cells at (sx, sy), cellW apart; leading digits that
// minDigits asks for are left empty (moved right by half of them when centred).
void DDBltNumber(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t cellW, std::int32_t cellH,
                 DDSURFACEDATA* digitSheet, std::int32_t sx, std::int32_t sy, std::int32_t flags, std::int32_t value,
                 std::int32_t minDigits, std::int32_t centre, std::int32_t unused = 0);
// Strips of `step` rows (columns when vertical) displaced by amplitude * sin of the
// frequency times (phase + the strip's angle); angles in degrees.
void DDBltWave(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, double frequency,
               double amplitude, double phase, std::int32_t step, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
               std::int32_t flags, std::int32_t vertical);
// Alternate strips `step` wide pushed `offset` apart.
void DDBltInterlace(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    std::int32_t step, std::int32_t offset, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
                    std::int32_t flags, std::int32_t vertical);
// The first picture folding to a line and opening as the second as the counter runs
// (direction 1 vertical, 0 horizontal).
void DDBltFold(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src1,
               std::int32_t sx1, std::int32_t sy1, DDSURFACEDATA* src2, std::int32_t sx2, std::int32_t sy2,
               std::int32_t sw, std::int32_t sh, std::int32_t flags, std::int32_t counter, std::int32_t direction);
// The four quarters pushed `gap` pixels apart.
void DDBltSplit(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t sx, std::int32_t sy, std::int32_t gap, std::int32_t flags);
