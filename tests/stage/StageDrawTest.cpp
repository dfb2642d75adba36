#include <gtest/gtest.h>

#include <cstdint>

#include "records/PlayRecord.h"
#include "gfx/DDPalette.h"
#include "stage/DrawFixture.h"

namespace {

using stagetest::DrawFixture;
using stagetest::Mark;

constexpr int BLOCK_SHEET = 2;
constexpr int FIRST_LAYER = 55;
constexpr int STATUS_BAR = 46;
constexpr int ACCESSORY = 49;
constexpr int WORD = 51;

class StageDrawTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    savedBackgrounds_ = g_Stage.m_Backgrounds;
    savedPauseFront_ = g_System.m_bPauseFrontLayers;
    savedHud_ = g_System.m_HudItems;
    savedStatusBar_ = g_Stage.m_bStatusBar;
    savedPalette16_ = g_Palette[16];
    g_Palette[16] = PALETTEENTRY{0x20, 0x40, 0x60, 0};
    g_System.m_HudItems.assign(5, cEdHudItem{});
    g_Stage.m_Backgrounds.clear();
  }
  void TearDown() override {
    g_Stage.m_Backgrounds = savedBackgrounds_;
    g_System.m_bPauseFrontLayers = savedPauseFront_;
    g_System.m_HudItems = savedHud_;
    g_Stage.m_bStatusBar = savedStatusBar_;
    g_Palette[16] = savedPalette16_;
    DrawFixture::TearDown();
  }

  static cEdBackground& AddLayer(double factorX, double factorY) {
    cEdBackground layer;
    layer.m_dScrollX = factorX;
    layer.m_dScrollY = factorY;
    g_Stage.m_Backgrounds.push_back(layer);
    return g_Stage.m_Backgrounds[g_Stage.m_Backgrounds.Size() - 1];
  }

  cVector<cEdBackground> savedBackgrounds_;
  std::int32_t savedPauseFront_ = 0;
  cVector<cEdHudItem> savedHud_;
  std::int32_t savedStatusBar_ = 0;
  PALETTEENTRY savedPalette16_;
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
      {4, 1, 5, 0, 1, false, false},  // hidden: it still acts but is not drawn
      {5, 1, 0, 0, 0, false, false},  // no block
  };
  for (const Case& c : cases) {
    cEdBlock& cell = Block(c.cx, c.cy);
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
      // clang-format off
      {0.5, 320, 320, 0, 0},
      {0.5, 340, 320, 10, 0},          // 20 px of scroll move the layer 10 px
      {0.5, 340.6, 328.9, 10, 2},      // x rounds (341 - 320) * 0.5, y truncates (8 * 0.25)
      {0.0, 900, 320, 0, 0},           // factor 0 keeps it still
      {0.5, 300, 320, 64 - 10, 0},     // left of the margin: the source wraps
      // clang-format on
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
  Block(0, 0).m_nImage = 1;
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
    Scene().Draw(STAGE_DRAW_STILL_FRAME);
    EXPECT_EQ(Screen(1, 2), c.blocks ? Mark(1, 32 + 2) : colour16) << c.phase << " " << c.hide;
  }
}

TEST_F(StageDrawTest, StatusBarSpacesItsItemsEvenly) {
  MakeMarked(STATUS_BAR, 640, 20);
  MakeMarked(ACCESSORY, 128, 176);
  g_Stage.m_bStatusBar = 1;
  for (int i : {0, 1, 4}) {
    cEdHudItem& item = g_System.m_HudItems[i];
    item.m_bShow = 1;
    item.m_bIcon = 1;
    item.m_nWidth = 6;
  }
  // Three items of 16 + 6 x 16 = 112 pixels: gap (638 - 336) / 4 = 75.
  const std::uint32_t cleared = FillValue(0);
  Scene().DrawHud(&BackBuffer);
  const int icons[][2] = {{75, 0}, {75 + 112 + 75, 1}, {75 + 2 * (112 + 75), 4}};
  for (const auto& icon : icons)
    for (auto [dx, dy] : {std::pair{0, 0}, {15, 15}, {7, 3}})
      EXPECT_EQ(Screen(icon[0] + dx, 3 + dy), Mark(16 * icon[1] + dx, 32 + dy)) << icon[1];
  EXPECT_EQ(Screen(639, 19), Mark(639, 19));  // the bar covers y 0 to 19
  EXPECT_EQ(Screen(639, 20), cleared);
  // Without the stage's status bar nothing is drawn.
  g_Stage.m_bStatusBar = 0;
  FillValue(0);
  Scene().DrawHud(&BackBuffer);
  EXPECT_EQ(Screen(639, 19), cleared);
}

TEST_F(StageDrawTest, GaugeFillAndItsRow) {
  MakeMarked(STATUS_BAR, 640, 20);
  MakeMarked(ACCESSORY, 128, 176);
  g_Stage.m_bStatusBar = 1;
  cEdHudItem& hp = g_System.m_HudItems[2];
  hp.m_bShow = 1;
  hp.m_bIcon = 1;
  cPlayer& player = g_Players[0];
  // One item of 16 + 50: gap (638 - 66) / 2 = 286, gauge at 302.
  const int g = 302;
  struct Case {
    int hp, max, fill, row;
  };
  const Case cases[] = {{8, 20, 20, 144}, {6, 20, 15, 160}, {20, 20, 50, 144}, {5, 0, 0, 0}, {30, 20, 50, 144}};
  for (const Case& c : cases) {
    player.m_nHp = c.hp;
    player.m_Def.m_nMaxHP = c.max;
    FillValue(0);
    Scene().DrawHud(&BackBuffer);
    if (c.fill > 0) { EXPECT_EQ(Screen(g + c.fill - 1, 3 + 4), Mark(c.fill - 1, c.row + 4)) << c.hp << "/" << c.max; }
    if (c.fill < 50) { EXPECT_EQ(Screen(g + c.fill, 3 + 4), Mark(c.fill, 128 + 4)) << c.hp << "/" << c.max; }
  }
}

TEST_F(StageDrawTest, TimeDigitsUnderTheBar) {
  MakeMarked(WORD, 320, 192);
  Scene().m_nTimeLeft = 123;
  Scene().m_bNoTimeLimit = 0;
  FillValue(0);
  Scene().DrawTimeLimit(&BackBuffer, 0);
  for (int d = 0; d < 3; ++d)
    for (auto [dx, dy] : {std::pair{0, 0}, {31, 31}})
      EXPECT_EQ(Screen(272 + 32 * d + dx, 24 + dy), Mark(32 * (d + 1) + dx, 160 + dy)) << d;
  Scene().m_bNoTimeLimit = 1;
  const std::uint32_t cleared = FillValue(0);
  Scene().DrawTimeLimit(&BackBuffer, 0);
  EXPECT_EQ(Screen(272, 24), cleared);
}

TEST_F(StageDrawTest, SightDarkensAllButItsShape) {
  cPlayer& player = g_Players[0];
  player.m_nWidth = player.m_nHeight = 32;
  player.m_ScreenRect.left = 300;
  player.m_ScreenRect.top = 200;
  player.m_nFacing = 1;
  const std::uint32_t dark = FillValue(16);
  const std::uint32_t clear = FillValue(0);
  ASSERT_NE(dark, clear);
  struct Case {
    int shape, radius;
    int x, y;
    bool lit;
  };
  // The player's centre is (316, 216).
  const Case cases[] = {
      {0, 0, 10, 10, true},     // no darkness
      {1, 0, 316, 216, false},  // radius 0: all dark
      {1, 40, 316, 216, true},
      {1, 40, 316 + 38, 216, true},  // round
      {1, 40, 316 + 30, 216 + 30, false},
      {1, 40, 0, 0, false},
      {3, 40, 276, 176, true},
      {3, 40, 355, 255, true},  // square 80 x 80
      {3, 40, 275, 216, false},
      {3, 40, 356, 216, false},
      // Ahead (facing right): the square moves right by radius - half width = 24.
      {4, 40, 276 + 24, 216, true},
      {4, 40, 355 + 24, 216, true},
      {4, 40, 276 + 23, 216, false},
      {4, 40, 356 + 24, 216, false},
  };
  for (const Case& c : cases) {
    player.m_Def.m_nSightShape = static_cast<std::uint8_t>(c.shape);
    player.m_nSightPx = c.radius;
    FillValue(0);
    player.DrawSight(&BackBuffer);
    EXPECT_EQ(Screen(c.x, c.y), c.lit ? clear : dark) << c.shape << " r " << c.radius << " at " << c.x << "," << c.y;
  }
}

TEST_F(StageDrawTest, SightMaskIsRebuiltOnlyWhenTheRadiusChanges) {
  cPlayer& player = g_Players[0];
  player.m_Def.m_nSightShape = 3;
  player.m_nSightPx = 40;
  DDSURFACEDATA* mask = Scene().SightMask();
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->nWidth, 1280 + 80);
  EXPECT_EQ(mask->nHeight, 960 + 80);
  DDFillRectColor(mask, 0, 0, 1, 1, 0x00123456);
  ASSERT_EQ(Scene().SightMask(), mask);
  {
    cSurfaceLock lock(mask);
    EXPECT_EQ(pix::getRaw(*lock.m_lpSurface, 0, 0), 0x00123456u);
  }
  player.m_nSightPx = 20;
  mask = Scene().SightMask();
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->nWidth, 1280 + 40);
  cSurfaceLock lock(mask);
  EXPECT_NE(pix::getRaw(*lock.m_lpSurface, 0, 0), 0x00123456u);
}

}  // namespace
