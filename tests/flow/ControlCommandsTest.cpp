// The flow operation, the stage clear, the state flags of the second status operation,
// graphic changes and item command lists with their nesting cap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FlowFixture.h"
#include "flow/CommandTables.h"
#include "gamedata/Palette.h"
#include "gamedata/WorldMap.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"

namespace flowtest {
namespace {

cEdCommand Cmd(int type, int time, std::vector<std::int32_t> params = {}) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  return c;
}

// S[n] += 1, in one step.
cEdCommand CountCmd(int n, int type = CMD_STATUS) {
  std::vector<std::int32_t> p(18, 0);
  p[0] = 1;  // a variable
  p[1] = 1;  // of the stage
  p[2] = n;
  p[5] = 1;  // +
  p[7] = 1;
  return Cmd(type, 0, p);
}

// The stage's score + 500.
cEdCommand ScoreCmd(int type) {
  std::vector<std::int32_t> p(18, 0);
  p[3] = 2;  // the system
  p[4] = 3;  // score
  p[5] = 1;
  p[7] = 500;
  return Cmd(type, 0, p);
}

cEdCommand FlowOp(int op, int which, int id = 0) { return Cmd(CMD_FLOW, 0, {op, which, id}); }

constexpr int kItemStageClear = CMD_STAGE_CLEAR - ITEM_TYPE_OFFSET;
constexpr int kItemStatus = CMD_STATUS - ITEM_TYPE_OFFSET;
constexpr int kItemGetItem = CMD_GET_ITEM - ITEM_TYPE_OFFSET;

// Flows here are told apart by their ID, not by a switch.
cEdFlow Flow(int trigger, std::vector<cEdCommand> commands, int id = 0) {
  return flowtest::Flow(trigger, std::move(commands), 0, id);
}

class ControlCommandsTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    savedSteps_ = g_SubSteps;
    g_SubSteps = 1;
    g_Stage.m_dSubSteps = 1.0;
    g_Stage.m_dSubSteps2 = 1.0;
    savedPalette_ = g_Stage.m_Palette.m_Items;
    savedCommon_ = g_CommonPalette.m_Items;
    savedMap_ = {g_WorldMap.m_nWidth,  g_WorldMap.m_nHeight, g_PlayRecord.m_nPart,
                 g_PlayRecord.m_nMapX, g_PlayRecord.m_nMapY, g_PlayRecord.m_nMapFacing};
    for (cActor* a : {static_cast<cActor*>(&chara_), static_cast<cActor*>(&Player())}) {
      a->m_SwitchBusy.assign(27, 0);
      a->m_SwitchEnded.assign(27, 0);
      a->m_SwitchStarted.assign(27, 0);
    }
    chara_.m_nKind = 1;
    Player().m_nKind = 0;
  }
  void TearDown() override {
    g_Stage.m_Palette.m_Items = savedPalette_;
    g_CommonPalette.m_Items = savedCommon_;
    g_WorldMap.m_nWidth = savedMap_[0];
    g_WorldMap.m_nHeight = savedMap_[1];
    g_PlayRecord.m_nPart = savedMap_[2];
    g_PlayRecord.m_nMapX = savedMap_[3];
    g_PlayRecord.m_nMapY = savedMap_[4];
    g_PlayRecord.m_nMapFacing = savedMap_[5];
    g_SubSteps = savedSteps_;
    FlowFixture::TearDown();
  }
  void Give(std::vector<cEdFlow> flows) {
    chara_.m_Def.m_Flows.clear();
    for (cEdFlow& f : flows) chara_.m_Def.m_Flows.push_back(f);
    chara_.BuildFlows(chara_.m_Def.m_Flows, 0, 0, -1);
  }
  // One logic step of the character: trigger 0, then its flow pass.
  void Step(int n = 1) {
    for (int i = 0; i < n; ++i) {
      chara_.ResetFlowTriggerFlags();
      chara_.FireFlowTrigger(0);
      chara_.RunFlowPass(0);
    }
  }
  // Item n of the stage palette with this command list.
  static void SetItem(int n, std::vector<cEdCommand> commands) {
    cVector<cEdItem>& items = g_Stage.m_Palette.m_Items;
    if (items.Size() <= n) items.resize(static_cast<std::size_t>(n + 1));
    items[n].m_Commands.clear();
    for (cEdCommand& c : commands) items[n].m_Commands.push_back(c);
  }
  cFlowRuntime& R(int i) { return chara_.m_FlowRuntimes[i]; }
  int ReportLines(const std::string& text) {
    int n = 0;
    for (std::size_t at = Report().find(text); at != std::string::npos; at = Report().find(text, at + 1)) ++n;
    return n;
  }

  int savedSteps_ = 0;
  cVector<cEdItem> savedPalette_;
  cVector<cEdItem> savedCommon_;
  std::vector<std::int32_t> savedMap_;
};

TEST_F(ControlCommandsTest, FlowOperationOnAnotherFlowFollowsTheTableOfOperations) {
  // The turret's flow "A" counts S1 once and waits 12 steps; a stage-start flow with an
  // operation on "A" runs when the test fires trigger 18; flow "B" only waits.
  const struct {
    int op;
    bool running, paused, stopped, kept;
    int count;  // S1 at the end
  } rows[] = {
      {0, true, false, false, true, 2},  // restarted: it counts again at once
                                         // clang-format off
      {1, false, false, false, true, 1},
      {2, true, true, false, true, 1},
      {4, false, false, false, false, 1},  // removed at the end of the update
      {5, true, false, true, true, 1},
      {9, true, false, false, true, 1},  // no such operation
                                         // clang-format on
  };
  for (const auto& row : rows) {
    S(1) = 0;
    cEdCommand op = FlowOp(row.op, 2, 1);
    op.m_bParallel = 1;
    Give({Flow(19, {CountCmd(1), Cmd(CMD_WAIT, 2)}, 1), Flow(18, {op}), Flow(19, {Cmd(CMD_WAIT, 5)}, 2)});
    // Started as by an earlier operation, and stepped into the wait.
    TheStage().m_pCurActor = &chara_;
    R(0).Start();
    R(2).Start();
    Step(3);
    ASSERT_EQ(S(1), 1);
    cFlowAnime& anime = chara_.m_FlowAnimes.emplace_back();
    anime.m_nFlowSerial = R(0).m_nSerial;
    anime.m_nFramesLeft = 10;
    chara_.ResetFlowTriggerFlags();
    chara_.FireFlowTrigger(18);
    chara_.RunFlowPass(0);
    const int nFlows = chara_.m_FlowRuntimes.Size();
    EXPECT_EQ(nFlows, row.kept ? 3 : 2) << row.op;
    if (row.kept) {
      EXPECT_EQ(R(0).m_bRunning != 0, row.running) << row.op;
      EXPECT_EQ(R(0).m_bPaused != 0, row.paused) << row.op;
      EXPECT_EQ(R(0).m_bStopped != 0, row.stopped) << row.op;
    }
    // The other flow goes on; the animation of an ended, deleted or stopped flow goes, a
    // paused one's stops.
    EXPECT_EQ(chara_.m_FlowRuntimes[nFlows - 1].m_bRunning, 1) << row.op;
    const bool bAnimeGone = row.op == 0 || row.op == 1 || row.op == 4 || row.op == 5;
    EXPECT_EQ(chara_.m_FlowAnimes.empty(), bAnimeGone) << row.op;
    if (row.op == 2) { EXPECT_EQ(chara_.m_FlowAnimes.front().m_bStopped, 1); }
    chara_.m_FlowAnimes.clear();
    Step(20);
    EXPECT_EQ(S(1), row.count) << row.op;
    // A stopped flow never starts again.
    if (row.op == 5) {
      TheStage().m_pCurActor = &chara_;
      chara_.ResetFlowTriggerFlags();
      chara_.FireFlowTrigger(19);
      Step(2);
      EXPECT_EQ(S(1), 1);
    }
  }
}

TEST_F(ControlCommandsTest, ResumeContinuesAPausedFlowWhereItStood) {
  Give({Flow(19, {CountCmd(1), Cmd(CMD_WAIT, 1), CountCmd(1)}, 3), Flow(19, {FlowOp(2, 2, 3)}),
        Flow(19, {FlowOp(3, 2, 3)})});
  TheStage().m_pCurActor = &chara_;
  R(0).Start();
  Step(2);  // counted, 1 of the 6 waiting steps gone
  TheStage().m_pCurActor = &chara_;
  R(1).Start();
  Step(10);  // "A" steps once more before the pause
  EXPECT_EQ(S(1), 1);
  EXPECT_EQ(R(0).m_bPaused, 1);
  TheStage().m_pCurActor = &chara_;
  R(2).Start();
  Step(1);  // resumed after "A"'s place in the pass: its wait has 4 steps left
  Step(4);
  EXPECT_EQ(S(1), 1);
  Step(1);
  EXPECT_EQ(S(1), 2);
}

TEST_F(ControlCommandsTest, FlowOperationOnItselfAndOnGroups) {
  // "開始" on itself: it begins again from its first command in its next step.
  Give({Flow(0, {CountCmd(1), FlowOp(0, 0), CountCmd(2)})});
  Step(6);
  EXPECT_EQ(S(1), 3);
  EXPECT_EQ(S(2), 0);
  EXPECT_EQ(R(0).m_bRunning, 1);

  // "再開" on itself changes nothing; a pause of itself ends its step at once.
  S(1) = S(2) = 0;
  Give({Flow(0, {FlowOp(3, 0), FlowOp(2, 0), CountCmd(1)})});
  Step(5);
  EXPECT_EQ(R(0).m_bPaused, 1);
  EXPECT_EQ(S(1), 0);

  // Ten flows: the operation by ID takes only that ID (never the flows without one), the
  // one on all others spares the flow that runs it.
  const struct {
    int which, id;
    std::vector<int> ended;
  } rows[] = {
      {2, 2, {2, 5, 8}},
      {2, 0, {}},
      {1, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {7, 2, {}},
  };
  for (const auto& row : rows) {
    std::vector<cEdFlow> flows{Flow(19, {FlowOp(1, row.which, row.id), Cmd(CMD_WAIT, 5)})};
    for (int i = 1; i < 10; ++i) flows.push_back(Flow(19, {Cmd(CMD_WAIT, 5)}, i % 3 == 2 ? 2 : (i % 3 == 1 ? 0 : 1)));
    Give(flows);
    TheStage().m_pCurActor = &chara_;
    for (int i = 0; i < 10; ++i) R(i).Start();
    Step(1);
    std::vector<int> ended;
    for (int i = 0; i < 10; ++i)
      if (!R(i).m_bRunning) ended.push_back(i);
    EXPECT_EQ(ended, row.ended) << row.which << " " << row.id;
  }
}

TEST_F(ControlCommandsTest, StageClearChoosesTheNextPartAndTheMapCell) {
  g_WorldMap.m_nWidth = 20;
  g_WorldMap.m_nHeight = 10;
  const struct {
    std::vector<std::int32_t> params;
    int next, x, y, facing;
  } rows[] = {
      {{0, 9, 0, 5, 5}, 4, 1, 2, 3},     // the following part; the map cell stays
      {{1, 9, 1, 5, 6}, 9, 5, 6, 0},     // part 9
      {{2, 9, 1, 20, 10}, 0, 19, 9, 0},  // world clear; a cell beyond the map is its last
      {{2, 9, 1, -4, 99}, 0, 0, 9, 0},   // a column below 0 is the first
      {{1, 2, 1, 7, -1}, 2, 7, 0, 0},    // a row below 0 is the first
      {{5, 9, 0, 0, 0}, 77, 1, 2, 3},    // no such choice: the next part stays
  };
  for (const auto& row : rows) {
    g_PlayRecord.m_nPart = 3;
    g_PlayRecord.m_nMapX = 1;
    g_PlayRecord.m_nMapY = 2;
    g_PlayRecord.m_nMapFacing = 3;
    TheStage().m_nNextPart = 77;
    TheStage().m_nEndRequest = 0;
    cEdCommand clear = Cmd(CMD_STAGE_CLEAR, 0);
    for (std::int32_t p : row.params) clear.m_Params.push_back(p);
    Give({Flow(0, {clear})});
    Step(1);
    EXPECT_EQ(TheStage().m_nEndRequest, 1);
    EXPECT_EQ(TheStage().m_nNextPart, row.next) << row.params[0];
    EXPECT_EQ(g_PlayRecord.m_nMapX, row.x) << row.params[0];
    EXPECT_EQ(g_PlayRecord.m_nMapY, row.y) << row.params[0];
    EXPECT_EQ(g_PlayRecord.m_nMapFacing, row.facing) << row.params[0];
  }
}

TEST_F(ControlCommandsTest, GoalItemRaisesTheScoreAndClearsTheStage) {
  g_PlayRecord.m_nPart = 2;
  // The list stops at the clear: the last command never runs.
  SetItem(1, {ScoreCmd(kItemStatus), Cmd(kItemStageClear, 0, {0, 0, 0, 0, 0}), CountCmd(1, kItemStatus)});
  SetItem(2, {CountCmd(2, kItemStatus)});
  EXPECT_EQ(Player().RunItemCommands(g_Stage.m_Palette.m_Items[1].m_Commands), 1);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 500);
  EXPECT_EQ(TheStage().m_nNextPart, 3);
  EXPECT_EQ(S(1), 0);

  // Given by a character's flow, its result is the stage's end request; an item that
  // ends nothing resets it.
  g_PlayRecord.m_nStageScore = 0;
  Give({Flow(0, {Cmd(CMD_GET_ITEM, 0, {1, 1})})});
  Step(1);
  EXPECT_EQ(TheStage().m_nEndRequest, 1);
  EXPECT_EQ(g_PlayRecord.m_nStageScore, 500);
  Give({Flow(0, {Cmd(CMD_GET_ITEM, 0, {1, 2})})});
  Step(1);
  EXPECT_EQ(TheStage().m_nEndRequest, 0);
  EXPECT_EQ(S(2), 1);
  // Palette 0 is the common one; a third palette gives nothing.
  g_CommonPalette.m_Items.resize(3);
  g_CommonPalette.m_Items[2].m_Commands.clear();
  g_CommonPalette.m_Items[2].m_Commands.push_back(CountCmd(3, kItemStatus));
  CmdGetItem(chara_, Cmd(CMD_GET_ITEM, 0, {0, 2}));
  CmdGetItem(chara_, Cmd(CMD_GET_ITEM, 0, {2, 2}));
  EXPECT_EQ(S(3), 1);
}

TEST_F(ControlCommandsTest, ItemListStopsWhenTheHeroDies) {
  std::vector<std::int32_t> kill(18, 0);
  kill[3] = 0;  // the actor itself: the hero
  kill[4] = 1;  // HP
  kill[7] = 0;  // = 0
  SetItem(
      1, {CountCmd(1, kItemStatus), Cmd(kItemStatus, 0, kill), CountCmd(1, kItemStatus), Cmd(kItemStageClear, 0, {0})});
  TheStage().m_bItemMessageOpen = 1;
  EXPECT_EQ(Player().RunItemCommands(g_Stage.m_Palette.m_Items[1].m_Commands), 2);
  EXPECT_EQ(S(1), 1);
  EXPECT_EQ(TheStage().m_bItemMessageOpen, 0);  // every list begins with a new message window
}

TEST_F(ControlCommandsTest, ItemGivingItselfStopsAtTheNestingCapWithOneReportLine) {
  SetItem(1, {CountCmd(1, kItemStatus), Cmd(kItemGetItem, 0, {1, 1}), Cmd(kItemGetItem, 0, {1, 1})});
  const std::string line = "アイテムの取得の入れ子";
  EXPECT_EQ(Player().RunItemCommands(g_Stage.m_Palette.m_Items[1].m_Commands), 0);
  EXPECT_EQ(S(1), 16);
  EXPECT_EQ(ReportLines(line), 1);
  // Play goes on: the next list runs in full again.
  SetItem(2, {CountCmd(2, kItemStatus), Cmd(kItemGetItem, 0, {1, 3})});
  SetItem(3, {CountCmd(2, kItemStatus)});
  EXPECT_EQ(Player().RunItemCommands(g_Stage.m_Palette.m_Items[2].m_Commands), 0);
  EXPECT_EQ(S(2), 2);
  EXPECT_EQ(ReportLines(line), 1);
}

TEST_F(ControlCommandsTest, SecondStatusOperationSetsTheStateFlags) {
  const struct {
    int whose, state, value;
    bool onHero;  // the actor is the hero (else a character)
  } rows[] = {
      {0, 1, 1, false}, {0, 2, 0, false}, {0, 4, 2, false}, {0, 6, 257, false}, {1, 1, 1, true},
  };
  for (const auto& row : rows) {
    cActor& self = row.onHero ? static_cast<cActor&>(Player()) : chara_;
    cActor& a = row.whose == 0 ? self : *(self.m_pTarget = &chara_);
    a.m_Def.m_bTransparent = a.m_Def.m_bFixedFacing = a.m_Def.m_nInvincible = 9;
    CmdStatusOperation2(self, Cmd(CMD_STATUS2, 0, {row.whose, row.state, row.value}));
    const int expect = row.value & 0xFF;
    switch (row.state) {
      case 1: EXPECT_EQ(a.m_Def.m_bTransparent, expect); break;
      case 2: EXPECT_EQ(a.m_Def.m_bFixedFacing, expect); break;
      case 4: EXPECT_EQ(a.m_Def.m_nInvincible, expect); break;
      case 6:
        EXPECT_EQ(a.m_Def.m_bAutoScrollSync, 1);
        EXPECT_EQ(a.m_bScrollSync, 1);
        break;
      default: break;
    }
  }
  // Whose 1 without a target does nothing.
  chara_.m_pTarget = nullptr;
  chara_.m_Def.m_bTransparent = 0;
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {1, 1, 1}));
  EXPECT_EQ(chara_.m_Def.m_bTransparent, 0);
}

TEST_F(ControlCommandsTest, VanishingRemovesACharacterAndKillsTheHero) {
  chara_.m_nHp = 100;
  Give({Flow(0, {Cmd(CMD_STATUS2, 0, {0, 0, 0}), CountCmd(1)})});
  chara_.FireFlowTrigger(0);
  EXPECT_EQ(chara_.RunFlowPass(0), 1);  // gone: its update ends here
  EXPECT_EQ(chara_.m_bVanished, 1);
  EXPECT_EQ(chara_.m_nHp, 100);
  EXPECT_EQ(TheStage().m_bStatusChanged, 0);  // its own vanishing needs no death check

  chara_.m_pTarget = &Player();
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {1, 0, 1}));
  EXPECT_EQ(Player().m_nHp, 0);
  EXPECT_EQ(Player().m_bVanished, 0);
  EXPECT_EQ(TheStage().m_bStatusChanged, 1);
}

TEST_F(ControlCommandsTest, GiantScaleFlightAndTheStagesAutomaticScroll) {
  chara_.m_nBaseHitW = chara_.m_nHitW = 20;
  chara_.m_nBaseWidth = chara_.m_nWidth = 32;
  chara_.m_Def.m_nScale = 1;
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {0, 5, 3}));
  EXPECT_EQ(chara_.m_nHitW, 60);
  EXPECT_EQ(chara_.m_Def.m_nScale, 3);
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {0, 5, 3}));  // the same scale: no change in size
  EXPECT_EQ(chara_.m_nHitW, 60);
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {0, 5, 0}));  // below 1: the smallest scale
  EXPECT_EQ(chara_.m_nHitW, 20);
  EXPECT_EQ(chara_.m_Def.m_nScale, 1);

  // Flight changes the hero only.
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {0, 3, 2}));
  EXPECT_EQ(chara_.m_bFlying, 0);
  EXPECT_EQ(chara_.m_Def.m_nFlying, 0);
  CmdStatusOperation2(Player(), Cmd(CMD_STATUS2, 0, {0, 3, 2}));
  EXPECT_EQ(Player().m_bFlying, 1);
  EXPECT_EQ(Player().m_Def.m_nFlying, 2);

  g_Stage.m_nAutoScrollX = 30;
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {2, 0, 0}));
  EXPECT_EQ(TheStage().m_ScrollX.m_dSpeed, 0.0);
  EXPECT_EQ(AutoScrollOn(0), 0);
  CmdStatusOperation2(chara_, Cmd(CMD_STATUS2, 0, {2, 0, 1}));
  EXPECT_DOUBLE_EQ(TheStage().m_ScrollX.m_dSpeed, 30 * 0.1 / g_FrameScale);
  EXPECT_EQ(AutoScrollOn(0), 1);
  EXPECT_EQ(TheStage().m_ScrollY.m_dSpeed, 0.0);
}

TEST_F(ControlCommandsTest, GraphicChange) {
  CmdChangeGraphic(chara_, Cmd(CMD_GRAPHIC, 0, {0x104, 70000, -2}));
  EXPECT_EQ(chara_.m_Def.m_nImageSheet, 4);
  EXPECT_EQ(chara_.m_nGraphic, static_cast<std::int16_t>(70000));
  EXPECT_EQ(chara_.m_Def.m_nImage, static_cast<std::int16_t>(70000));
  EXPECT_EQ(chara_.m_Def.m_nImageSub, -2);
}

}  // namespace
}  // namespace flowtest
