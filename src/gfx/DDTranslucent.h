// Translucent blits: a source pulled toward one palette colour by a level of 1 to 4, a
// source mixed half and half over the destination, and the blend table through which
// 256-colour mode mixes palette numbers.
#pragma once
#include <cstdint>
#include <string_view>

#include "gfx/DDPalette.h"

struct DDSURFACEDATA;

// Byte a * 256 + b: the palette number of the half-and-half mix of a and b.
extern std::uint8_t g_BlendTable[65536];

bool DDLoadBlendTable(std::uint8_t* table, std::string_view fileName);
bool DDBltAlpha(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
                std::int32_t sx, std::int32_t sy, std::int32_t flags, const PALETTEENTRY* palette,
                const std::uint8_t* blendTable, std::uint8_t colour, std::int32_t level);
bool DDBltHalf(DDSURFACEDATA* dst, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, DDSURFACEDATA* src,
               std::int32_t sx, std::int32_t sy, std::int32_t flags, const std::uint8_t* blendTable);
