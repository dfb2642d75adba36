// Pulling a picture toward one colour without a palette: the DirectDraw fade of 16 and
// 32-bit screens (from a copy of the screen into the back buffer), and the Direct3D
// tint laid over a surface.
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

// weight: the share of the source picture in 256ths (0 the plain colour, 256 the picture).
std::int32_t DDFade_UnPal(DDSURFACEDATA* dst, std::int32_t weight, std::uint8_t red, std::uint8_t green,
                          std::uint8_t blue, DDSURFACEDATA* src);
// nAlpha: the share of the existing picture (0 the plain colour).
std::int32_t DDChangeColor(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t nWidth,
                           std::int32_t nHeight, std::int32_t nAlpha, std::uint8_t bRed, std::uint8_t bGreen,
                           std::uint8_t bBlue);
