// The warp and the choice of a target on a laid-out stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "flow/CommandTables.h"
#include "gamedata/Move.h"
#include "stage/ObjectGeometry.h"
#include "stage/StageFixture.h"

namespace {

class WarpTargetTest : public stagetest::StageFixture {
 protected:
  template <class F>
  static cEdCommand Warp(F&& set) {
    cEdCommand c;
    c.m_nType = CMD_WARP;
    c.NewMove();
    set(*c.m_pMove);
    return c;
  }
  static cEdCommand Target(std::vector<std::int32_t> params) {
    cEdCommand c;
    c.m_nType = CMD_TARGET;
    params.resize(10, 0);
    for (std::int32_t p : params) c.m_Params.push_back(p);
    return c;
  }
  // A character of the side at map pixel (x, y), listed with its side.
  cChara& Add(int nSide, double x, double y) {
    cChara& c = g_Charas.emplace_back();
    Place(c, x, y);
    c.m_nSerial = static_cast<int>(g_Charas.size()) + 10;
    c.m_nSide = nSide;
    c.m_bExists = 1;
    c.CalcScreenRect();
    c.m_bOnScreen = c.IsOnScreen() ? 1 : 0;
    Scene().m_SideActors[nSide].push_back(&c);
    return c;
  }

  cChara chara_;
};

TEST_F(WarpTargetTest, WarpByDirectionAndDistance) {
  MakeMap({{13, 10}});
  const double x0 = (10 + 10) * 32;
  const double y0 = (10 + 10) * 32;
  const double k = 32 * HALF_SQRT2;
  const struct {
    int dir, distance, fly;
    double dx, dy;
  } rows[] = {
      // clang-format off
      {8, 2, 1, -k, -k},      // 2 half blocks up-left
      {11, 2, 1, k, k},
      {6, 3, 1, 0, -48},
      {1, 2, 0, 32, 0},       // backwards, facing left: to the right
      {3, 6, 0, 0, 0},        // into the block at column 13: refused
      {2, 22, 0, 0, 0},       // into the margin: refused
      {6, 2, 0, 0, -32},      // a walker warps up as well
      // clang-format on
  };
  for (const auto& row : rows) {
    Place(chara_, x0, y0, 32, 32, 1, row.fly);
    chara_.m_nFacing = 0;
    chara_.m_dVelY = 3.0;
    CmdWarp(chara_, Warp([&](cEdMove& m) {
              m.m_nMode = 0;
              m.m_nDirection = static_cast<std::int8_t>(row.dir);
              m.m_nDistance = static_cast<std::int16_t>(row.distance);
            }));
    EXPECT_DOUBLE_EQ(chara_.m_dX, x0 + row.dx) << row.dir << " " << row.distance;
    EXPECT_DOUBLE_EQ(chara_.m_dY, y0 + row.dy) << row.dir << " " << row.distance;
    EXPECT_DOUBLE_EQ(chara_.m_dRight, chara_.m_dX + 31) << row.dir;
    const bool bMoved = row.dx != 0 || row.dy != 0;
    EXPECT_EQ(chara_.m_dVelY, bMoved && !row.fly ? 0.0 : 3.0) << row.dir;
  }
}

TEST_F(WarpTargetTest, WarpFromTheTargetAndToCoordinates) {
  MakeMap();
  cChara& t = Add(1, 800, 640);
  // From the target: the drawn cells' centres meet, then one half block to the right.
  Place(chara_, 400, 400, 20, 24);
  chara_.m_pTarget = &t;
  CmdWarp(chara_, Warp([](cEdMove& m) {
            m.m_nMode = 1;
            m.m_nDirection = 3;
            m.m_nDistance = 1;
          }));
  EXPECT_DOUBLE_EQ(chara_.m_dX - chara_.m_nHitOffX + 16, t.m_dX - t.m_nHitOffX + 16 + 16);
  EXPECT_DOUBLE_EQ(chara_.m_dY - chara_.m_nHitOffY + 16, t.m_dY - t.m_nHitOffY + 16);
  // Without a target nothing happens.
  chara_.m_pTarget = nullptr;
  const double x = chara_.m_dX;
  CmdWarp(chara_, Warp([](cEdMove& m) {
            m.m_nMode = 1;
            m.m_nDistance = 3;
          }));
  EXPECT_EQ(chara_.m_dX, x);

  const struct {
    int coord, facing;
    double x, y;
  } rows[] = {
      {0, 0, 400 + 2 * 32 + 5, 400 + 32 + 3},              // relative
      {0, 1, 400 - 2 * 32 - 5, 400 + 32 + 3},              // mirrored in x only for a right-facing actor
      {1, 1, (2 + 10) * 32 + 0.5 + 5, (1 + 10) * 32 + 3},  // a stage cell, the dots not mirrored
      {2, 0, 320 + 2 * 32 + 5, 320 + 32 + 3},              // a screen point: the view is at the stage's corner
  };
  for (const auto& row : rows) {
    Place(chara_, 400, 400);
    chara_.m_nFacing = row.facing;
    CmdWarp(chara_, Warp([&](cEdMove& m) {
              m.m_nMode = 2;
              m.m_nCoordMode = static_cast<std::uint8_t>(row.coord);
              m.m_nCellX = 2;
              m.m_nDotX = 5;
              m.m_nCellY = 1;
              m.m_nDotY = 3;
              m.m_bMirrorX = 1;
              m.m_bMirrorY = 0;
            }));
    EXPECT_DOUBLE_EQ(chara_.m_dX, row.x) << row.coord << " " << row.facing;
    EXPECT_DOUBLE_EQ(chara_.m_dY, row.y) << row.coord << " " << row.facing;
  }
}

TEST_F(WarpTargetTest, TargetChoiceAndTheTargetedByLists) {
  Scene().m_SideActors.resize(SIDE_COUNT);
  Place(chara_, 400, 400);
  chara_.m_nSerial = 5;
  chara_.m_nSide = 1;
  chara_.m_bExists = 1;
  chara_.CalcScreenRect();
  cChara& self = chara_;
  Scene().m_SideActors[1].push_back(&self);
  cChara& near1 = Add(1, 480, 400);   // side 1, 80 away
  cChara& far1 = Add(1, 900, 400);    // side 1, 500 away
  cChara& block2 = Add(2, 440, 420);  // side 2, 60 away, a block character
  block2.m_Def.m_bBlockChara = 1;
  cChara& id3 = Add(3, 1200, 700);  // side 3, off screen, character ID 7
  id3.m_Def.m_nCharaID = 7;
  ASSERT_EQ(id3.m_bOnScreen, 0);

  const struct {
    std::vector<std::int32_t> params;
    const cActor* expect;
  } rows[] = {
      {{0}, &g_Players[0]},
      {{1}, &self},
      {{2, 1, 0, 1, 1}, &near1},                 // nearest of side 1, itself excluded
      {{2, 1, 0, 1, 0}, &self},                  // itself, at distance 0
      {{2, 0, 1, 1, 1}, &block2},                // all sides: the nearest of their nearest
      {{2, 0, 1, 1, 1, 0, 0, 1}, &near1},        // without block characters
      {{2, 3, 0, 2}, nullptr},                   // on screen only: none on side 3
      {{2, 3, 0, 0}, &id3},                      // on screen first, else the nearest off it
      {{3, 1, 0, 0, 1}, &near1},                 // the first of the list that passes
      {{3, 0, 1, 0, 0, 0, 0, 0, 1, 7}, &id3},    // the first with ID 7 of all sides
      {{3, 0, 1, 0, 0, 0, 0, 0, 1, 263}, &id3},  // the ID is read as a byte
      {{3, 5, 0}, nullptr},                      // an empty side
  };
  for (const auto& row : rows) {
    CmdSetTarget(self, Target(row.params));
    EXPECT_EQ(self.m_pTarget, row.expect) << row.params[0] << " " << row.params.size();
    // The actor is listed by its target alone, once.
    for (cActor* a : {static_cast<cActor*>(&g_Players[0]), static_cast<cActor*>(&self), static_cast<cActor*>(&near1),
                      static_cast<cActor*>(&far1), static_cast<cActor*>(&block2), static_cast<cActor*>(&id3)}) {
      const auto n = std::count(a->m_Targeters.begin(), a->m_Targeters.end(), &self);
      EXPECT_EQ(n, a == row.expect ? 1 : 0) << row.params[0];
    }
  }
  // The same choice again lists it no twice; another choice leaves the target alone.
  CmdSetTarget(self, Target({3, 1, 0, 0, 1}));
  CmdSetTarget(self, Target({3, 1, 0, 0, 1}));
  EXPECT_EQ(near1.m_Targeters.Size(), 1);
  CmdSetTarget(self, Target({9}));
  EXPECT_EQ(self.m_pTarget, &near1);
}

}  // namespace
