// Coarsening copies of a rectangle: a box blur (each pixel the average of the box of
// source pixels around it) and a mosaic (square blocks of one colour).
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

// The box runs from radius pixels before a pixel to radius - 1 after it, in both
// directions, within the rectangle; flags 1 leaves transparent pixels and samples out.
bool DDBlur(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            std::int32_t radiusX, std::int32_t radiusY, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy,
            std::int32_t flags);
bool DDMosaic(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::int32_t blockSize, DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t flags);
