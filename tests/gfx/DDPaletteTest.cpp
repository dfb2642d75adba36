#include "GfxTest.h"

namespace {

using namespace gfxtest;
using DDPaletteTest = GfxFixture;

TEST_F(DDPaletteTest, PaletteNumberBecomesThePixelOfEachMode) {
  struct Case {
    Mode mode;
    PALETTEENTRY entry5;
    std::uint32_t pixel;  // raw pixel a fill with number 5 leaves
  };
  const Case cases[] = {
      {Mode::D3D32, {200, 100, 50, 0}, 0xFFC86432},
      {Mode::D3D16, {200, 100, 50, 0}, 0x8000 | 25 << 10 | 12 << 5 | 6},
      {Mode::DD8, {200, 100, 50, 0}, 5},
      {Mode::DD16, {31, 63, 31, 0}, 0xFFFF},  // the 16-bit palette holds field values
      {Mode::DD24, {200, 100, 50, 0}, 0xC86432},
      {Mode::DD32, {200, 100, 50, 0}, 0xC86432},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    g_Palette[0] = PALETTEENTRY{9, 9, 9, 0};
    g_Palette[5] = c.entry5;
    DDSURFACEDATA s;
    ASSERT_TRUE(DDCreateSurface(&s, 8, 4, 0, 0, 0, 0, false));
    DDFillRect(&s, 2, 1, 3, 2, 5);
    EXPECT_EQ(Px(&s, 2, 1), c.pixel);
    EXPECT_EQ(Px(&s, 4, 2), c.pixel);
    EXPECT_NE(Px(&s, 5, 1), c.pixel);
    EXPECT_EQ(PalNumToRGB(256), 0u);
    // Number 0 under Direct3D is transparent black whatever entry 0 holds.
    if (IsD3D(c.mode)) { EXPECT_EQ(PalNumToRGB(0), 0u); }
    DDReleaseSurface(&s);
  }
}

TEST_F(DDPaletteTest, FiveFiveFiveDisplayComposesWithItsOwnShifts) {
  plat::display::setDirectDraw16Format(plat::PixelFormat::Rgb555);
  ASSERT_TRUE(Open(Mode::DD16));
  g_Palette[3] = PALETTEENTRY{31, 0, 1, 0};
  EXPECT_EQ(PalNumToRGB(3), (31u << 10) | 1u);
  EXPECT_EQ(DDRGBToPixel16(g_Palette[3]), (31u << 10) | 1u);
}

TEST_F(DDPaletteTest, SetTransmitPerMode) {
  struct Case {
    Mode mode;
    std::uint8_t r, g, b;
    std::uint32_t transmit;
  };
  const Case cases[] = {
      // clang-format off
      {Mode::DD32, 255, 0, 255, 0x00FF00FF},
      {Mode::DD32, 0, 0, 255, 0x000000FF},
      {Mode::DD16, 255, 255, 255, 0xFFFF},
      {Mode::DD16, 4, 4, 4, 0},              // 4 * 63 / 255 truncates to 0
      {Mode::DD8, 255, 0, 255, 0x12345678},  // unchanged
      {Mode::D3D32, 255, 0, 255, 0},         // texels become transparent black instead
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    g_TransmitPixel = 0x12345678;
    DDSetTransmit(c.r, c.g, c.b);
    EXPECT_EQ(g_TransmitPixel, c.transmit);
  }
  ASSERT_TRUE(g_lpD3DData);
  EXPECT_EQ(g_lpD3DData->dwBackTransmit, 0xFFFF00FFu);
  EXPECT_EQ(g_lpD3DData->TransmitColor[2], 255);
}

TEST_F(DDPaletteTest, TransmitFromTheTopLeftPixelOfTheBitmap) {
  const std::vector<std::uint32_t> colours = {0x102030, 0, 0, 0, 0, 0, 0, 0xFF00FF};
  const std::string file = Write8("plt.bmp", 16, 24, colours, [](int x, int y) { return x == 0 && y == 0 ? 7 : 1; });
  struct Case {
    Mode mode;
    std::uint32_t transmit;
  };
  for (const Case& c : {Case{Mode::DD8, 7}, Case{Mode::DD32, 0xFF00FF}, Case{Mode::D3D32, 0}}) {
    SCOPED_TRACE(Name(c.mode));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    g_TransmitPixel = 0x5555;
    ASSERT_EQ(DDSetTransmitFromFile(file), 1);
    EXPECT_EQ(g_TransmitPixel, c.transmit);
  }
  EXPECT_EQ(g_lpD3DData->dwBackTransmit, 0xFFFF00FFu);
  // At 16 bits under Direct3D the key for loading comes from colour-table entry 0.
  ResetAll();
  ASSERT_TRUE(Open(Mode::D3D16));
  ASSERT_EQ(DDSetTransmitFromFile(file), 1);
  EXPECT_EQ(g_lpD3DData->TransmitColor16[0], 0x30);
  EXPECT_EQ(g_lpD3DData->TransmitColor16[2], 0x10);
  EXPECT_EQ(g_TransmitPixel, 0x8000u | 31u << 10 | 31u);
  EXPECT_EQ(DDSetTransmitFromFile(Path("missing.bmp")), 0);
}

TEST_F(DDPaletteTest, EightBitPaletteIsTheColourTableWithFlags) {
  std::vector<std::uint32_t> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = std::uint32_t(i) << 16 | std::uint32_t(255 - i);
  const std::string file = Write8("plt.bmp", 16, 24, colours, [](int, int) { return 0; });
  ASSERT_TRUE(Open(Mode::DD8, false));
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, file, 0));
  EXPECT_EQ(g_Palette[200].peRed, 200);
  EXPECT_EQ(g_Palette[200].peBlue, 55);
  EXPECT_EQ(g_Palette[9].peFlags, PC_EXPLICIT);
  EXPECT_EQ(g_Palette[10].peFlags, PC_RESERVED);
  EXPECT_EQ(g_Palette[246].peFlags, PC_EXPLICIT);
  EXPECT_EQ(plat::display::palette()[200], 0xC80037u);
  EXPECT_FALSE(DDLoadPaletteFromFile(g_Palette, Path("none.bmp"), 0));
}

TEST_F(DDPaletteTest, AboveEightBitsThePaletteIsReadFromThePixels) {
  // Cell n of the 16 x 16 block below row 8 shows colour index n; the table is ignored.
  std::vector<std::uint32_t> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = std::uint32_t(i) << 16 | 0x0800 | std::uint32_t(i ^ 0xFF);
  const std::string file =
      Write8("plt.bmp", 16, 24, colours, [](int x, int y) { return y < 8 ? 0 : (y - 8) * 16 + x; });
  struct Case {
    Mode mode;
    PALETTEENTRY e255;
  };
  const Case cases[] = {
      {Mode::DD32, {255, 8, 0, 0}},
      {Mode::D3D32, {255, 8, 0, 2}},
      {Mode::DD16, {255 * 31 / 255, 8 * 63 / 255, 0, 2}},  // fields, unscaled
      {Mode::D3D16, {255, 0, 0, 2}},                       // 5-bit fields taken up to 8 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode));
    ResetAll();
    ASSERT_TRUE(Open(c.mode));
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, file, 1));
    EXPECT_EQ(g_Palette[255].peRed, c.e255.peRed);
    EXPECT_EQ(g_Palette[255].peGreen, c.e255.peGreen);
    EXPECT_EQ(g_Palette[255].peBlue, c.e255.peBlue);
    EXPECT_EQ(g_Palette[16].peRed, IsD3D(c.mode) && Bpp(c.mode) == 16 ? 16 * 31 / 255 * 255 / 31
                                   : c.mode == Mode::DD16             ? 16 * 31 / 255
                                                                      : 16);
  }
}

TEST_F(DDPaletteTest, SmallPaletteBitmapReadsOnlyWhatItHolds) {
  const std::string file = Write8("tiny.bmp", 4, 9, {0, 0xABCDEF}, [](int, int y) { return y == 8 ? 1 : 0; });
  ASSERT_TRUE(Open(Mode::DD32));
  for (auto& e : g_Palette) e = PALETTEENTRY{1, 2, 3, 0};
  ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, file, 1));
  EXPECT_EQ(g_Palette[3].peRed, 0xAB);
  EXPECT_EQ(g_Palette[4].peRed, 0);  // from the (short) colour table, no pixel there
  EXPECT_EQ(g_Palette[16].peRed, 0);
}

}  // namespace
