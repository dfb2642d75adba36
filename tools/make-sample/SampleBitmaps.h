// Every bitmap of the sample project: the pictures of the fixed bitmap table in the sizes
// and cell layouts the game reads them in, a background layer and an effect sheet. All
// are 8-bit bitmaps carrying the palette of "bmp\plt\Palette.bmp".
#pragma once
#include <string>
#include <vector>

#include "Canvas.h"

namespace sample {

struct BitmapFile {
  std::string path;  // program form, relative to the project folder
  Canvas picture;
};

std::vector<BitmapFile> SampleBitmaps();

// Names of the bitmaps that the sample's records refer to.
inline constexpr const char* SKY_BITMAP = "bmp\\back\\Sky.bmp";
inline constexpr const char* HIT_EFFECT_BITMAP = "bmp\\effect\\Hit.bmp";
inline constexpr const char* SIGN_PICTURE_BITMAP = "bmp\\picture\\Sign.bmp";
inline constexpr const char* SWORD_LEFT_BITMAP = "bmp\\effect\\SwordL.bmp";
inline constexpr const char* SWORD_RIGHT_BITMAP = "bmp\\effect\\SwordR.bmp";

}  // namespace sample
