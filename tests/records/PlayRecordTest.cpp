#include "records/PlayRecord.h"

#include <tuple>

#include "FrontendTestUtil.h"

namespace {

using rt::Bytes;

class PlayRecordTest : public fe::FrontendFixture {};

// A record with something in every member and list.
cPlayRecord Filled() {
  cPlayRecord r;
  r.m_bCarryOver = 1;
  r.m_nMapX = 3;
  r.m_nMapY = 4;
  r.m_nRound = 2;
  r.m_nStage = 7;
  r.m_nPart = 2;
  r.m_nStartLives = 5;
  r.m_nLives = 4;
  r.m_nStageScore = 100;
  r.m_nTotalScore = 1200;
  r.m_nBestTotal = 900;
  r.m_nTotalTimeLeft = 55;
  r.m_nTotalClearTime = 12345;
  r.m_nTotalHpLeft = 8;
  r.m_nTotalSpLeft = 9;
  r.m_bNumbered = 1;
  r.m_nStageBgm = 3;
  r.m_bStageBgmLoop = 1;
  r.m_nMapFacing = 2;
  r.m_bBackOnMap = 1;
  r.m_nPrevMapX = 5;
  r.m_nPrevMapY = 6;
  r.m_nOpenStages = 12;
  r.m_nSlot = 4;
  r.m_bAutoSave = 1;
  r.m_bShowRanking = 1;
  r.m_nRankView = 3;
  r.m_strStageName = "data\\stg4\\Forest.";
  r.m_strName = "ぼく";
  r.m_Time = SYSTEMTIME{2024, 5, 3, 17, 12, 30, 45, 678};
  r.m_CarryMask[4] = 1;
  r.m_CarryOver[0].m_nHP = 33;
  r.m_CarryOver[0].m_Chara.m_nMaxHP = 70;
  r.m_CarryOver.emplace_back().m_nLives = 9;
  r.SetStageBest("data\\stg4\\A.", 10);
  r.m_Stages.resize(40);
  r.m_Stages[2].m_bCleared = 1;
  r.m_Stages[2].m_nBest = 77;
  r.m_Switches[999] = 1;
  r.m_CommonVariables[255] = -5;
  return r;
}

void ExpectSame(cPlayRecord& a, cPlayRecord& b) { EXPECT_TRUE(rt::SameBytes(rt::SaveBody(a), rt::SaveBody(b))); }

TEST_F(PlayRecordTest, NewRecordHoldsTheStartOfAGame) {
  cPlayRecord r;
  EXPECT_EQ(r.m_CarryMask, cVector<std::int32_t>(25, 0));
  EXPECT_EQ(r.m_CarryOver.Size(), 1);
  ASSERT_EQ(r.m_Switches.Size(), 1000);
  EXPECT_EQ(r.m_Switches[0], 1);
  EXPECT_EQ(r.m_CommonVariables, cVector<std::int32_t>(256, 0));
  EXPECT_EQ(r.m_nOpenStages, 1);
  EXPECT_EQ(r.m_nSlot, -1);
  EXPECT_EQ(r.m_strName, "aaa");

  // A reset undoes a game, the list contents included.
  r = Filled();
  ResetPlayRecord(r);
  cPlayRecord fresh;
  ExpectSame(r, fresh);
}

TEST_F(PlayRecordTest, FileLayoutOfTheCurrentVersion) {
  cPlayRecord r = Filled();
  const std::string body = rt::SaveBody(r);
  Bytes head;
  head.u32(28).i32(1).i32(3).i32(4).i32(0).i32(2);
  for (int v : {7, 2, 5, 4, 100, 1200, 910, 55, 12345, 8, 9, 1, 3, 1, 2, 1, 5, 6, 12, 4, 1, 1, 3}) head.i32(v);
  head.u32(2).text("data\\stg4\\Forest.").text("ぼく");
  for (int v : {2024, 5, 3, 17, 12, 30, 45, 678}) head.raw(&v, 2);
  head.u32(25);
  ASSERT_TRUE(rt::SameBytes(body.substr(0, head.s.size()), head.s));
  // Then the masks, two carry-over entries, one stage best, the 40 challenge stages,
  // the switches and the variables.
  std::size_t at = head.s.size() + 25 * 4;
  EXPECT_EQ(rt::ReadU32At(body, at), 2u);
  EXPECT_EQ(rt::ReadU32At(body, at + 4), 5u);   // five values of the first entry
  EXPECT_EQ(rt::ReadU32At(body, at + 8), 33u);  // its HP
  const std::size_t tail = body.size() - (4 + 256 * 4) - (4 + 1000 * 4);
  EXPECT_EQ(rt::ReadU32At(body, tail), 1000u);
  EXPECT_EQ(rt::ReadU32At(body, tail + 4 + 999 * 4), 1u);
  EXPECT_EQ(rt::ReadU32At(body, tail + 4 + 4000), 256u);

  cPlayRecord back;
  ASSERT_TRUE(rt::LoadBody(back, body));
  ExpectSame(back, r);
  EXPECT_EQ(back.m_Time, r.m_Time);
  EXPECT_EQ(back.m_CarryOver[1].m_nLives, 9);
  EXPECT_EQ(back.m_CarryOver[0].m_Chara.m_nMaxHP, 70);
  EXPECT_EQ(back.GetStageBest("data\\stg4\\A."), 10);
  EXPECT_EQ(back.m_Stages[2].m_nBest, 77);
}

// Members an older file lacks take what it means, whatever the record held before.
TEST_F(PlayRecordTest, OlderVersionsLoadWithTheirMeaning) {
  struct Case {
    std::uint32_t version;
    int bgmLoop, autoSave, hpLeft, backOnMap, prevMapX, facing, mask;
  } cases[] = {
      {165, 1, 0, 0, 0, 0, 0, 1}, {168, 0, 0, 0, 0, 0, 0, 1}, {180, 0, 1, 0, 0, 0, 0, 1}, {189, 0, 1, 8, 0, 0, 0, 1},
      {190, 0, 1, 8, 1, 0, 0, 1}, {193, 0, 1, 8, 1, 5, 0, 1}, {500, 0, 1, 8, 1, 5, 2, 1}, {501, 0, 1, 8, 1, 5, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cPlayRecord saved = Filled();
    saved.m_bStageBgmLoop = 0;
    const std::string body = rt::SaveBody(saved, c.version);
    cPlayRecord r = Filled();  // pre-load values that the upgrade must override
    r.m_bStageBgmLoop = 7;
    r.m_CarryMask.assign(25, 0);
    ASSERT_TRUE(rt::LoadBody(r, body, c.version));
    EXPECT_EQ(r.m_bStageBgmLoop, c.bgmLoop);
    EXPECT_EQ(r.m_bAutoSave, c.autoSave);
    EXPECT_EQ(r.m_nTotalHpLeft, c.hpLeft);
    EXPECT_EQ(r.m_nTotalSpLeft, c.hpLeft ? 9 : 0);
    EXPECT_EQ(r.m_bBackOnMap, c.backOnMap);
    EXPECT_EQ(r.m_nPrevMapX, c.prevMapX);
    EXPECT_EQ(r.m_nMapFacing, c.facing);
    EXPECT_EQ(r.m_CarryMask[0], c.mask);
    EXPECT_EQ(r.m_CarryMask.Size(), 25);
    EXPECT_EQ(r.m_nTotalClearTime, 12345);
    EXPECT_EQ(r.m_CommonVariables[255], -5);
  }
}

TEST_F(PlayRecordTest, LoadKeepsTheHeroOnTheMapAndTheChallengeListAtTheProjectsLength) {
  g_WorldMap.SetSize(4, 3);
  g_WorldMap.m_nStartX = 1;
  g_WorldMap.m_nStartY = 2;
  g_System.m_nChallengeStages = 10;
  struct Case {
    int x, y, open, stages;
    int wantX, wantY, wantOpen;
  } cases[] = {
      {3, 2, 5, 40, 3, 2, 5},
      {4, 0, 11, 3, 1, 0, 10},
      {0, 3, 10, 0, 0, 2, 10},
      {-1, -7, 1, 12, 1, 2, 1},
  };
  for (const Case& c : cases) {
    cPlayRecord saved;
    saved.m_nMapX = c.x;
    saved.m_nMapY = c.y;
    saved.m_nOpenStages = c.open;
    saved.m_Stages.resize(static_cast<std::size_t>(c.stages));
    if (c.stages) saved.m_Stages[0].m_nBest = 4;
    cDataWriter out;
    saved.cRecord::Save(out);  // the body as it was, before any normalising
    std::string body = out.Bytes() + std::string(16, '\0');
    Bytes lists;
    lists.u32(25).raw(std::string(100, '\0').data(), 100).u32(0).u32(0).u32(static_cast<std::uint32_t>(c.stages));
    for (int i = 0; i < c.stages; ++i) lists.u32(2).i32(0).i32(i == 0 ? 4 : 0).u32(0);
    lists.u32(0).u32(0);
    cPlayRecord r;
    ASSERT_TRUE(rt::LoadBody(r, body + lists.s));
    EXPECT_EQ(r.m_nMapX, c.wantX);
    EXPECT_EQ(r.m_nMapY, c.wantY);
    EXPECT_EQ(r.m_nOpenStages, c.wantOpen);
    ASSERT_EQ(r.m_Stages.Size(), 10);
    EXPECT_EQ(r.m_Stages[0].m_nBest, c.stages ? 4 : 0);
    // Lists that a damaged file left short are filled up for their readers.
    EXPECT_EQ(r.m_CarryOver.Size(), 1);
    EXPECT_EQ(r.m_Switches.Size(), 1000);
    EXPECT_EQ(r.m_CommonVariables.Size(), 256);
  }
}

TEST_F(PlayRecordTest, SlotPaths) {
  const struct {
    int slot;
    const char* path;
  } cases[] = {{0, "user_data\\story\\Story01.dat"},
               {8, "user_data\\story\\Story09.dat"},
               {98, "user_data\\story\\Story99.dat"},
               {99, nullptr},
               {-1, nullptr}};
  for (const auto& c : cases) {
    std::string path = "unchanged";
    EXPECT_EQ(MakeSlotPath(path, c.slot), c.path ? 1 : 0) << c.slot;
    EXPECT_EQ(path, c.path ? c.path : "unchanged");
  }
}

TEST_F(PlayRecordTest, SavedSlotsAreListedAndLoaded) {
  cPlayRecord game = Filled();
  EXPECT_EQ(game.SaveSlot(0), 1);
  game.m_nTotalScore = 5;
  EXPECT_EQ(game.SaveSlot(98), 1);
  EXPECT_EQ(game.SaveSlot(99), 0);
  EXPECT_EQ(game.m_nSlot, 4);  // saving does not choose the game's slot
  EXPECT_EQ(g_SaveSlots[0].m_bUsed, 1);
  EXPECT_EQ(g_SaveSlots[98].m_Time, game.m_Time);
  EXPECT_NE(game.m_Time.wYear, 0);
  ASSERT_TRUE(plat::fs::isFile("user_data\\story\\Story99.dat"));
  // A damaged slot file is not offered.
  ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\story\\Story05.dat",
                                        plat::fs::readFile("user_data\\story\\Story01.dat")->substr(0, 200)));

  cVector<cSaveSlotInfo> slots(SAVE_SLOT_COUNT);
  slots[3].m_bUsed = 1;  // no file: cleared
  ScanSaveSlots(slots);
  for (int i = 0; i < SAVE_SLOT_COUNT; ++i) EXPECT_EQ(slots[i].m_bUsed, i == 0 || i == 98 ? 1 : 0) << i;
  EXPECT_EQ(slots[98].m_Time, game.m_Time);

  cPlayRecord r;
  EXPECT_EQ(r.LoadSlot(98), 1);
  EXPECT_EQ(r.m_nTotalScore, 5);
  EXPECT_EQ(r.m_CarryOver[1].m_nLives, 9);
  // A missing or damaged slot leaves the game as it was.
  for (int slot : {1, 4, 99}) {
    EXPECT_EQ(r.LoadSlot(slot), 0) << slot;
    EXPECT_EQ(r.m_nTotalScore, 5);
  }
  EXPECT_NE(Report().find("Story05.dat"), std::string::npos);
  EXPECT_EQ(closes_, 0);
}

TEST_F(PlayRecordTest, ACopiedSlotFileBelongsToTheSlotItIsLoadedInto) {
  cPlayRecord game = Filled();
  game.m_nSlot = 5;
  ASSERT_EQ(game.SaveSlot(5), 1);
  ASSERT_TRUE(
      plat::fs::writeFileAtomic("user_data\\story\\Story03.dat", *plat::fs::readFile("user_data\\story\\Story06.dat")));
  cPlayRecord r;
  ASSERT_EQ(r.LoadSlot(2), 1);
  EXPECT_EQ(r.m_nSlot, 2);
  EXPECT_EQ(r.m_nTotalScore, game.m_nTotalScore);
}

TEST_F(PlayRecordTest, AFailedSaveIsNotListed) {
  ASSERT_TRUE(plat::fs::removeTree("user_data\\story"));
  cPlayRecord game;
  EXPECT_EQ(game.SaveSlot(3), 0);
  EXPECT_EQ(g_SaveSlots[3].m_bUsed, 0);
  EXPECT_NE(Report().find("Story04.dat"), std::string::npos);
}

TEST_F(PlayRecordTest, LoadedLivesFollowTheProjectsRule) {
  const struct {
    int unlimited, savedLives, wantStart, wantLives;
  } cases[] = {
      {1, 3, UNLIMITED_LIVES, UNLIMITED_LIVES},
      {0, UNLIMITED_LIVES, UNLIMITED_LIVES, 6},  // saved while unlimited
      {0, 3, UNLIMITED_LIVES, 3},
  };
  for (const auto& c : cases) {
    cPlayRecord saved;
    saved.m_nStartLives = UNLIMITED_LIVES;
    saved.m_nLives = c.savedLives;
    saved.SaveSlot(0);
    ASSERT_EQ(saved.SaveToFile("user_data\\challenge\\Challenge.dat"), 1);
    g_System.m_UnlimitedLives.assign(4, 0);
    g_System.m_StartLives.assign(4, 0);
    g_System.m_UnlimitedLives[0] = g_System.m_UnlimitedLives[1] = c.unlimited;
    g_System.m_StartLives[0] = g_System.m_StartLives[1] = 6;
    cPlayRecord story, challenge;
    ASSERT_EQ(story.LoadSlot(0), 1);
    ASSERT_TRUE(challenge.LoadChallenge());
    for (cPlayRecord* r : {&story, &challenge}) {
      EXPECT_EQ(r->m_nStartLives, c.wantStart);
      EXPECT_EQ(r->m_nLives, c.wantLives);
    }
  }
  ASSERT_TRUE(plat::fs::removeFile("user_data\\challenge\\Challenge.dat"));
  cPlayRecord none;
  none.m_nLives = 1;
  EXPECT_FALSE(none.LoadChallenge());
  EXPECT_EQ(none.m_nLives, 1);
}

TEST_F(PlayRecordTest, StageKeys) {
  const struct {
    const char* path;
    const char* key;
    int numbered;
  } cases[] = {
      {"data\\stg4\\c03-1.stg4", "data\\stg4\\c03.", 1},
      {"stage.stg4_123", "stage.", 0},
      {"x-1-1.stg4", "x-1.", 1},  // the last "-1" counts
      {"a.b\\noext", "a.", 0},
      {"noext", "", 0},
      {"", "", 0},
      {"-1", ".", 1},
  };
  for (const auto& c : cases) {
    cPlayRecord r;
    r.m_bNumbered = 1 - c.numbered;
    r.SetStageName(c.path);
    EXPECT_EQ(r.m_strStageName, c.key) << c.path;
    EXPECT_EQ(r.m_bNumbered, c.numbered) << c.path;
  }
}

TEST_F(PlayRecordTest, StageBestsKeepTheBestAndTheirTotal) {
  cPlayRecord r;
  const struct {
    const char* name;
    int value, wantBest, wantTotal;
  } steps[] = {{"a.", 0, 0, 0},    {"a.", 50, 50, 50}, {"b.", 30, 30, 80},
               {"a.", 40, 50, 80}, {"A.", 5, 5, 85},  // keys compare byte for byte
               {"a.", 60, 60, 95}};
  for (const auto& s : steps) {
    r.SetStageBest(s.name, s.value);
    EXPECT_EQ(r.GetStageBest(s.name), s.wantBest) << s.name << s.value;
    EXPECT_EQ(r.m_nBestTotal, s.wantTotal);
  }
  EXPECT_EQ(r.m_StageBests.Size(), 3);
  EXPECT_EQ(r.GetStageBest("c."), 0);
}

TEST_F(PlayRecordTest, StageStartIsRestoredByGameMode) {
  LinkMode();
  g_System.m_bStoryRestoreVars = 1;
  g_System.m_bChallengeRestoreVars = 0;
  g_System.m_bFreeRestoreVars = 0;
  g_System.m_bTestRestoreVars = 1;
  const struct {
    int full, mode, testPlay, wantVariable, wantLives;
  } cases[] = {
      {1, 1, 0, 1, 3},  // full: everything
      {0, 0, 0, 1, 2}, {0, 1, 0, 9, 2}, {0, 2, 0, 9, 2},
      {0, 3, 0, 1, 2}, {0, 2, 1, 1, 2},  // test play has its own flag
  };
  for (const auto& c : cases) {
    mode_ = c.mode;
    testPlay_ = c.testPlay;
    cPlayRecord r;
    r.m_CommonVariables[7] = 1;
    r.m_nLives = 3;
    r.m_nTotalScore = 100;
    r.SaveStageStart();
    r.m_CommonVariables[7] = 9;
    r.m_nLives = 2;
    r.m_nTotalScore = 250;
    r.RestoreStageStart(c.full);
    EXPECT_EQ(r.m_CommonVariables[7], c.wantVariable) << c.full << c.mode << c.testPlay;
    EXPECT_EQ(r.m_nLives, c.wantLives);
    EXPECT_EQ(r.m_nTotalScore, 100);
  }
}

TEST_F(PlayRecordTest, CarryOverOfFlaggedStatuses) {
  g_System.m_CarryOver.assign(25, 0);
  for (int i : {0, 4, 11, 13, 21, 22, 23, 24}) g_System.m_CarryOver[i] = 1;
  cEdChara hero;
  hero.m_nImage = 0;
  hero.m_nImageSheet = 4;
  hero.m_nImageSub = 9;
  hero.m_nMaxHP = 80;
  hero.m_nMaxSP = 40;  // status 14 is not carried
  hero.m_Flows.resize(2);

  cPlayRecord r;
  r.StoreCarryOver(0, hero, 55, 12, 6, 1, 2, 30, 4, 8);
  EXPECT_EQ(r.m_bCarryOver, 1);
  EXPECT_EQ(r.m_CarryMask[0] + r.m_CarryMask[14] + r.m_CarryMask[24], 2);

  cEdChara next;
  next.m_nMaxSP = 3;
  cEdStage stage;
  g_PlayRecord.m_nLives = 1;
  r.ApplyCarryOver(0, next, stage);
  EXPECT_EQ(next.m_nImage, 1);  // a stored 0 comes back as 1
  EXPECT_EQ(next.m_nImageSheet, 4);
  EXPECT_EQ(next.m_nImageSub, 9);
  EXPECT_EQ(next.m_nCharaEffect, 6);
  EXPECT_EQ(next.m_nCharaEffectParamB, 2);
  EXPECT_EQ(next.m_nMaxHP, 80);
  EXPECT_EQ(next.m_nMaxSP, 3);
  EXPECT_EQ(next.m_Flows.Size(), 2);
  EXPECT_EQ(stage.m_nTimeLimit, 30);
  EXPECT_EQ(stage.m_nBgm, 8);
  EXPECT_EQ(g_PlayRecord.m_nLives, 4);
  std::int32_t hp = -1, sp = -1;
  r.ApplyCarryOverValues(0, &hp, &sp);
  EXPECT_EQ(hp, 55);
  EXPECT_EQ(sp, -1);

  // A miss drops what the project's reset list names; those come back as they were.
  g_System.m_CarryReset.assign(25, 0);
  g_System.m_CarryReset[13] = g_System.m_CarryReset[11] = 1;
  r.ClearCarryOver();
  cEdChara again;
  r.ApplyCarryOver(0, again, stage);
  EXPECT_EQ(again.m_nMaxHP, cEdChara().m_nMaxHP);
  EXPECT_EQ(again.m_nImageSheet, 4);
  hp = -1;
  r.ApplyCarryOverValues(0, &hp, &sp);
  EXPECT_EQ(hp, -1);

  // Nothing is applied before anything was stored; a second player gets an entry.
  cPlayRecord fresh;
  cEdChara untouched;
  fresh.m_CarryMask.assign(25, 1);
  fresh.ApplyCarryOver(0, untouched, stage);
  EXPECT_EQ(untouched.m_nImage, 0);
  fresh.StoreCarryOver(2, hero, 1, 2, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(fresh.m_CarryOver.Size(), 3);
  EXPECT_EQ(fresh.m_CarryOver[2].m_nHP, 1);
}

// Each carried status on its own: stored from the hero at the end of one stage and applied
// at the set-up of the next, it changes exactly the members the status names and nothing
// else of the definition, the stage or the record.
TEST_F(PlayRecordTest, EachCarriedStatusMovesOnlyItsOwnMembers) {
  // A hero unlike a fresh definition in every carried member.
  cEdChara hero;
  hero.m_nImage = 7;
  hero.m_nImageSheet = 4;
  hero.m_nImageSub = 9;
  hero.m_nAnimeSet = 5;
  hero.m_nZ = 6;
  hero.m_bTransparent = 1;
  hero.m_nCharaEffect = 40;  // the running effect below is what is carried
  hero.m_nFlying = 2;
  hero.m_bFixedFacing = 0;
  hero.m_nInvincible = 2;
  hero.m_nScale = 3;
  hero.m_bAutoScrollSync = 1;
  hero.m_nSightShape = 4;
  hero.m_nSightRange = 12;
  hero.m_nMaxHP = 80;
  hero.m_nMaxSP = 40;
  hero.m_nBlockBox = 2;
  hero.m_nBodyPower = 25;
  hero.m_nBodyImpact = 3;
  hero.m_nDefence = 15;
  hero.m_nImpactResist = 4;
  hero.m_nStopEase = 33;
  hero.m_Flows.resize(2);
  // Every carried member of a definition, the stage's time and music, the lives, HP and SP.
  struct Seen {
    cEdChara def;
    cEdStage stage;
    std::int32_t lives = 1, hp = -1, sp = -1;
    auto Key() const {
      const cEdChara& d = def;
      return std::tuple(d.m_nImage, d.m_nImageSheet, d.m_nImageSub, d.m_nAnimeSet, d.m_nZ, d.m_bTransparent,
                        d.m_nCharaEffect, d.m_nCharaEffectParamA, d.m_nCharaEffectParamB, d.m_bFixedFacing, d.m_nFlying,
                        d.m_nInvincible, d.m_nScale, d.m_bAutoScrollSync, d.m_nSightShape, d.m_nSightRange, d.m_nMaxHP,
                        d.m_nMaxSP, d.m_nBlockBox, d.m_nBodyPower, d.m_nBodyImpact, d.m_nDefence, d.m_nImpactResist,
                        d.m_nStopEase, d.m_Flows.Size(), stage.m_nTimeLimit, stage.m_nBgm, lives, hp, sp);
    }
  };
  using Change = void (*)(Seen&);
  const Change want[CARRY_ITEM_COUNT] = {
      [](Seen& w) { w.def.m_nImage = 7, w.def.m_nImageSheet = 4, w.def.m_nImageSub = 9; },
      [](Seen& w) { w.def.m_nAnimeSet = 5; },
      [](Seen& w) { w.def.m_nZ = 6; },
      [](Seen& w) { w.def.m_bTransparent = 1; },
      [](Seen& w) { w.def.m_nCharaEffect = 6, w.def.m_nCharaEffectParamA = 1, w.def.m_nCharaEffectParamB = 2; },
      [](Seen& w) { w.def.m_bFixedFacing = 0; },
      [](Seen& w) { w.def.m_nFlying = 2; },
      [](Seen& w) { w.def.m_nInvincible = 2; },
      [](Seen& w) { w.def.m_nScale = 3; },
      [](Seen& w) { w.def.m_bAutoScrollSync = 1; },
      [](Seen& w) { w.def.m_nSightShape = 4, w.def.m_nSightRange = 12; },
      [](Seen& w) { w.hp = 55; },
      [](Seen& w) { w.sp = 12; },
      [](Seen& w) { w.def.m_nMaxHP = 80; },
      [](Seen& w) { w.def.m_nMaxSP = 40; },
      [](Seen& w) { w.def.m_nBlockBox = 2; },
      [](Seen& w) { w.def.m_nBodyPower = 25; },
      [](Seen& w) { w.def.m_nBodyImpact = 3; },
      [](Seen& w) { w.def.m_nDefence = 15; },
      [](Seen& w) { w.def.m_nImpactResist = 4; },
      [](Seen& w) { w.def.m_nStopEase = 33; },
      [](Seen& w) { w.def.m_Flows.resize(2); },
      [](Seen& w) { w.stage.m_nTimeLimit = 30; },
      [](Seen& w) { w.lives = 4; },
      [](Seen& w) { w.stage.m_nBgm = 8; },
  };
  for (int status = 0; status < CARRY_ITEM_COUNT; ++status) {
    SCOPED_TRACE(status);
    g_System.m_CarryOver.assign(CARRY_ITEM_COUNT, 0);
    g_System.m_CarryOver[status] = 1;
    cPlayRecord r;
    // HP 55, SP 12, running effect 6 with parameters 1 and 2, 30 s left, 4 lives, music 8.
    r.StoreCarryOver(0, hero, 55, 12, 6, 1, 2, 30, 4, 8);
    Seen got;
    g_PlayRecord.m_nLives = got.lives;
    r.ApplyCarryOver(0, got.def, got.stage);
    r.ApplyCarryOverValues(0, &got.hp, &got.sp);
    got.lives = g_PlayRecord.m_nLives;
    Seen expected;
    want[status](expected);
    EXPECT_EQ(got.Key(), expected.Key());
  }
}

TEST_F(PlayRecordTest, NextRoundClearsEverySwitch) {
  cPlayRecord r = Filled();
  r.StartNextRound();
  EXPECT_EQ(r.m_nRound, 3);
  EXPECT_EQ(r.m_Switches, cVector<std::int32_t>(1000, 0));
  EXPECT_EQ(r.m_nMapX, g_WorldMap.m_nStartX);
  EXPECT_EQ(r.m_nMapY, g_WorldMap.m_nStartY);
}

TEST_F(PlayRecordTest, RankingViewVisitsRankedQuantitiesOnly) {
  const struct {
    std::vector<int> ranked;
    int from, steps, want;
  } cases[] = {
      {{2}, 0, 1, 2},       {{2}, 4, -1, 2},      {{2}, 2, 0, 2},        {{2}, 0, 0, 2},
      {{0, 1, 3}, 1, 1, 3}, {{0, 1, 3}, 3, 1, 0}, {{0, 1, 3}, 0, -1, 3}, {{0, 1, 3}, 0, 2, 3},
      {{0, 4}, 4, 1, 0},    {{}, 2, 1, 2},        {{1}, 9, 0, 1},
  };
  for (const auto& c : cases) {
    cVector<std::uint8_t>& flags = g_System.m_GameModes[1].m_RankedQuantities;
    flags.assign(5, 0);
    for (int q : c.ranked) flags[q] = 1;
    cPlayRecord r;
    r.m_nRankView = c.from;
    r.CycleRankingView(1, c.steps);
    EXPECT_EQ(r.m_nRankView, c.want) << c.from << " " << c.steps;
  }
}

// Every cut of a file fails to load and leaves a record that saves whole; counts that
// cannot fit into the file fail before anything is made of them.
TEST_F(PlayRecordTest, DamagedFilesFailCleanly) {
  cPlayRecord saved = Filled();
  const std::string body = rt::SaveBody(saved);
  for (std::size_t n = 0; n < body.size(); n += (n < 400 ? 1 : 97)) {
    cPlayRecord r;
    EXPECT_FALSE(rt::LoadBody(r, body.substr(0, n))) << n;
    rt::SaveBody(r);
  }
  const std::size_t masks = 4 + 28 * 4 + 4 + (4 + 18) + (4 + 5) + 16;  // the u32 count of the masks
  ASSERT_EQ(rt::ReadU32At(body, masks), 25u);
  for (std::size_t at : {masks, masks + 4 + 100}) {
    std::string huge = body;
    rt::WriteU32At(huge, at, 0x7FFFFFFF);
    cPlayRecord r;
    EXPECT_FALSE(rt::LoadBody(r, huge)) << at;
  }
}

}  // namespace
