// Shots on a laid-out stage: formations fired by a character, the flight to the end of
// the range, blocks, steering, hits on actors of other sides and clashes of attacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "gamedata/Command.h"
#include "gamedata/Database.h"
#include "records/PlayRecord.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/Shot.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::cTestActor;

double Cos(double deg) { return std::cos(deg * std::numbers::pi / 180); }
double Sin(double deg) { return std::sin(deg * std::numbers::pi / 180); }

class ShotTest : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    saved_ = g_Stage;
    savedSwords_ = g_Database.m_SwordTypes;
    savedScore_ = g_PlayRecord.m_nStageScore;
    for (std::int32_t* p :
         {g_Stage.m_PlayerShotSize, g_Stage.m_PlayerShotAttack, g_Stage.m_CharaShotSize, g_Stage.m_CharaShotAttack}) {
      p[0] = p[1] = 16;
    }
    for (cEdStageParam& p : g_Stage.m_Params) p.Set(0, 0, 0, 0, 0, 0, 0, 0);
    g_Stage.m_nHitPasses = 0;
    g_Stage.m_bOnScreenHits = 0;
    MakeMap();
    command_.m_nType = CMD_SHOT;
    runtime_.m_pCommand = &command_;
    // The user: a character of side 1 whose 32 x 32 cell stands at map pixel (400, 400),
    // the view at the stage's top-left (320, 320): screen rectangle (80, 80)-(111, 111).
    Place(user_, 400, 400);
    user_.m_nSide = 1;
    user_.m_nSerial = 7;
  }
  void TearDown() override {
    Scene().m_Shots.clear();
    CopyShotSettings(saved_);
    g_Database.m_SwordTypes = savedSwords_;
    g_PlayRecord.m_nStageScore = savedScore_;
    StageFixture::TearDown();
  }
  static void CopyShotSettings(const cEdStage& from) {
    for (int i = 0; i < 2; ++i) {
      g_Stage.m_PlayerShotSize[i] = from.m_PlayerShotSize[i];
      g_Stage.m_PlayerShotAttack[i] = from.m_PlayerShotAttack[i];
      g_Stage.m_CharaShotSize[i] = from.m_CharaShotSize[i];
      g_Stage.m_CharaShotAttack[i] = from.m_CharaShotAttack[i];
    }
    for (int i = 0; i < STAGE_PARAM_COUNT; ++i) g_Stage.m_Params[i] = from.m_Params[i];
    g_Stage.m_nHitPasses = from.m_nHitPasses;
    for (int i = 0; i < 4; ++i) g_Stage.m_HitTimes[i] = from.m_HitTimes[i];
  }

  // A payload of speed 3 pixels a frame (30 tenths), the rest as set.
  template <class F>
  static cEdShot Payload(F&& set) {
    cEdShot p;
    p.m_nSpeed = 30;
    p.m_nGroupCount = 1;
    set(p);
    return p;
  }
  void Fire(const cEdShot& p) { FireShot(user_, runtime_, p); }
  std::vector<cShot*> Shots() {
    std::vector<cShot*> out;
    for (cShot& s : Scene().m_Shots) out.push_back(&s);
    return out;
  }
  // A shot of the payload with its body's top-left at (x, y) and velocity (vx, vy) per
  // frame, fired by shooter.
  cShot& Add(cActor& shooter, const cEdShot& p, int x, int y, double vx = 0, double vy = 0) {
    SHOTSPAWN rec;
    rec.nX = x;
    rec.nY = y;
    rec.dVx = vx;
    rec.dVy = vy;
    rec.dSpeed = std::hypot(vx, vy);
    rec.nRange = p.m_nRange;
    rec.nLife = p.m_nLife;
    cShot s;
    s.Init(Scene().m_nNextShotId++, shooter, CMD_SHOT, p, rec);
    return Scene().AddShot(s);
  }
  // One displayed frame of the shot pass.
  void Frame() {
    for (int i = 1; i <= g_SubSteps; ++i) {
      Scene().m_nSubStep = i;
      Scene().ShotPass();
    }
  }

  cTestActor user_;
  cEdCommand command_;
  cCommandRuntime runtime_;
  cEdStage saved_;
  cVector<cEdSwordType> savedSwords_;
  std::int32_t savedScore_ = 0;
};

struct Element {
  int x, y;
  double vx, vy;  // pixels per frame
};

// The shots fired, in order, stand where the elements say and move with their velocities.
void ExpectElements(const std::vector<cShot*>& shots, const std::vector<Element>& expected) {
  ASSERT_EQ(shots.size(), expected.size());
  for (std::size_t i = 0; i < shots.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(shots[i]->m_dX, expected[i].x);
    EXPECT_EQ(shots[i]->m_dY, expected[i].y);
    EXPECT_NEAR(shots[i]->m_dVx, expected[i].vx, 1e-9);
    EXPECT_NEAR(shots[i]->m_dVy, expected[i].vy, 1e-9);
  }
}

struct FormationCase {
  const char* name;
  int formation, direction, count, param0, param1, param2;
  bool bTargetNeeded;
  std::vector<Element> expected;
};

TEST_F(ShotTest, FormationsPlaceTheirElementsWithTheirVelocities) {
  // The hero, as target, stands right of the user: screen rectangle (280, 80)-(311, 111).
  cPlayer& hero = g_Players[0];
  Place(hero, 600, 400, 32, 32, 0);
  hero.CalcScreenRect();
  const double r = 3 * Cos(45), q = 3 * Sin(45);
  const std::vector<FormationCase> cases = {
      // Left of the user, a column of 3 spaced 1 half block, centred on its middle line:
      // x = 320 + 80 + 1 - 16, y = 320 + 80 + 16 - 2 x 8 - 3 x 8, then 16 + 16 apart.
      {"straight A left", 0, 2, 3, 1, 0, 0, false, {{385, 376, -3, 0}, {385, 408, -3, 0}, {385, 440, -3, 0}}},
      // Right of the user, stacked upward from its foot: x = 320 + 111 + 1, y = 320 + 111 - 16 + 1.
      {"straight B right", 1, 3, 2, 0, 0, 0, false, {{432, 416, 3, 0}, {432, 400, 3, 0}}},
      // Above the user's middle, 4 shots 30 degrees apart around 90.
      // clang-format off
      {"spread up", 2, 6, 4, 30, 0, 0, false,
       {{408, 384, -3 * Cos(45), -3 * Sin(45)}, {408, 384, -3 * Cos(75), -3 * Sin(75)},
        {408, 384, -3 * Cos(105), -3 * Sin(105)}, {408, 384, -3 * Cos(135), -3 * Sin(135)}}},
      // clang-format on
      // Centred on the user, a full circle from the left.
      {"burst", 4, 2, 4, 0, 0, 0, false, {{408, 408, -3, 0}, {408, 408, 0, -3}, {408, 408, 3, 0}, {408, 408, 0, 3}}},
      // Down from the top of the view on the line through the target's centre (x 296).
      {"lightning down", 3, 7, 2, 0, 1, 0, true, {{608, 320, 0, 3}, {608, 336, 0, 3}}},
      // Two rows 2 half blocks apart, centred on that line.
      {"lightning rows", 3, 7, 1, 0, 2, 2, true, {{592, 320, 0, 3}, {624, 320, 0, 3}}},
      // On a circle of 2 half blocks around the target's centre, inward: x = trunc(32 cos a
      // + 0.5) + 608, so trunc(-31.5) = -31 on the left.
      {"surround", 5, 2, 2, 2, 0, 0, true, {{640, 408, -3, 0}, {577, 408, 3, 0}}},
      // Diagonal up-left: XL = trunc(416 - 23 K - 8), YU = trunc(416 - 24 K - 8).
      {"straight A up-left", 0, 8, 1, 0, 0, 0, false, {{391, 391, -r, -q}}},
  };
  for (const FormationCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    user_.m_pTarget = c.bTargetNeeded ? &hero : nullptr;
    const cEdShot p = Payload([&](cEdShot& s) {
      s.m_nFormation = static_cast<std::int8_t>(c.formation);
      s.m_nDirection = static_cast<std::int8_t>(c.direction);
      s.m_nGroupCount = static_cast<std::int8_t>(c.count);
      s.m_nFormationValues[0] = static_cast<std::int16_t>(c.param0);
      s.m_nFormationValues[1] = static_cast<std::int16_t>(c.param1);
      s.m_nFormationValues[2] = static_cast<std::int16_t>(c.param2);
    });
    Fire(p);
    const std::vector<cShot*> shots = Shots();
    ExpectElements(shots, c.expected);
    for (const cShot* shot : shots) EXPECT_EQ(shot->m_nSide, 1);  // the user's
    // Without a target, the lightning and the surround place nothing.
    if (c.bTargetNeeded) {
      Scene().m_Shots.clear();
      for (auto& side : Scene().m_SideShots) side.clear();
      user_.m_pTarget = nullptr;
      Fire(p);
      EXPECT_TRUE(Scene().m_Shots.empty());
    }
  }
}

// Lightning on the diagonals: the elements enter from the screen edge or corner that lies
// behind their travel, on the diagonal through the target's centre, each the next one's
// neighbour along the travel (16 K = 11.3 pixels apart on both axes). Which edge depends
// on where the diagonal leaves the screen, so each code is fired at two targets.
TEST_F(ShotTest, DiagonalLightningEntersOnTheDiagonalThroughTheTarget) {
  cPlayer& hero = g_Players[0];
  const double k = 3 * Cos(45);
  struct Case {
    const char* name;
    int direction, tcx, tcy;  // the target's centre on the screen
    int count, rows, rowSpacing;
    std::vector<Element> expected;
  };
  const std::vector<Case> cases = {
      // The diagonal x - y = 200 leaves the screen through its right edge (at y 440).
      {"up-left, right edge", 8, 296, 96, 2, 1, 0, {{944, 744, -k, -k}, {933, 733, -k, -k}}},
      // x - y = 100 leaves through the bottom edge (at x 580).
      {"up-left, bottom edge", 8, 500, 400, 2, 1, 0, {{884, 784, -k, -k}, {873, 773, -k, -k}}},
      // x + y = 392 meets the top edge at x 392.
      {"down-left, top edge", 9, 296, 96, 2, 1, 0, {{696, 320, -k, k}, {685, 331, -k, k}}},
      // x + y = 900 meets the right edge at y 260.
      {"down-left, right edge", 9, 500, 400, 2, 1, 0, {{944, 580, -k, k}, {933, 591, -k, k}}},
      // x + y = 392 meets the left edge at y 392.
      {"up-right, left edge", 10, 296, 96, 2, 1, 0, {{320, 696, k, -k}, {331, 685, k, -k}}},
      // x + y = 900 meets the bottom edge at x 420.
      {"up-right, bottom edge", 10, 500, 400, 2, 1, 0, {{740, 784, k, -k}, {751, 773, k, -k}}},
      // x - y = 200 meets the top edge at x 200.
      {"down-right, top edge", 11, 296, 96, 2, 1, 0, {{520, 320, k, k}, {531, 331, k, k}}},
      // x - y = -200 meets the left edge at y 200.
      {"down-right, left edge", 11, 100, 300, 2, 1, 0, {{320, 520, k, k}, {331, 531, k, k}}},
      // Two rows 2 half blocks apart, across the travel and centred on the diagonal: the
      // entry point moved by half the spacing (16 K = 11) both ways, 32 K = 22 apart.
      {"up-left, two rows", 8, 296, 96, 1, 2, 2, {{933, 755, -k, -k}, {955, 733, -k, -k}}},
      {"down-left, two rows", 9, 296, 96, 1, 2, 2, {{685, 309, -k, k}, {707, 331, -k, k}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    // The view's origin is (320, 320): the target's 32 x 32 cell at the matching map pixel.
    Place(hero, c.tcx - 16 + 320, c.tcy - 16 + 320, 32, 32, 0);
    hero.CalcScreenRect();
    user_.m_pTarget = &hero;
    Fire(Payload([&](cEdShot& s) {
      s.m_nFormation = 3;
      s.m_nDirection = static_cast<std::int8_t>(c.direction);
      s.m_nGroupCount = static_cast<std::int8_t>(c.count);
      s.m_nFormationValues[1] = static_cast<std::int16_t>(c.rows);
      s.m_nFormationValues[2] = static_cast<std::int16_t>(c.rowSpacing);
    }));
    ExpectElements(Shots(), c.expected);
  }
}

// An angle or aiming turns the straight and spread formations. Turned around the user
// ("rotate"), the row's middle sits on the ring of radius 16 + 8 = 24 around the user's
// centre (416, 416) in the direction of travel a, so an element's top-left is
// (408 - 24 cos a, 408 - 24 sin a), and a row of two lies across the travel. Without the
// turn, the row keeps its place beside the user and only the velocity turns.
TEST_F(ShotTest, AnglesAndAimingTurnTheRowAroundTheUser) {
  cPlayer& hero = g_Players[0];
  // The target's centre at map (476, 456): 60 right of and 40 below the user's centre,
  // close enough for the aim to change with the point it is taken from.
  Place(hero, 460, 440, 32, 32, 0);
  hero.CalcScreenRect();
  user_.m_pTarget = &hero;
  struct Case {
    const char* name;
    int formation, direction, count, angle;
    bool bRotate, bAim;
    std::vector<Element> expected;
  };
  const auto V = [](double a) { return Element{0, 0, -3 * Cos(a), -3 * Sin(a)}; };
  const auto At = [&](int x, int y, double a) {
    Element e = V(a);
    e.x = x;
    e.y = y;
    return e;
  };
  const std::vector<Case> cases = {
      // Left turned by 20 degrees: (408 - 22.55, 408 - 8.21).
      {"straight A, left + 20, turned", 0, 2, 1, 20, true, false, {At(385, 399, 20)}},
      // Two across the travel, 16 apart along (sin 20, -cos 20) = (0.34, -0.94): the first
      // half a step back, trunc(385 - 2.74) and trunc(399 + 7.52); the step is (5, -15).
      {"straight A, two, turned", 0, 2, 2, 20, true, false, {At(382, 406, 20), At(387, 391, 20)}},
      // Up turned by 20 (a = 110): the ring point is (408 + 8.21, 408 - 22.55) and the row
      // runs the other way round, from trunc(416 + 7.52), trunc(385 + 2.74) by (-15, -5).
      {"straight A, up + 20, two, turned", 0, 6, 2, 20, true, false, {At(423, 387, 110), At(408, 382, 110)}},
      // Aimed and turned: from the user's centre the target lies atan2(40, 60) = 33.69
      // degrees below the right, a = trunc(180 + 33.69 + 0.5) = 214 (pointing from the
      // target back to the user); from the ring point (408 + 19.90, 408 + 13.42) the
      // element aims again: from (435, 429), trunc(180 + atan2(27, 41) + 0.5) = 213.
      {"straight A, aimed, turned", 0, 2, 1, 0, true, true, {At(427, 421, 213)}},
      // Not turned: the element keeps its place left of the user (x = 320 + 80 + 1 - 16,
      // y = 320 + 80 + 16 - 8) and flies at the target from there: from (393, 416),
      // trunc(180 + atan2(40, 83) + 0.5) = 206.
      {"straight A, aimed", 0, 2, 1, 0, false, true, {At(385, 408, 206)}},
      // The column right of the user, at its foot, turned by 20 degrees from 180.
      {"straight B, right + 20", 1, 3, 1, 20, false, false, {At(432, 416, 200)}},
      // Aimed from (440, 424): trunc(180 + atan2(32, 36) + 0.5) = 222.
      {"straight B, aimed", 1, 3, 1, 0, false, true, {At(432, 416, 222)}},
      // A spread of one, turned: on the same ring point as the straight row.
      {"spread, left + 20, turned", 2, 2, 1, 20, true, false, {At(385, 399, 20)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    Fire(Payload([&](cEdShot& s) {
      s.m_nFormation = static_cast<std::int8_t>(c.formation);
      s.m_nDirection = static_cast<std::int8_t>(c.direction);
      s.m_nGroupCount = static_cast<std::int8_t>(c.count);
      s.m_nAngle = static_cast<std::int16_t>(c.angle);
      s.m_nSetting10 = c.bRotate;
      s.m_bAimAtTarget = c.bAim;
    }));
    ExpectElements(Shots(), c.expected);
  }
}

TEST_F(ShotTest, RepeatsStepSpeedAngleAndOffsetAndMirrorForARightFacingUser) {
  user_.m_nFacing = 1;
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nFormation = 4;  // burst of one: the angle alone decides the velocity
    s.m_nDirection = 2;
    s.m_nAngle = 30;
    s.m_nAngleStep = 10;
    s.m_nSpeedStep = 10;
    s.m_nExtraShots = 2;
    s.m_nSetting12 = 5;  // offset x, mirrored for a right-facing user
    s.m_nSetting13 = 2;
  });
  Fire(p);
  const std::vector<cShot*> shots = Shots();
  ASSERT_EQ(shots.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const double a = 360 - (30 + 10 * i);
    const double s = 3 + i;
    EXPECT_NEAR(shots[i]->m_dVx, -s * Cos(a), 1e-9);
    EXPECT_NEAR(shots[i]->m_dVy, -s * Sin(a), 1e-9);
    EXPECT_EQ(shots[i]->m_dX, 408 - (5 + 2 * i));
    EXPECT_EQ(shots[i]->m_nLevel, i);
  }
}

TEST_F(ShotTest, ARangeOfTenHalfBlocksEndsInTheSameFrameAtEveryLevel) {
  for (int level : {1, 10}) {
    SCOPED_TRACE(level);
    g_Stage.SetHitLevel(level);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    const cEdShot p = Payload([](cEdShot& s) {
      s.m_bRangeLimit = 1;
      s.m_nRange = 10;
    });
    // D = 160 - 16 = 144 pixels at 5 pixels a frame: trunc(144 / (5 / S)) steps of
    // flight, 28 frames at level 1 and 28.8 at level 10; gone in frame 29 either way.
    cShot& s = Add(user_, p, 600, 400, 5, 0);
    for (int f = 1; f <= 28; ++f) Frame();
    ASSERT_EQ(Scene().m_Shots.size(), 1u);
    EXPECT_EQ(s.m_dX, 600 + 140);
    Frame();
    EXPECT_TRUE(Scene().m_Shots.empty());
    EXPECT_TRUE(Scene().m_SideShots[1].empty());
  }
}

TEST_F(ShotTest, OnlyBlockModeOnePassesBlocks) {
  MakeMap({{5, 3}});  // map cell (15, 13): pixels (480, 416)
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    const cEdShot p = Payload([mode](cEdShot& s) { s.m_nBlockMode = static_cast<std::uint8_t>(mode); });
    Add(user_, p, 470, 420, 4, 0);  // reaches the block in this frame
    Frame();
    EXPECT_EQ(Scene().m_Shots.size(), mode == 1 ? 1u : 0u);
  }
}

TEST_F(ShotTest, ThreeHitsOfPowerTwoKillAWalkerOfThreeHpAndDefenceOne) {
  cChara& enemy = g_Charas.emplace_back();
  Place(enemy, 600, 400);
  enemy.m_nSide = 2;
  enemy.m_bExists = 1;
  enemy.m_Def.m_nMaxHP = 3;
  enemy.m_nHp = 3;
  enemy.m_Def.m_nDefence = 1;
  enemy.m_Def.m_nScore = 250;
  enemy.m_BoxB.m_nW = enemy.m_BoxB.m_nH = 32;
  enemy.m_BoxB.UpdateX(enemy.m_dX);
  enemy.m_BoxB.UpdateY(enemy.m_dY);
  g_Stage.m_HitTimes[3] = 0;  // no invincibility between the hits
  Scene().m_SideActors[2].push_back(&enemy);
  // A friend of the shots' side overlaps too and is never touched.
  cTestActor& friendly = user_;
  Place(user_, 600, 400);
  user_.m_nSide = 1;
  user_.m_bExists = 1;
  user_.m_BoxB.m_nW = user_.m_BoxB.m_nH = 32;
  user_.m_BoxB.UpdateX(user_.m_dX);
  user_.m_BoxB.UpdateY(user_.m_dY);
  user_.m_Def.m_nMaxHP = 3;
  user_.m_nHp = 3;
  Scene().m_SideActors[1].push_back(&user_);
  g_PlayRecord.m_nStageScore = 0;
  const cEdShot p = Payload([](cEdShot& s) { s.m_nPower = 2; });
  for (int hit = 1; hit <= 3; ++hit) {
    SCOPED_TRACE(hit);
    Add(user_, p, 608, 408);
    EXPECT_EQ(Scene().HitShotsOnActors(), 0);
    EXPECT_EQ(enemy.m_nHp, 3 - hit);
    EXPECT_TRUE(Scene().m_Shots.empty());  // a shot that does not pierce is used up
  }
  EXPECT_EQ(enemy.m_bDead, 1);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 250);
  EXPECT_EQ(friendly.m_nHp, 3);
}

TEST_F(ShotTest, AttacksOfDifferentSidesClashByStrength) {
  struct Case {
    int clashQ, strengthQ, clashS, strengthS;
    std::size_t leftQ, leftS;
  };
  const Case cases[] = {
      // clang-format off
      {1, 3, 1, 3, 0, 0},  // equal: both go
      {1, 3, 1, 5, 0, 1},  // only the weaker goes
      {1, 5, 1, 3, 1, 0},
      {1, 3, 0, 9, 0, 1},  // only the clashing one goes
      {0, 0, 0, 0, 1, 1},  // neither clashes
      // clang-format on
  };
  cTestActor other;
  Place(other, 700, 400);
  other.m_nSide = 4;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.strengthQ << " vs " << c.strengthS);
    Scene().m_Shots.clear();
    for (auto& side : Scene().m_SideShots) side.clear();
    Add(user_, Payload([&](cEdShot& s) {
          s.m_bHitsShots = static_cast<std::uint8_t>(c.clashQ);
          s.m_nShotStrength = static_cast<std::uint8_t>(c.strengthQ);
        }),
        500, 400);
    Add(other, Payload([&](cEdShot& s) {
          s.m_bHitsShots = static_cast<std::uint8_t>(c.clashS);
          s.m_nShotStrength = static_cast<std::uint8_t>(c.strengthS);
        }),
        510, 410);
    Scene().ClashShots();
    EXPECT_EQ(Scene().m_SideShots[1].size(), c.leftQ);
    EXPECT_EQ(Scene().m_SideShots[4].size(), c.leftS);
    EXPECT_EQ(Scene().m_Shots.size(), c.leftQ + c.leftS);
  }
}

TEST_F(ShotTest, AimAtTheHeroTurnsOnceAfterItsDistance) {
  cPlayer& hero = g_Players[0];
  Place(hero, 400, 600, 32, 32, 0);
  hero.CalcScreenRect();
  // 1 half block at 2 pixels a step: the turn comes in the ninth step.
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nSpeed = 20;
    s.m_nMotion = 1;
    s.m_nMotionValues[0] = 1;
  });
  cShot& s = Add(user_, p, 408, 400, -2, 0);
  for (int i = 0; i < 8; ++i) s.Update();
  EXPECT_EQ(s.m_dVx, -2);
  EXPECT_EQ(s.m_dVy, 0);
  s.Update();
  s.CalcScreenRect();
  const double dx = hero.ScreenCentreX() - (s.m_ScreenRect.left + 8);
  const double dy = hero.ScreenCentreY() - (s.m_ScreenRect.top + 8);
  EXPECT_NEAR(s.m_dVx, 2 * dx / std::hypot(dx, dy), 1e-9);
  EXPECT_NEAR(s.m_dVy, 2 * dy / std::hypot(dx, dy), 1e-9);
}

TEST_F(ShotTest, LeadAimThatCannotMeetTheTargetKeepsThePlainAim) {
  cPlayer& hero = g_Players[0];
  Place(hero, 700, 600, 32, 32, 0);
  hero.CalcScreenRect();
  // The view scrolls at 10 pixels a step; the shot flies at 1 and moves with the view.
  Scene().m_ScrollX.m_dSpeed = 10;
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nSpeed = 10;
    s.m_nMotion = 1;
    s.m_bScrollSync = 1;
  });
  cShot& s = Add(user_, p, 408, 400, -1, 0);
  s.Update();
  s.CalcScreenRect();
  const double dx = hero.ScreenCentreX() - (s.m_ScreenRect.left + 8);
  const double dy = hero.ScreenCentreY() - (s.m_ScreenRect.top + 8);
  ASSERT_TRUE(std::isfinite(s.m_dVx) && std::isfinite(s.m_dVy));
  EXPECT_NEAR(s.m_dVx, dx / std::hypot(dx, dy), 1e-9);
  EXPECT_NEAR(s.m_dVy, dy / std::hypot(dx, dy), 1e-9);
}

TEST_F(ShotTest, HomingShotsForgetATargetThatLeavesAndUnlinkThemselves) {
  cChara& enemy = g_Charas.emplace_back();
  Place(enemy, 800, 400);
  enemy.m_nSide = 2;
  Scene().m_SideActors[2].push_back(&enemy);
  user_.m_pTarget = &enemy;
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nFormation = 4;
    s.m_nGroupCount = 3;
    s.m_nMotion = 6;  // homing on the target
    s.m_nMotionValues[1] = 999;
  });
  Fire(p);
  ASSERT_EQ(enemy.m_AimingShots.size(), 3u);
  // One shot goes: it leaves the target's list.
  cShot* first = &Scene().m_Shots.front();
  Scene().m_SideShots[1].remove(first);
  Scene().m_Shots.pop_front();
  EXPECT_EQ(enemy.m_AimingShots.size(), 2u);
  // The target leaves: every shot forgets it and flies on straight.
  Scene().EraseChara(g_Charas, g_Charas.begin());
  user_.m_pTarget = nullptr;
  for (cShot& s : Scene().m_Shots) EXPECT_EQ(s.m_pTarget, nullptr);
  Frame();
  EXPECT_EQ(Scene().m_Shots.size(), 2u);
}

TEST_F(ShotTest, ASwordFollowsItsOwnerThroughItsEntries) {
  cEdSwordType type;
  type.m_Entries.clear();
  cEdSwordEntry e;
  e.m_nWidth = 24;
  e.m_nHeight = 8;
  e.m_nTime = 0;  // lasts exactly one step
  e.m_nOffsetX = 4;
  e.m_bMirrorX = 1;
  type.m_Entries.push_back(e);
  e.m_nPosition = 2;  // above, for a tenth of a second: 7 steps
  e.m_nTime = 1;
  type.m_Entries.push_back(e);
  g_Database.m_SwordTypes.assign(1, type);
  cChara& owner = g_Charas.emplace_back();
  Place(owner, 400, 400);
  owner.m_nSerial = 3;
  owner.m_nFacing = 1;
  SHOTSPAWN rec;
  cShot sword;
  sword.Init(0, owner, CMD_SWORD, Payload([](cEdShot&) {}), rec);
  cShot& s = Scene().AddShot(sword);
  // In front of a right-facing owner (R + 1 = 432), the mirrored offset taken off.
  Frame();
  EXPECT_EQ(s.m_dX, 432 - 4);
  EXPECT_EQ(s.m_dY, 400 + 16 - 4);
  EXPECT_EQ(s.m_nFacing, 1);
  // Then above it, centred, and after the last entry it is gone.
  Frame();
  EXPECT_EQ(s.m_dX, 400 + 16 - 12 - 4);
  EXPECT_EQ(s.m_dY, 400 - 8);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(Scene().m_Shots.size(), 1u);
  Frame();
  EXPECT_TRUE(Scene().m_Shots.empty());
}

}  // namespace

namespace {

// Two thousand homing shots whose targets die or leave while they fly: no shot keeps a
// target that is gone, and every target lists exactly the shots that aim at it.
TEST_F(ShotTest, HomingShotsOutliveTheirTargets) {
  constexpr int TARGETS = 20;
  for (int i = 0; i < TARGETS; ++i) {
    cChara& c = g_Charas.emplace_back();
    Place(c, 800 + 16 * i, 300 + 8 * i);
    c.m_nSerial = 100 + i;
    c.m_nSide = 2;
    c.m_bExists = 1;
    Scene().m_SideActors[2].push_back(&c);
  }
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nFormation = 4;
    s.m_nGroupCount = 100;
    s.m_nMotion = 6;
    s.m_nMotionValues[1] = 999;
    s.m_nPower = 1;
  });
  for (cChara& c : g_Charas) {
    user_.m_pTarget = &c;
    Fire(p);
  }
  user_.m_pTarget = nullptr;
  ASSERT_EQ(Scene().m_Shots.size(), 2000u);
  auto Consistent = [&] {
    for (cShot& s : Scene().m_Shots) {
      if (!s.m_pTarget) continue;
      bool bListed = false;
      for (cChara& c : g_Charas)
        if (&c == s.m_pTarget) bListed = std::count(c.m_AimingShots.begin(), c.m_AimingShots.end(), &s) == 1;
      if (!bListed) return false;
    }
    for (cChara& c : g_Charas)
      for (cShot* s : c.m_AimingShots)
        if (s->m_pTarget != &c) return false;
    return true;
  };
  for (int frame = 0; frame < 60 && !g_Charas.empty(); ++frame) {
    Frame();
    Scene().HitShotsOnActors();
    // Every third frame a target dies, every fifth one leaves the stage.
    if (frame % 3 == 0) {
      for (cChara& c : g_Charas)
        if (!c.m_bDead) {
          c.Die();
          break;
        }
    }
    if (frame % 5 == 0) Scene().EraseChara(g_Charas, g_Charas.begin());
    ASSERT_TRUE(Consistent()) << frame;
  }
  g_Charas.clear();
  for (cShot& s : Scene().m_Shots) EXPECT_EQ(s.m_pTarget, nullptr);
}

}  // namespace

namespace {

// A block summon at the cell under (x + 16.5, y + 16.5): put, removed, toggled once per
// command; a locked cell and a cell outside the map are left alone.
TEST_F(ShotTest, BlockSummonsPutRemoveAndToggleTheirCell) {
  MakeMap({{2, 2}});  // map cell (12, 12)
  cEdBlock block;
  block.m_nImage = 7;
  block.m_nHit = 1;
  auto Payload = [](int mode) {
    cEdShot p;
    p.m_nBlockSummonMode = static_cast<std::uint8_t>(mode);
    return p;
  };
  const double x = 13 * 32, y = 12 * 32;  // the empty map cell (13, 12)
  EXPECT_EQ(Scene().SummonBlock(x, y, Payload(0), block), 1);
  EXPECT_EQ(Cell(3, 2)->m_nImage, 7);
  EXPECT_EQ(Scene().SummonBlock(x, y, Payload(1), block), 1);
  EXPECT_EQ(Cell(3, 2)->m_nImage, 0);
  EXPECT_EQ(Cell(3, 2).GetHitKind(0), 0);
  // Toggling: the filled cell empties, and a second toggle in the same command does nothing.
  Scene().m_SummonCells.clear();
  EXPECT_EQ(Scene().SummonBlock(12 * 32, y, Payload(2), block), 1);
  EXPECT_EQ(Cell(2, 2)->m_nImage, 0);
  EXPECT_EQ(Scene().SummonBlock(12 * 32, y, Payload(2), block), 0);
  EXPECT_EQ(Cell(2, 2)->m_nImage, 0);
  // A locked cell stays in every mode.
  Block(2, 2).m_nImage = 5;
  Block(2, 2).m_bFixed = 1;
  Scene().m_SummonCells.clear();
  for (int mode : {0, 1, 2}) EXPECT_EQ(Scene().SummonBlock(12 * 32, y, Payload(mode), block), 0);
  EXPECT_EQ(Cell(2, 2)->m_nImage, 5);
  // Outside the map: nothing.
  EXPECT_EQ(Scene().SummonBlock(-100, y, Payload(0), block), 0);
  EXPECT_EQ(Scene().SummonBlock(x, 1e6, Payload(0), block), 0);
  // A block kept off the player is refused where it would cover it, which still gets
  // its grace.
  cPlayer& hero = g_Players[0];
  Place(hero, x, y, 32, 32, 0);
  cEdShot keepOff = Payload(0);
  keepOff.m_nSetting52 = 1;
  EXPECT_EQ(Scene().SummonBlock(x, y, keepOff, block), 0);
  EXPECT_EQ(Cell(3, 2)->m_nImage, 0);
  EXPECT_EQ(hero.m_nBlockGraceSteps, 2);
}

}  // namespace

namespace {

// A wave of 1 half block at 10 degrees a frame across a shot flying right: the cross
// displacement follows -16 sin(10 t degrees) (up first) to its peak in frame 9. A wave
// speed of 0 has no phase and flies straight.
TEST_F(ShotTest, AWaveWeavesAcrossTheTravel) {
  const cEdShot p = Payload([](cEdShot& s) {
    s.m_nMotion = 8;
    s.m_nMotionValues[0] = 1;
    s.m_nMotionValues[1] = 10;
  });
  cShot& s = Add(user_, p, 500, 400, 2, 0);
  for (int t = 1; t <= 9; ++t) {
    Frame();
    EXPECT_NEAR(s.m_dY - 400, -16 * Sin(10.0 * t), 0.2) << t;
    EXPECT_NEAR(s.m_dX - 500, 2.0 * t, 1e-9) << t;
  }
  const cEdShot still = Payload([](cEdShot& q) {
    q.m_nMotion = 8;
    q.m_nMotionValues[0] = 1;
  });
  cShot& straight = Add(user_, still, 500, 500, 2, 0);
  for (int t = 1; t <= 3; ++t) Frame();
  EXPECT_EQ(straight.m_dY, 500);
  EXPECT_EQ(straight.m_dX, 506);
}

}  // namespace
