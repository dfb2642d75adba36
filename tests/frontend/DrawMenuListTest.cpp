// The menu box of system texts drawn in font 1 on the back buffer, read back by pixel.
#include "gfx/GfxTest.h"

#include "frontend/MenuHelpers.h"
#include "gamedata/System.h"
#include "gfx/Font.h"

namespace {

using namespace gfxtest;

class DrawMenuListTest : public GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    ASSERT_TRUE(Open(Mode::DD32));
    g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
    g_Palette[240] = PALETTEENTRY{1, 2, 3, 0};
    ASSERT_TRUE(DDCreateSurface(&frame_, 640, 480, 0, 0, 0, 0, false));
    DDFillRectColor(&frame_, 0, 0, 640, 480, kPicture);
    g_Fonts[1].Create("ＭＳ ゴシック", 0, 15, 16, 16, 241, &frame_, 1, 240, nullptr);
    DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0);
    g_System.SetDefaults();
  }
  void TearDown() override {
    g_Fonts[1].Release();
    DDReleaseSurface(&frame_);
    g_System.SetDefaults();
    GfxFixture::TearDown();
  }

  // Pixels of the back buffer other than black, the frame's picture and its border.
  struct Ink {
    int n = 0, x0 = 1 << 30, x1 = -1, y0 = 1 << 30, y1 = -1;
  };
  static Ink GlyphInk() {
    Ink ink;
    cSurfaceLock l(&BackBuffer);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        const std::uint32_t p = pix::getRaw(*l.m_lpSurface, x, y);
        if (p == 0 || p == kPicture || p == kBorder) continue;
        ++ink.n;
        ink.x0 = std::min(ink.x0, x);
        ink.x1 = std::max(ink.x1, x);
        ink.y0 = std::min(ink.y0, y);
        ink.y1 = std::max(ink.y1, y);
      }
    return ink;
  }

  static constexpr std::uint32_t kPicture = 0x0000AA;
  static constexpr std::uint32_t kBorder = 0x010203;
  DDSURFACEDATA frame_;
};

TEST_F(DrawMenuListTest, BoxHoldsTheTextsInSixteenPixelCells) {
  // Texts 10 and 11 have 7 characters each: 7 (8 with the cursor column) x 16 wide, 2 x 16 high.
  struct Case {
    int withCursor;
    int width;
  };
  for (const Case& c : {Case{0, 112}, Case{1, 128}}) {
    SCOPED_TRACE(c.withCursor);
    DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0);
    DrawMenuList(100, 50, 10, 2, c.withCursor);
    // The border of thickness 1 lies just outside the box.
    EXPECT_EQ(Px(&BackBuffer, 99, 49), kBorder);
    EXPECT_EQ(Px(&BackBuffer, 100 + c.width, 50 + 32), kBorder);
    EXPECT_EQ(Px(&BackBuffer, 100 + c.width + 1, 50 + 33), 0u);
    EXPECT_EQ(Px(&BackBuffer, 100 + c.width - 1, 50 + 31), kPicture);
    const Ink ink = GlyphInk();
    ASSERT_GT(ink.n, 50);
    EXPECT_GE(ink.x0, c.withCursor ? 116 : 100);  // the cursor's column stays empty
    EXPECT_LT(ink.x1, 100 + c.width);
    EXPECT_GE(ink.y0, 49);
    EXPECT_GE(ink.y1, 66);  // the second line is drawn below the first
    EXPECT_LT(ink.y1, 82);
  }
}

TEST_F(DrawMenuListTest, NoTextsDrawNothing) {
  DrawMenuList(100, 50, 10, 0, 1);
  EXPECT_EQ(GlyphInk().n, 0);
  EXPECT_EQ(Px(&BackBuffer, 99, 49), 0u);
  EXPECT_EQ(Px(&BackBuffer, 100, 50), 0u);
}

}  // namespace
