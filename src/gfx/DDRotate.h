// A rectangle of a source drawn turned by whole degrees about a centre, without scaling.
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

// The rectangle (sx, sy, width, height) of src is turned by angle degrees (clockwise on
// the screen) about (centreX, centreY) of the rectangle, which lands on (x, y) of dst.
// flags 1 leaves out transparent pixels where pixels are copied; where textures are
// drawn, their alpha and the draw mode apply instead.
bool DDBltRotate(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 std::int32_t centreX, std::int32_t centreY, std::int32_t angle, DDSURFACEDATA* src, std::int32_t sx,
                 std::int32_t sy, std::int32_t flags);
