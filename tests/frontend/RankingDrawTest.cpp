// The ranking drawings on an open display: the cursor and rank icons come from their
// cell of the accessory sheet and land on their rows.
#include "records/FrontendLinks.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"

namespace {

using namespace gfxtest;

class RankingDrawTest : public GfxFixture {
 protected:
  void SetUp() override {
    GfxFixture::SetUp();
    ASSERT_TRUE(Open(Mode::DD32));
    ASSERT_TRUE(DDCreateSurface(&canvas_, 640, 480, 0, 1, 0, 0, false));
    DDFillRectColor(&canvas_, 0, 0, 640, 480, 0);
    // The accessory sheet: black but for the icon's cell at (16, 48).
    ASSERT_TRUE(DDCreateSurface(sheet(), 64, 64, 0, 1, 0, 0, false));
    DDFillRectColor(sheet(), 0, 0, 64, 64, 0);
    DDFillRectColor(sheet(), 16, 48, 16, 16, 0x00FF00FFu);
    rankFlags_ = g_Stage.m_RankFlags;
  }
  void TearDown() override {
    DDReleaseSurface(&canvas_);
    DDReleaseSurface(sheet());
    g_Stage.m_RankFlags = rankFlags_;
    g_System = cEdSystem();
    GfxFixture::TearDown();
  }
  static DDSURFACEDATA* sheet() { return &g_SurfaceData[49]; }
  // The icon's colour fills the 16 x 16 square at (x, y) and nothing to its left or below.
  void ExpectIconAt(int x, int y) {
    const std::uint32_t icon = Px(sheet(), 16, 48);
    EXPECT_EQ(Px(&canvas_, x, y), icon) << x << "," << y;
    EXPECT_EQ(Px(&canvas_, x + 15, y + 15), icon);
    EXPECT_NE(Px(&canvas_, x - 1, y), icon);
    EXPECT_NE(Px(&canvas_, x, y + 16), icon);
  }

  DDSURFACEDATA canvas_;
  cVector<std::int32_t> rankFlags_;
};

TEST_F(RankingDrawTest, CursorIconStandsOnItsRow) {
  cRankingTable table;
  EXPECT_EQ(table.Draw(&canvas_, 100, 40, 0, -1), -1);
  EXPECT_EQ(table.Draw(&canvas_, 100, 40, 0, 2), 1);
  ExpectIconAt(100, 40 + 16 * 3);
}

TEST_F(RankingDrawTest, ResultPanelMarksTheQuantitiesThatEntered) {
  g_Stage.m_RankFlags = {1, 1, 1, 1, 1};
  g_System.m_GameModes[0].m_RankedQuantities.assign(5, 1);
  const std::int32_t ranks[5] = {-1, -1, 3, -1, 0};
  DrawResultPanel(&canvas_, 336, 224, ranks);
  ExpectIconAt(336, 224 + 32);
  ExpectIconAt(336, 224 + 64);
  EXPECT_NE(Px(&canvas_, 336, 224), Px(sheet(), 16, 48));
}

}  // namespace
