#include <gtest/gtest.h>

#include "gamedata/Shot.h"
#include "stage/Item.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::StageFixture;

class ItemTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    saved_[0] = g_Stage.m_ItemBox[0];
    saved_[1] = g_Stage.m_ItemBox[1];
    g_Stage.m_ItemBox[0] = 20;  // body offset (6, 4) in its cell
    g_Stage.m_ItemBox[1] = 24;
  }
  void TearDown() override {
    g_Stage.m_ItemBox[0] = saved_[0];
    g_Stage.m_ItemBox[1] = saved_[1];
    StageFixture::TearDown();
  }

 private:
  std::int32_t saved_[2] = {};
};

TEST_F(ItemTest, InitAndPlaceAtTileByScaleAndHeldMode) {
  struct Case {
    int scale, heldMode;
    int expScale, expExists, expHitW, expWidth;
    double expX, expY;
  } cases[] = {
      // Cell (3, 2) of the stage is map cell (13, 12): 416 + 6 + 0.5, 384 + 4.
      {1, 0, 1, 0, 20, 32, 422.5, 388.0},
      // Scale 0 is scale 1.
      {0, 0, 1, 0, 20, 32, 422.5, 388.0},
      // Twice the size: the centre stays, the foot stays (24 + 4 higher).
      {2, 0, 2, 0, 40, 64, 412.5, 360.0},
      // A held item is present at once and never scaled, but places by its definition.
      {2, 1, 2, 1, 20, 32, 412.5, 360.0},
  };
  for (const Case& c : cases) {
    cEdItem def;
    def.m_nScale = static_cast<std::uint8_t>(c.scale);
    def.m_nImage = 9;
    cItem item;
    item.Init(4, def, c.heldMode);
    item.PlaceAtTile(3, 2);
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " held " << c.heldMode);
    EXPECT_EQ(def.m_nScale, c.expScale);  // mended in the definition passed too
    EXPECT_EQ(item.m_Def.m_nScale, c.expScale);
    EXPECT_EQ(item.m_nSerial, 4);
    EXPECT_EQ(item.m_nGraphic, 9);
    EXPECT_EQ(item.m_nHeldMode, c.heldMode);
    EXPECT_EQ(item.m_bExists, c.expExists);
    EXPECT_EQ(item.m_bFlying, 1);
    EXPECT_EQ(item.m_nHitW, c.expHitW);
    EXPECT_EQ(item.m_nWidth, c.expWidth);
    EXPECT_DOUBLE_EQ(item.m_dX, c.expX);
    EXPECT_DOUBLE_EQ(item.m_dY, c.expY);
  }
}

TEST_F(ItemTest, AnimationAlternatesTwoPatternsEvery15Ticks) {
  cEdItem def;
  cItem item;
  item.Init(0, def, 0);
  int patterns[61];
  for (int& p : patterns) p = item.m_Anime.Tick();
  const int probes[][2] = {{0, 0}, {13, 0}, {14, 1}, {28, 1}, {29, 0}, {44, 1}, {60, 0}};
  for (auto [tick, pattern] : probes) EXPECT_EQ(patterns[tick], pattern) << "tick " << tick;
  // Locked: nothing interrupts it unless forced.
  EXPECT_EQ(item.m_Anime.Start(0, 0), 0);
}

TEST_F(ItemTest, SpawnItemAtAddsOnlyItemsInsideTheMapAndCountsThem) {
  struct Case {
    int column, row, offX, offY;
    bool added;
    double x, y;
  } cases[] = {
      {3, 2, 5, -3, true, 427.5, 385.0},
      // The margin's first column is map column 0: 0.5 + 6 - 7 falls off the map.
      {-10, 2, -7, 0, false, 0, 0},
      {-10, 2, -6, 0, true, 0.5, 388.0},
      {-10, -10, 0, -5, false, 0, 0},
  };
  std::int32_t counter = 10;
  for (const Case& c : cases) {
    cEdItem def;
    def.m_nOffsetX = static_cast<std::int16_t>(c.offX);
    def.m_nOffsetY = static_cast<std::int16_t>(c.offY);
    const std::size_t before = g_Items.size();
    const std::int32_t serial = counter;
    Scene().SpawnItemAt(g_Items, c.column, c.row, counter, def);
    SCOPED_TRACE(testing::Message() << "cell " << c.column << "," << c.row);
    ASSERT_EQ(g_Items.size(), before + (c.added ? 1 : 0));
    // A rejected item leaves its serial to the next one.
    EXPECT_EQ(counter, serial + (c.added ? 1 : 0));
    if (!c.added) continue;
    const cItem& item = g_Items.back();
    EXPECT_EQ(item.m_nSerial, serial);
    EXPECT_DOUBLE_EQ(item.m_dX, c.x);
    EXPECT_DOUBLE_EQ(item.m_dY, c.y);
    EXPECT_DOUBLE_EQ(item.m_dRight, c.x + 19);
  }
}

TEST_F(ItemTest, SummonItemPlacesByBodyOffsetAndMayLimitItsLife) {
  struct Case {
    double x, y;
    int limit, range;
    bool added;
    double expX;
    int expLife;
  } cases[] = {
      // 400 + 6 + 2; 5 tenths at one sub-step a frame are 30 steps.
      {400, 300, 1, 5, true, 408, 5 * g_Stage.m_nSubSteps * 6},
      {400, 300, 0, 5, true, 408, UNLIMITED_LIFE},
      {-9, 300, 0, 0, false, 0, 0},
  };
  std::int32_t counter = 3;
  for (const Case& c : cases) {
    cEdItem def;
    def.m_nOffsetX = 2;
    cEdShot payload;
    payload.m_bRangeLimit = static_cast<std::uint8_t>(c.limit);
    payload.m_nRange = static_cast<std::int16_t>(c.range);
    const std::size_t before = g_Items.size();
    Scene().SummonItem(g_Items, c.x, c.y, payload, def, counter);
    ASSERT_EQ(g_Items.size(), before + (c.added ? 1 : 0)) << c.x;
    if (!c.added) continue;
    EXPECT_DOUBLE_EQ(g_Items.back().m_dX, c.expX);
    EXPECT_DOUBLE_EQ(g_Items.back().m_dY, 304);
    EXPECT_EQ(g_Items.back().m_nLifeSteps, c.expLife);
  }
  EXPECT_EQ(counter, 5);
}

}  // namespace
