// The challenge stage list driven frame by frame with a scripted pad: how many stages
// it lists and from where, leaving it, and a stage file that does not load.
#include <filesystem>
#include <memory>

#include "base/SceneManager.h"
#include "records/FrontendTestUtil.h"
#include "frontend/MenuCursor.h"
#include "records/PlayRecord.h"
#include "frontend/SceneFixture.h"
#include "frontend/StageSelectScene.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

using namespace gfxtest;

constexpr std::int32_t kSheets[] = {45, 49};
constexpr std::uint32_t kCursorColour = 0x00FF00FFu;

class StageSelectSceneTest : public fe::SceneFixture<cStageSelectScene> {
 protected:
  void SetUp() override {
    SetUpScene(SCENE_STAGESELECT);
    g_System.m_nChallengeStages = 20;
    g_System.m_StartLives = {5, 3, 5, 5};
    g_System.m_UnlimitedLives = {0, 0, 0, 0};
    g_PlayRecord.m_Stages.assign(20, cStageResult());
    g_PlayRecord.m_nOpenStages = 1;
    g_SoundTable.assign(8, DS_SOUNDSET());
    g_SceneManager.m_nPrevScene = SCENE_TITLE;
    g_SceneManager.m_nGameMode = GAME_MODE_CHALLENGE;
  }
  void TearDown() override {
    scene_.reset();
    for (std::int32_t id : kSheets) DDReleaseSurface(&g_SurfaceData[id]);
    g_StartStage = cEdStage();
    SceneFixture::TearDown();
  }
  // The scene releases its sheets when it goes: each scene gets them anew.
  void StartToList() {
    scene_.reset();
    for (std::int32_t id : kSheets) {
      ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[id], 128, 32, 1, 1, 0, 0, false));
      DDFillRectColor(&g_SurfaceData[id], 0, 0, 128, 32, 0x00101010u);
    }
    DDFillRectColor(&g_SurfaceData[49], 0, 0, 32, 32, kCursorColour);
    StartScene();
    Frame();
  }
};

TEST_F(StageSelectSceneTest, StagePathFollowsTheNumber) {
  EXPECT_EQ(ChallengeStagePath(7), "data\\stg4\\c07-1.stg4");
  EXPECT_EQ(ChallengeStagePath(12), "data\\stg4\\c12-1.stg4");
}

TEST_F(StageSelectSceneTest, ListedStagesAndTheirRows) {
  struct Case {
    int open;
    int allOpen;
    int row, pos;  // kept from the last stage
    int count, visible;
  };
  const Case cases[] = {
      {1, 0, 0, 0, 1, 1},      // a fresh record lists one stage
      {1, 1, 0, 0, 20, 10},    // unless every stage is open
      {12, 0, 11, 2, 12, 10},  // the cursor on stage 12 shows stages 3 to 12
      {12, 0, 3, 0, 12, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.open * 100 + c.row);
    g_PlayRecord.m_nOpenStages = c.open;
    g_System.m_bChallengeAllOpen = c.allOpen;
    g_SceneManager.m_nStageCursor = c.row;
    g_SceneManager.m_nStageScroll = c.pos;
    StartToList();
    EXPECT_EQ(scene_->m_nStageCount, c.count);
    EXPECT_EQ(scene_->m_nVisibleRows, c.visible);
    EXPECT_EQ(scene_->m_nScrollTop, c.pos);
    EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, c.row);
    EXPECT_EQ(Px(&BackBuffer, 40, 160 + 32 * (c.row - c.pos) + 8), kCursorColour);
  }
}

TEST_F(StageSelectSceneTest, CancelGoesToTheTitle) {
  StartToList();
  Press(2);
  EXPECT_EQ(scene_->m_nPhase, 2);
  for (int i = 0; i < 20 && g_SceneManager.m_nScene == SCENE_STAGESELECT; ++i) Frame();
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_STAGESELECT);
}

TEST_F(StageSelectSceneTest, MissingStageFileKeepsTheList) {
  StartToList();
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_STAGESELECT);
}

TEST_F(StageSelectSceneTest, AStageThatLoadsIsEnteredUnderTheKeyOfItsFile) {
  std::filesystem::create_directories(std::filesystem::path("data") / "stg4");
  fe::WritePlayableStage(ChallengeStagePath(1));
  StartToList();
  Press();
  EXPECT_EQ(scene_->m_nPhase, 2);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_STAGE);
  EXPECT_EQ(g_PlayRecord.m_strStageName, "data\\stg4\\c01.");
  EXPECT_EQ(g_PlayRecord.m_nStage, 1);
  EXPECT_EQ(g_PlayRecord.m_nStartLives, 3);
  EXPECT_EQ(g_PlayRecord.m_nLives, 2);
}

TEST_F(StageSelectSceneTest, CKeyTogglesTheRankingPanelOnlyWhenTheModeRanks) {
  for (int ranks : {1, 0}) {
    SCOPED_TRACE(ranks);
    g_System.m_GameModes[GAME_MODE_CHALLENGE].m_bRanks = ranks;
    g_PlayRecord.m_bShowRanking = 1;
    StartToList();
    Press(4);
    EXPECT_EQ(g_PlayRecord.m_bShowRanking, 0);
    Press(4);
    EXPECT_EQ(g_PlayRecord.m_bShowRanking, ranks);
  }
}

}  // namespace
