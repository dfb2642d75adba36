// Palettes and the transparent colour. Every colour the game data names is a number
// of one 256-colour palette; only 8-bit DirectDraw shows the palette itself, elsewhere
// it is a table through which numbers become pixel colours.
#pragma once
#include <cstdint>
#include <string_view>

struct DDSURFACEDATA;

struct PALETTEENTRY {
  std::uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};

enum : std::uint8_t { PC_RESERVED = 1, PC_EXPLICIT = 2 };

extern PALETTEENTRY g_Palette[256];
extern PALETTEENTRY g_WorkPalette[256];

std::uint32_t PalNumToRGB(std::uint32_t dwPalNum);
bool DDLoadPaletteFromFile(PALETTEENTRY* palette, std::string_view fileName, std::int32_t windowed);
std::int32_t DDSetTransmitFromFile(std::string_view fileName);
void DDSetTransmit(std::uint8_t cbRed, std::uint8_t cbGreen, std::uint8_t cbBlue);
std::uint16_t DDRGBToPixel16(const PALETTEENTRY& entry);
// Reads the 256 colours of a palette picture: entry n from column n % 16 of row 8 + n / 16.
std::int32_t DDGetPaletteFromSurface(PALETTEENTRY* palette, DDSURFACEDATA* lpSD);
// Hands entries first..first+count-1 to the display palette (8-bit DirectDraw).
void DDSetPaletteEntries(std::int32_t first, std::int32_t count, const PALETTEENTRY* entries);
