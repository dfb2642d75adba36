// Frames: a rectangle outline, and a picture with a frame around it (the windows of
// the fonts' text boxes).
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

void DDFrameRect(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::int32_t thickness, std::uint32_t palNum);
void DDBltFrame(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t thickness, std::uint32_t palNum);
