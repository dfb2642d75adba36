// The drawing primitives: fills with a palette number or a raw colour, copies with or
// without the transparent colour, stretched and mirrored copies, and the draw mode of
// actors (a vertex colour and a colour operation, honoured under Direct3D).
#pragma once
#include <cstdint>

struct DDSURFACEDATA;

struct DRAWMODE {
  std::uint32_t dwColor = 0xFFFFFFFF;
  std::int32_t nColorOp = 4;
};

bool DDSetRenderTarget(std::int32_t reserved, DDSURFACEDATA* lpSD);
void DDResolveAlias(DDSURFACEDATA** lpSD);
bool DDRedirectBackBuffer(DDSURFACEDATA** lpSD);
void DDFillRect(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                std::uint32_t dwPalNum);
void DDClear(DDSURFACEDATA* lpSD, std::uint32_t dwPalNum);
void DDFillRectColor(DDSURFACEDATA* lpSD, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                     std::uint32_t color);
bool DDBlt(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
           std::int32_t sx, std::int32_t sy, std::int32_t flags);
bool DDStretchBlt(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                  std::int32_t flags);
bool DDBltEx(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
             std::int32_t sx, std::int32_t sy, std::int32_t flags, const DRAWMODE* drawMode);
bool DDStretchBltEx(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    DDSURFACEDATA* src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                    std::int32_t flags, const DRAWMODE* drawMode);
// True when lpSD is BackBuffer and the display is full screen (16-bit screen layout).
bool DDIsFullScreenBackBuffer(const DDSURFACEDATA* lpSD);
