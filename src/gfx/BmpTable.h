// The fixed bitmap table: the 69 shared pictures and work surfaces every game of the
// kit draws with, their surface records, and the loading of entries by id.
#pragma once
#include <cstdint>

#include "gfx/DDSurface.h"

constexpr int BMP_TABLE_COUNT = 69;
constexpr int DIGIT_SURFACE_COUNT = 4;

// Entries that several drawings share.
constexpr std::int32_t BMP_MARK = 43;            // "bmp\Mark.bmp": emblems and marks
constexpr std::int32_t BMP_MARK_STRETCHED = 44;  // the same picture, for stretched drawing
constexpr std::int32_t BMP_WINDOW = 45;          // "bmp\Window.bmp": menu and list frames
constexpr std::int32_t BMP_TITLE = 47;           // "bmp\Title.bmp"
constexpr std::int32_t BMP_GAME_MODE = 48;       // "bmp\GameMode.bmp"
constexpr std::int32_t BMP_ACCESSORY = 49;       // "bmp\Accessory.bmp": cursors and icons
constexpr std::int32_t BMP_SYMBOL = 50;          // "bmp\Symbol.bmp"
constexpr std::int32_t BMP_WORD = 51;            // "bmp\Word.bmp": captions of stage play

extern DDSURFACEINFO g_BmpTable[BMP_TABLE_COUNT];
extern DDSURFACEDATA g_SurfaceData[BMP_TABLE_COUNT];
// Descriptors of the fonts' digit strips (empty name, colour key).
extern DDSURFACEINFO g_DigitInfos[DIGIT_SURFACE_COUNT];

// Points the entries without a texture of their own at their twins (Direct3D).
void LinkSurfaceAliases();
// (Re)loads the listed entries of the table registered with DDInit into surfaceArray.
bool DDLoadSurfaces(DDSURFACEDATA* surfaceArray, const std::int32_t* ids, std::int32_t count);
