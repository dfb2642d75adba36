// The map menu driven frame by frame with a scripted pad: where each item leads, saving
// into a slot, the auto-save switch, and the slot list both menus draw.
#include <filesystem>
#include <memory>

#include "base/SceneManager.h"
#include "frontend/MapMenuScene.h"
#include "frontend/SceneFixture.h"
#include "frontend/MenuCursor.h"
#include "records/PlayRecord.h"
#include "frontend/SlotList.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDPalette.h"
#include "gfx/GfxTest.h"
#include "platform/fs.h"
#include "sound/SoundTable.h"
#include "test_support/SoundRequests.h"
#include "ui/Pad.h"

namespace {

using namespace gfxtest;

constexpr std::int32_t kSheets[] = {45, 49, 50};

class MapMenuSceneTest : public fe::SceneFixture<cMapMenuScene> {
 protected:
  void SetUp() override {
    SetUpScene(SCENE_MAPMENU);
    std::filesystem::create_directories(std::filesystem::path("user_data") / "story");
    g_SoundTable.assign(8, DS_SOUNDSET());
    g_SceneManager.m_nPrevScene = SCENE_WORLDMAP;
  }
  void TearDown() override {
    scene_.reset();
    for (std::int32_t id : kSheets) DDReleaseSurface(&g_SurfaceData[id]);
    SceneFixture::TearDown();
  }
  // The scene releases its sheets when it goes: each scene gets them anew.
  void StartToMenu() {
    scene_.reset();
    for (std::int32_t id : kSheets) {
      ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[id], 96, 32, 1, 1, 0, 0, false));
      DDFillRectColor(&g_SurfaceData[id], 0, 0, 96, 32, 0x00101010u);
    }
    DDFillRectColor(&g_SurfaceData[49], 64, 0, 16, 16, 0x0000FF00u);
    StartScene();
  }
  // Moves the menu cursor to the row of an item kind and confirms it.
  void Choose(int row) {
    for (int i = 0; i < row; ++i) Frame(0, cPad::DirDown);
    Press();
  }
  // Runs the fade-out and gives the scene it leads to.
  std::int32_t Leave() {
    EXPECT_EQ(scene_->m_nPhase, 6);
    for (int i = 0; i < 20 && g_SceneManager.m_nScene == SCENE_MAPMENU; ++i) Frame();
    EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_MAPMENU);
    return g_SceneManager.m_nScene;
  }
};

TEST_F(MapMenuSceneTest, CancelAndBackGoToTheMap) {
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel);
    g_SceneManager.m_nScene = SCENE_MAPMENU;
    StartToMenu();
    if (cancel) Press(2);
    else Choose(MAPMENU_BACK);
    Frame();
    EXPECT_EQ(Leave(), SCENE_WORLDMAP);
  }
}

TEST_F(MapMenuSceneTest, OnlyEnabledItemsAreOffered) {
  for (cEdMenuItem& item : g_System.m_MapMenu) item.m_bEnabled = 0;
  g_System.m_MapMenu[MAPMENU_BACK].m_bEnabled = 1;
  StartToMenu();
  EXPECT_EQ(scene_->m_nItemCount, 1);
  Press();
  Frame();
  EXPECT_EQ(Leave(), SCENE_WORLDMAP);
}

TEST_F(MapMenuSceneTest, ReturnToTitleAsksFirst) {
  g_PlayRecord.m_nSlot = 4;
  StartToMenu();
  Choose(MAPMENU_TITLE);
  ASSERT_EQ(scene_->m_nPhase, 5);
  Press();  // the preselected answer keeps the game
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 1u);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, MAPMENU_TITLE);
  Press();
  Frame(0, cPad::DirUp);
  Press();
  EXPECT_EQ(Leave(), SCENE_TITLE);
  ScanSaveSlots(g_SaveSlots);
  EXPECT_FALSE(g_SaveSlots[4].m_bUsed);  // nothing was saved
}

TEST_F(MapMenuSceneTest, NewGameSavesIntoTheChosenSlotThenAutoSaveIsOffered) {
  g_PlayRecord.m_nSlot = -1;
  StartToMenu();
  // Without a slot, auto-save only tells the player to save first.
  Choose(MAPMENU_AUTOSAVE);
  Frame();
  ASSERT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(scene_->m_nStep, 2);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(g_PlayRecord.m_bAutoSave, 0);

  Frame(0, cPad::DirUp);  // back to the save row
  Press();
  Frame();
  ASSERT_EQ(scene_->m_nPhase, 2);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 0);
  EXPECT_EQ(scene_->m_nScrollTop, 0);
  EXPECT_EQ(scene_->m_nVisibleRows, 10);
  for (int i = 0; i < 36; ++i) Frame(0, cPad::DirDown);
  ASSERT_EQ(g_MenuCursor.m_pTop->m_nRow, 36);
  Press();
  EXPECT_EQ(scene_->m_nStep, 2);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 1);  // "no" preselected
  Frame(0, cPad::DirUp);
  Press();
  EXPECT_EQ(scene_->m_nStep, 1);
  EXPECT_EQ(g_PlayRecord.m_nSlot, 36);
  EXPECT_TRUE(g_SaveSlots[36].m_bUsed);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 36);  // the list stays on the slot
  Press(2);
  ASSERT_EQ(scene_->m_nPhase, 1);

  // Now auto-save offers ON and OFF; ON saves into the slot and sets the flag.
  Frame(0, cPad::DirDown);
  Press();
  Frame();
  ASSERT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(scene_->m_nStep, 1);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 1);
  Frame(0, cPad::DirUp);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(g_PlayRecord.m_bAutoSave, 1);

  // A later save opens the list on the slot.
  Frame(0, cPad::DirUp);
  Press();
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 36);
  EXPECT_EQ(scene_->m_nScrollTop, 36);
}

TEST_F(MapMenuSceneTest, TheSavedSoundFollowsOnlyAWriteThatWorked) {
  test_support::SoundRequests sounds;
  g_PlayRecord.m_nSlot = 2;
  StartToMenu();
  // Slot 1 (file Story01.dat): written, then the saved sound.
  Choose(MAPMENU_SAVE);
  Frame();
  Frame(0, cPad::DirUp);
  Frame();
  Frame(0, cPad::DirUp);
  ASSERT_EQ(g_MenuCursor.m_pTop->m_nRow, 0);
  Press();
  Frame(0, cPad::DirUp);
  sounds.Clear();
  Press();
  EXPECT_EQ(sounds.All(), std::vector<int>{5});
  EXPECT_TRUE(plat::fs::isFile("user_data\\story\\Story01.dat"));
  EXPECT_EQ(g_PlayRecord.m_nSlot, 0);

  // Without the folder nothing can be written: the refusal sound, and the game keeps
  // its slot.
  std::filesystem::remove_all(std::filesystem::path("user_data") / "story");
  Frame();
  Frame(0, cPad::DirDown);
  Press();
  Frame(0, cPad::DirUp);
  sounds.Clear();
  Press();
  EXPECT_EQ(sounds.All(), std::vector<int>{3});
  EXPECT_EQ(g_PlayRecord.m_nSlot, 0);
  EXPECT_FALSE(g_SaveSlots[1].m_bUsed);
  Press(2);
  ASSERT_EQ(scene_->m_nPhase, 1);

  // Auto-save ON cannot write either: the switch stays off.
  Frame(0, cPad::DirDown);
  Press();
  Frame();
  ASSERT_EQ(scene_->m_nPhase, 3);
  Frame(0, cPad::DirUp);
  sounds.Clear();
  Press();
  EXPECT_EQ(sounds.All(), std::vector<int>{3});
  EXPECT_EQ(g_PlayRecord.m_bAutoSave, 0);
  EXPECT_EQ(scene_->m_nPhase, 1);
}

TEST_F(MapMenuSceneTest, SlotListLinesAndSeparators) {
  const PALETTEENTRY saved = g_Palette[240];
  g_Palette[240] = PALETTEENTRY{200, 100, 50, 0};
  DDSURFACEDATA ref{};
  ASSERT_TRUE(DDCreateSurface(&ref, 4, 4, 0, 1, 0, 0, false));
  DDFillRect(&ref, 0, 0, 1, 1, 240);
  const std::uint32_t line = Px(&ref, 0, 0);
  DDReleaseSurface(&ref);
  DDClear(&BackBuffer, 16);
  const std::uint32_t ground = Px(&BackBuffer, 0, 0);
  // Three rows from slot 98: the last slot and two rows past the list's end.
  DrawSlotList(&BackBuffer, 152, 160, g_SaveSlots, 97, 3);
  EXPECT_EQ(Px(&BackBuffer, 152 + 300, 160 + 15), line);
  EXPECT_EQ(Px(&BackBuffer, 152 + 300, 160 + 31), line);
  EXPECT_NE(Px(&BackBuffer, 152 + 300, 160 + 47), line);  // no line under the last row
  EXPECT_EQ(Px(&BackBuffer, 152 + 330, 170), ground);     // 320 wide
  EXPECT_EQ(Px(&BackBuffer, 160, 160 + 48), ground);      // rows high
  g_Palette[240] = saved;
}

}  // namespace
