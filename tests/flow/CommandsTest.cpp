// Command dispatch and set-up, the time line of command animations, the stage-start
// flows' nesting, and the commands that act within one step.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "FlowFixture.h"
#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "flow/CommandTables.h"
#include "gamedata/Database.h"
#include "gamedata/Move.h"
#include "stage/RunTimeTables.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "ui/Pad.h"

namespace flowtest {
namespace {

cEdCommand Cmd(int type, int time, bool parallel, std::vector<std::int32_t> params = {}, std::string text = "") {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  c.m_bParallel = parallel ? 1 : 0;
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.m_strText = text;
  return c;
}

cEdCommand CodeCmd(const std::string& text) { return Cmd(CMD_CODE, 0, true, {}, text); }

// "ステータスの操作" on a stage variable: S[n] op= x with a constant operand.
cEdCommand StageVarCmd(int n, int op, int x) {
  std::vector<std::int32_t> p(18, 0);
  p[0] = 1;  // a variable
  p[1] = 1;  // of the stage
  p[2] = n;
  p[5] = op;
  p[7] = x;
  return Cmd(CMD_STATUS, 0, false, p);
}

class CommandsTest : public FlowFixture {
 protected:
  void SetUp() override {
    FlowFixture::SetUp();
    savedSteps_ = g_SubSteps;
    SetSubSteps(1);
    std::copy(std::begin(g_CommandExecutors), std::end(g_CommandExecutors), savedExecutors_);
    savedAnimes_ = g_Database.m_Animes;
    savedTables_ = g_AnimeFrameTables;
    savedBackgrounds_ = g_Stage.m_Backgrounds;
    chara_.m_SwitchBusy.assign(27, 0);
    chara_.m_SwitchEnded.assign(27, 0);
    chara_.m_SwitchStarted.assign(27, 0);
    chara_.m_nKind = 1;
    g_Pads[0].ResetCommandHistory();
  }
  void TearDown() override {
    if (window_) {
      g_hWnd.store(0);
      plat::unregisterWindow(window_);
    }
    std::copy(std::begin(savedExecutors_), std::end(savedExecutors_), g_CommandExecutors);
    g_Database.m_Animes = savedAnimes_;
    g_AnimeFrameTables = savedTables_;
    g_Stage.m_Backgrounds = savedBackgrounds_;
    g_SubSteps = savedSteps_;
    FlowFixture::TearDown();
  }
  static void SetSubSteps(int m) {
    g_SubSteps = m;
    g_Stage.m_dSubSteps = m;
    g_Stage.m_dSubSteps2 = static_cast<double>(m) * m;
  }
  void Give(std::vector<cEdFlow> flows, int nFacing = 0) {
    chara_.m_Def.m_Flows.clear();
    for (cEdFlow& f : flows) chara_.m_Def.m_Flows.push_back(f);
    chara_.BuildFlows(chara_.m_Def.m_Flows, nFacing, 0, -1);
  }
  cFlowRuntime& R(int i) { return chara_.m_FlowRuntimes[i]; }
  cCommandRuntime& Cr(int flow, int cmd) { return chara_.m_FlowRuntimes[flow].m_Commands[cmd]; }
  // Every message sent to the main window from now on is kept in sent_.
  void WatchWindow() {
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      sent_.push_back(m);
      return 0;
    });
    g_hWnd.store(window_);
  }
  // Animation n of the database: frames of (time, lock), and the step tables built.
  void SetAnime(int n, std::vector<std::pair<int, int>> frames) {
    g_Database.m_Animes.resize(static_cast<std::size_t>(std::max(n + 1, g_Database.m_Animes.Size())));
    cEdAnime& a = g_Database.m_Animes[n];
    a.m_Frames.clear();
    for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
      cEdAnimeFrame f;
      f.m_nPattern = i;
      f.m_nTime = frames[i].first;
      f.m_bLock = frames[i].second;
      a.m_Frames.push_back(f);
    }
    BuildAnimeTables(g_AnimeFrameTables);
  }

  int savedSteps_ = 0;
  CommandExecutor savedExecutors_[COMMAND_TYPE_COUNT] = {};
  cVector<cEdAnime> savedAnimes_;
  cAnimeStepTables savedTables_;
  cVector<cEdBackground> savedBackgrounds_;
  plat::WindowToken window_ = 0;
  std::vector<plat::Msg> sent_;
};

// The generator of the stage: state x 214013 + 2531011, result bits 16 to 30.
int NextRand(std::uint32_t& state) {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 32767);
}

TEST_F(CommandsTest, StageStartCodeCommandsGiveTheLanguagesValues) {
  Give({Flow(18, {CodeCmd("C1 = ( 7 + 2 ) * 3"), CodeCmd("C2 = 7 + 2 * 3"), CodeCmd("C3 = 2*(3)"),
                  CodeCmd("S1 = -7 % 3"), CodeCmd("C4 = rand(6,1)"), CodeCmd("C5 = 5 / 0")})});
  Srand(1234);
  std::uint32_t state = 1234;
  chara_.FireFlowTrigger(18);
  EXPECT_EQ(C(1), 27);
  EXPECT_EQ(C(2), 13);
  EXPECT_EQ(C(3), 2);  // "2*(3)" is one word: a call of no function, read as the number 2
  EXPECT_EQ(S(1), -1);
  EXPECT_EQ(C(4), 1 + NextRand(state) % 6);
  EXPECT_EQ(C(5), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"0除算が行われました！(C5 = 5 / 0)"});
  EXPECT_EQ(R(0).m_bRunning, 0);
}

TEST_F(CommandsTest, InstantStatusOperationRunsOncePerFrameAtAnySubStepCount) {
  for (int m : {1, 3, 10}) {
    SetSubSteps(m);
    S(2) = 0;
    Give({Flow(0, {StageVarCmd(2, 1, 1)})});
    const int nFrames = 7;
    for (int f = 0; f < nFrames; ++f) {
      chara_.ResetFlowTriggerFlags();
      for (int s = 0; s < m; ++s) {
        chara_.FireFlowTrigger(0);
        chara_.RunFlowPass(0);
      }
    }
    EXPECT_EQ(S(2), nFrames) << m << " sub-steps";
  }
}

TEST_F(CommandsTest, TypesWithoutAnExecutorOnlyTakeTheirRunTime) {
  cEdCommand odd = Cmd(1, 0, false);
  odd.m_nType = 50;
  cEdCommand negative = Cmd(1, 0, false);
  negative.m_nType = -3;
  Give({Flow(0, {Cmd(CMD_WAIT, 1, false), odd, negative})});
  const double x = chara_.m_dX;
  int nSteps = 0;
  chara_.FireFlowTrigger(0);
  while (R(0).m_bRunning && nSteps < 100) {
    chara_.RunFlowPass(0);
    ++nSteps;
  }
  EXPECT_EQ(nSteps, 6 + 1 + 1);
  EXPECT_EQ(chara_.m_dX, x);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(CommandsTest, MovementSetUp) {
  SetSubSteps(2);
  chara_.m_nLevel = 2;
  auto Move = [](int type, auto&& set) {
    cEdCommand c = Cmd(type, 3, false);
    c.NewMove();
    set(*c.m_pMove);
    return c;
  };
  Give({Flow(0,
             {
                 Move(CMD_MOVE_STRAIGHT, [](cEdMove& m) { m.m_nAngle = 30; }),
                 Move(CMD_MOVE_STRAIGHT,
                      [](cEdMove& m) {
                        m.m_nMode = 1;
                        m.m_nCellX = 2;
                        m.m_nDotX = 5;
                        m.m_nCellY = -1;
                        m.m_nDotY = 4;
                        m.m_bMirrorY = 1;
                      }),
                 Move(4,
                      [](cEdMove& m) {
                        m.m_nRadius = 25;
                        m.m_nAngle = 90;
                        m.m_nDistance = 270;
                        m.m_nDirection = 0;
                      }),
                 // clang-format off
                 Move(6, [](cEdMove& m) { m.m_nRadius = 4; m.m_nRadiusPerLevel = 1; }),
                 // clang-format on
                 Move(5,
                      [](cEdMove& m) {
                        m.m_nTimingMode = 1;
                        m.m_nDistance = 3;  // half blocks
                      }),
                 Move(5,
                      [](cEdMove& m) {
                        m.m_nTimingMode = 2;
                        m.m_nDistance = 90;
                        m.m_nDistanceUnit = 1;  // pixels
                        m.m_nSpeed = 20;
                      }),
             })},
       1);
  const int total = 3 * 2 * 6;
  EXPECT_EQ(Cr(0, 0).m_nAngle, 330);  // mirrored for the right-facing build
  EXPECT_EQ(Cr(0, 1).m_nOffsetX, -(2 * 32 + 5));
  EXPECT_EQ(Cr(0, 1).m_nOffsetY, -(-32 + 4));
  // Circle: mirrored in x, so the sense exchanges and both angles gain 180; radius cut to 20.
  EXPECT_EQ(Cr(0, 2).m_nMoveMode, 1);
  EXPECT_EQ(Cr(0, 2).m_nRadius, 20 * 16 * 2);
  EXPECT_EQ(Cr(0, 2).m_nStartAngle, (180 + 90) * 2);
  EXPECT_EQ(Cr(0, 2).m_nEndAngle, (180 + 270) * 2);
  EXPECT_DOUBLE_EQ(Cr(0, 2).m_dSpeed, 180.0 * 2 / total / 2);
  EXPECT_EQ(Cr(0, 3).m_nRadius, (1 * 2 + 4) * 2);
  EXPECT_DOUBLE_EQ(Cr(0, 4).m_dSpeed, 3.0 * 16 / total);
  EXPECT_EQ(Cr(0, 5).m_nTotal, static_cast<int>(90 / (20 * 0.1 / 2)));
}

TEST_F(CommandsTest, SetUpNeverDividesByZeroNorWraps) {
  auto Move = [](int mode, int time, int speed) {
    cEdCommand c = Cmd(CMD_MOVE_STRAIGHT, time, false);
    c.NewMove();
    c.m_pMove->m_nTimingMode = static_cast<std::uint8_t>(mode);
    c.m_pMove->m_nDistance = 4;
    c.m_pMove->m_nSpeed = static_cast<std::int16_t>(speed);
    return c;
  };
  cEdCommand huge = Cmd(CMD_WAIT, 32767, false);
  huge.m_nTimePerLevel = 32767;
  chara_.m_nLevel = 32767;
  SetSubSteps(100);
  Give({Flow(0, {Move(1, 0, 10), Move(2, 2, 0), huge})});
  EXPECT_DOUBLE_EQ(Cr(0, 0).m_dSpeed, 4 * 16.0);  // no run time: the one step covers it
  EXPECT_EQ(Cr(0, 1).m_nTotal, 2 * 100 * 6);      // no speed: the given time stays
  EXPECT_EQ(Cr(0, 2).m_nTotal, INT_MAX);
}

TEST_F(CommandsTest, AnimationEndsWhenItsCommandStarts) {
  SetSubSteps(2);
  SetAnime(1, {{2, 0}, {3, 0}, {1, 1}, {1, 0}});  // 30 frames before the locking frame
  cEdCommand late = Cmd(CMD_WAIT, 4, false);
  late.m_nAnime = 1;
  cEdCommand early = late;
  // Before the first: a parallel command that does not hold the flow, then 60 frames.
  Give({Flow(0, {Cmd(CMD_WAIT, 50, true), Cmd(CMD_WAIT, 10, false), late}), Flow(0, {Cmd(CMD_WAIT, 2, false), early})});
  ASSERT_EQ(R(0).m_AnimeLinks.size(), 1u);
  const cFlowAnimeLink a = R(0).m_AnimeLinks[0];
  EXPECT_EQ(a.m_nStart, (60 - 30) * 2);
  EXPECT_EQ(a.m_nOffset, 0);
  EXPECT_EQ(a.m_nLength, 30);
  EXPECT_EQ(a.m_nHold, 4 * 6);
  EXPECT_EQ(a.m_bHold, 1);
  // 12 frames before the command: it starts with the flow, 18 frames in.
  const cFlowAnimeLink b = R(1).m_AnimeLinks[0];
  EXPECT_EQ(b.m_nStart, 0);
  EXPECT_EQ(b.m_nOffset, 30 - 12);
  EXPECT_EQ(b.m_nLength, 12);

  chara_.FireFlowTrigger(0);
  for (int step = 0; step < a.m_nStart; ++step) chara_.RunFlowPass(0);
  ASSERT_EQ(chara_.m_FlowAnimes.size(), 1u);  // the second flow's, at once
  const cFlowAnime& first = chara_.m_FlowAnimes.front();
  EXPECT_EQ(first.m_nFlowSerial, R(1).m_nSerial);
  EXPECT_EQ(first.m_Anime.m_nFrame, 1);  // 18 frames in: past the first 12, 6 into the second
  EXPECT_EQ(first.m_Anime.m_nTick, 6);
  EXPECT_EQ(first.m_Anime.m_Sequences[0][2].nFrames, 6 + 4 * 6 - 1);  // rests on the locking frame
  chara_.RunFlowPass(0);
  ASSERT_EQ(chara_.m_FlowAnimes.size(), 2u);
  EXPECT_EQ(chara_.m_FlowAnimes.back().m_nFramesLeft, 30);
  EXPECT_EQ(chara_.m_FlowAnimes.back().m_nFlowSerial, R(0).m_nSerial);
}

TEST_F(CommandsTest, RunAnimeAddsOneEntryAStepLinkedToItsFlow) {
  SetAnime(2, {{1, 0}, {1, 0}});
  cEdCommand anime = Cmd(CMD_ANIME, 0, false, {2});
  Give({Flow(0, {anime})});
  chara_.FireFlowTrigger(0);
  chara_.RunFlowPass(0);
  ASSERT_EQ(chara_.m_FlowAnimes.size(), 1u);
  EXPECT_EQ(chara_.m_FlowAnimes.front().m_nFlowSerial, R(0).m_nSerial);
  EXPECT_EQ(chara_.m_FlowAnimes.front().m_Anime.m_Sequences[0].Size(), 3);
  // Outside any flow (an item's list) it belongs to none.
  g_ItemCommandExecutors[CMD_ANIME - ITEM_TYPE_OFFSET](Player(), anime);
  ASSERT_EQ(Player().m_FlowAnimes.size(), 1u);
  EXPECT_EQ(Player().m_FlowAnimes.front().m_nFlowSerial, -1);
}

TEST_F(CommandsTest, StageStartFlowRestartingItselfEndsIdle) {
  // As the flow operation "開始" does: end, start again, abort the current step.
  g_CommandExecutors[CMD_FLOW] = [](cActor& a, cCommandRuntime&) {
    cFlowRuntime& self = *TheStage().m_pCurFlow;
    self.End(a);
    self.Start();
    self.m_bAbort = 1;
    return 0;
  };
  Give({Flow(18, {Cmd(CMD_FLOW, 0, true), CodeCmd("C1 = C1 + 1")})});
  chara_.FireFlowTrigger(18);
  EXPECT_EQ(R(0).m_bRunning, 0);
  EXPECT_EQ(C(1), 0);
  EXPECT_EQ(TheStage().m_pCurFlow, nullptr);
  // The stage can start again.
  chara_.ResetFlowTriggerFlags();
  chara_.FireFlowTrigger(18);
  EXPECT_EQ(R(0).m_bRunning, 0);
}

TEST_F(CommandsTest, NestedStageStartsAreCappedAndRestoreTheCurrentFlow) {
  static std::vector<const cFlowRuntime*> s_seen;
  s_seen.clear();
  // Each flow starts the next one, then counts itself, its own flow current again.
  g_CommandExecutors[CMD_FLOW] = [](cActor& a, cCommandRuntime&) {
    const int next = TheStage().m_pCurFlow->m_nIndex + 1;
    if (next < a.m_FlowRuntimes.Size()) a.m_FlowRuntimes[next].Start();
    return 0;
  };
  g_CommandExecutors[CMD_STAGE_CLEAR] = [](cActor&, cCommandRuntime&) {
    s_seen.push_back(TheStage().m_pCurFlow);
    return 0;
  };
  std::vector<cEdFlow> flows;
  for (int i = 0; i < 20; ++i) flows.push_back(Flow(18, {Cmd(CMD_FLOW, 0, true), Cmd(CMD_STAGE_CLEAR, 0, true)}));
  Give(flows);
  chara_.FireFlowTrigger(18);
  // Sixteen nest; the seventeenth is refused with a report line; the trigger then starts
  // the rest from the top.
  EXPECT_NE(Report().find("ステージ開始前のフローの入れ子が深すぎる"), std::string::npos);
  ASSERT_EQ(s_seen.size(), 19u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(s_seen[i], &R(15 - i)) << i;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(R(i).m_bRunning, 0) << i;
}

TEST_F(CommandsTest, ChangeBackgroundShowsHidesAndFlips) {
  g_Stage.m_Backgrounds.clear();
  g_Stage.m_Backgrounds.resize(2);
  g_Stage.m_Backgrounds[1].m_bVisible = 1;
  const struct {
    int layer, mode, visible;
  } rows[] = {{2, 1, 0}, {2, 2, 1}, {2, 2, 0}, {2, 0, 1}, {2, 7, 1}, {0, 1, 1}, {3, 1, 1}, {-1, 1, 1}};
  for (const auto& r : rows) {
    CmdChangeBackground(chara_, Cmd(CMD_BACKGROUND, 0, false, {r.layer, r.mode}));
    EXPECT_EQ(g_Stage.m_Backgrounds[1].m_bVisible, r.visible) << r.layer << " " << r.mode;
    EXPECT_EQ(g_Stage.m_Backgrounds[0].m_bVisible, 1);
  }
}

TEST_F(CommandsTest, SoundAndMusicRequests) {
  WatchWindow();
  cEdCommand sound = Cmd(CMD_SOUND, 0, false, {5});
  sound.m_nSound = 9;  // the command's own sound is not the one played
  sound.m_bSoundOnScreen = 1;
  chara_.m_bOnScreen = 0;
  CmdPlaySound(chara_, sound);
  EXPECT_TRUE(sent_.empty());
  chara_.m_bOnScreen = 1;
  CmdPlaySound(chara_, sound);
  sound.m_bSoundOnScreen = 0;
  chara_.m_bOnScreen = 0;
  CmdPlaySound(chara_, sound);
  ASSERT_EQ(sent_.size(), 2u);
  for (const plat::Msg& m : sent_) {
    EXPECT_EQ(m.id, appmsg::PlaySound);
    EXPECT_EQ(m.w, 5u + 16u);
  }

  sent_.clear();
  g_PlayRecord.m_bStageBgmLoop = 1;
  CmdPlayBgm(chara_, Cmd(CMD_BGM, 0, false, {0, 0}));
  ASSERT_EQ(sent_.size(), 1u);
  EXPECT_EQ(sent_[0].id, appmsg::PlayMusic);
  EXPECT_EQ(sent_[0].w, 4u);
  EXPECT_EQ(sent_[0].l, 0);
  EXPECT_EQ(g_PlayRecord.m_bStageBgmLoop, 0);
}

}  // namespace
}  // namespace flowtest

namespace flowtest {
namespace {

TEST_F(CommandsTest, FlowChangeDuringThePlayersOwnPassWaitsForItsEnd) {
  cPlayer& hero = Player();
  hero.m_SwitchBusy.assign(27, 0);
  hero.m_SwitchEnded.assign(27, 0);
  hero.m_SwitchStarted.assign(27, 0);
  hero.m_Def.m_Flows.clear();
  hero.m_Def.m_Flows.push_back(Flow(0, {Cmd(CMD_GET_ITEM, 0, false)}));
  hero.BuildFlows(hero.m_Def.m_Flows, 0, 0, -1);
  static cEdCommand s_change;
  s_change = Cmd(ITEM_CMD_FLOW_CHANGE, 0, false, {0, 0});
  s_change.m_Flows.push_back(Flow(19, {Cmd(CMD_WAIT, 1, false)}));
  static int s_flowsSeen = 0;
  // Taking an item whose list changes the flows, from inside the hero's own flow.
  g_CommandExecutors[CMD_GET_ITEM] = [](cActor& a, cCommandRuntime&) {
    g_ItemCommandExecutors[ITEM_CMD_FLOW_CHANGE](g_Players[0], s_change);
    s_flowsSeen = a.m_FlowRuntimes.Size();
    return 0;
  };
  hero.FireFlowTrigger(0);
  hero.RunFlowPass(0);
  EXPECT_EQ(s_flowsSeen, 1);
  ASSERT_EQ(hero.m_FlowRuntimes.Size(), 2);
  EXPECT_EQ(hero.m_Def.m_Flows[1].m_nTrigger, 19);
  EXPECT_EQ(hero.m_FlowRuntimes[1].m_Commands[0].m_pCommand, &hero.m_Def.m_Flows[1].m_Commands[0]);
  EXPECT_TRUE(hero.m_PendingFlowChanges.empty());
}

}  // namespace
}  // namespace flowtest
