// The run state of flows: command times, parallel and blocking commands, switches,
// firing rules, pause, stage-start flows, deletion and the flow pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "FlowFixture.h"
#include "flow/CommandTables.h"
#include "gamedata/Flow.h"
#include "gamedata/Move.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowHooks.h"
#include "stage/FlowRuntime.h"
#include "ui/Pad.h"

namespace flowtest {
namespace {

// A command of type 1 (or another) lasting time tenths of a second; parallel or blocking.
cEdCommand Cmd(int time, bool parallel, int type = 1) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  c.m_bParallel = parallel ? 1 : 0;
  return c;
}

class FlowRuntimeTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    savedSteps_ = g_SubSteps;
    g_SubSteps = 1;
    s_log = &log_;
    std::copy(std::begin(g_CommandExecutors), std::end(g_CommandExecutors), savedExecutors_);
    const CommandExecutor probe = [](cActor&, cCommandRuntime& r) {
      s_log->push_back(r.m_pCommand->m_nTime * 100 + r.m_pCommand->m_nType);
      return 1;
    };
    std::fill(std::begin(g_CommandExecutors), std::end(g_CommandExecutors), probe);
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
    chara_.m_SwitchStarted.assign(27, 0);
    chara_.m_nKind = 1;
    g_Pads[0].ResetCommandHistory();
  }
  void TearDown() override {
    std::copy(std::begin(savedExecutors_), std::end(savedExecutors_), g_CommandExecutors);
    g_SubSteps = savedSteps_;
    FlowFixture::TearDown();
  }
  void Give(std::vector<cEdFlow> flows) {
    chara_.m_Def.m_Flows.clear();
    for (cEdFlow& f : flows) chara_.m_Def.m_Flows.push_back(f);
    chara_.BuildFlows(chara_.m_Def.m_Flows, 0, 0, -1);
  }
  // One frame of one sub-step: trigger 0, then the flow pass.
  int Frame() {
    chara_.ResetFlowTriggerFlags();
    chara_.FireFlowTrigger(0);
    return chara_.RunFlowPass(0);
  }
  cFlowRuntime& R(int i) { return chara_.m_FlowRuntimes[i]; }

  static inline std::vector<int>* s_log = nullptr;
  std::vector<int> log_;
  int savedSteps_ = 0;
  CommandExecutor savedExecutors_[COMMAND_TYPE_COUNT] = {};
};

TEST_F(FlowRuntimeTest, BuildTakesTimesAndSpeedsByLevel) {
  cEdCommand move = Cmd(3, false);
  move.m_nTimePerLevel = 1;
  move.m_pMove.reset(new cEdMove);
  move.m_pMove->m_nSpeed = 20;
  move.m_pMove->m_nSpeedPerLevel = 10;
  move.m_pMove->m_bInertia = 1;
  move.m_pMove->m_nMaxSpeed = 40;
  chara_.m_nLevel = 2;
  g_SubSteps = 2;  // the fixture's frame scale is 2
  Give({Flow(0, {Cmd(0, false), move})});
  EXPECT_EQ(R(0).m_Commands[0].m_nTotal, 0);
  EXPECT_EQ(R(0).m_Commands[1].m_nTotal, (1 * 2 + 3) * 2 * 6);
  EXPECT_DOUBLE_EQ(R(0).m_Commands[1].m_dSpeed, 40 * 0.1 / 2);
  EXPECT_DOUBLE_EQ(R(0).m_Commands[1].m_dSpeed2, 40 * 0.1 / 2);
  EXPECT_EQ(R(0).m_Commands[1].m_pCommand, &chara_.m_Def.m_Flows[0].m_Commands[1]);
}

TEST_F(FlowRuntimeTest, DamagedTimesAndLevelsSaturate) {
  const struct {
    std::int16_t perLevel, time;
    std::int32_t level, steps, total;
  } cases[] = {
      {32767, 32767, 32767, 2, INT32_MAX},  // 32767 x 32767 + 32767 tenths x 12 steps
      {-32768, 0, 32767, 2, INT32_MIN},
      {0, 32767, 1, 20000, INT32_MAX},  // 32767 x 120000 steps
      {0, 1000, 7, 1000, 1000 * 6000},  // nothing overflows: the plain product
  };
  for (const auto& c : cases) {
    cEdCommand wait = Cmd(0, false);
    wait.m_nTimePerLevel = c.perLevel;
    wait.m_nTime = c.time;
    wait.m_pMove.reset(new cEdMove);
    wait.m_pMove->m_nSpeedPerLevel = 32767;
    chara_.m_nLevel = c.level;
    g_SubSteps = c.steps;
    Give({Flow(0, {wait})});
    EXPECT_EQ(R(0).m_Commands[0].m_nTotal, c.total) << c.perLevel << " " << c.level;
    EXPECT_GT(R(0).m_Commands[0].m_dSpeed, 0.0);
  }
}

TEST_F(FlowRuntimeTest, CommandRunsItsTotalStepsAndAtLeastOne) {
  Give({Flow(0, {Cmd(0, false), Cmd(3, false)})});
  int nFrames = 0;
  do {
    Frame();
    ++nFrames;
  } while (R(0).m_bRunning && nFrames < 100);
  // First command 1 step, second 3 x 6 = 18 steps, in consecutive steps.
  EXPECT_EQ(nFrames, 19);
  EXPECT_EQ(std::count(log_.begin(), log_.end(), 1), 1);
  EXPECT_EQ(std::count(log_.begin(), log_.end(), 301), 18);
}

TEST_F(FlowRuntimeTest, ParallelCommandsStartWithTheBlockingOneAndAreCutOffByIt) {
  Give({Flow(0, {Cmd(5, true, 2), Cmd(1, true, 3), Cmd(2, false, 4)})});
  Frame();
  EXPECT_EQ(log_, (std::vector<int>{502, 103, 204}));
  int nFrames = 1;
  while (R(0).m_bRunning && nFrames < 100) {
    Frame();
    ++nFrames;
  }
  EXPECT_EQ(nFrames, 12);  // the blocking command's 12 steps end the flow
  EXPECT_EQ(std::count(log_.begin(), log_.end(), 502), 12);
  EXPECT_EQ(R(0).m_Commands[0].m_nRemaining, 0);
}

TEST_F(FlowRuntimeTest, NextCommandAfterABlockingOneStartsInTheFollowingStep) {
  Give({Flow(0, {Cmd(0, false, 2), Cmd(0, false, 3), Cmd(0, false, 4)})});
  Frame();
  EXPECT_EQ(log_, (std::vector<int>{2}));
  Frame();
  EXPECT_EQ(log_, (std::vector<int>{2, 3}));
  Frame();
  EXPECT_FALSE(R(0).m_bRunning);
}

TEST_F(FlowRuntimeTest, SwitchKeepsTriggerZeroFlowsApart) {
  Give({Flow(0, {Cmd(0, false, 2)}, 5), Flow(0, {Cmd(0, false, 3)}, 5)});
  chara_.ResetFlowTriggerFlags();
  chara_.FireFlowTrigger(0);
  EXPECT_TRUE(R(0).m_bRunning);
  EXPECT_FALSE(R(1).m_bRunning);
  chara_.RunFlowPass(0);  // the first ends and frees the switch
  EXPECT_FALSE(R(0).m_bRunning);
  chara_.FireFlowTrigger(0);  // a later sub-step of the same frame
  EXPECT_FALSE(R(1).m_bRunning);
  EXPECT_FALSE(R(0).m_bRunning);  // started this frame already
  chara_.ResetFlowTriggerFlags();
  chara_.FireFlowTrigger(0);
  EXPECT_TRUE(R(0).m_bRunning);
}

TEST_F(FlowRuntimeTest, FiringNeedsTheTriggerAndTheConditions) {
  cEdFlow f = Flow(7, {Cmd(5, false)});
  cEdCondition c;
  c.m_nKind = 1;
  c.m_nIndex = 2;
  c.m_nValue = 1;
  f.m_Conditions.push_back(c);
  Give({f});
  chara_.FireFlowTrigger(0);
  chara_.FireFlowTrigger(7);
  EXPECT_FALSE(R(0).m_bRunning);
  C(2) = 1;
  chara_.FireFlowTrigger(7);
  EXPECT_TRUE(R(0).m_bRunning);
  EXPECT_EQ(scene_->m_pCurActor, nullptr);
}

TEST_F(FlowRuntimeTest, StagePlayTriggersStartFlowsWithTheHeldDirection) {
  Give({Flow(TRIGGER_BLOCK_BELOW, {Cmd(5, false)})});
  g_Pads[0].m_wDirection = cPad::DirDown | cPad::DirLeft;
  g_Pads[0].RecordCommandHistory();
  flowhook::FireTrigger(chara_, TRIGGER_BLOCK_ABOVE);
  EXPECT_FALSE(R(0).m_bRunning);
  flowhook::FireTrigger(chara_, TRIGGER_BLOCK_BELOW);
  EXPECT_TRUE(R(0).m_bRunning);
  EXPECT_EQ(R(0).m_nInputDirection, 6);  // down-left
}

TEST_F(FlowRuntimeTest, PauseKeepsTheCommandWhereItWas) {
  Give({Flow(0, {Cmd(1, false, 2), Cmd(0, false, 3)})});
  Frame();
  Frame();
  R(0).Pause();
  Frame();
  Frame();
  EXPECT_EQ(log_.size(), 2u);
  R(0).Resume();
  Frame();
  EXPECT_EQ(R(0).m_Commands[0].m_nRemaining, 3);
  EXPECT_EQ(log_.size(), 3u);
}

TEST_F(FlowRuntimeTest, StageStartFlowRunsItsInstantCommandsAndIsIdle) {
  Give({Flow(18, {Cmd(0, true, 20), Cmd(0, false, 21), Cmd(3, true, 1), Cmd(0, true, 30)})});
  chara_.FireFlowTrigger(18);
  EXPECT_EQ(log_, (std::vector<int>{20, 30}));
  EXPECT_FALSE(R(0).m_bRunning);
  chara_.RunFlowPass(0);
  EXPECT_EQ(log_.size(), 2u);
}

TEST_F(FlowRuntimeTest, FlowPassEndsForAnActorOutOfHpExceptDeathFlows) {
  Give({Flow(0, {Cmd(5, false, 2)}), Flow(3, {Cmd(5, false, 3)})});
  chara_.FireFlowTrigger(0);
  chara_.FireFlowTrigger(3);
  chara_.m_nHp = 0;
  EXPECT_EQ(chara_.RunFlowPass(0), 1);
  EXPECT_EQ(log_, (std::vector<int>{502}));
  log_.clear();
  EXPECT_EQ(chara_.RunFlowPass(1), 0);  // the death pass steps the death flow only
  EXPECT_EQ(log_, (std::vector<int>{503}));
  EXPECT_EQ(scene_->m_pCurActor, nullptr);
}

TEST_F(FlowRuntimeTest, DeletingGroupsAndRequestedFlowsKeepsTheRestLinked) {
  Give({Flow(1, {Cmd(0, false, 2)}, 0, 4), Flow(1, {Cmd(0, false, 3)}, 0, 5), Flow(1, {Cmd(0, false, 4)}, 0, 4)});
  EXPECT_EQ(chara_.DeleteFlowsOfGroup(9), -1);
  EXPECT_EQ(chara_.m_FlowRuntimes.Size(), 3);
  EXPECT_EQ(chara_.DeleteFlowsOfGroup(4), 0);
  ASSERT_EQ(chara_.m_FlowRuntimes.Size(), 1);
  ASSERT_EQ(chara_.m_Def.m_Flows.Size(), 1);
  EXPECT_EQ(R(0).m_pFlow, &chara_.m_Def.m_Flows[0]);
  EXPECT_EQ(R(0).m_pFlow->m_nID, 5);
  EXPECT_EQ(R(0).m_nIndex, 0);

  Give({Flow(1, {Cmd(0, false, 2)}), Flow(1, {Cmd(0, false, 3)})});
  R(0).m_bDeleteRequested = 1;
  chara_.m_bFlowDeleted = 1;
  chara_.RunFlowPass(0);
  ASSERT_EQ(chara_.m_FlowRuntimes.Size(), 1);
  EXPECT_EQ(R(0).m_Commands[0].m_pCommand->m_nType, 3);
  EXPECT_EQ(chara_.DeleteFlowsOfGroup(0), 0);
  EXPECT_TRUE(chara_.m_Def.m_Flows.empty());
}

TEST_F(FlowRuntimeTest, InsertedFlowsGoAtTheIndexOrAtTheEnd) {
  Give({Flow(1, {Cmd(0, false, 2)}), Flow(1, {Cmd(0, false, 3)})});
  cVector<cEdFlow> extra;
  extra.push_back(Flow(1, {Cmd(0, false, 9)}));
  EXPECT_EQ(chara_.BuildFlows(extra, 0, 1, 1), 1);
  EXPECT_EQ(chara_.BuildFlows(extra, 0, 1, 7), 1);
  ASSERT_EQ(chara_.m_FlowRuntimes.Size(), 4);
  const int want[] = {2, 9, 3, 9};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(R(i).m_Commands[0].m_pCommand, &chara_.m_Def.m_Flows[i].m_Commands[0]);
    EXPECT_EQ(R(i).m_Commands[0].m_pCommand->m_nType, want[i]);
  }
  EXPECT_EQ(R(1).m_nSerial, 2);
  EXPECT_EQ(R(3).m_nSerial, 3);
}

TEST(DirectionToMoveCodeTest, ChannelsAndFacing) {
  const int want[] = {2, 2, 3, 6, 7, 8, 9, 10, 11};
  for (int ch = 0; ch <= 8; ++ch) EXPECT_EQ(DirectionToMoveCode(ch, 0), want[ch]);
  EXPECT_EQ(DirectionToMoveCode(0, 1), 3);
}

}  // namespace
}  // namespace flowtest
