// Drawing of shots and swords: a shot takes the cell of its graphic and pattern from the
// shot sheet of its facing; a sword takes its entry's rectangle from the surfaces of its
// sword type and facing, the stretched ones when it is scaled.
#include <gtest/gtest.h>

#include <cstdint>

#include "gamedata/Database.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDSurface.h"
#include "gfx/PixelOps.h"
#include "stage/Shot.h"
#include "stage/StageFixture.h"
#include "test_support/Graphics.h"

namespace {

constexpr int SHOT_SHEET = 20;

// A value no fill produces: pixel (x, y) of marked surface k.
std::uint32_t Mark(int k, int x, int y) {
  return 0x01000000u | std::uint32_t(k) << 20 | std::uint32_t(y) << 10 | std::uint32_t(x);
}

class ShotDrawTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedSwords_ = g_Database.m_SwordTypes;
    ASSERT_TRUE(graphics_.Open(false, false));
    MakeMap();
  }
  void TearDown() override {
    for (DDSURFACEDATA& sd : Scene().m_SwordSurfaces) DDReleaseSurface(&sd);
    Scene().m_SwordSurfaces.clear();
    for (int n : {SHOT_SHEET, SHOT_SHEET + 1}) DDReleaseSurface(&g_SurfaceData[n]);
    graphics_.Close();
    g_Database.m_SwordTypes = savedSwords_;
    StageFixture::TearDown();
  }
  static void MakeMarked(DDSURFACEDATA* sd, int k, int w, int h) {
    ASSERT_TRUE(DDCreateSurface(sd, w, h, 0, 1, 1, 0, false));
    cSurfaceLock lock(sd);
    ASSERT_TRUE(lock.IsLocked());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pix::putRaw(*lock.m_lpSurface, x, y, Mark(k, x, y));
  }
  static std::uint32_t Screen(int x, int y) {
    cSurfaceLock lock(&BackBuffer);
    EXPECT_TRUE(lock.IsLocked());
    return lock.IsLocked() ? pix::getRaw(*lock.m_lpSurface, x, y) : 0xDEADBEEF;
  }

  test_support::Graphics graphics_;
  cVector<cEdSwordType> savedSwords_;
};

TEST_F(ShotDrawTest, AShotDrawsTheSheetCellOfItsGraphicAndPattern) {
  MakeMarked(&g_SurfaceData[SHOT_SHEET], 1, 128, 480);
  MakeMarked(&g_SurfaceData[SHOT_SHEET + 1], 2, 128, 480);
  cPlayer& hero = g_Players[0];
  Place(hero, 400, 400, 32, 32, 0);
  struct Case {
    int graphic, pattern, facing, sheet;
  };
  // Graphic g sits at x = (g / 30) x 32 + pattern x 16, y = (g mod 30) x 16.
  const Case cases[] = {{0, 0, 0, 1}, {35, 1, 0, 1}, {119, 0, 1, 2}, {61, 1, 1, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.graphic);
    cEdShot p;
    p.m_nGraphic = static_cast<std::int16_t>(c.graphic);
    SHOTSPAWN rec;
    rec.nX = 500;
    rec.nY = 420;
    rec.dVx = c.facing ? 1 : -1;
    cShot s;
    s.Init(0, hero, CMD_SHOT, p, rec);
    s.m_Anime.m_nFrame = c.pattern;
    s.CalcScreenRect();
    s.Draw(&BackBuffer, 1);
    const int x = c.graphic / 30 * 32 + c.pattern * 16, y = c.graphic % 30 * 16;
    for (auto [dx, dy] : {std::pair{0, 0}, {15, 15}, {7, 3}})
      EXPECT_EQ(Screen(s.m_ScreenRect.left + dx, s.m_ScreenRect.top + dy), Mark(c.sheet, x + dx, y + dy));
  }
}

TEST_F(ShotDrawTest, ASwordDrawsFromTheSurfacesOfItsTypeAndFacing) {
  cEdSwordType type;
  type.m_Entries.clear();
  cEdSwordEntry e;
  e.m_nSrcX = 10;
  e.m_nSrcY = 20;
  e.m_nWidth = 8;
  e.m_nHeight = 4;
  e.m_nTime = 10;
  type.m_Entries.push_back(e);
  g_Database.m_SwordTypes.assign(2, type);
  // Four surfaces a type: left, right, and their stretched copies; marked 0 to 7.
  Scene().m_SwordSurfaces.resize(8);
  for (int k = 0; k < 8; ++k) MakeMarked(&Scene().m_SwordSurfaces[k], k, 64, 64);
  cPlayer& hero = g_Players[0];
  Place(hero, 400, 400, 32, 32, 0);
  hero.m_nSerial = 9;
  struct Case {
    int type, facing, scale, surface;
  };
  const Case cases[] = {{0, 0, 1, 0}, {0, 1, 1, 1}, {1, 0, 1, 4}, {1, 1, 1, 5}, {1, 0, 2, 6}, {1, 1, 2, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.surface);
    hero.m_nFacing = c.facing;
    cEdShot p;
    p.m_nMotion = static_cast<std::uint8_t>(c.type);
    p.m_nSize = static_cast<std::uint8_t>(c.scale);
    SHOTSPAWN rec;
    cShot s;
    s.Init(0, hero, CMD_SWORD, p, rec);
    ASSERT_EQ(s.UpdateSword(), 0);
    EXPECT_EQ(s.m_nWidth, 8 * c.scale);
    s.CalcScreenRect();
    s.Draw(&BackBuffer, 0);
    EXPECT_EQ(Screen(s.m_ScreenRect.left, s.m_ScreenRect.top), Mark(c.surface, 10, 20));
    EXPECT_EQ(Screen(s.m_ScreenRect.right, s.m_ScreenRect.bottom), Mark(c.surface, 17, 23));
  }
}

}  // namespace
