#include "EffectTest.h"
#include "gfx/DDFadeTint.h"

namespace {

using namespace gfxtest;
using DDFadeTintTest = EffectFixture;

TEST_F(DDFadeTintTest, FadeWithoutPaletteMixesTheCopyTowardTheColour) {
  struct Case {
    Mode mode;
    int weight;
    std::uint8_t r, g, b;
    std::uint32_t src, dst, expected;
  };
  // 32 bits: (colour * (256 - w) + w * source) >> 8 per byte, byte 3 of the target kept.
  // 16 bits: through 8-bit units: red 15 -> 123, (255 * 128 + 128 * 123) >> 8 = 189 -> 22;
  // at weight 256 only the round trip is left (15 -> 14, a 6-bit 31 -> 125 -> 30).
  const Case cases[] = {
      {Mode::DD32, 256, 10, 20, 30, 0x00C86432, 0xAB000000, 0xABC86432},
      {Mode::DD32, 0, 10, 20, 30, 0x00C86432, 0xAB000000, 0xAB0A141E},
      {Mode::DD32, 128, 0, 0, 0, 0x00C80000, 0x00000000, 0x00640000},
      {Mode::DD16, 128, 255, 255, 255, 15u << 11, 0, 22u << 11 | 31u << 5 | 15u},
      {Mode::DD16, 256, 0, 0, 0, 15u << 11 | 31u << 5, 0, 14u << 11 | 30u << 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + " weight " + std::to_string(c.weight));
    Reopen(c.mode);
    DDSURFACEDATA* src = Make(3, 2);
    DDSURFACEDATA* dst = Make(3, 2);
    PaintAll(src, c.src);
    PaintAll(dst, c.dst);
    EXPECT_EQ(DDFade_UnPal(dst, c.weight, c.r, c.g, c.b, src), 1);
    EXPECT_EQ(Px(dst, 2, 1), c.expected);
  }
  // 8 and 24 bits change nothing; Direct3D reports the call as unsupported and draws nothing.
  for (Mode m : {Mode::DD8, Mode::DD24, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    DDSURFACEDATA* src = Make(3, 2);
    DDSURFACEDATA* dst = Make(3, 2);
    PaintAll(src, 0x40);
    EXPECT_EQ(DDFade_UnPal(dst, 0, 1, 2, 3, src), 1);
    EXPECT_EQ(Changed(dst, 0), 0);
  }
}

TEST_F(DDFadeTintTest, FadeReadsOnlyWhereTheCopyCoversTheTarget) {
  ASSERT_TRUE(Open(Mode::DD32));
  DDSURFACEDATA* src = Make(2, 2);
  DDSURFACEDATA* dst = Make(4, 4);
  PaintAll(src, 0x00FFFFFF);
  EXPECT_EQ(DDFade_UnPal(dst, 256, 0, 0, 0, src), 1);
  EXPECT_EQ(Changed(dst, 0), 4);
}

TEST_F(DDFadeTintTest, Direct3DTintQuadCoversTheWholeSurface) {
  ASSERT_TRUE(Open(Mode::D3D32));
  struct Case {
    int alpha;
    std::uint32_t expected;  // over 0x000000 with the colour (255, 255, 255)
  };
  // The quad's alpha is 255 - nAlpha: 255 leaves the picture, 0 paints the colour.
  const Case cases[] = {{255, 0x000000}, {0, 0xFFFFFF}, {128, 0x7F7F7F}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alpha);
    PaintAll(&BackBuffer, 0xFF000000);
    EXPECT_EQ(DDChangeColor(&BackBuffer, 10, 10, 4, 4, c.alpha, 255, 255, 255), 1);
    // The rectangle is not used on this path: the far corner is tinted too.
    EXPECT_EQ(Px(&BackBuffer, 639, 479) & 0xFFFFFF, c.expected);
  }
}

TEST_F(DDFadeTintTest, Direct3DTintPixelLoopUnderTheVirtualBackBuffer) {
  struct Case {
    Mode mode;
    int alpha;
    std::uint32_t before, expected;
  };
  // 32 bits: (p * a + colour * (256 - a)) >> 8, byte 3 set. 16 bits in field units with
  // the colour taken down (100 -> 12, 50 -> 6): (16 * 64 + 192 * 12) >> 8 = 13.
  const Case cases[] = {
      {Mode::D3D32, 128, 0x00C80000, 0xFF961932},
      {Mode::D3D32, 256, 0x00C80000, 0xFFC80000},
      {Mode::D3D32, 0, 0x00C80000, 0xFF643264},
      {Mode::D3D16, 64, 0x8000u | 16u << 10, 0x8000u | 13u << 10 | 4u << 5 | 9u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + " alpha " + std::to_string(c.alpha));
    Reopen(c.mode);
    DDSetVirBackBuffer(true);
    PaintAll(&VirBackBuffer, c.before);
    EXPECT_EQ(DDChangeColor(&BackBuffer, 10, 10, 4, 4, c.alpha, 100, 50, 100), 1);
    EXPECT_EQ(Px(&VirBackBuffer, 13, 13), c.expected);
    // Only the rectangle changes on this path.
    EXPECT_EQ(Px(&VirBackBuffer, 14, 13), c.before);
    EXPECT_EQ(Changed(&VirBackBuffer, c.before), 16);
    // A rectangle running off the surface is cut at its edges.
    DDChangeColor(&BackBuffer, 636, 476, 10, 10, c.alpha, 100, 50, 100);
    EXPECT_EQ(Changed(&VirBackBuffer, c.before), 32);
    DDSetVirBackBuffer(false);
  }
}

TEST_F(DDFadeTintTest, DirectDrawTintIsUnsupported) {
  ASSERT_TRUE(Open(Mode::DD32));
  PaintAll(&BackBuffer, 0x123456);
  EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 640, 480, 0, 255, 255, 255), 1);
  EXPECT_EQ(Changed(&BackBuffer, 0x123456), 0);
}

}  // namespace
