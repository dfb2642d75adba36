// The title scene driven frame by frame on an open display with a scripted pad: which
// scene and game mode each menu choice leads to, what the play record holds then, and
// where the menu and its cursor are drawn.
#include <filesystem>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/SceneManager.h"
#include "records/FrontendLinks.h"
#include "frontend/MenuCursor.h"
#include "frontend/NewGame.h"
#include "records/PlayRecord.h"
#include "frontend/SceneFixture.h"
#include "frontend/TitleScene.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "gfx/BmpTable.h"
#include "gfx/DDPresent.h"
#include "gfx/GfxTest.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/winnum.h"
#include "sound/SoundTable.h"
#include "test_support/SoundRequests.h"
#include "ui/Pad.h"

namespace {

using namespace gfxtest;

constexpr std::uint32_t kTitleColour = 0x00204080u;
constexpr std::uint32_t kCursorColour = 0x00FF00FFu;

class TitleSceneTest : public fe::SceneFixture<cTitleScene> {
 protected:
  void SetUp() override {
    // The save slots and the challenge progress are looked for in an empty folder.
    SetUpScene(SCENE_TITLE);
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_TITLE], 640, 480, 0, 1, 0, 0, false));
    DDFillRectColor(&g_SurfaceData[BMP_TITLE], 0, 0, 640, 480, kTitleColour);
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_WINDOW], 640, 480, 0, 1, 0, 0, false));
    DDFillRectColor(&g_SurfaceData[BMP_WINDOW], 0, 0, 640, 480, 0x00101010u);
    // Cursor cell at (0, 0), the slot cursor at (64, 0).
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_ACCESSORY], 96, 32, 1, 1, 0, 0, false));
    DDFillRectColor(&g_SurfaceData[BMP_ACCESSORY], 0, 0, 32, 32, kCursorColour);
    DDFillRectColor(&g_SurfaceData[BMP_ACCESSORY], 64, 0, 16, 16, 0x0000FF00u);
    // One strip of its own colour per kind.
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_GAME_MODE], 160, 32 * TITLE_KIND_COUNT, 0, 1, 0, 0, false));
    for (int k = 0; k < TITLE_KIND_COUNT; ++k)
      DDFillRectColor(&g_SurfaceData[BMP_GAME_MODE], 0, 32 * k, 160, 32, StripColour(k));

    ResetSystem();
    g_WorldMap = cEdWorldMap();
    g_SoundTable.assign(4, DS_SOUNDSET());  // the cursor's sound: nothing to play
    g_SceneManager.m_nPrevScene = SCENE_STAGE;
    g_FrontendLinks.dialogRequest = [this](std::uint32_t message, std::uintptr_t) {
      requests_.push_back(message);
      return dialogAnswer_;
    };
  }
  void TearDown() override {
    scene_.reset();
    for (std::int32_t id : {BMP_WINDOW, BMP_TITLE, BMP_GAME_MODE, BMP_ACCESSORY}) DDReleaseSurface(&g_SurfaceData[id]);
    g_TitleMenuPos = {192, 240};
    g_WorldMap = cEdWorldMap();
    SceneFixture::TearDown();
  }
  // A project with text menus and five story lives.
  static void ResetSystem() {
    g_System = cEdSystem();
    g_System.m_bTitleMenuPicture = 0;
    g_System.m_StartLives = {5, 5, 5, 99};
    g_System.m_UnlimitedLives = {0, 0, 0, 0};
  }
  static std::uint32_t StripColour(int kind) { return 0x00100000u * (kind + 1) + 0x30u; }

  // Starts the scene and runs its fade-in to the title menu.
  void StartToMenu() { StartScene(); }
  // Runs the fade-out to its end.
  void FadeOutToEnd() {
    ASSERT_EQ(scene_->m_nPhase, 3);
    for (int i = 0; i < 20 && g_SceneManager.m_nScene == SCENE_TITLE; ++i) Frame();
  }

  std::vector<std::uint32_t> requests_;
  int dialogAnswer_ = 0;
};

TEST_F(TitleSceneTest, EachChoiceLeadsToItsSceneAndMode) {
  struct Case {
    int kind;
    int mode;  // -1: the choice keeps the mode
    int nextScene;
  };
  const Case cases[] = {{TITLE_NEW_GAME, GAME_MODE_STORY, SCENE_WORLDMAP},
                        {TITLE_CHALLENGE, GAME_MODE_CHALLENGE, SCENE_STAGESELECT},
                        {TITLE_FREE, GAME_MODE_FREE, SCENE_STAGE},
                        {TITLE_REPLAY, GAME_MODE_REPLAY, SCENE_STAGE},
                        {TITLE_OPTIONS, -1, SCENE_OPTION}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    g_SceneManager.m_nScene = SCENE_TITLE;
    g_SceneManager.m_nGameMode = 7;
    g_SceneManager.m_nMenuChoice = c.kind;  // the cursor starts on the last choice
    g_System.m_GameModes[c.mode < 0 ? 0 : c.mode].m_bRanks = 1;
    dialogAnswer_ = 1;
    StartToMenu();
    Press();
    EXPECT_EQ(g_SceneManager.m_nMenuChoice, c.kind);
    EXPECT_EQ(g_SceneManager.m_nGameMode, c.mode < 0 ? 7 : c.mode);
    if (c.mode >= 0) { EXPECT_EQ(g_SceneManager.m_bModeRanks, 1); }
    EXPECT_EQ(g_SceneManager.m_nNextScene, c.nextScene);
    FadeOutToEnd();
    EXPECT_EQ(g_SceneManager.m_nScene, c.nextScene);
    EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_TITLE);
    ResetSystem();
  }
  EXPECT_EQ(requests_, (std::vector<std::uint32_t>{appmsg::StageFileDialog, appmsg::ReplayFileDialog}));
}

TEST_F(TitleSceneTest, NewGameResetsThePlayRecord) {
  g_PlayRecord.m_nTotalScore = 1234;
  g_PlayRecord.m_nSlot = 5;
  g_PlayRecord.m_nRound = 3;
  g_WorldMap.m_nStartX = 4;
  g_WorldMap.m_nStartY = 6;
  StartToMenu();
  Press();
  EXPECT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(g_PlayRecord.m_nTotalScore, 0);
  EXPECT_EQ(g_PlayRecord.m_nSlot, -1);
  EXPECT_EQ(g_PlayRecord.m_nRound, 0);
  EXPECT_EQ(g_PlayRecord.m_strName, "aaa");
  EXPECT_EQ(g_PlayRecord.m_nMapX, 4);
  EXPECT_EQ(g_PlayRecord.m_nMapY, 6);
  EXPECT_EQ(g_PlayRecord.m_nStartLives, 5);
  EXPECT_EQ(g_PlayRecord.m_nLives, 4);
}

TEST_F(TitleSceneTest, NewGameLives) {
  struct Case {
    int startLives, unlimited, wantStart, wantLives;
  };
  for (const Case& c : {Case{5, 0, 5, 4}, Case{1, 0, 1, 0}, Case{5, 1, UNLIMITED_LIVES, UNLIMITED_LIVES}}) {
    g_System.m_StartLives[GAME_MODE_STORY] = c.startLives;
    g_System.m_UnlimitedLives[GAME_MODE_STORY] = c.unlimited;
    NewGame();
    EXPECT_EQ(g_PlayRecord.m_nStartLives, c.wantStart);
    EXPECT_EQ(g_PlayRecord.m_nLives, c.wantLives);
  }
}

TEST_F(TitleSceneTest, ChallengeWithoutProgressStartsAFreshList) {
  g_System.m_nChallengeStages = 12;
  g_PlayRecord.m_nTotalScore = 99;
  g_SceneManager.m_nMenuChoice = TITLE_CHALLENGE;
  StartToMenu();
  Press();
  ASSERT_EQ(g_PlayRecord.m_Stages.size(), 12u);
  for (const cStageResult& r : g_PlayRecord.m_Stages) EXPECT_EQ(r.m_bCleared + r.m_nBest, 0);
  EXPECT_EQ(g_PlayRecord.m_nTotalScore, 0);
}

TEST_F(TitleSceneTest, CancelledDialogsAndExitKeepTheMenu) {
  for (int kind : {TITLE_FREE, TITLE_REPLAY, TITLE_EXIT}) {
    SCOPED_TRACE(kind);
    g_SceneManager.m_nMenuChoice = kind;
    dialogAnswer_ = 0;
    StartToMenu();
    Press();
    EXPECT_EQ(scene_->m_nPhase, 1);
    EXPECT_EQ(g_SceneManager.m_nMenuChoice, kind);
    EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  }
  EXPECT_EQ(requests_, (std::vector<std::uint32_t>{appmsg::StageFileDialog, appmsg::ReplayFileDialog}));
}

TEST_F(TitleSceneTest, MenuOffersOnlyEnabledItemsAndFindsTheLastChoice) {
  for (cEdMenuItem& item : g_System.m_TitleMenu) item.m_bEnabled = 0;
  StartToMenu();
  EXPECT_EQ(scene_->m_nItemCount, 1);
  EXPECT_EQ(scene_->m_aItemKinds[0], TITLE_NEW_GAME);

  // Continue and challenge hidden: options is the fourth row, and the cursor is on it.
  ResetSystem();
  g_System.m_TitleMenu[TITLE_CONTINUE].m_bEnabled = 0;
  g_System.m_TitleMenu[TITLE_CHALLENGE].m_bEnabled = 0;
  g_SceneManager.m_nMenuChoice = TITLE_OPTIONS;
  StartToMenu();
  ASSERT_EQ(scene_->m_nItemCount, 5);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 3);
  Press();
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_OPTION);
}

TEST_F(TitleSceneTest, ContinueListCancelReturnsToTheContinueRow) {
  g_SceneManager.m_nMenuChoice = TITLE_CONTINUE;
  StartToMenu();
  Press();
  ASSERT_EQ(scene_->m_nPhase, 2);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 2u);
  Frame();  // the list's first frame
  // The slot list, with a separator under each row, lies over the title picture.
  EXPECT_NE(Px(&BackBuffer, g_SlotListPos.x + 300, g_SlotListPos.y + 15), kTitleColour);
  EXPECT_EQ(Px(&BackBuffer, g_SlotListPos.x + 330, g_SlotListPos.y + 15), kTitleColour);
  // Confirm on an empty slot is refused; the list stays.
  g_SaveSlots.assign(SAVE_SLOT_COUNT, cSaveSlotInfo());
  Press();
  EXPECT_EQ(scene_->m_nPhase, 2);
  Press(2);
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 1u);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, TITLE_CONTINUE);
}

TEST_F(TitleSceneTest, FadeInStartsCoveredAndEndsOnThePicture) {
  scene_ = std::make_unique<cTitleScene>();
  Frame();
  EXPECT_EQ(Px(&BackBuffer, 10, 10), 0u);
  for (int i = 0; i < 20 && scene_->m_nPhase == 0; ++i) Frame();
  EXPECT_EQ(Px(&BackBuffer, 10, 10), Px(&g_SurfaceData[BMP_TITLE], 10, 10));
}

TEST_F(TitleSceneTest, DrawsTitleMenuAndCursorRow) {
  g_SceneManager.m_nMenuChoice = TITLE_CHALLENGE;
  StartToMenu();
  Frame();
  const int x = g_TitleMenuPos.x, y = g_TitleMenuPos.y;
  EXPECT_EQ(x, 192);
  EXPECT_EQ(Px(&BackBuffer, 10, 10), Px(&g_SurfaceData[BMP_TITLE], 10, 10));
  const std::uint32_t cursor = Px(&g_SurfaceData[BMP_ACCESSORY], 0, 0);
  EXPECT_EQ(Px(&BackBuffer, x + 16, y + 32 * 2 + 16), cursor);
  EXPECT_NE(Px(&BackBuffer, x + 16, y + 32 * 1 + 16), cursor);
  // The menu window lies on the title; beside it the title shows.
  EXPECT_NE(Px(&BackBuffer, x + 40, y + 32 * 6 + 16), Px(&g_SurfaceData[BMP_TITLE], 0, 0));
  EXPECT_EQ(Px(&BackBuffer, x - 1, y + 16), Px(&g_SurfaceData[BMP_TITLE], 0, 0));

  // Down moves the cursor one row.
  Frame(0, cPad::DirDown);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 3);
  EXPECT_EQ(Px(&BackBuffer, x + 16, y + 32 * 3 + 16), cursor);
}

TEST_F(TitleSceneTest, PictureMenuShowsTheStripsOfTheEnabledKinds) {
  g_System.m_bTitleMenuPicture = 1;
  g_System.m_TitleMenu[TITLE_CONTINUE].m_bEnabled = 0;
  StartToMenu();
  Frame();
  const int x = g_TitleMenuPos.x, y = g_TitleMenuPos.y;
  EXPECT_EQ(x, 288 - 160 / 2);
  const int kinds[] = {TITLE_NEW_GAME, TITLE_CHALLENGE, TITLE_FREE, TITLE_REPLAY, TITLE_OPTIONS, TITLE_EXIT};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(Px(&BackBuffer, x + 32 + 100, y + 32 * i + 10), Px(&g_SurfaceData[BMP_GAME_MODE], 0, 32 * kinds[i])) << i;
}

// Under Direct3D a lost device is reset and its textures are made anew: those of files
// load their pictures again, the menu window comes back blank and is drawn again at the
// next frame, so that the screen is the one before the loss.
class TitleSceneDirect3DTest : public TitleSceneTest {
 protected:
  void SetUp() override {
    mode_ = Mode::D3D32;
    TitleSceneTest::SetUp();
  }
};

TEST_F(TitleSceneDirect3DTest, TheMenuWindowIsDrawnAgainAfterTheDeviceIsReset) {
  // The sheets from files, as the game loads them.
  struct Sheet {
    std::int32_t id;
    int w, h, key;
  } sheets[] = {{BMP_TITLE, 640, 480, 0}, {BMP_ACCESSORY, 96, 32, 1}, {BMP_GAME_MODE, 160, 32 * TITLE_KIND_COUNT, 0}};
  for (const Sheet& s : sheets) {
    DDReleaseSurface(&g_SurfaceData[s.id]);
    const std::string file = Write24("sheet" + std::to_string(s.id) + ".bmp", s.w, s.h, [&](int x, int y) {
      return std::uint32_t(0x10 + s.id) << 16 | std::uint32_t(y % 256) << 8 | std::uint32_t(x % 256);
    });
    ASSERT_EQ(DDCreateSurfaceFromFile(&g_SurfaceData[s.id], file, s.key, 32, 0, 0, 0, 0, 0, 0, false), DDLOAD_OK);
  }
  g_System.m_bTitleMenuPicture = 1;
  StartToMenu();
  Frame();
  auto screen = [] {
    std::vector<std::uint32_t> v;
    for (int y = 0; y < 480; y += 3)
      for (int x = 0; x < 640; x += 3) v.push_back(Px(&BackBuffer, x, y));
    return v;
  };
  const std::vector<std::uint32_t> before = screen();
  const int x = g_TitleMenuPos.x, y = g_TitleMenuPos.y;
  ASSERT_EQ(Px(&BackBuffer, x + 32 + 100, y + 10), Px(&g_SurfaceData[BMP_GAME_MODE], 100, 32 * TITLE_NEW_GAME + 10));

  plat::display::injectLoss();
  ASSERT_TRUE(DDRestoreSurface());
  Frame();
  EXPECT_TRUE(screen() == before);
}

}  // namespace

namespace {

TEST_F(TitleSceneTest, ContinueLoadsTheChosenSlotAndGoesToTheMap) {
  std::filesystem::create_directories(std::filesystem::path("user_data") / "story");
  g_PlayRecord.m_nTotalScore = 555;
  ASSERT_EQ(g_PlayRecord.SaveSlot(1), 1);
  g_PlayRecord = cPlayRecord();
  g_SceneManager.m_nMenuChoice = TITLE_CONTINUE;
  StartToMenu();
  Press();
  Frame();  // the list's first frame scans the slots
  EXPECT_TRUE(g_SaveSlots[1].m_bUsed);
  Frame();
  Frame(0, cPad::DirDown);
  ASSERT_EQ(g_MenuCursor.m_pTop->m_nRow, 1);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_WORLDMAP);
  EXPECT_EQ(g_SceneManager.m_nGameMode, GAME_MODE_STORY);
  EXPECT_EQ(g_PlayRecord.m_nTotalScore, 555);
}

}  // namespace

namespace {

TEST_F(TitleSceneTest, ContinueRefusesASlotThatNoLongerLoads) {
  test_support::SoundRequests sounds;
  std::filesystem::create_directories(std::filesystem::path("user_data") / "story");
  g_PlayRecord.m_nTotalScore = 555;
  ASSERT_EQ(g_PlayRecord.SaveSlot(1), 1);
  g_PlayRecord = cPlayRecord();
  g_PlayRecord.m_nTotalScore = 7;
  g_SceneManager.m_nMenuChoice = TITLE_CONTINUE;
  StartToMenu();
  Press();
  Frame();
  ASSERT_TRUE(g_SaveSlots[1].m_bUsed);
  // The file breaks while the list is shown.
  ASSERT_TRUE(plat::fs::writeFileAtomic("user_data\\story\\Story02.dat", std::string(12, '\x7f')));
  Frame();
  Frame(0, cPad::DirDown);
  sounds.Clear();
  Press();
  EXPECT_EQ(sounds.Last(), 3);
  EXPECT_EQ(scene_->m_nPhase, 2);
  EXPECT_EQ(g_SceneManager.m_nNextScene, SCENE_TITLE);
  EXPECT_EQ(g_PlayRecord.m_nTotalScore, 7);
  EXPECT_FALSE(g_SaveSlots[1].m_bUsed);  // listed anew
}

}  // namespace
