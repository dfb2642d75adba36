// Condition lists of flows: the comparisons, the kinds, the combining rules and the latch.
#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "flow/Conditions.h"
#include "gamedata/Flow.h"
#include "stage/FlowHooks.h"
#include "stage/FlowRuntime.h"

namespace flowtest {
namespace {

cEdCondition Cond(int kind, int index, int value, int compare) {
  cEdCondition c;
  c.m_nKind = static_cast<std::int8_t>(kind);
  c.m_nIndex = static_cast<std::int16_t>(index);
  c.m_nValue = value;
  c.m_nCompare = static_cast<std::int8_t>(compare);
  return c;
}

cEdCondition StateCond(int kind, int whose, int state, int compareValue, int compare) {
  cEdCondition c = Cond(kind, compareValue, 0, compare);
  c.m_nWhose = static_cast<std::int8_t>(whose);
  c.m_nStatus = static_cast<std::int8_t>(state);
  return c;
}

TEST(CompareByOpTest, EveryOperatorOnSignedValues) {
  struct Case {
    int a, b, op, want;
  } cases[] = {
      {3, 3, 0, 1}, {3, 4, 0, 0}, {3, 4, 1, 1},  {3, 3, 1, 0},
      {4, 3, 2, 1}, {3, 3, 2, 1}, {-1, 0, 2, 0}, {3, 3, 3, 1},
      {4, 3, 3, 0}, {4, 3, 4, 1}, {3, 3, 4, 0},  {-5, 3, 5, 1},
      {3, 3, 5, 0}, {3, 3, 6, 0}, {3, 3, -1, 0}, {INT32_MIN, INT32_MAX, 5, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(CompareByOp(c.a, c.b, c.op), c.want) << c.a << " op" << c.op << " " << c.b;
}

class ConditionsTest : public FlowFixture {
 protected:
  bool Check(const cEdCondition& c) { return scene_->CheckCondition(c, chara_); }
};

TEST_F(ConditionsTest, VariableKindsReadTheirOwnVectors) {
  C(7) = 5;
  S(7) = -2;
  chara_.m_Variables[7] = 9;
  EXPECT_TRUE(Check(Cond(1, 7, 5, 0)));
  EXPECT_TRUE(Check(Cond(2, 7, -1, 5)));
  EXPECT_TRUE(Check(Cond(3, 7, 9, 2)));
  EXPECT_FALSE(Check(Cond(3, 7, 9, 4)));
  EXPECT_FALSE(Check(Cond(0, 0, 0, 0)));
  EXPECT_FALSE(Check(Cond(8, 0, 0, 0)));
  EXPECT_EQ(closes_, 0);
}

TEST_F(ConditionsTest, VariableIndexOutsideTheVectorIsReportedAndReadsElementZero) {
  chara_.m_Variables[0] = 4;
  EXPECT_TRUE(Check(Cond(3, 40, 4, 0)));
  EXPECT_GE(closes_, 1);
}

TEST_F(ConditionsTest, StateConditionsOfSelfTargetAndSystem) {
  chara_.m_Def.m_nFlying = 2;
  chara_.m_Def.m_nScale = 3;
  EXPECT_TRUE(Check(StateCond(5, 0, 3, 2, 0)));
  EXPECT_TRUE(Check(StateCond(5, 0, 5, 2, 4)));
  EXPECT_FALSE(Check(StateCond(5, 0, 0, 0, 0)));  // vanished is never asked this way
  EXPECT_FALSE(Check(StateCond(5, 1, 3, 0, 0)));  // no target
  chara_.m_pTarget = &Player();
  Player().m_Def.m_nInvincible = 1;
  EXPECT_TRUE(Check(StateCond(5, 1, 4, 1, 0)));
  g_Stage.m_nScrollModeX = 1;
  g_Stage.m_nScrollModeY = 0;
  EXPECT_TRUE(Check(StateCond(5, 2, 0, 1, 0)));
  EXPECT_TRUE(Check(StateCond(5, 2, 1, 0, 0)));
  EXPECT_FALSE(Check(StateCond(5, 2, 2, 0, 0)));
  EXPECT_FALSE(Check(StateCond(5, 2, 2, 0, 1)));
  chara_.m_pTarget = nullptr;
}

TEST_F(ConditionsTest, FacingFootingAndNegation) {
  chara_.m_nFacing = 1;
  EXPECT_FALSE(Check(StateCond(6, 0, 0, 0, 0)));
  EXPECT_TRUE(Check(StateCond(6, 0, 1, 0, 0)));
  EXPECT_TRUE(Check(StateCond(6, 0, 0, 0, 1)));
  chara_.m_bAirborne = 1;
  EXPECT_FALSE(Check(StateCond(6, 0, 2, 0, 0)));
  chara_.m_bOnBlockChara = 1;
  EXPECT_TRUE(Check(StateCond(6, 0, 2, 0, 0)));
  chara_.m_bFlying = 1;
  EXPECT_FALSE(Check(StateCond(6, 0, 2, 0, 0)));
  chara_.m_nKind = 1;
  chara_.m_bOnScreen = 1;
  EXPECT_TRUE(Check(StateCond(6, 0, 3, 0, 0)));
  EXPECT_FALSE(Check(StateCond(6, 0, 4, 0, 0)));
  EXPECT_FALSE(Check(StateCond(6, 1, 0, 0, 1)));  // no target: false even negated
}

// Both 32 x 32 with no offset inside the cell; the character at x, the hero at 1000.
TEST_F(ConditionsTest, DistanceToTheHeroByAxis) {
  for (cActor* a : {static_cast<cActor*>(&chara_), static_cast<cActor*>(&Player())}) {
    a->m_nWidth = a->m_nHeight = 32;
    a->m_dY = 500;
  }
  Player().m_dX = 1000;
  auto Dist = [&](int axis, int halfBlocks, int range) {
    cEdCondition c = Cond(7, 0, halfBlocks, range);
    c.m_nAxis = static_cast<std::int8_t>(axis);
    return Check(c);
  };
  chara_.m_dX = 968;  // touching on the left
  EXPECT_TRUE(Dist(0, 0, 0));
  chara_.m_dX = 967;
  EXPECT_FALSE(Dist(0, 0, 0));
  EXPECT_TRUE(Dist(0, 0, 1));
  chara_.m_dX = 900;  // 68 pixels of gap: five half blocks reach, four do not
  EXPECT_TRUE(Dist(0, 5, 0));
  EXPECT_FALSE(Dist(0, 4, 0));
  EXPECT_FALSE(Dist(0, 5, 2));
  // Ahead is to the right only for a character facing right.
  chara_.m_nFacing = 1;
  EXPECT_TRUE(Dist(1, 5, 0));
  EXPECT_FALSE(Dist(2, 5, 0));
  chara_.m_nFacing = 0;
  EXPECT_FALSE(Dist(1, 5, 0));
  EXPECT_TRUE(Dist(2, 5, 0));
  // Vertical axis with the same x: 100 pixels apart.
  chara_.m_dX = 1000;
  chara_.m_dY = 400;
  EXPECT_TRUE(Dist(3, 5, 0));
  EXPECT_FALSE(Dist(3, 4, 0));
  // Circle: centres 100 apart.
  EXPECT_TRUE(Dist(6, 7, 0));
  EXPECT_FALSE(Dist(6, 6, 0));
  EXPECT_FALSE(Dist(7, 100, 0));
  EXPECT_TRUE(Dist(7, 100, 1));
}

class FlowGateTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    runtime_.m_pFlow = &flow_;
  }
  bool Gate() { return scene_->CheckFlowConditions(runtime_, chara_); }
  cEdFlow flow_;
  cFlowRuntime runtime_;
};

TEST_F(FlowGateTest, EmptyListAlwaysHolds) {
  flow_.m_nConditionRule = 5;
  EXPECT_TRUE(Gate());
}

TEST_F(FlowGateTest, AllAnyAndUnknownRules) {
  flow_.m_Conditions = {Cond(1, 1, 1, 0), Cond(1, 2, 1, 0)};
  C(1) = 1;
  struct Case {
    int rule;
    bool want;
  } cases[] = {{0, false}, {1, true}, {2, false}, {-1, false}};
  for (const Case& c : cases) {
    flow_.m_nConditionRule = static_cast<std::int8_t>(c.rule);
    runtime_.m_bCondLatch = 0;
    EXPECT_EQ(Gate(), c.want) << "rule " << c.rule;
  }
  C(2) = 1;
  flow_.m_nConditionRule = 0;
  EXPECT_TRUE(Gate());
}

TEST_F(FlowGateTest, LatchKeepsAHeldListOnlyWhenTheFlowAsksForIt) {
  flow_.m_Conditions = {Cond(1, 3, 1, 0)};
  C(3) = 1;
  EXPECT_TRUE(Gate());
  EXPECT_EQ(runtime_.m_bCondLatch, 1);
  C(3) = 0;
  EXPECT_FALSE(Gate());
  flow_.m_bLatchConditions = 1;
  EXPECT_TRUE(Gate());
}

TEST_F(FlowGateTest, BlockConditionsGoThroughTheRunningStage) {
  cVector<cEdCondition> list = {Cond(2, 4, 1, 0)};
  EXPECT_FALSE(flowhook::ConditionsHold(list, 0, Player()));
  S(4) = 1;
  EXPECT_TRUE(flowhook::ConditionsHold(list, 0, Player()));
  g_StageScene = nullptr;
  EXPECT_FALSE(flowhook::ConditionsHold(list, 0, Player()));
  g_StageScene = scene_.get();
}

}  // namespace
}  // namespace flowtest
