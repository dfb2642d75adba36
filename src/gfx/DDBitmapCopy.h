// Puts a bitmap file into an already created DirectDraw surface: raw indices at 8 bits,
// converted pixels with the transparent-colour rule at 16 bits, mirrored cell by cell,
// with an optional palette-number map of the pixels.
#pragma once
#include <cstdint>
#include <string_view>

struct DDSURFACEDATA;

bool DDCopyBitmapToSurface(DDSURFACEDATA* lpSD, std::string_view fileName, std::int32_t bpp, std::int32_t indexMap,
                           std::int32_t cellWidth, std::int32_t cellHeight);
bool DDReloadBitmap(DDSURFACEDATA* lpSD, std::int32_t bpp);
