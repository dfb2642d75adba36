// The set-up of a running stage: placements, side lists, hit schedule, captions, music,
// the retry and the refusal of stages that cannot be played.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Failure.h"
#include "base/Random.h"
#include "base/SceneManager.h"
#include "records/PlayRecord.h"
#include "platform/messaging.h"
#include "platform/msgbox.h"
#include "stage/ActorPhysics.h"
#include "stage/StageLinks.h"
#include "stage/StageFixture.h"

namespace {

using stagetest::StageFixture;

constexpr int W = 40;
constexpr int H = 15;

cEdChara Hero(int x, int y) {
  cEdChara c;
  c.Reset();
  c.m_nImage = 1;
  c.m_nOperator = 0;
  c.m_nPassNumber = 0;
  c.m_nX = static_cast<std::int16_t>(x);
  c.m_nY = static_cast<std::int16_t>(y);
  return c;
}

cEdChara Enemy(int x, int y, int side = 2) {
  cEdChara c = Hero(x, y);
  c.m_nOperator = 1;
  c.m_nPassNumber = static_cast<std::uint8_t>(side);
  return c;
}

cEdItem ItemAt(int x, int y) {
  cEdItem i;
  i.Reset();
  i.m_nImage = 2;
  i.m_nX = static_cast<std::int16_t>(x);
  i.m_nY = static_cast<std::int16_t>(y);
  return i;
}

class StageSetupTest : public StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    g_Stage.Reset();
    g_Stage.m_nWidth = W;
    g_Stage.m_nHeight = H;
    g_Stage.m_nExtentX = (W + 20) * 32 - 640;
    g_Stage.m_nExtentY = (H + 20) * 32 - 640;
    g_Stage.m_Charas = {Hero(3, 10)};
    savedWindow_ = g_hWnd.load();
    window_ = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id == appmsg::PlayMusic) music_.push_back(static_cast<int>(m.l));
      return 0;
    });
    g_hWnd = window_;
    g_PlayRecord.m_nStageBgm = 0;
    g_SceneManager.m_nMenuChoice = 2;
    g_StageLinks = cStageLinks();
  }
  void TearDown() override {
    g_hWnd = savedWindow_;
    plat::unregisterWindow(window_);
    g_Stage.Reset();
    g_StartStage.Reset();
    g_SceneManager.m_nFrameRate = 60;
    StageFixture::TearDown();
  }

  // The stage as loaded: its start snapshot taken, then the first set-up.
  void SetUpStage() {
    g_StartStage.MakeStartSnapshot(g_Stage);
    Scene().SetStage(SET_STAGE_MUSIC_RESTART);
  }

  std::vector<cChara*> Charas() {
    std::vector<cChara*> out;
    for (cChara& c : g_Charas) out.push_back(&c);
    return out;
  }

  plat::WindowToken window_ = 0;
  plat::WindowToken savedWindow_ = 0;
  std::vector<int> music_;
};

TEST_F(StageSetupTest, PlacementsBecomeTheHeroCharactersAndItems) {
  cEdChara& hero = g_Stage.m_Charas[0];
  hero.m_nOffsetXBase = 5;
  hero.m_nOffsetYBase = -2;
  cEdChara enemy = Enemy(10, 10);
  enemy.m_nExtraCopies = 2;
  enemy.m_nOffsetXStep = 64;
  enemy.m_nCarriedItem = 0;
  g_Stage.m_Charas.push_back(enemy);
  g_Stage.m_Items = {ItemAt(5, 5), ItemAt(7, 7)};
  SetUpStage();

  ASSERT_FALSE(Scene().IsClosing());
  ASSERT_EQ(g_Players.Size(), 1);
  const cPlayer& p = g_Players[0];
  // Walking body 16 x 24 standing on the cell's bottom: offset (8, 8) in the cell.
  EXPECT_EQ(p.m_nSerial, 0);
  EXPECT_DOUBLE_EQ(p.m_dX, 13 * 32 + 8 + 0.5 + 5);
  EXPECT_DOUBLE_EQ(p.m_dY, 20 * 32 + 8 - 2);
  EXPECT_DOUBLE_EQ(p.m_dRight, p.m_dX + 15);
  EXPECT_DOUBLE_EQ(p.m_dSpawnX, (13 << 5) | 16);
  EXPECT_EQ(p.m_nHp, g_Stage.m_Charas[0].m_nMaxHP);  // the push above moved the hero's record

  // Three copies, 64 pixels apart, levels 0 to 2, each holding the carried item.
  const std::vector<cChara*> charas = Charas();
  ASSERT_EQ(charas.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(charas[i]->m_nSerial, 1 + i);
    EXPECT_EQ(charas[i]->m_nLevel, i);
    EXPECT_DOUBLE_EQ(charas[i]->m_dX, 20 * 32 + 8 + 0.5 + 64 * i);
    EXPECT_DOUBLE_EQ(charas[i]->m_dY, 20 * 32 + 8);
    EXPECT_NE(charas[i]->m_Item.m_nHeldMode, 0);
    EXPECT_EQ(charas[i]->m_Item.m_nSerial, 0);
  }
  // The carried item is not placed on its own; the other one is, its 28-pixel body
  // centred in its cell.
  ASSERT_EQ(g_Items.size(), 1u);
  const cItem& item = g_Items.front();
  EXPECT_EQ(item.m_nSerial, 1);
  EXPECT_DOUBLE_EQ(item.m_dX, 17 * 32 + 2 + 0.5);
  EXPECT_DOUBLE_EQ(item.m_dY, 17 * 32 + 2);
  EXPECT_EQ(Scene().m_nNextActorId, 4);
  EXPECT_EQ(Scene().m_nNextItemId, 2);
  EXPECT_EQ(closes_, 0);
}

// A stage that passes its statuses on hands the hero's state at its end to the next stage
// that takes them: with flying mode, scale, current and maximum HP carried, the next hero
// starts flying through blocks, twice the size, with the HP it had left of its new maximum.
TEST_F(StageSetupTest, TheHerosCarriedStatusesReachTheNextStagesHero) {
  const cPlayRecord savedRecord = g_PlayRecord;
  const cVector<std::uint8_t> savedFlags = g_System.m_CarryOver;
  g_System.m_CarryOver.assign(CARRY_ITEM_COUNT, 0);
  for (int i : {6, 8, 11, 13}) g_System.m_CarryOver[i] = 1;
  g_PlayRecord.m_bNumbered = 0;
  g_SceneManager.m_nMenuChoice = 3;  // a stage file: the next scene is the stage again
  g_Stage.m_bPassOnStatus = 1;
  SetUpStage();
  cPlayer& p = g_Players[0];
  ASSERT_EQ(p.m_bFlying, 0);
  p.m_Def.m_nFlying = 1;
  p.m_Def.m_nScale = 2;
  p.m_Def.m_nMaxHP = 50;
  p.m_nHp = 17;
  p.m_Def.m_nDefence = 9;  // not carried
  EXPECT_EQ(Scene().ChooseNextScene(), SCENE_STAGE);

  g_Stage.m_Charas = {Hero(3, 10)};
  g_Stage.m_bPassOnStatus = 0;
  g_Stage.m_bCarryStatus = 1;
  SetUpStage();
  ASSERT_EQ(g_Players.Size(), 1);
  const cPlayer& next = g_Players[0];
  EXPECT_EQ(next.m_bFlying, 1);
  EXPECT_EQ(next.m_nBlockContact, 0);
  EXPECT_EQ(next.m_Def.m_nScale, 2);
  EXPECT_EQ(next.m_Def.m_nMaxHP, 50);
  EXPECT_EQ(next.m_nHp, 17);
  EXPECT_EQ(next.m_Def.m_nDefence, cEdChara().m_nDefence);

  // A stage that does not take them starts from its own hero.
  g_Stage.m_Charas = {Hero(3, 10)};
  g_Stage.m_bCarryStatus = 0;
  SetUpStage();
  EXPECT_EQ(g_Players[0].m_bFlying, 0);
  EXPECT_EQ(g_Players[0].m_nHp, g_Stage.m_Charas[0].m_nMaxHP);
  g_System.m_CarryOver = savedFlags;
  g_PlayRecord = savedRecord;
}

// The view stands on the stage's first 20 x 15 cells (the hero at (3, 10) is too near the
// corner to centre it): what lies there is present and on screen before the first frame,
// what lies beyond is present but off screen; an in-range character runs.
TEST_F(StageSetupTest, TheSetUpEndsWithTheObjectsActivated) {
  g_Stage.m_Charas.push_back(Enemy(10, 10));
  g_Stage.m_Charas.push_back(Enemy(30, 10));
  g_Stage.m_Items = {ItemAt(5, 5), ItemAt(35, 5)};
  SetUpStage();
  ASSERT_EQ(Scene().m_ScrollX.m_dPos, 320);
  ASSERT_EQ(Scene().m_ScrollY.m_dPos, 320);
  const std::vector<cChara*> charas = Charas();
  ASSERT_EQ(charas.size(), 2u);
  ASSERT_EQ(g_Items.size(), 2u);
  EXPECT_EQ(g_Players[0].m_bOnScreen, 1);
  const int expected[][3] = {{1, 1, 1}, {1, 0, 0}};  // exists, on screen, runs
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(charas[i]->m_bExists, expected[i][0]);
    EXPECT_EQ(charas[i]->m_bOnScreen, expected[i][1]);
    EXPECT_EQ(charas[i]->m_bActive, expected[i][2]);
    const cItem& item = *std::next(g_Items.begin(), i);
    EXPECT_EQ(item.m_bExists, expected[i][0]);
    EXPECT_EQ(item.m_bOnScreen, expected[i][1]);
  }
}

TEST_F(StageSetupTest, TheFarExtentBoundsWherePlacementsLive) {
  struct Case {
    int nExtentX;
    int nFar;
    double xAt30;    // the character placed at cell 30
    size_t nCharas;  // with a copy 400 pixels further on
  };
  // An extent of 0 holds every object to the first 640 pixels and a copy beyond them does
  // not live; an extent beyond the map is cut to the map.
  const Case cases[] = {{0, 640, 640 - 16, 2},
                        {(W + 20) * 32 - 640, (W + 20) * 32, 40 * 32 + 8.5, 3},
                        {1 << 20, (W + 20) * 32, 40 * 32 + 8.5, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nExtentX);
    g_Stage.m_nExtentX = c.nExtentX;
    cEdChara pair = Enemy(30, 10);
    pair.m_nExtraCopies = 1;
    pair.m_nOffsetXStep = 400;
    g_Stage.m_Charas = {Hero(3, 10), Enemy(5, 10), pair};
    SetUpStage();
    EXPECT_EQ(Scene().m_ScrollX.m_nFar, c.nFar);
    const std::vector<cChara*> charas = Charas();
    ASSERT_EQ(charas.size(), c.nCharas);
    EXPECT_DOUBLE_EQ(charas[0]->m_dX, 15 * 32 + 8.5);
    EXPECT_DOUBLE_EQ(charas[1]->m_dX, c.xAt30);
  }
}

TEST_F(StageSetupTest, SideListsHoldThePlayerThenTheCharactersInOrder) {
  g_Stage.m_Charas = {Enemy(5, 10, 2), Hero(3, 10), Enemy(6, 10, 0), Enemy(7, 10, 2)};
  SetUpStage();
  const std::vector<cChara*> c = Charas();
  ASSERT_EQ(c.size(), 3u);
  const auto List = [&](int side) {
    auto& l = Scene().m_SideActors[side];
    return std::vector<cActor*>(l.begin(), l.end());
  };
  EXPECT_EQ(List(0), (std::vector<cActor*>{&g_Players[0], c[1]}));
  EXPECT_EQ(List(2), (std::vector<cActor*>{c[0], c[2]}));
  for (int side : {1, 3, 4, 5, 6, 7}) EXPECT_TRUE(List(side).empty()) << side;
  EXPECT_EQ(Scene().m_SideShots.Size(), SIDE_COUNT);
}

TEST_F(StageSetupTest, HitScheduleSpreadsTheChecksOverTheSubSteps) {
  struct Case {
    int nSubSteps, nChecks;
    std::vector<std::int32_t> expected;
  };
  const Case cases[] = {
      // clang-format off
      {5, 2, {1, 0, 1, 0, 0}},  // t = 0, 2.5; 5.0 ends it with two set
      {2, 3, {1, 1}},           // t = 0, 0.67, 1.33: three set, none added
      {5, 3, {1, 1, 0, 1, 0}},
      {3, 0, {1, 1, 1}},        // 0: every sub-step
      {4, 1, {1, 0, 0, 0}},
      {3, 5, {1, 1, 1}},
      {0, 2, {}},               // no sub-step: nothing to schedule
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nSubSteps << " " << c.nChecks);
    const cVector<std::int32_t> got = MakeHitSchedule(c.nSubSteps, c.nChecks);
    EXPECT_EQ(std::vector<std::int32_t>(got.begin(), got.end()), c.expected);
  }
  g_Stage.m_nHitLevel = 15;
  g_Stage.m_nHitPasses = 2;
  SetUpStage();
  EXPECT_EQ(g_SubSteps, 5);
  EXPECT_EQ(std::vector<std::int32_t>(Scene().m_HitSchedule.begin(), Scene().m_HitSchedule.end()),
            (std::vector<std::int32_t>{1, 0, 1, 0, 0}));
}

TEST_F(StageSetupTest, CaptionsShowSeventyNineFramesEach) {
  struct Case {
    int bStage, bStart, nMenuChoice;
    int nFrames;  // StageStart calls until play
  };
  const Case cases[] = {{0, 0, 2, 1}, {1, 0, 2, 80}, {0, 1, 2, 80}, {1, 1, 2, 159}, {1, 1, 4, 80}, {0, 0, 4, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bStage << c.bStart << " choice " << c.nMenuChoice);
    g_Stage.m_bShowStart1 = c.bStage;
    g_Stage.m_bShowStart2 = c.bStart;
    g_SceneManager.m_nMenuChoice = c.nMenuChoice;
    SetUpStage();
    Scene().m_nPhase = STAGE_PHASE_START;
    int n = 0;
    while (Scene().m_nPhase == STAGE_PHASE_START && n < 1000) {
      Scene().StageStart();
      ++n;
    }
    EXPECT_EQ(n, c.nFrames);
    EXPECT_EQ(Scene().m_nPhase, STAGE_PHASE_PLAY);
    EXPECT_EQ(Scene().m_nPhaseFrames, 0);
  }
}

TEST_F(StageSetupTest, MusicIsRequestedUnlessTheRunningTrackIsKept) {
  struct Case {
    int bMusicRestart, bKeep, nStage, nPlaying;
    std::vector<int> requests;
  };
  const Case cases[] = {
      {1, 0, 3, 3, {3}}, {1, 1, 3, 3, {}},  {1, 1, 4, 3, {4}}, {1, 1, 0, 0, {0}},
      {0, 0, 3, 3, {}},  {0, 1, 4, 3, {4}}, {0, 0, 0, 2, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bMusicRestart << c.bKeep << " " << c.nStage << "/" << c.nPlaying);
    g_Stage.m_bKeepBgm = c.bKeep;
    g_Stage.m_nBgm = c.nStage;
    g_StartStage.MakeStartSnapshot(g_Stage);
    g_PlayRecord.m_nStageBgm = c.nPlaying;
    music_.clear();
    Scene().SetStage(SET_STAGE_RESTART | (c.bMusicRestart ? SET_STAGE_MUSIC_RESTART : 0u));
    EXPECT_EQ(music_, c.requests);
  }
}

TEST_F(StageSetupTest, RetryRestoresTheHeaderAndRepeatsTheRandomSequence) {
  g_System.m_bRecordReplay = 0;
  g_Stage.m_nTimeLimit = 120;
  g_Stage.m_bTimeLimit = 1;
  g_Stage.m_nHitLevel = 12;
  SetUpStage();
  const std::vector<int> first = {Rand(), Rand(), Rand()};
  EXPECT_EQ(Scene().m_nTimeLeft, 120);

  // Play changes the header: automatic scroll, gravity, sub-steps.
  g_Stage.m_nAutoScrollX = 30;
  g_Stage.m_nScrollModeX = 1;
  g_Stage.m_dGravity = 2.0;
  g_Stage.SetHitLevel(4);
  Scene().m_nTimeLeft = 3;
  Scene().SetStage(SET_STAGE_RESTART);
  EXPECT_EQ(AutoScrollSpeed(0), 0);
  EXPECT_EQ(AutoScrollOn(0), 0);
  EXPECT_EQ(Scene().m_ScrollX.m_bAuto, 0);
  EXPECT_DOUBLE_EQ(g_Stage.m_dGravity, 0.4);
  EXPECT_EQ(g_SubSteps, 2);
  EXPECT_DOUBLE_EQ(g_Gravity, 0.4 / 4);
  EXPECT_EQ(Scene().m_nTimeLeft, 120);
  EXPECT_EQ((std::vector<int>{Rand(), Rand(), Rand()}), first);
}

TEST_F(StageSetupTest, UnplayableStagesAreRefusedAndTheSceneCloses) {
  struct Case {
    const char* name;
    std::function<void(cEdStage&)> spoil;
    const char* box;
  };
  // Each box names the stage file and what is wrong with it.
  const Case cases[] = {
      {"no hero", [](cEdStage& s) { s.m_Charas = {Enemy(3, 10)}; }, "主人公が配置されていないのでプレイできません！"},
      {"width 0", [](cEdStage& s) { s.m_nWidth = 0; }, "Bad-1.stg4_001 のステージの大きさ (0 x 15 マス) が"},
      {"negative height", [](cEdStage& s) { s.m_nHeight = -3; }, "Bad-1.stg4_001 のステージの大きさ (40 x -3 マス) が"},
      {"width past 1000", [](cEdStage& s) { s.m_nWidth = 1001; },
       "Bad-1.stg4_001 のステージの大きさ (1001 x 15 マス) が"},
      {"hit level beyond 100", [](cEdStage& s) { s.m_nHitLevel = 150; },
       "Bad-1.stg4_001 の当たり判定の設定 (150) が不正です"},
      {"negative hit level", [](cEdStage& s) { s.m_nHitLevel = -1; },
       "Bad-1.stg4_001 の当たり判定の設定 (-1) が不正です"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_Stage.Reset();
    g_Stage.m_nWidth = W;
    g_Stage.m_nHeight = H;
    g_Stage.m_Charas = {Hero(3, 10)};
    g_Stage.m_strPath = "Bad-1.stg4_001";
    c.spoil(g_Stage);
    g_BlockMap.clear();
    closes_ = 0;
    g_nExitStatus.store(0);
    plat::box_script::reset();
    auto scene = std::make_unique<cStageScene>();
    g_StageScene = scene.get();
    g_StartStage.MakeStartSnapshot(g_Stage);
    scene->SetStage(SET_STAGE_MUSIC_RESTART);
    EXPECT_TRUE(scene->IsClosing());
    EXPECT_EQ(closes_, 1);
    ASSERT_EQ(plat::box_script::shown().size(), 1u);
    EXPECT_NE(plat::box_script::shown()[0].textCp932.find(c.box), std::string::npos)
        << plat::box_script::shown()[0].textCp932;
    EXPECT_EQ(g_nExitStatus.load(), 1);  // the game ends as a failure
    EXPECT_TRUE(g_BlockMap.empty());
    EXPECT_TRUE(g_Charas.empty());
    // A closing scene runs no logic and draws nothing it did not build.
    for (int phase = STAGE_PHASE_FADE_IN; phase < STAGE_PHASE_FADE_OUT; ++phase) {
      scene->m_nPhase = phase;
      scene->Run();
      EXPECT_EQ(scene->m_nPhase, phase);
    }
    g_StageScene = scene_.get();
  }
  g_nExitStatus.store(0);
}

// Every box size and anchor of the stage header reaches the box it is for.
TEST_F(StageSetupTest, BoxSlotsComeFromTheStageHeader) {
  struct Slot {
    const char* name;
    std::function<void(cEdStage&)> set;  // gives the slot's members odd values
    int bFlying;                         // the placements fly (mode 2)
    int nBoxSource;                      // the definitions' box source
    std::function<void(const cPlayer&, const cChara&, const cItem&)> check;
  };
  const Slot slots[] = {
      {"player body walking 36, 37, anchor 48",
       [](cEdStage& s) { s.m_PlayerBoxA[0] = 10, s.m_PlayerBoxA[1] = 20, s.m_PlayerBoxAAnchor[0] = 1; }, 0, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_nHitW, 10);
         EXPECT_EQ(p.m_nHitH, 20);
         EXPECT_EQ(p.m_nHitOffX, 11);
         EXPECT_EQ(p.m_nHitOffY, 12);
       }},
      {"player body flying 38, 39, anchor 49",
       [](cEdStage& s) { s.m_PlayerBoxA[2] = 14, s.m_PlayerBoxA[3] = 6, s.m_PlayerBoxAAnchor[1] = 0; }, 1, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_nHitW, 14);
         EXPECT_EQ(p.m_nHitH, 6);
         EXPECT_EQ(p.m_nHitOffX, 9);
         EXPECT_EQ(p.m_nHitOffY, 13);
       }},
      {"player against characters walking 40, 41, anchor 50",
       [](cEdStage& s) { s.m_PlayerBoxB[0] = 18, s.m_PlayerBoxB[1] = 22, s.m_PlayerBoxBAnchor[0] = 1; }, 0, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_BoxA.m_nW, 18);
         EXPECT_EQ(p.m_BoxA.m_nH, 22);
         EXPECT_EQ(p.m_BoxA.m_nOffX, 16 - 8 - 9);
         EXPECT_EQ(p.m_BoxA.m_nOffY, 32 - 8 - 22);
       }},
      {"player against characters flying 42, 43, anchor 51",
       [](cEdStage& s) { s.m_PlayerBoxB[2] = 8, s.m_PlayerBoxB[3] = 12, s.m_PlayerBoxBAnchor[1] = 1; }, 1, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         // Flying body 16 x 16 centred: offset (8, 8).
         EXPECT_EQ(p.m_BoxA.m_nW, 8);
         EXPECT_EQ(p.m_BoxA.m_nH, 12);
         EXPECT_EQ(p.m_BoxA.m_nOffY, 32 - 8 - 12);
       }},
      {"player against shots 44, 45", [](cEdStage& s) { s.m_PlayerBoxC[0] = 6, s.m_PlayerBoxC[1] = 10; }, 0, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_BoxB.m_nW, 6);
         EXPECT_EQ(p.m_BoxB.m_nH, 10);
         EXPECT_EQ(p.m_BoxB.m_nOffX, 16 - 3 - 8);
         EXPECT_EQ(p.m_BoxB.m_nOffY, 16 - 5 - 8);
       }},
      {"player item box 46, 47", [](cEdStage& s) { s.m_PlayerBoxD[0] = 20, s.m_PlayerBoxD[1] = 4; }, 0, 0,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_BoxC.m_nW, 20);
         EXPECT_EQ(p.m_BoxC.m_nH, 4);
         EXPECT_EQ(p.m_BoxC.m_nOffX, 16 - 10 - 8);
       }},
      {"character body walking 60, 61, anchor 70",
       [](cEdStage& s) { s.m_CharaBoxA[0] = 20, s.m_CharaBoxA[1] = 30, s.m_CharaBoxAAnchor[0] = 0; }, 0, 0,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_nHitW, 20);
         EXPECT_EQ(c.m_nHitH, 30);
         EXPECT_EQ(c.m_nHitOffX, 6);
         EXPECT_EQ(c.m_nHitOffY, 1);
       }},
      {"character body flying 62, 63, anchor 71",
       [](cEdStage& s) { s.m_CharaBoxA[2] = 12, s.m_CharaBoxA[3] = 10, s.m_CharaBoxAAnchor[1] = 1; }, 1, 0,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_nHitW, 12);
         EXPECT_EQ(c.m_nHitH, 10);
         EXPECT_EQ(c.m_nHitOffY, 22);
       }},
      {"character against characters walking 64, 65, anchor 72",
       [](cEdStage& s) { s.m_CharaBoxB[0] = 10, s.m_CharaBoxB[1] = 14, s.m_CharaBoxBAnchor[0] = 0; }, 0, 0,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_BoxA.m_nW, 10);
         EXPECT_EQ(c.m_BoxA.m_nH, 14);
         EXPECT_EQ(c.m_BoxA.m_nOffY, 16 - 8 - 7);
       }},
      {"character against characters flying 66, 67, anchor 73",
       [](cEdStage& s) { s.m_CharaBoxB[2] = 4, s.m_CharaBoxB[3] = 6, s.m_CharaBoxBAnchor[1] = 1; }, 1, 0,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_BoxA.m_nW, 4);
         EXPECT_EQ(c.m_BoxA.m_nH, 6);
         EXPECT_EQ(c.m_BoxA.m_nOffY, 32 - 8 - 6);
       }},
      {"character against shots 68, 69", [](cEdStage& s) { s.m_CharaBoxC[0] = 26, s.m_CharaBoxC[1] = 18; }, 0, 0,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_BoxB.m_nW, 26);
         EXPECT_EQ(c.m_BoxB.m_nH, 18);
         EXPECT_EQ(c.m_BoxB.m_nOffX, 16 - 13 - 8);
       }},
      {"item body 74, 75", [](cEdStage& s) { s.m_ItemBox[0] = 12, s.m_ItemBox[1] = 8; }, 0, 0,
       [](const cPlayer&, const cChara&, const cItem& i) {
         EXPECT_EQ(i.m_nHitW, 12);
         EXPECT_EQ(i.m_nHitH, 8);
         EXPECT_EQ(i.m_nHitOffX, 10);
         EXPECT_EQ(i.m_nHitOffY, 12);
       }},
      {"player shots against characters 78, 79 (a character's box source 2)",
       [](cEdStage& s) { s.m_PlayerShotAttack[0] = 22, s.m_PlayerShotAttack[1] = 2; }, 0, 2,
       [](const cPlayer&, const cChara& c, const cItem&) {
         EXPECT_EQ(c.m_BoxA.m_nW, 22);
         EXPECT_EQ(c.m_BoxA.m_nH, 2);
       }},
      {"character shots against the player 82, 83 (the player's box source 2)",
       [](cEdStage& s) { s.m_CharaShotAttack[0] = 24, s.m_CharaShotAttack[1] = 26; }, 0, 2,
       [](const cPlayer& p, const cChara&, const cItem&) {
         EXPECT_EQ(p.m_BoxA.m_nW, 24);
         EXPECT_EQ(p.m_BoxA.m_nH, 26);
       }},
  };
  for (const Slot& slot : slots) {
    SCOPED_TRACE(slot.name);
    g_Stage.SetDefaultSizes();
    slot.set(g_Stage);
    cEdChara hero = Hero(3, 10);
    cEdChara enemy = Enemy(8, 10);
    for (cEdChara* c : {&hero, &enemy}) {
      c->m_nFlying = static_cast<std::uint8_t>(slot.bFlying ? 2 : 0);
      c->m_nBlockBox = static_cast<std::uint8_t>(slot.nBoxSource);
    }
    g_Stage.m_Charas = {hero, enemy};
    g_Stage.m_Items = {ItemAt(5, 5)};
    SetUpStage();
    ASSERT_EQ(g_Charas.size(), 1u);
    ASSERT_EQ(g_Items.size(), 1u);
    slot.check(g_Players[0], g_Charas.front(), g_Items.front());
  }
}

TEST_F(StageSetupTest, TheViewIsCentredOnTheHeroAndClamped) {
  struct Case {
    int w, h, x, y;
    double viewX, viewY;
  };
  // The hero's body (16 x 24, bottom of its cell) starts at map pixel 32 (x + 10) + 8.5;
  // the view's start is that - 320 + 16, within the limits.
  const Case cases[] = {
      {40, 15, 20, 10, 30 * 32 + 8.5 - 320 + 16, 320},  // centred across; the stage is one view high
      {40, 30, 1, 1, 320, 320},                         // held at the stage's start
      {40, 30, 39, 29, 50 * 32 - 640, 40 * 32 - 480},   // held at its end
      {8, 5, 4, 2, 320, 320},                           // narrower than the view: at the minimum
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.x << "," << c.y);
    g_Stage.m_nWidth = c.w;
    g_Stage.m_nHeight = c.h;
    g_Stage.m_nExtentX = (c.w + 20) * 32 - 640;
    g_Stage.m_nExtentY = (c.h + 20) * 32 - 640;
    g_Stage.m_Charas = {Hero(c.x, c.y)};
    SetUpStage();
    EXPECT_DOUBLE_EQ(Scene().m_ScrollX.m_dPos, c.viewX);
    EXPECT_DOUBLE_EQ(Scene().m_ScrollY.m_dPos, c.viewY);
  }
  // The hero's own follow on the narrow stage stays at the minimum too.
  g_Players[0].SyncX();
  g_Players[0].SyncY();
  EXPECT_DOUBLE_EQ(Scene().m_ScrollX.m_dPos, 320);
  EXPECT_DOUBLE_EQ(Scene().m_ScrollY.m_dPos, 320);
}

TEST(ScrollAxisTest, ClampStepAndLimits) {
  cScrollAxis a;
  a.SetMapGeometry(0, 40, 0);
  a.SetLimits(2, 30, 1, 1);
  EXPECT_EQ(a.m_nMin, 320 + 64);
  EXPECT_EQ(a.m_nMax, 320 + 31 * 32);
  a.SetLimits(5, 3, 1, 1);  // the last cell before the first: the range is empty
  EXPECT_EQ(a.m_nMax, a.m_nMin);
  a.SetLimits(7, 7, 0, 0);
  EXPECT_EQ(a.m_nMin, 320);
  EXPECT_EQ(a.m_nMax, 50 * 32);

  struct Case {
    double pos;
    double clamped;
    int atLimit;
  };
  const Case cases[] = {{100, 320, 1}, {500, 500, 0}, {50 * 32 - 640, 50 * 32 - 640, 1}, {5000, 50 * 32 - 640, 1}};
  for (const Case& c : cases) {
    a.m_dPos = c.pos;
    a.Clamp();
    EXPECT_EQ(a.m_dPos, c.clamped) << c.pos;
    EXPECT_EQ(a.m_bAtLimit, c.atLimit) << c.pos;
  }
  a.m_dPos = 400;
  a.m_dSpeed = 2.5;
  a.Step();
  EXPECT_EQ(a.m_dPos, 402.5);
  a.m_dSpeed = -200;
  a.Step();
  EXPECT_EQ(a.m_dPos, 320);
  EXPECT_EQ(a.m_bAtLimit, 1);
}

}  // namespace
