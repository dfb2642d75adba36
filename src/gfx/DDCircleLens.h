// Effects shaped by a circle: a disc of a source copied in horizontal strips, and a lens
// that magnifies a disc of the source toward its centre.
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

// The disc of `radius` around (sx, sy) of src, drawn around (x, y) of dst in strips of
// `step` rows, kept within halfWidth columns and halfHeight rows of the centre. Non-zero
// when it drew.
std::int32_t DDBltCircle(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t halfWidth,
                         std::int32_t halfHeight, std::int32_t radius, std::int32_t step, DDSURFACEDATA* src,
                         std::int32_t sx, std::int32_t sy, std::int32_t flags);
// Inside the disc, the source point is pulled toward the centre by distance / s, with
// s = sqrt(L * L - r * r) and L = sqrt(distance^2 + radius^2): strongest at the centre,
// nearly none at the rim. Transparent source pixels are never copied.
bool DDBltRadial(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t radius, std::int32_t distance,
                 DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t flags);
