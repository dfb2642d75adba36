#include "EffectTest.h"
#include "gfx/DDBlurMosaic.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDEffectPixels.h"
#include "gfx/DDFadeTint.h"
#include "gfx/DDRotate.h"
#include "gfx/DDTranslucent.h"

namespace {

using namespace gfxtest;
using DDEffectPixelsTest = EffectFixture;

TEST(DDEffectChannels, UpToEightBitsAndBackTruncates) {
  struct Case {
    std::uint32_t v, max, up, back;
  };
  const Case cases[] = {{15, 31, 123, 14}, {1, 31, 8, 0},     {31, 31, 255, 31},
                        {0, 31, 0, 0},     {63, 63, 255, 63}, {32, 63, 129, 31}};
  for (const Case& c : cases) {
    EXPECT_EQ(ddfx::Up8(c.v, c.max), c.up) << c.v << "/" << c.max;
    EXPECT_EQ(ddfx::Down8(ddfx::Up8(c.v, c.max), c.max), c.back) << c.v << "/" << c.max;
  }
}

TEST_F(DDEffectPixelsTest, FullScreenBackBufferOnlyInFullScreen) {
  ASSERT_TRUE(Open(Mode::D3D16, true));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(&BackBuffer));
  Reopen(Mode::D3D16, false);
  EXPECT_TRUE(DDIsFullScreenBackBuffer(&BackBuffer));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(&VirBackBuffer));
  EXPECT_FALSE(DDIsFullScreenBackBuffer(Make(4, 4)));
}

TEST_F(DDEffectPixelsTest, TwentyFourBitsLeaveTheDestinationAlone) {
  ASSERT_TRUE(Open(Mode::DD24));
  DDSURFACEDATA* src = Make(16, 16);
  PaintAll(src, 0x405060);
  DDSURFACEDATA* dst = Make(16, 16);
  EXPECT_TRUE(DDBltAlpha(dst, 0, 0, 16, 16, src, 0, 0, 0, g_Palette, nullptr, 3, 1));
  EXPECT_TRUE(DDBltHalf(dst, 0, 0, 16, 16, src, 0, 0, 0, g_BlendTable));
  EXPECT_TRUE(DDBlur(dst, 0, 0, 16, 16, 2, 2, src, 0, 0, 0));
  EXPECT_TRUE(DDMosaic(dst, 0, 0, 16, 16, 4, src, 0, 0, 0));
  EXPECT_TRUE(DDBltRotate(dst, 8, 8, 16, 16, 8, 8, 30, src, 0, 0, 0));
  EXPECT_TRUE(DDBltRadial(dst, 8, 8, 6, 10, src, 8, 8, 0));
  EXPECT_EQ(DDFade_UnPal(dst, 128, 1, 2, 3, src), 1);
  EXPECT_EQ(Changed(dst, 0), 0);
  // The circle draws with blits, which 24 bits have.
  EXPECT_NE(DDBltCircle(dst, 8, 8, 8, 8, 4, 1, src, 8, 8, 0), 0);
  EXPECT_GT(Changed(dst, 0), 0);
}

TEST_F(DDEffectPixelsTest, LockFailuresGiveEachEffectsResult) {
  for (Mode m : {Mode::DD32, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    DDSURFACEDATA* src = Make(8, 8, IsD3D(m));  // Direct3D: the pixel loops
    DDSURFACEDATA* dst = Make(8, 8);
    plat::display::injectLoss();
    const bool d3d = IsD3D(m);
    EXPECT_EQ(DDBltAlpha(dst, 0, 0, 8, 8, src, 0, 0, 0, g_Palette, nullptr, 3, 1), d3d);
    EXPECT_EQ(DDBltHalf(dst, 0, 0, 8, 8, src, 0, 0, 0, g_BlendTable), d3d);
    EXPECT_EQ(DDBltRotate(dst, 4, 4, 8, 8, 4, 4, 30, src, 0, 0, 0), d3d);
    EXPECT_FALSE(DDBlur(dst, 0, 0, 8, 8, 2, 2, src, 0, 0, 0));
    EXPECT_FALSE(DDMosaic(dst, 0, 0, 8, 8, 2, src, 0, 0, 0));
    EXPECT_FALSE(DDBltRadial(dst, 4, 4, 3, 5, src, 4, 4, 0));
    if (!d3d) { EXPECT_EQ(DDFade_UnPal(dst, 128, 0, 0, 0, src), 0); }
    EXPECT_EQ(DDChangeColor(dst, 0, 0, 8, 8, 128, 0, 0, 0), 1);
  }
}

TEST_F(DDEffectPixelsTest, PaletteFromTheBlockOfASurface) {
  struct Case {
    Mode mode;
    std::uint32_t pixel;    // at column 3 of row 8: entry 3
    PALETTEENTRY expected;  // flags preset to 77
  };
  const Case cases[] = {
      {Mode::DD16, 31u << 11 | 63u << 5, {31, 63, 0, 77}},  // field values, unscaled
      {Mode::D3D16, 0x8000u | 31u << 10 | 31u << 5, {255, 255, 0, 77}},
      {Mode::DD32, 0x12C86432, {200, 100, 50, 0x12}},  // byte 3 into the flags
      {Mode::D3D32, 0x12C86432, {200, 100, 50, 77}},
      {Mode::DD24, 0xC86432, {1, 2, 3, 77}},  // nothing read
      {Mode::DD8, 9, {1, 2, 3, 77}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    Reopen(c.mode);
    DDSURFACEDATA* s = Make(16, 24, true);
    Paint(s, [&](int x, int y) -> std::uint32_t {
      if (x == 3 && y == 8) return c.pixel;
      if (x == 0 && y == 9) return Bpp(c.mode) == 8 ? 1 : 0x0A0A;    // entry 16
      if (x == 15 && y == 23) return Bpp(c.mode) == 8 ? 2 : 0x0B0B;  // entry 255
      return 0;
    });
    PALETTEENTRY pal[256];
    for (PALETTEENTRY& e : pal) e = {1, 2, 3, 77};
    EXPECT_EQ(DDGetPaletteFromSurface(pal, s), 1);
    EXPECT_EQ(pal[3].peRed, c.expected.peRed);
    EXPECT_EQ(pal[3].peGreen, c.expected.peGreen);
    EXPECT_EQ(pal[3].peBlue, c.expected.peBlue);
    EXPECT_EQ(pal[3].peFlags, c.expected.peFlags);
    if (Bpp(c.mode) == 32) {
      EXPECT_EQ(pal[16].peBlue, 0x0A);
      EXPECT_EQ(pal[255].peGreen, 0x0B);
      EXPECT_EQ(pal[15].peBlue, 0);  // column 15 of row 8
    }
  }
}

}  // namespace
