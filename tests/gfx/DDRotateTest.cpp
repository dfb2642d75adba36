#include "EffectTest.h"
#include "gfx/DDRotate.h"

namespace {

using namespace gfxtest;
using DDRotateTest = EffectFixture;

// A pixel value drawn opaque in the mode (textures carry alpha).
std::uint32_t Opaque(Mode m, std::uint32_t v) {
  return m == Mode::D3D32 ? 0xFF000000u | v : m == Mode::D3D16 ? 0x8000u | v : v;
}

TEST_F(DDRotateTest, QuarterTurnsAboutTheMiddle) {
  struct Case {
    int angle;
    const char* block;
  };
  // Source a b c / d e f / g h i, turned clockwise on the screen.
  const Case cases[] = {{0, "abc/def/ghi"},   {90, "gda/heb/ifc"},  {180, "ihg/fed/cba"},
                        {270, "cfi/beh/adg"}, {-90, "cfi/beh/adg"}, {360, "abc/def/ghi"}};
  struct Path {
    Mode mode;
    bool system;  // Direct3D: the pixel loop instead of the quad
  };
  for (const Path& path : {Path{Mode::DD8, false}, Path{Mode::DD32, false}, Path{Mode::D3D32, true},
                           Path{Mode::D3D32, false}, Path{Mode::D3D16, false}}) {
    const Mode m = path.mode;
    Reopen(m);
    DDSURFACEDATA* src = Make(5, 5, path.system);
    // The block sits at (1, 1) of the source, inside a frame of other pixels.
    Paint(src, [&](int x, int y) -> std::uint32_t {
      const bool in = x >= 1 && x <= 3 && y >= 1 && y <= 3;
      return Opaque(m, in ? std::uint32_t((y - 1) * 3 + (x - 1) + 1) : 20);
    });
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + (path.system ? " pixels " : " ") + std::to_string(c.angle));
      DDSURFACEDATA* dst = Make(11, 11);
      EXPECT_TRUE(DDBltRotate(dst, 5, 5, 3, 3, 1, 1, c.angle, src, 1, 1, 0));
      cSurfaceLock l(dst);
      std::string block;
      for (int y = 4; y <= 6; ++y) {
        for (int x = 4; x <= 6; ++x) block += Letter(pix::getRaw(*l.m_lpSurface, x, y) & 0x1F);
        if (y < 6) block += "/";
      }
      EXPECT_EQ(block, c.block);
      l.Unlock();
      // The margin of the loop finds no source pixel: nothing else is written.
      EXPECT_EQ(Changed(dst, 0), 9);
    }
  }
}

TEST_F(DDRotateTest, ThirtyDegreesByTheScaledSineAndCosine) {
  ASSERT_TRUE(Open(Mode::DD32));
  // S = 511 and C = 886 (the radians factor is a little below pi / 180).
  DDSURFACEDATA* src = Make(9, 9);
  Paint(src, [](int x, int y) { return std::uint32_t(0x10000 | y << 8 | x); });
  DDSURFACEDATA* dst = Make(41, 41);
  EXPECT_TRUE(DDBltRotate(dst, 20, 20, 9, 9, 4, 4, 30, src, 0, 0, 0));
  struct Point {
    int dx, dy, sx, sy;
  };
  // (4, 0): u = (886 * 4) >> 10 = 3, v = (-511 * 4) >> 10 = -2 (the shift rounds down).
  const Point points[] = {{0, 0, 4, 4}, {4, 0, 7, 2}, {0, 4, 5, 7}, {-3, 2, 2, 7}};
  for (const Point& p : points)
    EXPECT_EQ(Px(dst, 20 + p.dx, 20 + p.dy), std::uint32_t(0x10000 | p.sy << 8 | p.sx)) << p.dx << "," << p.dy;
  // Far outside the turned square nothing is drawn.
  EXPECT_EQ(Px(dst, 20 + 7, 20 + 7), 0u);
}

TEST_F(DDRotateTest, TransparentPixelsAndTheDrawMode) {
  // Pixel loops: flags 1 leaves out the transparent value (0 under Direct3D).
  struct Case {
    Mode mode;
    std::uint32_t transparent;
  };
  for (const Case& c : {Case{Mode::DD32, 0x00FF00FF}, Case{Mode::DD16, 0xF81F}, Case{Mode::D3D32, 0}}) {
    SCOPED_TRACE(Name(c.mode));
    Reopen(c.mode);
    g_TransmitPixel = c.transparent;
    DDSURFACEDATA* src = Make(2, 2, IsD3D(c.mode));
    Paint(src, [&](int x, int) { return x == 0 ? c.transparent : 0x1234u; });
    DDSURFACEDATA* dst = Make(4, 4);
    PaintAll(dst, 0x7);
    DDBltRotate(dst, 2, 2, 2, 2, 1, 1, 0, src, 0, 0, 1);
    EXPECT_EQ(Changed(dst, 0x7), 2);
    DDBltRotate(dst, 2, 2, 2, 2, 1, 1, 0, src, 0, 0, 0);
    EXPECT_EQ(Changed(dst, 0x7), 4);
  }
  // Quads: the texel's alpha and the draw colour, whatever the flags.
  Reopen(Mode::D3D32);
  DDSURFACEDATA* src = Make(2, 2);
  Paint(src, [](int x, int) { return x == 0 ? 0u : 0xFFFFFFFFu; });
  DDSURFACEDATA* dst = Make(4, 4);
  PaintAll(dst, 0xFF000007);
  DDSetDrawColor(0xFF808080);
  DDBltRotate(dst, 2, 2, 2, 2, 1, 1, 90, src, 0, 0, 0);
  DDResetDrawColor();
  EXPECT_EQ(Changed(dst, 0xFF000007), 2);
  // Turned by 90 the opaque right column becomes the bottom row.
  EXPECT_EQ(Px(dst, 2, 2) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(Px(dst, 3, 2) & 0xFFFFFF, 0x808080u);
}

TEST_F(DDRotateTest, ClippedAtTheEdgesAndAnyCentre) {
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD24, Mode::DD32, Mode::D3D16, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    // The whole screen turned by 30 degrees about its middle stays inside the target, and
    // the middle stays in place.
    DDSURFACEDATA* src = Make(640, 480);
    Paint(src, [&](int x, int y) { return Opaque(m, std::uint32_t((x + y) % 200 + 1)); });
    DDSURFACEDATA* dst = Make(640, 480);
    EXPECT_TRUE(DDBltRotate(dst, 320, 240, 640, 480, 320, 240, 30, src, 0, 0, 0));
    EXPECT_EQ(Px(dst, 320, 240) & 0xFF, m == Mode::DD24 ? 0u : 161u);
    // Off the top-left corner: only what lands inside is drawn (columns 0 to 2, rows 0 and 1).
    DDSURFACEDATA* small = Make(4, 4);
    EXPECT_TRUE(DDBltRotate(small, 0, 0, 4, 4, 2, 2, 90, src, 0, 0, 0));
    EXPECT_EQ(Changed(small, 0), m == Mode::DD24 ? 0 : 6);
    // A centre outside the rectangle: a quarter turn still draws every pixel.
    DDSURFACEDATA* wide = Make(20, 20);
    EXPECT_TRUE(DDBltRotate(wide, 10, 10, 3, 3, -2, 5, 90, src, 0, 0, 0));
    EXPECT_EQ(Changed(wide, 0), m == Mode::DD24 ? 0 : 9);
  }
}

}  // namespace
