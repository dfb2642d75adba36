#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"
#include "stage/StageFixture.h"
#include "test_support/Graphics.h"

namespace {

using stagetest::StageFixture;

constexpr int BLOCK_SHEET = 2;
constexpr int FIRST_LAYER = 55;

// A pixel value no fill or mark below produces: pixel (x, y) of a marked sheet is
// 0x01000000 | y << 12 | x.
std::uint32_t Mark(int x, int y) { return 0x01000000u | std::uint32_t(y) << 12 | std::uint32_t(x); }

class StageDrawTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedBackgrounds_ = g_Stage.m_Backgrounds;
    savedPauseFront_ = g_System.m_bPauseFrontLayers;
    g_Stage.m_Backgrounds.clear();
    ASSERT_TRUE(graphics_.Open(false, false));
  }
  void TearDown() override {
    DDReleaseSurface(&g_SurfaceData[BLOCK_SHEET]);
    for (int i = 0; i < 8; ++i) DDReleaseSurface(&g_SurfaceData[FIRST_LAYER + i]);
    graphics_.Close();
    g_Stage.m_Backgrounds = savedBackgrounds_;
    g_System.m_bPauseFrontLayers = savedPauseFront_;
    StageFixture::TearDown();
  }

  // Table entry n made w x h and marked pixel by pixel.
  static void MakeMarked(int n, int w, int h) {
    DDSURFACEDATA* sd = &g_SurfaceData[n];
    ASSERT_TRUE(DDCreateSurface(sd, w, h, 0, 1, 1, 0, false));
    cSurfaceLock lock(sd);
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pix::putRaw(*lock.m_lpSurface, x, y, Mark(x, y));
  }
  static std::uint32_t Screen(int x, int y) {
    cSurfaceLock lock(&BackBuffer);
    EXPECT_TRUE(lock.IsLocked());
    return lock.IsLocked() ? pix::getRaw(*lock.m_lpSurface, x, y) : 0xDEADBEEF;
  }
  // The screen's pixel value for a fill with palette number n.
  static std::uint32_t FillValue(int n) {
    DDFillRect(&BackBuffer, 0, 0, 640, 480, static_cast<std::uint32_t>(n));
    return Screen(0, 0);
  }
  void ScrollTo(double x, double y) {
    Scene().m_ScrollX.m_dPos = x;
    Scene().m_ScrollY.m_dPos = y;
  }
  static cEdBackground& AddLayer(double factorX, double factorY) {
    cEdBackground layer;
    layer.m_dScrollX = factorX;
    layer.m_dScrollY = factorY;
    g_Stage.m_Backgrounds.push_back(layer);
    return g_Stage.m_Backgrounds[g_Stage.m_Backgrounds.Size() - 1];
  }

  test_support::Graphics graphics_;
  cVector<cEdBackground> savedBackgrounds_;
  std::int32_t savedPauseFront_ = 0;
};

TEST_F(StageDrawTest, BlockCellsSitAtTheirColumnLessTheFineScroll) {
  MakeMarked(BLOCK_SHEET, 96, 480);
  MakeMap({{2, 1}, {3, 1}, {4, 1}, {5, 1}});
  struct Case {
    int cx, cy, image, layer, hidden;
    bool back, front;  // drawn by the back pass, by the front pass
  };
  const Case cases[] = {
      {2, 1, 17, 0, 0, true, false},
      {3, 1, 44, 1, 0, false, true},
      {4, 1, 5, 0, 1, false, false},   // hidden: it still acts but is not drawn
      {5, 1, 0, 0, 0, false, false},   // no block
  };
  for (const Case& c : cases) {
    cMapBlock& cell = Cell(c.cx, c.cy);
    cell.m_nImage = static_cast<std::int16_t>(c.image);
    cell.m_nLayer = static_cast<std::uint8_t>(c.layer);
    cell.m_bTransparent = static_cast<std::uint8_t>(c.hidden);
  }
  // Map pixel 333 is column 10 with a fine offset of 13; 327 is row 10 with 7.
  ScrollTo(333.7, 327.2);
  for (int nLayer : {0, 1}) {
    const std::uint32_t empty = FillValue(0);
    Scene().DrawBlocks(&BackBuffer, nLayer);
    for (const Case& c : cases) {
      const int x = (c.cx + 10 - 10) * 32 - 13;
      const int y = (c.cy + 10 - 10) * 32 - 7;
      const bool drawn = nLayer == 0 ? c.back : c.front;
      for (auto [dx, dy] : {std::pair{0, 0}, {31, 0}, {0, 31}, {17, 9}}) {
        const std::uint32_t want = drawn ? Mark(c.image / 15 * 32 + dx, c.image % 15 * 32 + dy) : empty;
        EXPECT_EQ(Screen(x + dx, y + dy), want) << "cell " << c.cx << " pass " << nLayer << " +" << dx << "," << dy;
      }
    }
  }
}

TEST_F(StageDrawTest, ParallaxLayersMoveByTheirFactor) {
  MakeMarked(FIRST_LAYER, 64, 48);
  cEdBackground& layer = AddLayer(0.5, 0.25);
  struct Case {
    double factorX, scrollX, scrollY;
    int ox, oy;  // source point at the screen's top-left
  };
  const Case cases[] = {
      {0.5, 320, 320, 0, 0},
      {0.5, 340, 320, 10, 0},          // 20 px of scroll move the layer 10 px
      {0.5, 340.6, 328.9, 10, 2},      // x rounds (341 - 320) * 0.5, y truncates (8 * 0.25)
      {0.0, 900, 320, 0, 0},           // factor 0 keeps it still
      {0.5, 300, 320, 64 - 10, 0},     // left of the margin: the source wraps
  };
  for (const Case& c : cases) {
    layer.m_dScrollX = c.factorX;
    ScrollTo(c.scrollX, c.scrollY);
    FillValue(0);
    Scene().DrawBackgrounds(&BackBuffer, 0);
    for (auto [x, y] : {std::pair{0, 0}, {63, 5}, {200, 130}, {639, 479}})
      EXPECT_EQ(Screen(x, y), Mark((x + c.ox) % 64, (y + c.oy) % 48)) << c.scrollX << " at " << x << "," << y;
  }
}

TEST_F(StageDrawTest, AutomaticScrollWrapsItsOffsetIntoTheBitmap) {
  MakeMarked(FIRST_LAYER, 640, 40);
  cEdBackground& layer = AddLayer(1.5, -30);
  layer.m_bAutoX = 1;
  layer.m_bAutoY = 1;
  const double wantX[] = {638.5, 637, 635.5};
  const double wantY[] = {30, 20, 10};
  for (int frame = 0; frame < 3; ++frame) {
    Scene().ScrollBackgrounds();
    EXPECT_DOUBLE_EQ(layer.m_dOffsetX, wantX[frame]);
    EXPECT_DOUBLE_EQ(layer.m_dOffsetY, wantY[frame]);
  }
  // Origin: scroll + offset - margin, truncated.
  ScrollTo(330, 320);
  Scene().DrawBackgrounds(&BackBuffer, 0);
  EXPECT_EQ(Screen(0, 0), Mark((10 + 635) % 640, 10));
  EXPECT_EQ(Screen(100, 35), Mark((10 + 635 + 100) % 640, (10 + 35) % 40));
}

TEST_F(StageDrawTest, VisibilityPassesAndFills) {
  MakeMarked(FIRST_LAYER, 64, 64);
  MakeMarked(FIRST_LAYER + 1, 64, 64);
  ScrollTo(320, 320);
  const std::uint32_t colour16 = FillValue(16);
  const std::uint32_t colour3 = FillValue(3);
  const std::uint32_t cleared = FillValue(0);
  // No layer visible: pass 0 shows colour 16.
  AddLayer(0, 0).m_bVisible = 0;
  Scene().DrawBackgrounds(&BackBuffer, 0);
  EXPECT_EQ(Screen(320, 240), colour16);
  // A visible fill layer fills with its colour; a front layer waits for pass 1.
  cEdBackground& fill = AddLayer(0, 0);
  fill.m_bFill = 1;
  fill.m_nFillColor = 3;
  g_Stage.m_Backgrounds[0].m_nPass = 1;
  g_Stage.m_Backgrounds[0].m_bVisible = 1;
  FillValue(0);
  Scene().DrawBackgrounds(&BackBuffer, 0);
  EXPECT_EQ(Screen(5, 5), colour3);
  Scene().DrawBackgrounds(&BackBuffer, 1);
  EXPECT_EQ(Screen(5, 5), Mark(5, 5));
  // A layer whose surface has no pixels draws nothing.
  DDReleaseSurface(&g_SurfaceData[FIRST_LAYER]);
  FillValue(0);
  Scene().DrawBackgrounds(&BackBuffer, 1);
  EXPECT_EQ(Screen(5, 5), cleared);
}

TEST_F(StageDrawTest, PauseWithHiddenStageShowsOnlyBackgrounds) {
  MakeMarked(BLOCK_SHEET, 96, 480);
  MakeMap({{0, 0}});
  Cell(0, 0).m_nImage = 1;
  ScrollTo(320, 320);
  const std::uint32_t colour16 = FillValue(16);
  const struct {
    int phase, hide;
    bool blocks;
  } cases[] = {{STAGE_PHASE_PAUSE, 1, false}, {STAGE_PHASE_PAUSE, 0, true}, {STAGE_PHASE_START, 1, true}};
  for (const auto& c : cases) {
    Scene().m_nPhase = c.phase;
    g_System.m_bPauseFrontLayers = c.hide;
    FillValue(0);
    Scene().Draw(0, 1, 0, 1);
    EXPECT_EQ(Screen(1, 2), c.blocks ? Mark(1, 32 + 2) : colour16) << c.phase << " " << c.hide;
  }
}

}  // namespace
