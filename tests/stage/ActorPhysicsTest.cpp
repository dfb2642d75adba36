#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/Shot.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::StageFixture;

constexpr int HERO = 0;
constexpr int CHARA = 1;

// Stage 40 x 15: stage cell (cx, cy) covers map pixels 320 + 32 cx .. + 31.
double Px(int cell) { return 320 + 32 * cell; }

class ActorPhysicsTest : public StageFixture {
 protected:
  // One sub-step of a walking character's vertical move as the play frame runs it.
  int FallStep(cChara& c) {
    c.ClearContacts();
    c.ApplyGravity();
    const int r = c.MoveY();
    Scene().ResolveBlocksY(c);
    return r;
  }
};

TEST_F(ActorPhysicsTest, JumpSpeedsAndApexTimesFollowTheHitLevelAndGravity) {
  struct Case {
    int nLevel;
    double dGravity;
    int nKind;
    double h;
    double v;
    int nApex;
    double dCap;
  };
  const Case cases[] = {
      {1, 0.4, CHARA, 0, -0.4, 2, 6},  // a jump of nothing still leaves by one gravity step
      {1, 0.4, CHARA, 32, -5.263595560468866, 14, 6},
      {1, 0.4, HERO, 32, -5.158323649259488, 13, 6},  // x 0.98 for the hero
      {3, 0.4, CHARA, 32, -1.7089167030351933, 41, 6},
      {13, 0.9, HERO, 64, -3.5101462432546726, 38, 20},  // 11 to 19: three steps, 60 pixels a frame
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nLevel * 1000 + c.h);
    g_Stage.m_dGravity = c.dGravity;
    g_Stage.SetHitLevel(c.nLevel);
    cChara a;
    a.m_nKind = c.nKind;
    EXPECT_NEAR(a.JumpSpeed(c.h), c.v, 1e-12);
    EXPECT_DOUBLE_EQ(a.JumpSpeedForHeight(static_cast<std::int8_t>(c.h / 16)), a.JumpSpeed(c.h));
    EXPECT_EQ(cActor::ApexSteps(c.v), c.nApex);
    EXPECT_EQ(a.JumpFrames(static_cast<std::int8_t>(c.h / 16)), c.nApex / g_SubSteps / 6 + 1);
    EXPECT_DOUBLE_EQ(g_MaxSpeed, c.dCap);
    EXPECT_DOUBLE_EQ(g_Gravity, c.dGravity / (g_FrameScale * g_FrameScale));
  }
}

TEST_F(ActorPhysicsTest, StagesWithoutGravityGiveFiniteJumps) {
  for (double g : {0.0, -0.5}) {
    g_Stage.m_dGravity = g;
    g_Stage.SetHitLevel(2);
    cChara a;
    a.m_nKind = CHARA;
    const double v = a.JumpSpeed(32);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(cActor::ApexSteps(v), 0);
    EXPECT_EQ(a.JumpFrames(2), 1);
  }
  // Level 0 runs no sub-step: nothing divides by the count.
  g_Stage.m_dGravity = 0.4;
  g_Stage.SetHitLevel(0);
  cChara b;
  EXPECT_TRUE(std::isfinite(b.JumpSpeed(32)));
  EXPECT_GE(b.JumpFrames(2), 1);
}

TEST_F(ActorPhysicsTest, ACharacterFallsAtTheSpeedCapAndLandsKeepingTheFraction) {
  MakeMap({{3, 5}});
  g_Charas.emplace_back();
  cChara& c = g_Charas.back();
  Place(c, Px(3), Px(2) + 0.3, 32, 32, CHARA);
  // 0.4 more a step up to the cap of 6: 15 steps cover 48 pixels, then 6 a step; the
  // bottom enters the floor cell in step 18 and snaps back above it.
  int nSteps = 0;
  while (!c.m_bContactDown && nSteps < 40) {
    EXPECT_EQ(FallStep(c), 0);
    ++nSteps;
    if (nSteps == 17) { EXPECT_DOUBLE_EQ(c.m_dVelY, 6.0); }
  }
  EXPECT_EQ(nSteps, 18);
  EXPECT_NEAR(c.m_dY, Px(4) + 0.3, 1e-9);
  EXPECT_EQ(c.m_dVelY, 0.0);
  EXPECT_EQ(TriggersOf(c), (std::vector<int>{9, 13, 15}));
  EXPECT_TRUE(c.IsSupported());
}

TEST_F(ActorPhysicsTest, AJumpRisesUntilTheCeilingAndIsRefusedInTheAir) {
  MakeMap({{3, 5}, {3, 2}});
  g_Charas.emplace_back();
  cChara& c = g_Charas.back();
  Place(c, Px(3), Px(4), 32, 32, CHARA);
  cCommandRuntime run;
  run.m_dSpeed = c.JumpSpeedForHeight(6);  // 96 pixels: more than the 32 of head room
  c.m_bKnocked = 1;
  EXPECT_EQ(c.Jump(run), 1);  // refused: the flag that refused
  EXPECT_EQ(c.m_dVelY, 0.0);
  c.m_bKnocked = 0;
  c.m_bNoJump = 7;
  EXPECT_EQ(c.Jump(run), 7);
  c.m_bNoJump = 0;
  c.m_bOnBlockChara = 1;
  EXPECT_EQ(c.Jump(run), 1);
  EXPECT_DOUBLE_EQ(c.m_dVelY, run.m_dSpeed);
  EXPECT_EQ(c.m_bJumping + c.m_bJumpRising, 2);
  EXPECT_EQ(c.m_bOnBlockChara, 0);

  int nSteps = 0;
  while (!c.m_bContactUp && nSteps < 40) {
    FallStep(c);
    ++nSteps;
  }
  ASSERT_EQ(c.m_bContactUp, 1);
  EXPECT_NEAR(c.m_dY, Px(3) + 0.4, 1e-9);  // under the ceiling cell, the fraction kept
  EXPECT_EQ(c.m_dVelY, 0.0);
  EXPECT_EQ(c.m_bNoJump, 1);
  EXPECT_EQ(TriggersOf(c), (std::vector<int>{9, 13, 14}));
  EXPECT_EQ(c.Jump(run), 1);  // no second jump from under the ceiling
}

TEST_F(ActorPhysicsTest, WalkingIntoAWallAndBeingSqueezedBetweenTwo) {
  MakeMap({{9, 3}, {6, 6}, {8, 6}});
  g_Charas.emplace_back();
  cChara& c = g_Charas.back();
  Place(c, Px(7) + 0.5, Px(3), 32, 32, CHARA);
  c.SavePos();
  c.m_dPushX = 4;
  int nSteps = 0;
  while (!c.m_bContactRight && nSteps < 10) {
    c.ClearContacts();
    c.m_dStepX = 0;
    c.MoveX();
    Scene().ResolveBlocksX(c);
    ++nSteps;
  }
  // 4 a step: the right edge enters the wall in step 9 and is pushed back, fraction kept.
  EXPECT_EQ(nSteps, 9);
  EXPECT_DOUBLE_EQ(c.m_dX, Px(8) + 0.5);
  EXPECT_EQ(c.m_dPushX, 0.0);
  EXPECT_EQ(TriggersOf(c), (std::vector<int>{9, 10, 12}));

  // A body wider than the gap meets both walls: both contacts, the crushed state.
  Place(c, Px(7) - 2, Px(6), 36, 32, CHARA);
  c.ClearContacts();
  Scene().ResolveBlocksX(c);
  EXPECT_EQ(c.m_bContactLeft + c.m_bContactRight, 2);
  c.RestorePos();
  EXPECT_DOUBLE_EQ(c.m_dX, Px(7) + 0.5);
  EXPECT_DOUBLE_EQ(c.m_dBottom, Px(3) + 31);
  c.ClearContacts();
  EXPECT_EQ(c.m_bContactLeft + c.m_bContactRight + c.m_bContactUp + c.m_bContactDown, 0);
}

TEST_F(ActorPhysicsTest, MoveLimitCodesOfACharacter) {
  MakeMap();
  cChara c;
  // Pushed past the left edge of the map: it leaves.
  Place(c, 2, Px(3), 32, 32, CHARA);
  c.m_dPushX = -5;
  EXPECT_EQ(c.MoveX(), 4);
  EXPECT_EQ(c.m_dX, 0.0);
  // Friction brakes the push; a knock-back replaces the step.
  Place(c, Px(3), Px(3), 32, 32, CHARA);
  c.m_dBrake = 0.5;
  c.m_bBrakeX = 1;
  c.m_dPushX = 2;
  c.m_dStepX = 0;
  EXPECT_EQ(c.MoveX(), 0);
  EXPECT_DOUBLE_EQ(c.m_dX, Px(3) + 1.5);
  c.m_dKnockX = -3;
  c.m_dStepX = 0;
  c.MoveX();
  EXPECT_DOUBLE_EQ(c.m_dX, Px(3) - 1.5);
  EXPECT_DOUBLE_EQ(c.m_dPushX, 1.5);
  // Falling below the stage kills a walker; a flyer leaving the map leaves.
  const double bottom = Scene().m_ScrollY.m_nStageEnd;
  Place(c, Px(3), bottom - 33, 32, 32, CHARA);
  c.m_dVelY = 4;
  EXPECT_EQ(c.MoveY(), 7);
  Place(c, Px(3), 3, 32, 32, CHARA, 1);
  c.m_dVelY = -5;
  EXPECT_EQ(c.MoveY(), 8);
}

TEST_F(ActorPhysicsTest, GravityFrictionAndKnockBackDecay) {
  cChara c;
  struct Gate {
    int bFlying, bRiding, bCancelled;
    double dKnockY;
    double dGain;
  };
  for (const Gate& g : {Gate{0, 0, 0, 0, 0.4}, Gate{1, 0, 0, 0, 0}, Gate{0, 1, 0, 0, 0}, Gate{0, 0, 1, 0, 0},
                        Gate{0, 0, 0, -1, 0}, Gate{0, 0, 0, 1, 0.4}}) {
    c.m_bFlying = g.bFlying;
    c.m_bOnBlockChara = g.bRiding;
    c.m_bMoveCancelled = g.bCancelled;
    c.m_dKnockY = g.dKnockY;
    c.m_dVelY = 1;
    c.ApplyGravity();
    EXPECT_DOUBLE_EQ(c.m_dVelY, 1 + g.dGain);
  }
  c.m_dBrake = 0.3;
  for (auto [v, bOn, after] :
       {std::tuple{1.0, 1, 0.7}, {-1.0, 1, -0.7}, {0.2, 1, 0.0}, {-0.2, 1, 0.0}, {1.0, 0, 1.0}}) {
    double d = v;
    c.ApplyFriction(d, bOn);
    EXPECT_DOUBLE_EQ(d, after);
  }
  g_Stage.SetHitLevel(2);  // decay of 0.5 a step
  c.m_dKnockX = 1.2;
  c.m_dKnockY = -0.7;
  c.DecayVelocityX();
  c.DecayVelocityY();
  EXPECT_DOUBLE_EQ(c.m_dKnockX, 0.7);
  EXPECT_DOUBLE_EQ(c.m_dKnockY, -0.2);
  c.DecayVelocityX();
  c.DecayVelocityY();
  EXPECT_NEAR(c.m_dKnockX, 0.2, 1e-12);
  EXPECT_EQ(c.m_dKnockY, 0.0);  // stops at 0 instead of crossing it
  c.DecayVelocityX();
  EXPECT_EQ(c.m_dKnockX, 0.0);
}

TEST_F(ActorPhysicsTest, KnockBackDistanceAgainstResistance) {
  struct Case {
    int nImpact;
    int nResist;
    double dx, dy;
    int nHalfBlocksX;  // expected knock-back along x, signed
    int nHalfBlocksY;
  };
  const Case cases[] = {
      // clang-format off
      {30, 5, 1, 0, 20, 0},     // capped at 20 half blocks
      {3, 5, 1, 0, 0, 0},       // resisted
      {-30, 5, 1, 0, -20, 0},   // a pull, capped too
      {-3, 5, 1, 0, 0, 0},
      {10, 0, -3, 1, -7, 2},    // split 3 : 1 (7.5 and 2.5 half blocks)
      {100, 156, 1, 0, 0, 0},   // 100 - (-100) wraps negative on bytes: nothing
      // clang-format on
  };
  for (int nLevel : {1, 3}) {
    g_Stage.SetHitLevel(nLevel);
    for (const Case& k : cases) {
      SCOPED_TRACE(nLevel * 1000 + k.nImpact);
      cChara c;
      c.m_Def.m_nImpactResist = static_cast<std::uint8_t>(k.nResist);
      c.KnockBack(static_cast<std::int8_t>(k.nImpact), k.dx, k.dy);
      EXPECT_EQ(c.m_bKnocked, 1);
      // The start speed lessened by 1/m a sub-step covers 16 pixels a half block.
      double vx = c.m_dKnockX, vy = c.m_dKnockY, sx = 0, sy = 0;
      for (int i = 0; i < 2000 && (vx != 0 || vy != 0); ++i) {
        sx += vx;
        sy += vy;
        c.m_dKnockX = vx;
        c.m_dKnockY = vy;
        c.DecayVelocityX();
        c.DecayVelocityY();
        vx = c.m_dKnockX;
        vy = c.m_dKnockY;
      }
      const double wantX = k.nImpact == 10 ? -7.5 * 16 : k.nHalfBlocksX * 16.0;
      const double wantY = k.nImpact == 10 ? 2.5 * 16 : k.nHalfBlocksY * 16.0;
      EXPECT_NEAR(sx, wantX, 1.0);
      EXPECT_NEAR(sy, wantY, 1.0);
    }
  }
  // The exact start speed of 20 half blocks at one sub-step a frame.
  g_Stage.SetHitLevel(1);
  cChara c;
  c.KnockBack(20, 1, 0);
  EXPECT_DOUBLE_EQ(c.m_dKnockX, (std::sqrt(2561.0) - 1) / 2);
  // Impact 0 changes nothing at all.
  cChara d;
  d.KnockBack(0, 1, 0);
  EXPECT_EQ(d.m_bKnocked, 0);
}

TEST_F(ActorPhysicsTest, KnockBackCancelsAMovementTowardTheAttacker) {
  struct Case {
    double dPushX, dPushY, dVelY;
    double dx, dy;
    double wantPushX, wantPushY, wantVelY;
  };
  const Case cases[] = {
      {2, 0, 0, -1, 0, 0, 0, 0},    // walking right, knocked left
      {-2, 0, 0, -1, 0, -2, 0, 0},  // walking the same way: kept
      {0, 1, 3, 0, -1, 0, 0, 0},    // falling, knocked up
      {0, -1, -3, 0, -1, 0, -1, -3},
  };
  for (const Case& k : cases) {
    cChara c;
    c.m_dPushX = k.dPushX;
    c.m_dPushY = k.dPushY;
    c.m_dVelY = k.dVelY;
    c.KnockBack(5, k.dx, k.dy);
    EXPECT_EQ(c.m_dPushX, k.wantPushX);
    EXPECT_EQ(c.m_dPushY, k.wantPushY);
    EXPECT_EQ(c.m_dVelY, k.wantVelY);
  }
}

TEST_F(ActorPhysicsTest, KnockBackSourcesAndTheVerticalShare) {
  cChara a, o;
  a.m_Def.m_nImpactResist = 0;
  o.m_Def.m_nBodyImpact = 4;
  o.m_dStepX = 2;
  o.m_dVelY = 1;  // a walker not yet falling hard pushes only sideways
  a.KnockBackFromChara(o);
  EXPECT_GT(a.m_dKnockX, 0);
  EXPECT_EQ(a.m_dKnockY, 0.0);
  o.m_dVelY = 4;  // faster than 8 frames of free fall (3.2)
  a.KnockBackFromChara(o);
  EXPECT_GT(a.m_dKnockY, 0);

  cShot sword;
  sword.m_Shot.m_nImpact = 4;
  sword.m_nFacing = 0;
  cChara b;
  b.KnockBackFromShot(sword);
  EXPECT_LT(b.m_dKnockX, 0);
  EXPECT_EQ(b.m_dKnockY, 0.0);
  cShot shot = sword;
  shot.m_bIsShot = 1;
  shot.m_dStepX = 0;
  shot.m_dVelY = -3;
  cChara s;
  s.KnockBackFromShot(shot);
  EXPECT_EQ(s.m_dKnockX, 0.0);
  EXPECT_LT(s.m_dKnockY, 0);

  // The vertical share replaces the previous one; gravity stays.
  MakeMap({{3, 5}});
  cChara w;
  w.m_dVelY = 1.5;
  w.m_dPrevKnockY = 0.5;
  w.m_dKnockY = -2;
  w.ApplyKnockBackY();
  EXPECT_DOUBLE_EQ(w.m_dVelY, -1.0);
  EXPECT_DOUBLE_EQ(w.m_dPrevKnockY, -2.0);
  w.m_bFlying = 1;
  w.ApplyKnockBackY();
  EXPECT_DOUBLE_EQ(w.m_dVelY, -3.0);
  // Knocked down onto a floor: stopped at once.
  w.m_bFlying = 0;
  w.m_dKnockY = 2;
  w.m_pFootBlock = &Cell(3, 5);
  w.ApplyKnockBackY();
  EXPECT_EQ(w.m_dKnockY, 0.0);
  EXPECT_EQ(w.m_dPrevKnockY, 0.0);
  EXPECT_DOUBLE_EQ(w.m_dVelY, -3.0);
}

TEST_F(ActorPhysicsTest, PlacingOnACellCentresTheScaledBox) {
  cChara c;
  Place(c, 0, 0, 16, 24, CHARA);  // offsets 8 and 8 in a 32-pixel cell
  c.PlaceAtCell(4, 2);
  EXPECT_DOUBLE_EQ(c.m_dX, Px(4) + 8.5);
  EXPECT_DOUBLE_EQ(c.m_dY, Px(2) + 8);
  EXPECT_DOUBLE_EQ(c.m_dRight, Px(4) + 8.5 + 15);
  c.m_Def.m_nScale = 3;
  c.PlaceAtCellX(4);
  EXPECT_DOUBLE_EQ(c.m_dX, Px(4) + 8.5 - 2 * 8);
}

TEST_F(ActorPhysicsTest, TheViewFollowsThePlayerWithinItsLimits) {
  MakeMap();
  cPlayer& p = g_Players[0];
  Place(p, 0, Px(3), 32, 32, HERO);
  const cScrollAxis& sx = Scene().m_ScrollX;
  struct Case {
    double x;
    double wantScroll;
  };
  // Stage 40 cells: map pixels 320 to 1599, view positions 320 to 960.
  for (const Case& c : {Case{800, 496}, Case{330, 320}, Case{1500, 960}}) {
    p.m_dX = c.x;
    EXPECT_EQ(p.SyncX(), 0);
    EXPECT_DOUBLE_EQ(sx.m_dPos, c.wantScroll);
    EXPECT_DOUBLE_EQ(p.m_dRight, c.x + 31);
  }
  p.m_dX = 100;  // walking: kept on the stage
  p.SyncX();
  EXPECT_DOUBLE_EQ(p.m_dX, 320);
  Scene().m_ScrollX.m_bAuto = 1;  // an automatic scroll leaves the view alone
  p.m_dX = 800;
  p.SyncX();
  EXPECT_DOUBLE_EQ(sx.m_dPos, 320);
}

TEST_F(ActorPhysicsTest, PlayerMovesWithKnockBackSpeedBlocksAndFallsOut) {
  MakeMap();
  cPlayer& p = g_Players[0];
  Place(p, Px(10), Px(3), 32, 32, HERO);
  p.m_dJumpUnit = 4.0;
  p.m_dPushX = 1;
  p.m_nFootKind = 3;
  p.m_nFootSteps = 5;
  p.m_dFootFactor = 2;  // speeds up by 4 / 60 a step
  EXPECT_EQ(p.MoveX(), 0);
  EXPECT_DOUBLE_EQ(p.m_dPushX, 1 + 4.0 / 60);
  EXPECT_DOUBLE_EQ(p.m_dX, Px(10) + 1 + 4.0 / 60);
  p.m_dFootFactor = -100;  // a slowing block stops the walk but never turns it
  p.m_dStepX = 0;
  p.MoveX();
  EXPECT_EQ(p.m_dPushX, 0.0);
  p.m_dKnockX = -50;  // a knock-back replaces the step, capped
  p.m_dStepX = 0;
  const double x = p.m_dX;
  p.MoveX();
  EXPECT_DOUBLE_EQ(p.m_dX, x - 6);

  p.m_dY = Scene().m_ScrollY.m_nStageEnd - 33;
  p.m_dVelY = 4;
  EXPECT_EQ(p.MoveY(), 7);
}

}  // namespace
