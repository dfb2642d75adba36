// Key sequences of flows against the hero's input history, and the plain key-state test.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "FlowFixture.h"
#include "gamedata/Flow.h"
#include "stage/FlowRuntime.h"
#include "ui/Pad.h"

namespace flowtest {
namespace {

constexpr int kLeft = 1, kRight = 2, kDown = 4, kButton1 = 11, kButton2 = 12;

cEdKeyCondition Step(std::initializer_list<std::pair<int, int>> keys, int rule = 0) {
  cEdKeyCondition s;
  for (auto [key, state] : keys) s.m_KeyStates[key] = static_cast<std::uint8_t>(state);
  s.m_bAnyLength = 1;
  s.m_nRule = static_cast<std::uint8_t>(rule);
  return s;
}

class KeyConditionsTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    savedPad_ = g_Pads[0];
    g_Pads[0].ResetCommandHistory();
    flow_.m_nKeyTolerance = 0;
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
  }
  void TearDown() override {
    g_Pads[0] = savedPad_;
    FlowFixture::TearDown();
  }
  // One frame of input: direction bits (1 left, 2 right, 4 up, 8 down) and buttons.
  static void Frame(int dir, int buttons = 0, int count = 1) {
    cPad& pad = g_Pads[0];
    for (int i = 0; i < count; ++i) {
      pad.m_wDirection = static_cast<std::uint16_t>(dir);
      pad.m_wButtons = static_cast<std::uint16_t>(buttons);
      pad.RecordCommandHistory();
    }
  }
  void SetSteps(std::initializer_list<cEdKeyCondition> steps) {
    flow_.m_KeyConditions = steps;
    runtime_.m_pFlow = &flow_;
    runtime_.m_KeyConditions.clear();
    for (cEdKeyCondition& s : flow_.m_KeyConditions) runtime_.m_KeyConditions.push_back(&s);
  }
  bool Gate() { return chara_.CheckKeyConditions(runtime_); }

  cPad savedPad_;
  cEdFlow flow_;
  cFlowRuntime runtime_;
};

TEST_F(KeyConditionsTest, NoStepsAlwaysHold) {
  runtime_.m_pFlow = &flow_;
  EXPECT_TRUE(Gate());
  EXPECT_TRUE(Gate());
}

TEST_F(KeyConditionsTest, WithoutContinuousFlagOnlyTheFirstMatchingStepCounts) {
  SetSteps({Step({{kRight, 1}})});
  flow_.m_nTrigger = 0;
  flow_.m_nSwitch = 3;
  Frame(0);
  EXPECT_FALSE(Gate());
  Frame(cPad::DirRight);
  EXPECT_TRUE(Gate());
  Frame(cPad::DirRight);
  EXPECT_FALSE(Gate());
  // Still held: the flow's switch stays taken for this step.
  EXPECT_EQ(chara_.m_SwitchBusy[3], 1);
  EXPECT_EQ(chara_.m_SwitchEnded[3], 1);
  EXPECT_EQ(chara_.m_bSwitchEnded, 1);
  Frame(0);
  EXPECT_FALSE(Gate());
  Frame(cPad::DirRight);
  EXPECT_TRUE(Gate());
}

TEST_F(KeyConditionsTest, ContinuousFlagHoldsWhileTheKeysDo) {
  SetSteps({Step({{kRight, 1}})});
  flow_.m_bKeyContinuous = 1;
  Frame(cPad::DirRight);
  EXPECT_TRUE(Gate());
  Frame(cPad::DirRight);
  EXPECT_TRUE(Gate());
}

TEST_F(KeyConditionsTest, HoldLengthWithinMinimumAndMaximum) {
  cEdKeyCondition s = Step({{kButton1, 1}});
  s.m_bAnyLength = 0;
  s.m_nMinFrames = 2;
  s.m_nMaxFrames = 3;
  SetSteps({s});
  flow_.m_bKeyContinuous = 1;
  const bool want[] = {false, true, true, false};
  for (bool w : want) {
    Frame(0, 1);
    EXPECT_EQ(Gate(), w);
  }
}

TEST_F(KeyConditionsTest, EarlierStepFoundWithinTheTolerance) {
  SetSteps({Step({{kDown, 1}}), Step({{kRight, 1}})});
  flow_.m_bKeyContinuous = 1;
  Frame(0, 0, 3);
  Frame(cPad::DirDown, 0, 3);
  Frame(0, 0, 2);  // two frames of nothing between the steps
  Frame(cPad::DirRight);
  struct Case {
    int tolerance;
    bool want;
  } cases[] = {{0, false}, {1, false}, {2, true}, {5, true}};
  for (const Case& c : cases) {
    flow_.m_nKeyTolerance = static_cast<std::uint8_t>(c.tolerance);
    EXPECT_EQ(Gate(), c.want) << "tolerance " << c.tolerance;
  }
}

TEST_F(KeyConditionsTest, StepsInOrderMatchWithoutTolerance) {
  SetSteps({Step({{kDown, 1}}), Step({{kRight, 1}})});
  flow_.m_bKeyContinuous = 1;
  Frame(cPad::DirDown, 0, 2);
  Frame(cPad::DirRight);
  EXPECT_TRUE(Gate());
  SetSteps({Step({{kRight, 1}}), Step({{kDown, 1}})});
  EXPECT_FALSE(Gate());
}

// The earlier key went down in the same frame as the later one: after the tolerance
// fails, one frame later than the later step's period finds it.
TEST_F(KeyConditionsTest, EarlierStepOneFrameIntoTheLaterOne) {
  SetSteps({Step({{kButton1, 1}}), Step({{kRight, 1}})});
  flow_.m_bKeyContinuous = 1;
  flow_.m_nKeyTolerance = 1;
  Frame(0, 0, 6);
  Frame(cPad::DirRight, 1, 8);
  EXPECT_TRUE(Gate());
  flow_.m_nKeyTolerance = 0;
  EXPECT_FALSE(Gate());
}

TEST_F(KeyConditionsTest, MirrorFlagSwapsLeftAndRightForAnActorFacingLeft) {
  cEdKeyCondition s = Step({{kRight, 1}});
  s.m_bFacingRelative = 1;
  SetSteps({s});
  flow_.m_bKeyContinuous = 1;
  Frame(cPad::DirLeft);
  chara_.m_nFacing = 0;
  EXPECT_TRUE(Gate());
  chara_.m_nFacing = 1;
  EXPECT_FALSE(Gate());
  flow_.m_KeyConditions[0].m_bFacingRelative = 0;
  chara_.m_nFacing = 0;
  EXPECT_FALSE(Gate());
}

TEST_F(KeyConditionsTest, RulesOfAStep) {
  flow_.m_bKeyContinuous = 1;
  Frame(0, 1 | 2);  // buttons 1 and 2
                    // clang-format off
  struct Case { int rule; int state2; bool want; } cases[] = {
                    // clang-format on
      {0, 1, true}, {0, 2, false}, {1, 2, true}, {2, 1, false}, {2, 2, true}, {3, 2, true},
  };
  for (const Case& c : cases) {
    SetSteps({Step({{kButton1, 1}, {kButton2, c.state2}}, c.rule)});
    EXPECT_EQ(Gate(), c.want) << "rule " << c.rule << " state " << c.state2;
  }
}

TEST_F(KeyConditionsTest, KeyStateReadsOnlyTheNewestRuns) {
  Frame(0, 1, 5);
  Frame(cPad::DirRight, 1);
  struct Case {
    cEdKeyCondition cond;
    bool want;
  } cases[] = {
      {Step({{kRight, 1}, {kButton1, 1}}), true},     {Step({{kRight, 2}}), false},
      {Step({{kLeft, 2}, {kButton2, 2}}), true},      {Step({{kLeft, 1}, {kButton1, 1}}, 1), true},
      {Step({{kRight, 1}, {kButton1, 1}}, 2), false}, {Step({{kRight, 3}}), false},
  };
  for (const Case& c : cases) EXPECT_EQ(cActor::CheckKeyState(g_Pads[0], c.cond), c.want);
  // Written for the right: never mirrored here.
  cEdKeyCondition m = Step({{kLeft, 1}});
  m.m_bFacingRelative = 1;
  EXPECT_FALSE(cActor::CheckKeyState(g_Pads[0], m));
}

}  // namespace
}  // namespace flowtest
