#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "base/Timer.h"
#include "records/FrontendLinks.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "stage/FlowRuntime.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/ObjectLists.h"
#include "stage/StageFixture.h"
#include "test_support/SoundRequests.h"
#include "ui/Pad.h"

namespace {

using stagetest::StageFixture;

class PlayFrameTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    savedEndRule_ = g_System.m_bEndCheckRule;
    g_System.m_bEndCheckRule = 0;
    MakeMap();
    Scene().m_nPhase = STAGE_PHASE_PLAY;
    Scene().m_bNoTimeLimit = 1;
    CountFrames(0, 60);
    cPlayer& hero = g_Players[0];
    hero.m_Def.m_nScale = 1;
    hero.m_Def.m_nMaxHP = hero.m_nHp = 3;
    Place(hero, 480, 480, 16, 24, 0);
  }
  void TearDown() override {
    g_System.m_bEndCheckRule = savedEndRule_;
    StageFixture::TearDown();
  }
  // A flying character that passes through blocks, at map pixel (x, y), running.
  cChara& AddChara(double x, double y, double dStepX) {
    g_Charas.emplace_back();
    cChara& c = g_Charas.back();
    c.m_Def.m_nScale = 1;
    c.m_Def.m_nMaxHP = c.m_nHp = 1;
    Place(c, x, y, 16, 24, 1, 1);
    c.m_nLifeSteps = UNLIMITED_LIFE;
    c.m_bExists = c.m_bActive = 1;
    c.m_bScrollSync = 0;
    c.m_dPushX = dStepX;  // kept: a flyer's own push is not braked without a brake value
    return c;
  }
  bool DebugHas(const std::string& text) {
    const auto lines = DebugLines();
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }

  test_support::SoundRequests sounds_;

 private:
  std::int32_t savedEndRule_ = 0;
};

TEST_F(PlayFrameTest, PlayTimeCountsFramesAsHundredthsAtSixtyFramesASecond) {
  struct Case {
    int framesBefore, timeBefore, framesAfter, timeAfter;
  } cases[] = {
      {0, 0, 1, 1},       // 100 / 60
      {59, 98, 60, 100},  // one second
      {359998, 599996, 359999, 599998},
      {359999, 599998, 360000, 599999},  // capped
      {360000, 599999, 360000, 599999},  // and no longer counted
  };
  for (const Case& c : cases) {
    Scene().m_nPlayFrames = c.framesBefore;
    Scene().m_nPlayTime = c.timeBefore;
    Scene().TickPlayTime();
    EXPECT_EQ(Scene().m_nPlayFrames, c.framesAfter) << c.framesBefore;
    EXPECT_EQ(Scene().m_nPlayTime, c.timeAfter) << c.framesBefore;
  }
}

TEST_F(PlayFrameTest, TheTimeLimitRunsDownOneUnitEverySixtyCalls) {
  cStageScene& s = Scene();
  s.m_bNoTimeLimit = 0;
  s.m_nTimeLeft = 2;
  for (int call = 1; call <= 120; ++call) {
    const int r = s.TickTimeLimit(-1);
    EXPECT_EQ(r, call == 120 ? 1 : 0) << call;
    EXPECT_EQ(s.m_nTimeLeft, call < 60 ? 2 : call < 120 ? 1 : 0) << call;
  }
  // A gain stops at 999; no limit, no counting.
  s.m_nTimeLeft = 998;
  CountFrames(0, 60);
  for (int i = 0; i < 60; ++i) s.TickTimeLimit(5);
  EXPECT_EQ(s.m_nTimeLeft, 999);
  s.m_bNoTimeLimit = 1;
  s.m_nTimeLeft = 1;
  for (int i = 0; i < 120; ++i) EXPECT_EQ(s.TickTimeLimit(-1), 0);
  EXPECT_EQ(s.m_nTimeLeft, 1);
}

TEST_F(PlayFrameTest, ATimeOutKillsTheHeroInItsFrameWithoutLogicButNotASecondTime) {
  cStageScene& s = Scene();
  s.m_bNoTimeLimit = 0;
  s.m_nTimeLeft = 1;
  cPlayer& hero = g_Players[0];
  Place(hero, 480, 480, 16, 24, 0, 1);  // hovers: nothing else can kill it
  for (int frame = 1; frame < 60; ++frame) s.Play();
  EXPECT_EQ(hero.m_bDead, 0);
  const int nSteps = s.m_nStepCount;
  EXPECT_EQ(nSteps, 59 * g_SubSteps);
  sounds_.Clear();
  s.Play();
  EXPECT_EQ(hero.m_bDead, 1);
  EXPECT_EQ(sounds_.All(), std::vector<int>{8});
  EXPECT_EQ(s.m_nStepCount, nSteps);  // the frame ran no sub-step
  // Already dead: the next run-out does nothing and the frames go on.
  s.m_nTimeLeft = 1;
  sounds_.Clear();
  for (int frame = 0; frame < 60; ++frame) s.Play();
  EXPECT_EQ(sounds_.All(), std::vector<int>{});
  EXPECT_EQ(s.m_nStepCount, nSteps + 60 * g_SubSteps);
}

TEST_F(PlayFrameTest, NoSubStepsDrawsWithoutMovingAnything) {
  cStageScene& s = Scene();
  g_Stage.m_nSubSteps = 0;
  cChara& c = AddChara(600, 500, 1.0);
  const double x0 = c.m_dX;
  const double y0 = g_Players[0].m_dY;
  s.Play();
  s.Play();
  EXPECT_EQ(c.m_dX, x0);
  EXPECT_EQ(g_Players[0].m_dY, y0);
  EXPECT_EQ(s.m_nStepCount, 0);
  EXPECT_EQ(s.m_nPlayFrames, 2);
}

TEST_F(PlayFrameTest, WhileTheHeroIsDeadCharactersStandStillAndKeepTheirLifetimes) {
  g_Stage.SetHitLevel(3);
  cChara& c = AddChara(600, 500, 1.0);
  c.m_nLifeSteps = 100;
  cItem item;
  item.m_nLifeSteps = 100;
  g_Items.push_back(item);
  const double x0 = c.m_dX;
  // Alive: every sub-step moves it by its push and counts one step of its life.
  Scene().Play();
  EXPECT_EQ(c.m_dX, x0 + 3 * 1.0);
  EXPECT_EQ(c.m_nLifeSteps, 97);
  EXPECT_EQ(g_Items.front().m_nLifeSteps, 97);
  g_Players[0].m_bDead = 1;
  Scene().Play();
  EXPECT_EQ(c.m_dX, x0 + 3 * 1.0);
  EXPECT_EQ(c.m_nLifeSteps, 97);
  EXPECT_EQ(g_Items.front().m_nLifeSteps, 97);
}

TEST_F(PlayFrameTest, ALifetimeBelowZeroRemovesTheCharacterAndTheItem) {
  cChara& c = AddChara(600, 500, 0.0);
  c.m_nLifeSteps = 1;
  cItem item;
  item.m_nLifeSteps = 0;
  g_Items.push_back(item);
  Scene().Play();  // level 1: one sub-step
  EXPECT_EQ(g_Charas.size(), 1u);
  EXPECT_TRUE(g_Items.empty());
  Scene().Play();
  EXPECT_TRUE(g_Charas.empty());
}

TEST_F(PlayFrameTest, ObjectsOutsideTheEraseRangeLeaveOnlyInTheFirstSubStep) {
  cStageScene& s = Scene();
  cEdStageParam& range = g_Stage.m_Params[0];
  const cEdStageParam saved = range;
  range = cEdStageParam{};
  range.m_bLimitLeft = 1;
  range.m_nMarginLeft = 0;
  s.m_bEraseCharas = 1;
  AddChara(100, 500, 0.0);  // left of the view
  s.m_nSubStep = 2;
  s.PlaySubStep();
  EXPECT_EQ(g_Charas.size(), 1u);
  s.m_nSubStep = 1;
  s.m_bDeferRemovals = 1;
  s.PlaySubStep();
  s.m_bDeferRemovals = 0;
  EXPECT_EQ(g_Charas.front().m_bRemoved, 1);  // unlinked and marked until the sub-step's end
  s.SweepRemovedCharas();
  EXPECT_TRUE(g_Charas.empty());
  range = saved;
}

TEST_F(PlayFrameTest, ARemovalInsideASubStepLeavesTheNodeUntilTheSweep) {
  cStageScene& s = Scene();
  cChara& a = AddChara(600, 500, 0.0);
  cChara& b = AddChara(700, 500, 0.0);
  a.m_nSerial = 11;
  b.m_nSerial = 12;
  b.m_pTarget = &a;
  a.m_Targeters.push_back(&b);
  s.m_SideActors[0].push_back(&a);
  s.m_bDeferRemovals = 1;
  auto next = s.EraseChara(g_Charas, g_Charas.begin());
  EXPECT_EQ(&*next, &b);
  EXPECT_EQ(g_Charas.size(), 2u);
  EXPECT_EQ(b.m_pTarget, nullptr);
  EXPECT_TRUE(s.m_SideActors[0].empty());
  EXPECT_EQ(FindCharaById(11), nullptr);
  a.m_nHp = 0;  // a later death check passes over it
  EXPECT_EQ(s.HpCheckPass(), 0);
  s.m_bDeferRemovals = 0;
  s.SweepRemovedCharas();
  ASSERT_EQ(g_Charas.size(), 1u);
  EXPECT_EQ(&g_Charas.front(), &b);
}

TEST_F(PlayFrameTest, AHeroSqueezedBetweenWallsDiesUnlessItsCollisionGraceRuns) {
  // Walls at stage cells (4, 5) and (6, 5); the hero, 48 pixels wide, cannot fit between.
  MakeMap({{4, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}});
  struct Case {
    int grace;
    bool dies;
  } cases[] = {{0, true}, {1, true}, {2, false}};
  for (const Case& c : cases) {
    cPlayer& hero = g_Players[0];
    hero = cPlayer();
    hero.m_Def.m_nScale = 1;
    hero.m_Def.m_nMaxHP = hero.m_nHp = 3;
    Place(hero, (5 + 10) * 32 - 8, (5 + 10) * 32 + 8, 48, 24, 0);
    hero.m_nBlockGraceSteps = c.grace;
    sounds_.Clear();
    Scene().m_nSubStep = 1;
    const int r = Scene().PlaySubStep();
    EXPECT_EQ(r, c.dies ? 1 : 0) << c.grace;
    EXPECT_EQ(hero.m_bDead, c.dies ? 1 : 0) << c.grace;
    if (c.dies) { EXPECT_EQ(sounds_.All(), std::vector<int>{8}); }
  }
  EXPECT_TRUE(DebugHas("Player[P1].LRUD = 1,1,0,"));
  EXPECT_TRUE(DebugHas("Dead SP"));
}

TEST_F(PlayFrameTest, ACharacterThatVanishesLeavesWithoutDyingInEitherPass) {
  const std::int32_t savedScore = g_PlayRecord.m_nStageScore;
  for (int bBlock : {1, 0}) {
    g_Charas.clear();
    cChara& c = AddChara(600, 500, 0.0);
    c.m_Def.m_bBlockChara = static_cast<std::uint8_t>(bBlock);
    c.m_Def.m_nScore = 100;
    // A running flow whose step finds the character vanished.
    cEdCommand wait;
    wait.m_nType = 1;
    wait.m_nTime = 10;
    cEdFlow flow;
    flow.m_nTrigger = 5;
    flow.m_Commands.push_back(wait);
    c.m_Def.m_Flows.push_back(flow);
    c.BuildFlows(c.m_Def.m_Flows, 0, 0, -1);
    c.m_FlowRuntimes[0].m_bRunning = 1;
    c.m_bVanished = 1;
    g_PlayRecord.m_nStageScore = 0;
    sounds_.Clear();
    Scene().Play();
    EXPECT_TRUE(g_Charas.empty()) << bBlock;
    EXPECT_EQ(g_PlayRecord.m_nStageScore, 0) << bBlock;
    EXPECT_EQ(sounds_.All(), std::vector<int>{}) << bBlock;
  }
  g_PlayRecord.m_nStageScore = savedScore;
}

TEST_F(PlayFrameTest, LiveInputIsHeldBackAndRecordedWhileAReplayFeedsTheRecordedWords) {
  const std::int32_t savedRecord = g_System.m_bRecordReplay;
  cPad& pad = g_Pads[0];
  g_KeyLog.Clear();
  g_System.m_bRecordReplay = 1;
  // Live: buttons held into play count only once let go; the filtered words are recorded.
  Scene().m_bHoldButtons = 1;
  struct Frame {
    std::uint16_t dir, buttons, seenButtons;
  } live[] = {{2, 1, 0}, {2, 1, 0}, {0, 0, 0}, {1, 1, 1}};
  for (const Frame& f : live) {
    pad.m_wDirection = f.dir;
    pad.m_wButtons = f.buttons;
    Scene().Play();
    EXPECT_EQ(pad.m_wButtons, f.seenButtons);
  }
  std::uint16_t d = 0, b = 0;
  g_KeyLog.Rewind();
  for (const Frame& f : live) {
    ASSERT_EQ(g_KeyLog.PlayFrame(&d, &b), 0);
    EXPECT_EQ(d, f.dir);
    EXPECT_EQ(b, f.seenButtons);
  }
  // Playback: the pad shows the recorded words, whatever is held and whatever the hold.
  g_KeyLog.Rewind();
  g_FrontendLinks.gameMode = [] { return static_cast<int>(GAME_MODE_REPLAY); };
  Scene().m_bHoldButtons = 1;
  for (const Frame& f : live) {
    pad.m_wDirection = 8;
    pad.m_wButtons = 4;
    Scene().Play();
    EXPECT_EQ(pad.m_wDirection, f.dir);
    EXPECT_EQ(pad.m_wButtons, f.seenButtons);
  }
  g_FrontendLinks.gameMode = nullptr;
  g_System.m_bRecordReplay = savedRecord;
  g_KeyLog.Clear();
  // The pad is shared by the tests that follow in this program.
  pad.ClearDirection();
  pad.ClearButtons();
}

}  // namespace
