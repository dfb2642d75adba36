#include <cmath>

#include "EffectTest.h"
#include "gfx/DDCircleLens.h"
#include "gfx/DDEffectPixels.h"

namespace {

using namespace gfxtest;
using DDCircleLensTest = EffectFixture;

// Drawn columns of each row of an 8-bit surface as "first..last" (empty rows left out).
std::vector<std::string> Rows(DDSURFACEDATA* s, int y0, int y1) {
  std::vector<std::string> out;
  cSurfaceLock l(s);
  for (int y = y0; y < y1; ++y) {
    int first = -1, last = -1, count = 0;
    for (int x = 0; x < s->nWidth; ++x)
      if (pix::getRaw(*l.m_lpSurface, x, y)) {
        if (first < 0) first = x;
        last = x;
        ++count;
      }
    if (count) out.push_back(std::to_string(y) + ":" + std::to_string(first) + ".." + std::to_string(last));
  }
  return out;
}

TEST_F(DDCircleLensTest, CircleStrips) {
  struct Span {
    int y0, y1, x0, x1;  // rows y0..y1 drawn from column x0 to x1
  };
  struct Case {
    const char* what;
    int halfW, halfH, radius, step, sx;
    std::vector<Span> spans;
  };
  const Case cases[] = {
      // Radius 3: rows -3..2 with half chords 0, 2, 2, 2 (the middle lowered from 3), 2, 2.
      {"radius 3", 100, 100, 3, 1, 20, {{18, 22, 18, 21}}},
      // The source's left edge (centre at column 1) cuts every strip to start at column 0.
      {"source edge", 100, 100, 3, 1, 1, {{18, 22, 19, 21}}},
      {"half width", 1, 100, 3, 1, 20, {{18, 22, 19, 20}}},
      {"half height 1", 100, 1, 3, 1, 20, {{19, 20, 18, 21}}},
      // Step 4, radius 10: strips from offsets -10, -6, -2, 2, 6 with half chords taken at
      // -8, -4, 0, 4, 8: 6, 9, 9 (lowered from 10), 9, 6.
      {"step 4", 100, 100, 10, 4, 20, {{10, 13, 14, 25}, {14, 25, 11, 28}, {26, 29, 14, 25}}},
  };
  for (Mode m : {Mode::DD8, Mode::D3D32}) {
    Reopen(m);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + " " + c.what);
      DDSURFACEDATA* src = Make(40, 40);
      PaintAll(src, IsD3D(m) ? 0xFF000001u : 1u);
      DDSURFACEDATA* dst = Make(40, 40);
      EXPECT_NE(DDBltCircle(dst, 20, 20, c.halfW, c.halfH, c.radius, c.step, src, c.sx, 20, 0), 0);
      std::vector<std::string> expected;
      for (const Span& sp : c.spans)
        for (int y = sp.y0; y <= sp.y1; ++y)
          expected.push_back(std::to_string(y) + ":" + std::to_string(sp.x0) + ".." + std::to_string(sp.x1));
      EXPECT_EQ(Rows(dst, 0, 40), expected);
    }
    DDSURFACEDATA* src = Make(8, 8);
    DDSURFACEDATA* dst = Make(8, 8);
    PaintAll(src, 1);
    EXPECT_EQ(DDBltCircle(dst, 4, 4, 4, 4, 0, 1, src, 4, 4, 0), 0);
    EXPECT_EQ(DDBltCircle(dst, 4, 4, 4, 4, 3, 0, src, 4, 4, 0), 0);
    EXPECT_EQ(Changed(dst, 0), 0);
  }
}

TEST_F(DDCircleLensTest, LensOverAKnownPicture) {
  ASSERT_TRUE(Open(Mode::DD32));
  g_TransmitPixel = 0xFFFFFFFF;
  DDSURFACEDATA* src = Make(640, 480);
  Paint(src, [](int x, int y) { return std::uint32_t(x << 12 | y); });
  auto at = [](int x, int y) { return std::uint32_t(x << 12 | y); };
  struct Point {
    int i, j, u, v;  // destination offset and the source offset it shows
  };
  // Distance 10, radius 10: L = 14; u = trunc(i * 10 / sqrt(196 - i * i - j * j) + 0.5).
  const Point strong[] = {{0, 0, 0, 0}, {5, 0, 4, 0}, {-5, 0, -3, 0}, {10, 0, 10, 0}, {7, 7, 7, 7}, {0, -6, 0, -4}};
  DDSURFACEDATA* dst = Make(200, 200);
  EXPECT_TRUE(DDBltRadial(dst, 100, 100, 10, 10, src, 300, 200, 0));
  for (const Point& p : strong) EXPECT_EQ(Px(dst, 100 + p.i, 100 + p.j), at(300 + p.u, 200 + p.v)) << p.i << "," << p.j;
  EXPECT_EQ(Px(dst, 111, 100), 0u);  // outside the disc
  EXPECT_EQ(Px(dst, 108, 107), 0u);
  // Distance 0: every point takes the centre, except rim points where s is 0 (3, 4).
  DDSURFACEDATA* flat = Make(200, 200);
  EXPECT_TRUE(DDBltRadial(flat, 100, 100, 5, 0, src, 300, 200, 0));
  EXPECT_EQ(Px(flat, 101, 99), at(300, 200));
  EXPECT_EQ(Px(flat, 103, 104), at(303, 204));
  EXPECT_EQ(Px(flat, 95, 100), at(295, 200));
}

TEST_F(DDCircleLensTest, LensLimits) {
  ASSERT_TRUE(Open(Mode::DD32));
  g_TransmitPixel = 0x00FF00FF;
  DDSURFACEDATA* src = Make(700, 480);
  Paint(src, [](int x, int) { return x == 300 ? 0x00FF00FFu : 0x40u; });
  DDSURFACEDATA* dst = Make(40, 40);
  // L must exceed the distance: with distance 100, radius 14 gives L = 100, 15 gives 101.
  EXPECT_FALSE(DDBltRadial(dst, 20, 20, 14, 100, src, 320, 240, 0));
  EXPECT_EQ(Changed(dst, 0), 0);
  EXPECT_TRUE(DDBltRadial(dst, 20, 20, 15, 100, src, 320, 240, 0));
  EXPECT_GT(Changed(dst, 0), 0);
  EXPECT_FALSE(DDBltRadial(dst, 20, 20, -1, 100, src, 320, 240, 0));
  EXPECT_FALSE(DDBltRadial(dst, 20, 20, 5, -1, src, 320, 240, 0));
  // Transparent source pixels are always left out; points beyond the display (x 640 of
  // this wider source) too.
  // (Distance 10, radius 5: L = 11; offsets 1 and 2 read 1 and 2 columns away.)
  DDSURFACEDATA* a = Make(40, 40);
  DDBltRadial(a, 20, 20, 5, 10, src, 300, 240, 1);
  EXPECT_EQ(Px(a, 20, 20), 0u);
  EXPECT_EQ(Px(a, 21, 20), 0x40u);
  DDSURFACEDATA* b = Make(40, 40);
  DDBltRadial(b, 20, 20, 5, 10, src, 638, 240, 0);
  EXPECT_EQ(Px(b, 21, 20), 0x40u);
  EXPECT_EQ(Px(b, 22, 20), 0u);
  // A source smaller than the display is read only where it has pixels.
  DDSURFACEDATA* tiny = Make(10, 10);
  PaintAll(tiny, 0x40);
  DDSURFACEDATA* c = Make(40, 40);
  DDBltRadial(c, 20, 20, 5, 10, tiny, 8, 8, 0);
  EXPECT_EQ(Px(c, 21, 21), 0x40u);
  EXPECT_EQ(Px(c, 22, 20), 0u);
  // The screen's edges clip the disc.
  for (Mode m : {Mode::DD8, Mode::DD16, Mode::DD24, Mode::D3D16, Mode::D3D32}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    DDSURFACEDATA* s = Make(64, 64);
    PaintAll(s, IsD3D(m) ? 0x8040u : 0x40u);
    DDSURFACEDATA* d = Make(8, 8);
    EXPECT_TRUE(DDBltRadial(d, 1, 1, 20, 30, s, 32, 32, 0));
    EXPECT_EQ(Changed(d, 0), m == Mode::DD24 ? 0 : 64);
  }
}

// Every pixel of large lenses, clipped by the screen's edges on every side, against the
// formula worked pixel by pixel: L = trunc(sqrt(d * d + r * r)), s = sqrt(L * L - i * i -
// j * j), the source offset (i, j) when s is 0, else trunc(i * d / s + 0.5) and
// trunc(j * d / s + 0.5); points off the 640 x 480 display and transparent points are
// left out.
TEST_F(DDCircleLensTest, LensMatchesTheFormulaAtEveryPixel) {
  struct Case {
    int x, y, radius, distance, sx, sy;
  };
  const Case cases[] = {
      {320, 240, 452, 200, 320, 240},    // the full-screen lens effect's disc
      {600, 30, 700, 37, 100, 400},      // centre near a corner, source centre elsewhere
      {-40, 520, 300, 90, -40, 520},     // centre off the screen
      {17, 5, 9, 4, 633, 2},             // a small disc reading past the display's edges
      {100, 100, 42, 84, 320, 240},      // offsets whose i * d / s + 0.5 lies within a rounding of an integer
      {320, 240, 5000, 3000, 300, 200},  // a lens far larger than the screen
  };
  for (Mode m : {Mode::DD32, Mode::DD16, Mode::DD8}) {
    SCOPED_TRACE(Name(m));
    Reopen(m);
    const std::uint32_t mask = m == Mode::DD32 ? 0xFFFFFFu : m == Mode::DD16 ? 0xFFFFu : 0xFFu;
    g_TransmitPixel = 7;
    const std::uint32_t key = ddfx::TransparentValue();
    auto paint = [&](int px, int py) {
      const std::uint32_t v = std::uint32_t(px * 4099 + py * 31 + 1) & mask;
      return (px + 3 * py) % 11 == 0 ? key : v == key ? v ^ 1u : v;
    };
    DDSURFACEDATA* src = Make(640, 480);
    Paint(src, paint);
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "centre " << c.x << "," << c.y << " radius " << c.radius);
      DDSURFACEDATA* dst = Make(640, 480);
      const std::uint32_t marker = 3;
      PaintAll(dst, marker);
      ASSERT_TRUE(DDBltRadial(dst, c.x, c.y, c.radius, c.distance, src, c.sx, c.sy, 0));
      const std::vector<std::uint32_t> got = Grab(dst);
      const double L = std::trunc(std::sqrt(double(c.distance) * c.distance + double(c.radius) * c.radius));
      int nDrawn = 0, nWrong = 0;
      for (int py = 0; py < 480; ++py)
        for (int px = 0; px < 640; ++px) {
          const long long i = px - c.x, j = py - c.y;
          std::uint32_t want = marker;
          if (i * i + j * j <= static_cast<long long>(c.radius) * c.radius) {
            const double s = std::sqrt(L * L - double(i * i + j * j));
            long long u = i, v = j;
            if (s != 0) {
              u = static_cast<long long>(double(i) * c.distance / s + 0.5);
              v = static_cast<long long>(double(j) * c.distance / s + 0.5);
            }
            const long long qx = c.sx + u, qy = c.sy + v;
            if (qx >= 0 && qx < 640 && qy >= 0 && qy < 480 && paint(int(qx), int(qy)) != key) {
              want = paint(int(qx), int(qy));
              ++nDrawn;
            }
          }
          if (got[std::size_t(py) * 640 + px] != want && nWrong++ < 5)
            ADD_FAILURE() << "pixel " << px << "," << py << ": " << got[std::size_t(py) * 640 + px] << " not " << want;
        }
      EXPECT_EQ(nWrong, 0);
      EXPECT_GT(nDrawn, 0);
    }
  }
}

}  // namespace
