#include "EffectTest.h"
#include "gfx/DDBlurMosaic.h"

namespace {

using namespace gfxtest;
using DDBlurMosaicTest = EffectFixture;

std::uint16_t P565(int r, int g, int b) { return std::uint16_t(r << 11 | g << 5 | b); }

// The blur as defined, pixel by pixel: the 2hr x 2vr box from (-hr, -vr) to (hr - 1,
// vr - 1), samples inside the rectangle only, transparent ones left out with flags 1.
std::vector<std::uint32_t> ReferenceBlur(const std::vector<std::uint32_t>& src, int srcW,
                                         const std::vector<std::uint32_t>& dst, int dstW, int x, int y, int w, int h,
                                         int hr, int vr, int sx, int sy, bool keyed, std::uint32_t key) {
  std::vector<std::uint32_t> out = dst;
  auto at = [&](int c, int k) { return src[static_cast<std::size_t>(sy + k) * srcW + sx + c]; };
  for (int k = 0; k < h; ++k)
    for (int c = 0; c < w; ++c) {
      if (keyed && at(c, k) == key) continue;
      std::uint64_t sum[3] = {0, 0, 0}, n = 0;
      for (int i = -vr; i < vr; ++i)
        for (int j = -hr; j < hr; ++j) {
          if (k + i < 0 || k + i >= h || c + j < 0 || c + j >= w) continue;
          const std::uint32_t p = at(c + j, k + i);
          if (keyed && p == key) continue;
          for (int b = 0; b < 3; ++b) sum[b] += (p >> (8 * b)) & 255;
          ++n;
        }
      if (n == 0) continue;
      std::uint32_t& d = out[static_cast<std::size_t>(y + k) * dstW + x + c];
      d = (d & 0xFF000000u) | std::uint32_t(sum[2] / n) << 16 | std::uint32_t(sum[1] / n) << 8 |
          std::uint32_t(sum[0] / n);
    }
  return out;
}

TEST_F(DDBlurMosaicTest, BlurAveragesTheBoxWithinTheRectangle) {
  ASSERT_TRUE(Open(Mode::DD32));
  const std::uint32_t key = 0x00FF00FF;
  g_TransmitPixel = key;
  // A 9 x 7 rectangle inside a 13 x 11 source whose border is white: none of it may be sampled.
  DDSURFACEDATA* src = Make(13, 11);
  Paint(src, [&](int x, int y) -> std::uint32_t {
    if (x < 2 || y < 2 || x >= 11 || y >= 9) return 0x00FFFFFF;
    if ((x * 7 + y * 3) % 11 == 0) return key;
    return std::uint32_t((x * 37 + y * 11) % 256) << 16 | std::uint32_t((x * y * 5) % 256) << 8 |
           std::uint32_t((x + 90 * y) % 256);
  });
  struct Case {
    int hr, vr, flags;
  };
  const Case cases[] = {{1, 1, 0}, {2, 1, 0}, {1, 3, 1}, {3, 3, 1}, {2, 5, 0}, {20, 20, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hr) + " x " + std::to_string(c.vr) + " flags " + std::to_string(c.flags));
    DDSURFACEDATA* dst = Make(12, 10);
    PaintAll(dst, 0x7F000001);
    const std::vector<std::uint32_t> expected =
        ReferenceBlur(Grab(src), 13, Grab(dst), 12, 1, 2, 9, 7, c.hr, c.vr, 2, 2, c.flags == 1, key);
    EXPECT_TRUE(DDBlur(dst, 1, 2, 9, 7, c.hr, c.vr, src, 2, 2, c.flags));
    EXPECT_EQ(Grab(dst), expected);
  }
}

TEST_F(DDBlurMosaicTest, BlurSmallBoxes) {
  ASSERT_TRUE(Open(Mode::DD32));
  DDSURFACEDATA* src = Make(4, 2);
  const std::uint32_t b[8] = {0, 100, 40, 8, 200, 40, 12, 255};
  Paint(src, [&](int x, int y) { return b[y * 4 + x]; });
  DDSURFACEDATA* dst = Make(4, 2);
  // Radius 1: the pixel, its left, upper and upper-left neighbours: (0 + 100 + 200 + 40) / 4.
  DDBlur(dst, 0, 0, 4, 2, 1, 1, src, 0, 0, 0);
  EXPECT_EQ(Px(dst, 1, 1), 85u);
  // Radius 2 at the left edge: columns 0 and 1 only, rows 0 and 1: 340 / 4; at the right
  // edge columns 1 to 3.
  DDBlur(dst, 0, 0, 4, 2, 2, 2, src, 0, 0, 0);
  EXPECT_EQ(Px(dst, 0, 0), 85u);
  EXPECT_EQ(Px(dst, 3, 0), (100u + 40 + 8 + 40 + 12 + 255) / 6);
}

TEST_F(DDBlurMosaicTest, SixteenBitBlurAveragesFields) {
  struct Case {
    Mode mode;
    bool fullScreen;
    std::uint32_t expected;
  };
  // Fields (10, 20, 4) and (20, 30, 7) average to (15, 25, 5) without going to 8-bit
  // units; onto the 5-6-5 screen G is doubled.
  const Case cases[] = {{Mode::DD16, false, P565(15, 25, 5)},
                        {Mode::D3D16, false, 0x8000u | 15u << 10 | 25u << 5 | 5u},
                        {Mode::D3D16, true, P565(15, 50, 5)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(Name(c.mode)) + (c.fullScreen ? " full screen" : ""));
    Reopen(c.mode, !c.fullScreen);
    const bool d3d = IsD3D(c.mode);
    auto px = [&](int r, int g, int b) { return d3d ? 0x8000u | r << 10 | g << 5 | b : std::uint32_t(P565(r, g, b)); };
    DDSURFACEDATA* src = Make(2, 1);
    Paint(src, [&](int x, int) { return x == 0 ? px(10, 20, 4) : px(20, 30, 7); });
    DDSURFACEDATA* dst = c.fullScreen ? &BackBuffer : Make(2, 1);
    DDBlur(dst, 0, 0, 2, 1, 1, 1, src, 0, 0, 0);
    EXPECT_EQ(Px(dst, 1, 0), c.expected);
  }
}

TEST_F(DDBlurMosaicTest, BlurDrawsNothingWhereItCannot) {
  for (Mode m : {Mode::DD8, Mode::DD24, Mode::DD32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    DDSURFACEDATA* src = Make(4, 4);
    PaintAll(src, 0x40);
    DDSURFACEDATA* dst = Make(4, 4);
    EXPECT_TRUE(DDBlur(dst, 0, 0, 4, 4, 0, 2, src, 0, 0, 0));  // radius 0
    EXPECT_EQ(Changed(dst, 0), 0);
    EXPECT_TRUE(DDBlur(dst, 0, 0, 4, 4, 2, 2, src, 0, 0, 0));
    EXPECT_EQ(Changed(dst, 0), m == Mode::DD32 ? 16 : 0);  // no 8-bit or 24-bit blur
  }
  // Rows and columns outside the destination are left out.
  DDSURFACEDATA* src = Make(8, 8);
  PaintAll(src, 0x40);
  DDSURFACEDATA* dst = Make(4, 4);
  EXPECT_TRUE(DDBlur(dst, -2, -3, 8, 8, 2, 2, src, 0, 0, 0));
  EXPECT_EQ(Changed(dst, 0), 16);
}

TEST_F(DDBlurMosaicTest, MosaicBlocksAndTheirColours) {
  ASSERT_TRUE(Open(Mode::DD32));
  // Blue = column, green = row: each block's colour is the truncated mean of both.
  DDSURFACEDATA* src = Make(10, 10);
  Paint(src, [](int x, int y) { return std::uint32_t(y << 8 | x); });
  DDSURFACEDATA* dst = Make(10, 10);
  PaintAll(dst, 0xAB000000);
  EXPECT_TRUE(DDMosaic(dst, 0, 0, 10, 10, 4, src, 0, 0, 0));
  // Blocks of 4, 4 and 2 along each axis: means 1.5, 5.5 and 8.5.
  const int mean[10] = {1, 1, 1, 1, 5, 5, 5, 5, 8, 8};
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(Px(dst, x, y), 0xAB000000u | std::uint32_t(mean[y]) << 8 | std::uint32_t(mean[x])) << x << "," << y;
}

TEST_F(DDBlurMosaicTest, MosaicPerModeAndDepth) {
  struct Case {
    const char* what;
    Mode mode;
    bool fullScreen;
    std::uint32_t transparent;
    std::uint32_t px[4];  // the 2 x 2 source block, row by row
    int flags;
    std::uint32_t expected;  // the block's colour; `background` when not drawn
  };
  const std::uint32_t background = 0x1;
  const Case cases[] = {
      {"dd8 top-left", Mode::DD8, false, 0, {5, 6, 7, 8}, 0, 5},
      {"dd8 transparent corner", Mode::DD8, false, 5, {5, 6, 7, 8}, 1, background},
      // 16-bit DirectDraw averages in 8-bit units: red 0, 255, 0, 255 -> 127 -> 15.
      {"dd16 average", Mode::DD16, false, 0xFFFF, {0, 31u << 11, 0, 31u << 11}, 0, 15u << 11},
      {"dd16 transparent left out", Mode::DD16, false, 0, {0, 31u << 11, 0, 31u << 11}, 1, 31u << 11},
      // Direct3D at 16 bits repeats the top-left texel (G doubled onto the 5-6-5 screen).
      {"d3d16 top-left", Mode::D3D16, false, 0, {0x8000u | 9u << 5, 0xFFFF, 0xFFFF, 0xFFFF}, 0, 0x8000u | 9u << 5},
      {"d3d16 screen", Mode::D3D16, true, 0, {0x8000u | 9u << 5, 0xFFFF, 0xFFFF, 0xFFFF}, 0, 18u << 5},
      {"dd32 average", Mode::DD32, false, 0x00FF00FF, {0x000000FF, 0x00000000, 0x00000001, 0x00000002}, 0, 0x40},
      {"dd32 all transparent",
       Mode::DD32,
       false,
       0x00FF00FF,
       {0x00FF00FF, 0x00FF00FF, 0x00FF00FF, 0x00FF00FF},
       1,
       background},
      // A block averaging to the transparent colour is left out under DirectDraw...
      {"dd32 averages to transparent",
       Mode::DD32,
       false,
       0x00000002,
       {0x00000001, 0x00000003, 0x00000002, 0x00000002},
       1,
       background},
      // ... while under Direct3D an average of usable texels is never transparent.
      {"d3d32 averages to black", Mode::D3D32, false, 0, {0xFF000000, 0xFF000000, 0, 0xFF000000}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reopen(c.mode, !c.fullScreen);
    g_TransmitPixel = c.transparent;
    DDSURFACEDATA* src = Make(2, 2, IsD3D(c.mode));
    Paint(src, [&](int x, int y) { return c.px[y * 2 + x]; });
    DDSURFACEDATA* dst = c.fullScreen ? &BackBuffer : Make(2, 2);
    PaintAll(dst, background);
    EXPECT_TRUE(DDMosaic(dst, 0, 0, 2, 2, 2, src, 0, 0, c.flags));
    EXPECT_EQ(Px(dst, 1, 1), c.expected);
  }
}

TEST_F(DDBlurMosaicTest, MosaicKeepsInsideTheDestination) {
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD24, Mode::DD32, Mode::D3D16, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    DDSURFACEDATA* src = Make(8, 8);
    PaintAll(src, 0x40);
    DDSURFACEDATA* dst = Make(4, 4);
    EXPECT_TRUE(DDMosaic(dst, -3, -2, 8, 8, 3, src, 0, 0, 0));
    EXPECT_EQ(Changed(dst, 0), m == Mode::DD24 ? 0 : 16);
    DDSURFACEDATA* none = Make(4, 4);
    EXPECT_TRUE(DDMosaic(none, 0, 0, 4, 4, 0, src, 0, 0, 0));
    EXPECT_TRUE(DDMosaic(none, 0, 0, 4, 4, -2, src, 0, 0, 0));
    EXPECT_EQ(Changed(none, 0), 0);
  }
}

}  // namespace
