// The end of a stage in process: the extra lives a score earns, the tally with its ranked
// places, and the scene chosen after the result with the play record it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "base/SceneManager.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/WorldMap.h"
#include "gfx/DDPalette.h"
#include "gfx/Font.h"
#include "platform/msgbox.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "stage/DrawFixture.h"
#include "stage/GameEnd.h"
#include "stage/StageFixture.h"

namespace {

TEST(ExtraLives, ScoreStepsCrossedAndTheCapOfLives) {
  struct Case {
    std::int32_t nOld, nNew, nStep;
    int expected;
  };
  const Case cases[] = {
      {50, 349, 100, 3},  // from below one step to above three
      {0, 99, 100, 0},
      {100, 199, 100, 0},
      {99, 100, 100, 1},
      {0, 1000, 0, 0},     // no step: never
      {500, 300, 100, 0},  // a total that fell gives nothing
      {0, 2147483647, 1000000000, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, ExtraLifeSteps(c.nOld, c.nNew, c.nStep)) << c.nOld << " " << c.nNew;
  EXPECT_EQ(5, AddExtraLife(4));
  EXPECT_EQ(99, AddExtraLife(98));
  EXPECT_EQ(99, AddExtraLife(99));
  // Lives above the cap are not taken away by an extra life.
  EXPECT_EQ(150, AddExtraLife(150));
}

class GameEnd : public stagetest::StageFixture {
 protected:
  void SetUp() override {
    StageFixture::SetUp();
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    std::filesystem::create_directories("data/stg4");
    savedRecord_ = g_PlayRecord;
    savedSystem_ = g_System;
    savedRanks_ = g_SceneManager.m_bModeRanks;
    savedMode_ = g_SceneManager.m_nGameMode;
    savedChoice_ = g_SceneManager.m_nMenuChoice;
    savedTestPlay_ = g_bTestPlay;
    g_bTestPlay = 0;
    g_bFromEditor = 0;
    g_RankingSet.Reset();
    g_Stage.m_RankFlags.assign(5, 1);
    g_System.m_bExtend = 0;
    g_SceneManager.m_bModeRanks = 1;
    g_SceneManager.m_nGameMode = GAME_MODE_STORY;
    g_SceneManager.m_nMenuChoice = 0;
    // A wait would run frames of its own: the close flag skips the sub-loops.
    Scene().m_bQuit = 1;
    ResetPlayRecord(g_PlayRecord);
    g_PlayRecord.m_nLives = 3;
    g_PlayRecord.m_strStageName = "data\\stg4\\c01.";
  }
  void TearDown() override {
    g_PlayRecord = savedRecord_;
    g_System = savedSystem_;
    g_SceneManager.m_bModeRanks = savedRanks_;
    g_SceneManager.m_nGameMode = savedMode_;
    g_SceneManager.m_nMenuChoice = savedChoice_;
    g_bTestPlay = savedTestPlay_;
    g_RankingSet.Reset();
    g_Stage.m_RankFlags.clear();
    g_Stage.m_bPassOnStatus = 0;
    g_Stage.m_bCarryStatus = 0;
    std::filesystem::current_path(oldDir_);
    StageFixture::TearDown();
  }
  // An empty file at a path written as the game writes it.
  static void Touch(std::string path) {
    for (char& c : path)
      if (c == '\\') c = '/';
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fclose(f);
  }

  std::filesystem::path oldDir_;
  cPlayRecord savedRecord_;
  cEdSystem savedSystem_;
  std::int32_t savedRanks_ = 0, savedMode_ = 0, savedChoice_ = 0;
  std::int32_t savedTestPlay_ = 0;
};

TEST_F(GameEnd, TheTallyAddsTheStageAndEarnsExtraLivesUpToTheCap) {
  g_System.m_bExtend = 1;
  g_System.m_nExtendScore = 100;
  struct Case {
    std::int32_t nLives, nTotal, nStageScore, nExpectedLives;
  };
  for (const Case& c : {Case{3, 50, 300, 6}, Case{97, 50, 300, 99}, Case{UNLIMITED_LIVES, 50, 300, UNLIMITED_LIVES},
                        Case{3, 120, 70, 3}}) {
    cPlayRecord& r = g_PlayRecord;
    r.m_nLives = c.nLives;
    r.m_nTotalScore = c.nTotal;
    r.m_nStageScore = c.nStageScore;
    r.m_nTotalTimeLeft = 10;
    r.m_nTotalClearTime = 1000;
    Scene().m_bNoTimeLimit = 0;
    Scene().m_nTimeLeft = 40;
    Scene().m_nPlayTime = 250;
    g_Players[0].m_nHp = 7;
    g_Players[0].m_nSp = 2;
    Scene().TallyResults();
    EXPECT_EQ(c.nExpectedLives, r.m_nLives) << c.nLives << " " << c.nTotal;
    EXPECT_EQ(c.nTotal + c.nStageScore, r.m_nTotalScore);
    EXPECT_EQ(50, r.m_nTotalTimeLeft);
    EXPECT_EQ(1250, r.m_nTotalClearTime);
    EXPECT_EQ((std::vector<std::int32_t>{c.nTotal + c.nStageScore, 50, 1250, r.m_nTotalHpLeft, r.m_nTotalSpLeft}),
              std::vector<std::int32_t>(Scene().m_Results.begin(), Scene().m_Results.end()));
  }
  // The extra-life switch off: nothing.
  g_System.m_bExtend = 0;
  g_PlayRecord.m_nLives = 3;
  g_PlayRecord.m_nTotalScore = 0;
  g_PlayRecord.m_nStageScore = 1000;
  Scene().TallyResults();
  EXPECT_EQ(3, g_PlayRecord.m_nLives);
  // Without a time limit the time left is not added.
  Scene().m_bNoTimeLimit = 1;
  const std::int32_t nTime = g_PlayRecord.m_nTotalTimeLeft;
  Scene().TallyResults();
  EXPECT_EQ(nTime, g_PlayRecord.m_nTotalTimeLeft);
}

TEST_F(GameEnd, RankedPlacesFollowTheTablesTheModeAndTheStage) {
  // Score table (descending) holds 500, 400, 400; clear time (ascending) holds 900.
  g_RankingSet.m_Tables[0].Insert("a", 500);
  g_RankingSet.m_Tables[0].Insert("b", 400);
  g_RankingSet.m_Tables[0].Insert("c", 400);
  g_RankingSet.m_Tables[2].Insert("d", 900);
  for (int i = 0; i < RANKING_ENTRY_COUNT; ++i) g_RankingSet.m_Tables[4].Insert("e", 100);  // full
  g_Stage.m_RankFlags[1] = 0;                                       // the stage does not rank time left
  g_System.m_GameModes[GAME_MODE_STORY].m_RankedQuantities[3] = 0;  // nor the mode HP
  cPlayRecord& r = g_PlayRecord;
  r.m_nTotalScore = 0;
  r.m_nStageScore = 400;
  Scene().m_nPlayTime = 800;
  g_Players[0].m_nHp = 5;
  g_Players[0].m_nSp = 50;  // worse than every entry of the full table
  Scene().TallyResults();
  EXPECT_EQ((std::vector<std::int32_t>{3, -1, 0, -1, -1}),
            std::vector<std::int32_t>(Scene().m_Ranks.begin(), Scene().m_Ranks.end()));
  EXPECT_EQ(1, Scene().m_bRanked);

  // A stage that clears on to a part that exists is ranked after its last part only.
  r.m_bNumbered = 1;
  Scene().m_nNextPart = 2;
  Touch("data\\stg4\\c01-2.stg4_001");
  Scene().TallyResults();
  EXPECT_EQ(0, Scene().m_bRanked);
  EXPECT_EQ((std::vector<std::int32_t>(5, -1)),
            std::vector<std::int32_t>(Scene().m_Ranks.begin(), Scene().m_Ranks.end()));
  // A part asked for that does not exist: the stage is over and ranked.
  Scene().m_nNextPart = 3;
  Scene().TallyResults();
  EXPECT_EQ(1, Scene().m_bRanked);

  // Started by the editor: results, no ranks.
  g_bFromEditor = 1;
  g_bTestPlay = 1;
  Scene().TallyResults();
  g_bFromEditor = 0;
  EXPECT_EQ(0, Scene().m_bRanked);
  EXPECT_EQ(r.m_nTotalScore, Scene().m_Results[0]);
}

TEST_F(GameEnd, PartPathsOfNumberedStages) {
  EXPECT_EQ("data\\stg4\\c01-2.stg4", PartFileName("data\\stg4\\c01.", 2));
  g_PlayRecord.m_bNumbered = 1;
  Scene().m_nNextPart = 2;
  Touch("data\\stg4\\c01-2.stg4_001");
  Touch("data\\stg4\\c01-2.stg4_004");
  std::string path;
  EXPECT_EQ(1, Scene().MakePartPath(path, 2));
  EXPECT_EQ("data\\stg4\\c01-2.stg4_004", path);
  EXPECT_EQ(0, Scene().IsLastPart(2));
  EXPECT_EQ(0, Scene().MakePartPath(path, 3));
  EXPECT_EQ("", path);
  EXPECT_EQ(1, Scene().IsLastPart(3));
  // No part asked for, or a stage without parts: none.
  Scene().m_nNextPart = 0;
  EXPECT_EQ(0, Scene().MakePartPath(path, 2));
  Scene().m_nNextPart = 2;
  g_PlayRecord.m_bNumbered = 0;
  EXPECT_EQ(0, Scene().MakePartPath(path, 2));
}

TEST_F(GameEnd, AStoryClearSetsTheSwitchAndGoesByTheMapEntry) {
  cPlayRecord& r = g_PlayRecord;
  cEdMapPointEntry entry;
  r.m_pMapEntry = &entry;
  r.m_nStage = 4;
  r.m_nPart = 1;
  r.m_nTotalScore = 700;
  r.m_bNumbered = 1;
  Scene().m_nNextPart = 2;  // asked for, but the file is missing
  struct Case {
    int nAfterClear, nScene, nPart;
  };
  for (const Case& c : {Case{0, SCENE_WORLDMAP, 1}, Case{2, SCENE_TITLE, 2}}) {
    r.m_Switches.Fill(0);
    r.m_nPart = 1;
    entry.m_nAfterClear = c.nAfterClear;
    EXPECT_EQ(c.nScene, Scene().ChooseNextScene());
    EXPECT_EQ(1, r.m_Switches[4]);
    EXPECT_EQ(c.nPart, r.m_nPart);
    EXPECT_EQ(700, r.GetStageBest("data\\stg4\\c01."));
  }
  // A second round: every switch cleared again.
  entry.m_nAfterClear = 1;
  const std::int32_t nRound = r.m_nRound;
  EXPECT_EQ(SCENE_WORLDMAP, Scene().ChooseNextScene());
  EXPECT_EQ(nRound + 1, r.m_nRound);
  EXPECT_EQ(0, r.m_Switches[4]);
  r.m_pMapEntry = nullptr;
}

TEST_F(GameEnd, AChallengeClearKeepsTheBestOpensTheNextStageAndSaves) {
  g_SceneManager.m_nMenuChoice = 2;
  g_SceneManager.m_nGameMode = GAME_MODE_CHALLENGE;
  g_System.m_nChallengeStages = 3;
  std::filesystem::create_directories("user_data/challenge");
  cPlayRecord& r = g_PlayRecord;
  r.m_Stages.assign(3, cStageResult());
  r.m_Stages[0].m_nBest = 300;
  r.m_nBestTotal = 300;
  r.m_nStage = 1;
  r.m_nOpenStages = 1;
  r.m_nTotalScore = 500;
  r.m_nPart = 1;
  EXPECT_EQ(SCENE_STAGESELECT, Scene().ChooseNextScene());
  EXPECT_EQ(1, r.m_Stages[0].m_bCleared);
  EXPECT_EQ(500, r.m_Stages[0].m_nBest);
  EXPECT_EQ(500, r.m_nBestTotal);
  EXPECT_EQ(2, r.m_nOpenStages);
  cPlayRecord saved;
  ASSERT_EQ(1, saved.LoadFromFile(g_PathTable[PATH_CHALLENGE]));
  EXPECT_EQ(500, saved.m_Stages[0].m_nBest);
  EXPECT_EQ(2, saved.m_nOpenStages);

  // A lower score keeps the best; clearing an earlier stage opens nothing; the last stage
  // opens no stage beyond the list.
  r.m_nTotalScore = 100;
  EXPECT_EQ(SCENE_STAGESELECT, Scene().ChooseNextScene());
  EXPECT_EQ(500, r.m_Stages[0].m_nBest);
  EXPECT_EQ(2, r.m_nOpenStages);
  r.m_nStage = 3;
  r.m_nOpenStages = 3;
  Scene().ChooseNextScene();
  EXPECT_EQ(3, r.m_nOpenStages);
  EXPECT_TRUE(plat::box_script::shown().empty());
}

TEST_F(GameEnd, AChallengeProgressThatCannotBeSavedIsToldAndPlayGoesOn) {
  g_SceneManager.m_nMenuChoice = 2;
  g_System.m_nChallengeStages = 1;
  g_PlayRecord.m_Stages.assign(1, cStageResult());
  g_PlayRecord.m_nStage = 1;
  // The folder of the progress file is a file: it cannot be written.
  Touch("user_data");
  EXPECT_EQ(SCENE_STAGESELECT, Scene().ChooseNextScene());
  EXPECT_NE(std::string::npos, Report().find("Challenge.dat")) << Report();
  ASSERT_EQ(1u, plat::box_script::shown().size());
  EXPECT_EQ(0, closes_.load());
}

TEST_F(GameEnd, FreePlayAndReplayPlayTheStageAgain) {
  g_SceneManager.m_nMenuChoice = 3;
  g_PlayRecord.m_bNumbered = 0;
  EXPECT_EQ(SCENE_STAGE, Scene().ChooseNextScene());
  // A numbered stage file without a further part returns to the title.
  g_PlayRecord.m_bNumbered = 1;
  g_PlayRecord.m_nPart = 1;
  Scene().m_nNextPart = 2;
  EXPECT_EQ(SCENE_TITLE, Scene().ChooseNextScene());
  EXPECT_EQ(1, g_PlayRecord.m_nPart);
  // A replay starts again from the record of its stage start.
  g_SceneManager.m_nMenuChoice = 4;
  g_PlayRecord.m_nTotalScore = 900;
  g_PlayRecord.m_nStartScore = 100;
  EXPECT_EQ(SCENE_STAGE, Scene().ChooseNextScene());
  EXPECT_EQ(100, g_PlayRecord.m_nTotalScore);
}

// The outcome of a death that leaves no life is game over; with a life left in story mode
// and the continue menu offered, the menu, the life taken and the carried HP dropped.
TEST_F(GameEnd, ADeathTakesALifeAndLeadsToGameOverOrTheContinueMenu) {
  g_System.m_bStoryContinueOnMiss = 1;
  g_System.m_CarryReset.assign(CARRY_ITEM_COUNT, 0);
  g_System.m_CarryReset[11] = 1;  // HP
  g_Stage.m_bCarryStatus = 1;
  cPlayRecord& r = g_PlayRecord;
  r.m_CarryMask.assign(CARRY_ITEM_COUNT, 1);
  r.m_nLives = 0;
  Scene().m_nPhase = STAGE_PHASE_PLAY;
  Scene().DeathOutcome();
  EXPECT_EQ(STAGE_PHASE_GAME_OVER, Scene().m_nPhase);
  EXPECT_EQ(1, r.m_CarryMask[11]);

  r.m_nLives = 1;
  r.m_nTotalScore = 800;
  r.m_nStartScore = 300;
  Scene().m_nPhase = STAGE_PHASE_PLAY;
  Scene().DeathOutcome();
  EXPECT_EQ(STAGE_PHASE_CONTINUE, Scene().m_nPhase);
  EXPECT_EQ(0, Scene().m_nStep);
  EXPECT_EQ(0, r.m_nLives);
  EXPECT_EQ(300, r.m_nTotalScore);
  EXPECT_EQ(0, r.m_CarryMask[11]);
  EXPECT_EQ(1, r.m_CarryMask[12]);
}

// Registration modes 1 and 3 take the options' name without a dialog; the results enter
// their tables once, and the file keeps them.
TEST_F(GameEnd, ARankingEntryWithTheOptionsNameIsMadeOnce) {
  const cOption savedOption = g_Option;
  g_SceneManager.m_nGameMode = GAME_MODE_FREE;
  std::filesystem::create_directories("user_data/free");
  for (int nMode : {1, 3}) {
    g_Option.m_nRankMode = nMode;
    g_Option.m_strRankName = "OPT";
    g_RankingSet.Reset();
    g_PlayRecord.m_nTotalScore = 0;
    g_PlayRecord.m_nStageScore = 250;
    Scene().TallyResults();
    ASSERT_EQ(1, Scene().m_bRanked);
    Scene().RankingEntry();
    Scene().RankingEntry();  // done already: nothing more
    EXPECT_EQ("OPT", Scene().m_strPlayerName);
    EXPECT_EQ(1, Scene().m_bRankingDone);
    EXPECT_EQ("OPT", g_RankingSet.m_Tables[0].m_Entries[0].m_strName);
    EXPECT_EQ(250, g_RankingSet.m_Tables[0].m_Entries[0].m_nValue);
    EXPECT_EQ(0, g_RankingSet.m_Tables[0].m_Entries[1].m_bUsed);
    cRankingSet saved;
    ASSERT_EQ(1, saved.LoadFile(GAME_MODE_FREE, g_PlayRecord.m_strStageName));
    EXPECT_EQ("OPT", saved.m_Tables[0].m_Entries[0].m_strName);
  }
  // Nothing ranked: no entry.
  g_RankingSet.Reset();
  Scene().TallyResults();
  Scene().m_bRanked = 0;
  Scene().RankingEntry();
  EXPECT_EQ(0, Scene().m_bRankingDone);
  EXPECT_EQ(0, g_RankingSet.m_Tables[0].m_Entries[0].m_bUsed);
  g_Option = savedOption;
}

// A stage that passes its status on stores the hero's HP and the time left for the next
// stage, as far as the project carries them.
TEST_F(GameEnd, TheStatusIsCarriedOnWhenTheStagePassesItOn) {
  g_SceneManager.m_nMenuChoice = 3;
  g_System.m_CarryOver.assign(CARRY_ITEM_COUNT, 0);
  g_System.m_CarryOver[11] = 1;  // HP
  g_System.m_CarryOver[22] = 1;  // time left
  cPlayRecord& r = g_PlayRecord;
  r.m_bCarryOver = 0;
  r.m_CarryMask.assign(CARRY_ITEM_COUNT, 0);
  g_Players[0].m_nHp = 17;
  g_Players[0].m_nSp = 9;
  Scene().m_nTimeLeft = 123;
  g_Stage.m_bPassOnStatus = 0;
  Scene().ChooseNextScene();
  EXPECT_EQ(0, r.m_bCarryOver);
  g_Stage.m_bPassOnStatus = 1;
  Scene().ChooseNextScene();
  ASSERT_EQ(1, r.m_bCarryOver);
  ASSERT_GE(r.m_CarryOver.Size(), 1);
  EXPECT_EQ(17, r.m_CarryOver[0].m_nHP);
  EXPECT_EQ(123, r.m_CarryOver[0].m_nTimeLeft);
  EXPECT_EQ(1, r.m_CarryMask[11]);
  EXPECT_EQ(1, r.m_CarryMask[22]);
  EXPECT_EQ(0, r.m_CarryMask[12]);
}

// The result screen with places won and the entry not yet made asks for the entry in the
// bottom line, drawn with the small font.
class GameEndPicture : public stagetest::DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    savedSystem_ = g_System;
    savedOption_ = g_Option;
    savedRanks_ = g_SceneManager.m_bModeRanks;
    savedInk_ = g_Palette[241];
    g_Palette[241] = PALETTEENTRY{255, 255, 255, 0};
    g_Fonts[0].Create("ＭＳ ゴシック", 0, 9, 10, 10, 241, nullptr, 1, 240, nullptr);
  }
  void TearDown() override {
    g_Fonts[0].Release();
    g_Palette[241] = savedInk_;
    g_System = savedSystem_;
    g_Option = savedOption_;
    g_SceneManager.m_bModeRanks = savedRanks_;
    g_Stage.m_bShowClear = 0;
    DrawFixture::TearDown();
  }
  // Rows 456 to 465 of the screen after one result frame showing the prompt text.
  std::vector<std::uint32_t> ResultFrame(const std::string& prompt) {
    g_System.m_Texts[27] = prompt;
    Scene().m_nStep = 1;
    Scene().m_nPhaseFrames = 0;
    DDFillRectColor(&BackBuffer, 0, 0, 640, 480, 0x00406080);
    Scene().GameEnd();
    return Band();
  }
  static std::vector<std::uint32_t> Band() {
    std::vector<std::uint32_t> band;
    cSurfaceLock lock(&BackBuffer);
    EXPECT_TRUE(lock.IsLocked());
    if (!lock.IsLocked()) return band;
    for (int y = 456; y < 466; ++y)
      for (int x = 0; x < 640; ++x) band.push_back(pix::getRaw(*lock.m_lpSurface, x, y));
    return band;
  }

  cEdSystem savedSystem_;
  cOption savedOption_;
  std::int32_t savedRanks_ = 0;
  PALETTEENTRY savedInk_{};
};

TEST_F(GameEndPicture, TheRankingPromptIsCentredForTheFontThatDrawsIt) {
  g_System.m_Texts.resize(28);
  g_Option.m_nRankMode = 0;
  g_Stage.m_bAutoEnd = 0;
  g_Stage.m_bShowClear = 0;
  g_SceneManager.m_bModeRanks = 0;
  Scene().m_bRankingDone = 0;
  Scene().m_Ranks.assign(5, -1);
  Scene().m_Ranks[1] = 0;
  const std::string prompt = "ランキング登録はＦ３キー";  // 12 characters of 10-pixel cells
  const std::vector<std::uint32_t> shown = ResultFrame(prompt);
  const std::vector<std::uint32_t> blank = ResultFrame("");
  ASSERT_NE(shown, blank);
  // The same frame with the text put by hand where 12 cells of 10 pixels are centred.
  FontPrintf(&g_Fonts[0], &BackBuffer, 320 - 12 * 10 / 2, 456, "%s", prompt.c_str());
  EXPECT_EQ(shown, Band());
  // The ink lies about the middle of the screen.
  int nLeft = 640, nRight = -1;
  for (std::size_t i = 0; i < shown.size(); ++i)
    if (shown[i] != blank[i]) {
      nLeft = std::min(nLeft, static_cast<int>(i % 640));
      nRight = std::max(nRight, static_cast<int>(i % 640));
    }
  EXPECT_NEAR(nLeft + nRight, 640, 10) << nLeft << " " << nRight;
}

}  // namespace
