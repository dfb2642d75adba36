#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gamedata/KeyCondition.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/StageFixture.h"
#include "test_support/SoundRequests.h"
#include "ui/Pad.h"

namespace {

using stagetest::StageFixture;

constexpr int BUTTON1_CHANNEL = 11;

class ActorUpdateTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    g_Stage.SetHitLevel(3);
    MakeMap();
    cPlayer& hero = g_Players[0];
    Place(hero, 480, 480, 16, 24, 0);
    hero.m_pPad = &pad_;
    hero.m_Def.m_nMaxHP = hero.m_nHp = 3;
    hero.m_bAirborne = 0;
    hero.m_bJumpReady = 1;
    key_.m_KeyStates.assign(KEY_CHANNEL_COUNT, 0);
    key_.m_KeyStates[BUTTON1_CHANNEL] = 1;
    flow_.m_KeyConditions.push_back(&key_);
    Scene().m_pCurFlow = &flow_;
    command_.m_nType = 10;
    command_.m_Params = {1, 0, 6, 0, 0};
    command_.m_nSound = 3;  // table entry 19
    runtime_.m_pCommand = &command_;
    runtime_.m_dSpeed = -4.0;
    runtime_.m_nTotal = 60;
  }
  // One sub-step of the jump command with button 1 held or not.
  void Step(bool bHeld) {
    cPlayer& hero = g_Players[0];
    pad_.m_wButtons = bHeld ? 1 : 0;
    pad_.RecordCommandHistory();
    hero.m_bJumpHandled = 0;
    hero.Jump(runtime_);
  }

  cPad pad_;
  cEdKeyCondition key_;
  cFlowRuntime flow_;
  cEdCommand command_;
  cCommandRuntime runtime_;
  test_support::SoundRequests sounds_;
};

TEST_F(ActorUpdateTest, AFreshPressJumpsOnceWithItsSoundAndAShortPressCutsTheRise) {
  cPlayer& hero = g_Players[0];
  Step(true);
  EXPECT_EQ(hero.m_dVelY, -4.0);
  EXPECT_EQ(hero.m_bJumping, 1);
  EXPECT_EQ(sounds_.All(), std::vector<int>{19});
  // A second jump command in the same sub-step does nothing.
  hero.m_dVelY = -3.0;
  hero.Jump(runtime_);
  EXPECT_EQ(hero.m_dVelY, -3.0);
  // In the air; let go before the apex: the rise is cut to 0.3 of its speed.
  hero.m_bAirborne = 1;
  Step(false);
  EXPECT_DOUBLE_EQ(hero.m_dVelY, -3.0 * 0.3);
  EXPECT_EQ(hero.m_bJumpRising, 1);
  EXPECT_EQ(sounds_.All(), std::vector<int>{19});
}

TEST_F(ActorUpdateTest, AKeyHeldLongerThanAFrameStartsNoJump) {
  cPlayer& hero = g_Players[0];
  hero.m_bAirborne = 1;
  for (int i = 0; i < g_SubSteps; ++i) Step(true);  // held through a frame in the air
  hero.m_bAirborne = 0;                             // and landing with it held
  hero.m_bJumpRising = 0;
  hero.m_dVelY = 0;
  Step(true);
  EXPECT_EQ(hero.m_dVelY, 0.0);
  EXPECT_TRUE(sounds_.All().empty());
  // A flow without key conditions never holds the key in mode 1.
  flow_.m_KeyConditions.clear();
  hero.m_nJumpHold = 0;
  Step(true);
  EXPECT_EQ(hero.m_dVelY, 0.0);
}

TEST_F(ActorUpdateTest, FromABlockCharacterTheJumpWaitsForTheFramesLastSubStepAndIsFaster) {
  cPlayer& hero = g_Players[0];
  hero.m_bOnBlockChara = 1;
  for (int i = 1; i <= g_SubSteps; ++i) {
    Scene().m_nSubStep = i;
    Step(true);
    if (i < g_SubSteps) { EXPECT_EQ(hero.m_dVelY, 0.0) << i; }
  }
  EXPECT_EQ(hero.m_dVelY, static_cast<double>(static_cast<float>(-4.0 * 1.02)));
  EXPECT_EQ(hero.m_bOnBlockChara, 0);
  EXPECT_EQ(sounds_.All(), std::vector<int>{19});
}

TEST_F(ActorUpdateTest, UpdateCarriesWithTheScrollBrakesCountsGraceAndResetsAnUnusedJump) {
  struct Case {
    int carryRule, scrollSync, flying;
    double stepX, velY;  // after Update, with the view moving 2 right and 3 down a sub-step
  } cases[] = {
      {0, 0, 0, 0.0, 7.0}, {0, 1, 0, 2.0, 7.0}, {0, 0, 1, 0.0, 0.0}, {0, 1, 1, 2.0, 3.0},
      {1, 0, 0, 0.0, 7.0}, {1, 1, 0, 0.0, 7.0}, {1, 0, 1, 2.0, 3.0},
  };
  Scene().m_ScrollX.m_dSpeed = 2.0;
  Scene().m_ScrollY.m_dSpeed = 3.0;
  for (const Case& c : cases) {
    cPlayer& hero = g_Players[0];
    g_System.m_bScrollMoveRule = c.carryRule;
    hero.m_bScrollSync = c.scrollSync;
    hero.m_bFlying = c.flying;
    hero.m_dStepX = 9.0;
    hero.m_dVelY = 7.0;
    hero.m_bBrakeX = hero.m_bBrakeY = 0;
    hero.m_nBlockGraceSteps = 2;
    hero.m_nJumpHold = 5;
    hero.m_bJumpReady = 0;
    hero.m_bJumpBlocked = 1;
    EXPECT_EQ(hero.Update(0), 0);
    EXPECT_EQ(hero.m_dStepX, c.stepX) << c.carryRule << c.scrollSync << c.flying;
    EXPECT_EQ(hero.m_dVelY, c.velY) << c.carryRule << c.scrollSync << c.flying;
    EXPECT_EQ(hero.m_bBrakeX + hero.m_bBrakeY, 2);
    EXPECT_EQ(hero.m_nBlockGraceSteps, 1);
    EXPECT_EQ(hero.m_nJumpHold, 0);
    EXPECT_EQ(hero.m_bJumpReady, 1);
    EXPECT_EQ(hero.m_bJumpBlocked, 0);
  }
  // A character is never carried under the carry rule; without HP its update reports death.
  cChara c;
  c.m_Def.m_nMaxHP = 1;
  c.m_nHp = 1;
  c.m_bScrollSync = 1;
  g_System.m_bScrollMoveRule = 1;
  EXPECT_EQ(c.Update(0), 0);
  EXPECT_EQ(c.m_dStepX, 0.0);
  g_System.m_bScrollMoveRule = 0;
  EXPECT_EQ(c.Update(0), 0);
  EXPECT_EQ(c.m_dStepX, 2.0);
  c.m_nHp = 0;
  EXPECT_EQ(c.Update(0), 1);
}

TEST_F(ActorUpdateTest, TouchedItemsActOncePerContact) {
  cPlayer& hero = g_Players[0];
  EXPECT_TRUE(hero.IsNotTouching(4));
  hero.m_TouchedItems = {4, 7, 4};
  EXPECT_FALSE(hero.IsNotTouching(4));
  hero.ForgetItem(4);
  EXPECT_TRUE(hero.IsNotTouching(4));
  EXPECT_FALSE(hero.IsNotTouching(7));
}

}  // namespace
