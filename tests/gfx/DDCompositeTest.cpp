#include <cmath>

#include "EffectTest.h"
#include "gfx/DDComposite.h"

namespace {

using namespace gfxtest;
using DDCompositeTest = EffectFixture;

TEST_F(DDCompositeTest, NumbersFromDigitCells) {
  ASSERT_TRUE(Open(Mode::DD8));
  // Ten 2 x 2 cells; digit d is painted d + 1 ('a' is 0, 'b' is 1 ...).
  DDSURFACEDATA* sheet = Make(20, 2);
  Paint(sheet, [](int x, int) { return std::uint32_t(x / 2 + 1); });
  struct Case {
    int value, minDigits, centre;
    const char* row;
  };
  const Case cases[] = {
      {7, 3, 1, "..hh................"},  // two missing digits: moved right by one cell
      {7, 3, 0, "....hh.............."},   {0, 1, 0, "aa.................."},
      {305, 0, 0, "ddaaff.............."}, {1234567890, 0, 0, "bbccddeeffgghhiijjaa"},
      {-5, 3, 0, "...................."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    DDSURFACEDATA* dst = Make(20, 2);
    DDBltNumber(dst, 0, 0, 2, 2, sheet, 0, 0, 0, c.value, c.minDigits, c.centre);
    EXPECT_EQ(RowText(dst, 1, 0, 20), c.row);
  }
}

TEST_F(DDCompositeTest, InterlaceStrips) {
  ASSERT_TRUE(Open(Mode::DD8));
  DDSURFACEDATA* src = Make(100, 10);
  PaintAll(src, 1);
  // Vertical: six columns of 16, even ones 2 lower, odd ones 2 higher; the last 4 pixels
  // of the 100 are not drawn.
  DDSURFACEDATA* dst = Make(110, 20);
  DDBltInterlace(dst, 0, 5, 100, 10, 16, 2, src, 0, 0, 0, 1);
  EXPECT_EQ(ColumnText(dst, 0, 0, 20), ".......aaaaaaaaaa...");
  EXPECT_EQ(ColumnText(dst, 16, 0, 20), "...aaaaaaaaaa.......");
  EXPECT_EQ(ColumnText(dst, 95, 0, 20), "...aaaaaaaaaa.......");
  EXPECT_EQ(ColumnText(dst, 96, 0, 20), "....................");
  EXPECT_EQ(Changed(dst, 0), 96 * 10);
  // Horizontal: rows of 4, odd ones 3 left, even ones 3 right; the last two rows are not drawn.
  DDSURFACEDATA* dst2 = Make(110, 20);
  DDBltInterlace(dst2, 5, 0, 100, 10, 4, 3, src, 0, 0, 0, 0);
  EXPECT_EQ(RowText(dst2, 0, 0, 10), "........aa");
  EXPECT_EQ(RowText(dst2, 4, 0, 10), "..aaaaaaaa");
  EXPECT_EQ(Changed(dst2, 0), 100 * 8);
  // Step 0 is a plain copy.
  DDSURFACEDATA* dst3 = Make(110, 20);
  DDBltInterlace(dst3, 0, 0, 100, 10, 0, 3, src, 0, 0, 0, 0);
  EXPECT_EQ(Changed(dst3, 0), 1000);
}

TEST_F(DDCompositeTest, FoldRunsBetweenTheTwoPictures) {
  ASSERT_TRUE(Open(Mode::DD8));
  DDSURFACEDATA* first = Make(8, 8);
  DDSURFACEDATA* second = Make(8, 8);
  PaintAll(first, 1);
  PaintAll(second, 2);
  struct Case {
    int counter;
    const char* column;  // the 8 rows after a vertical fold (u = 4)
  };
  const Case cases[] = {
      {0, "aaaaaaaa"},   // the first picture whole
      {2, "..aaaa.."},   // narrowing
      {4, "...bb..."},   // the second picture at its narrowest
      {5, "..bbbb.."},   // opening
      {8, "bbbbbbbb"},   // the second whole
      {12, "...aa..."},  // the first at its narrowest, opening toward period 16
      {16, "aaaaaaaa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.counter);
    DDSURFACEDATA* dst = Make(8, 8);
    DDBltFold(dst, 0, 0, 8, 8, first, 0, 0, second, 0, 0, 8, 8, 0, c.counter, 1);
    EXPECT_EQ(ColumnText(dst, 3, 0, 8), c.column);
  }
  DDSURFACEDATA* dst = Make(8, 8);
  DDBltFold(dst, 0, 0, 8, 8, first, 0, 0, second, 0, 0, 8, 8, 0, 2, 0);  // horizontal
  EXPECT_EQ(RowText(dst, 3, 0, 8), "..aaaa..");
  DDSURFACEDATA* none = Make(8, 8);
  DDBltFold(none, 0, 0, 8, 8, first, 0, 0, second, 0, 0, 8, 8, 0, 2, 2);
  DDBltFold(none, 0, 0, 8, 1, first, 0, 0, second, 0, 0, 8, 8, 0, 2, 1);  // no fold in one row
  EXPECT_EQ(Changed(none, 0), 0);
}

TEST_F(DDCompositeTest, SplitPushesTheQuartersApart) {
  ASSERT_TRUE(Open(Mode::DD8));
  DDSURFACEDATA* src = Make(8, 8);
  Paint(src, [](int x, int y) { return std::uint32_t(1 + (x >= 4) + 2 * (y >= 4)); });
  DDSURFACEDATA* dst = Make(30, 30);
  DDBltSplit(dst, 10, 10, 8, 8, src, 0, 0, 2, 0);
  EXPECT_EQ(RowText(dst, 8, 6, 22), "..aaaa....bbbb..");
  EXPECT_EQ(RowText(dst, 19, 6, 22), "..cccc....dddd..");
  EXPECT_EQ(ColumnText(dst, 9, 6, 22), "..aaaa....cccc..");
  EXPECT_EQ(Changed(dst, 0), 64);
}

TEST_F(DDCompositeTest, WaveDisplacesStrips) {
  ASSERT_TRUE(Open(Mode::DD8));
  DDSURFACEDATA* src = Make(4, 4);
  Paint(src, [](int, int y) { return std::uint32_t(y + 1); });
  // Rows: the angle grows by 360 / 4 before each, so the shifts are 2 sin 90, 2 sin 180 ...
  DDSURFACEDATA* dst = Make(12, 4);
  DDBltWave(dst, 4, 0, 4, 4, 1.0, 2.0, 0.0, 1, src, 0, 0, 0, 0);
  EXPECT_EQ(RowText(dst, 0, 0, 12), "......aaaa..");
  EXPECT_EQ(RowText(dst, 1, 0, 12), "....bbbb....");
  EXPECT_EQ(RowText(dst, 2, 0, 12), "..cccc......");
  EXPECT_EQ(RowText(dst, 3, 0, 12), "....dddd....");
  // Columns in strips of 2 with phase 90: angles 270 and 450 move them up 2, then down 2.
  DDSURFACEDATA* src2 = Make(4, 4);
  Paint(src2, [](int x, int) { return std::uint32_t(x + 1); });
  DDSURFACEDATA* dst2 = Make(4, 8);
  DDBltWave(dst2, 0, 2, 4, 4, 1.0, 2.0, 90.0, 2, src2, 0, 0, 0, 1);
  EXPECT_EQ(ColumnText(dst2, 1, 0, 8), "bbbb....");
  EXPECT_EQ(ColumnText(dst2, 2, 0, 8), "....cccc");
  // A step of 0 draws nothing.
  DDSURFACEDATA* dst3 = Make(4, 8);
  DDBltWave(dst3, 0, 2, 4, 4, 1.0, 2.0, 90.0, 0, src2, 0, 0, 0, 1);
  EXPECT_EQ(Changed(dst3, 0), 0);
}

TEST_F(DDCompositeTest, WaveDrawsWhatStripByStripBlitsDraw) {
  struct Case {
    int step, vertical, sx, sy, flags;
  };
  const Case cases[] = {{1, 0, 0, 0, 0}, {1, 1, 0, 0, 1},  {3, 0, 2, 1, 0},
                        {2, 1, 1, 0, 0}, {1, 1, -3, 0, 0}, {1, 0, 0, -2, 1}};
  for (Mode m : {Mode::DD32, Mode::D3D32}) {
    Reopen(m);
    g_TransmitPixel = 0x00FF00FF;
    DDSURFACEDATA* src = Make(64, 48);
    Paint(src, [&](int x, int y) {
      const bool hole = (x + y) % 7 == 0;
      return hole ? (IsD3D(m) ? 0u : 0x00FF00FFu) : (IsD3D(m) ? 0xFF000000u : 0u) | std::uint32_t(x << 8 | y);
    });
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(Name(m)) + " step " + std::to_string(c.step) + " vertical " +
                   std::to_string(c.vertical) + " from " + std::to_string(c.sx) + "," + std::to_string(c.sy));
      DDSURFACEDATA* dst = Make(80, 64);
      DDSURFACEDATA* ref = Make(80, 64);
      DDBltWave(dst, 6, 5, 64, 48, 3.0, 5.0, 40.0, c.step, src, c.sx, c.sy, c.flags, c.vertical);
      // Strip by strip, as the wave is defined.
      const int length = c.vertical ? 64 : 48;
      double angle = 0;
      for (int offset = 0; offset < length; offset += c.step) {
        angle += 360.0 / length * c.step;
        const int shift = static_cast<int>(5.0 * std::sin(3.0 * (40.0 + angle) * 0.017453292519943295));
        const int size = std::min(c.step, length - offset);
        if (c.vertical) DDBlt(ref, 6 + offset, 5 + shift, size, 48, src, c.sx + offset, c.sy, c.flags);
        else DDBlt(ref, 6 + shift, 5 + offset, 64, size, src, c.sx, c.sy + offset, c.flags);
      }
      EXPECT_EQ(Grab(dst), Grab(ref));
    }
  }
}

}  // namespace
