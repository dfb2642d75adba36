// The options scene driven frame by frame with a scripted pad: values wrap at their
// ends, a cancelled edit puts the value (and the volume of every sound) back, and
// leaving saves the options and returns to the title.
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/AppMessages.h"
#include "base/SceneManager.h"
#include "records/FrontendLinks.h"
#include "frontend/MenuCursor.h"
#include "frontend/OptionScene.h"
#include "frontend/SceneFixture.h"
#include "gamedata/Option.h"
#include "records/FrontendTestUtil.h"
#include "gamedata/RecordTestUtil.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/GfxTest.h"
#include "platform/audio.h"
#include "platform/winnum.h"
#include "sound/DSound.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

using namespace gfxtest;

using fe::SilentWav;

class OptionSceneTest : public fe::SceneFixture<cOptionScene> {
 protected:
  void SetUp() override {
    SetUpScene(SCENE_OPTION);
    std::filesystem::create_directory("user_data");
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[49], 96, 32, 1, 1, 0, 0, false));
    DDFillRectColor(&g_SurfaceData[49], 64, 0, 16, 16, 0x0000FF00u);
    DDFillRectColor(&g_SurfaceData[49], 80, 0, 16, 16, 0x00FF0000u);

    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    plat::audio::setDefaultDeviceConfig(c);
    ASSERT_TRUE(DS_Init(0, 22050, 8, 1));
    std::ofstream("s.wav", std::ios::binary) << SilentWav();
    g_SoundTable.resize(2);
    for (DS_SOUNDSET& set : g_SoundTable) ASSERT_TRUE(DS_CreateSoundSet(&set, "s.wav", 2, 0));

    g_Option = cOption();
    g_FrontendLinks.dialogRequest = [this](std::uint32_t message, std::uintptr_t) {
      requests_.push_back(message);
      g_Option.m_strRankName = "xyz";
      return 1;
    };
    StartScene();
  }
  void TearDown() override {
    scene_.reset();
    DDReleaseSurface(&g_SurfaceData[49]);
    for (DS_SOUNDSET& set : g_SoundTable) DS_ReleaseSoundSet(&set);
    g_SoundTable.clear();
    DS_UnInit();
    plat::audio::setDefaultDeviceConfig({});
    g_Option = cOption();
    SceneFixture::TearDown();
  }

  // The cursor to a row and its value into edit.
  void Edit(int row) {
    for (int i = 0; i < row; ++i) Move(cPad::DirDown);
    Press(1);
    ASSERT_EQ(scene_->m_nStep, 2);
  }
  static std::vector<int> Volumes() {
    std::vector<int> v;
    for (DS_SOUNDSET& set : g_SoundTable)
      for (int i = 0; i < set.nCount; ++i) v.push_back(DS_GetVolume(&set, i));
    return v;
  }

  std::vector<std::uint32_t> requests_;
};

TEST_F(OptionSceneTest, ValuesWrapAtBothEnds) {
  struct Case {
    int row;
    std::int32_t cOption::*member;
    std::int32_t start;
    std::uint16_t dir;
    std::int32_t want;
  };
  const Case cases[] = {
      {0, &cOption::m_nPalette, 0, cPad::DirDown, 23},     {0, &cOption::m_nPalette, 23, cPad::DirUp, 0},
      {1, &cOption::m_bMusic, 1, cPad::DirUp, 0},          {2, &cOption::m_nSoundVolume, 10, cPad::DirUp, 0},
      {2, &cOption::m_nSoundVolume, 0, cPad::DirDown, 10}, {3, &cOption::m_nRankMode, 3, cPad::DirUp, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    g_Option.*c.member = c.start;
    Edit(c.row);
    Move(c.dir);
    EXPECT_EQ(g_Option.*c.member, c.want);
    Press(1);  // kept
    EXPECT_EQ(scene_->m_nStep, 1);
    EXPECT_EQ(g_Option.*c.member, c.want);
    EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, c.row);
    for (int i = 0; i < c.row; ++i) Move(cPad::DirUp);
  }
}

TEST_F(OptionSceneTest, CancelPutsTheVolumeOfEverySoundBack) {
  g_Option.m_nSoundVolume = 10;
  SetSoundTableVolume(10);
  Edit(2);
  Move(cPad::DirDown);
  EXPECT_EQ(g_Option.m_nSoundVolume, 9);
  EXPECT_EQ(Volumes(), std::vector<int>(4, g_VolumeTable[9]));
  Press(2);
  EXPECT_EQ(scene_->m_nStep, 1);
  EXPECT_EQ(g_Option.m_nSoundVolume, 10);
  EXPECT_EQ(Volumes(), std::vector<int>(4, 0));
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 2);
}

TEST_F(OptionSceneTest, NameEntryGoesThroughTheMainWindowAndTheMenuStays) {
  Edit(0);
  Press(2);
  for (int i = 0; i < 4; ++i) Move(cPad::DirDown);
  Press(1);
  EXPECT_EQ(requests_, std::vector<std::uint32_t>{appmsg::NameEntry});
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(scene_->m_nStep, 1);
  EXPECT_EQ(cOptionScene::ValueText(OPTION_RANK_NAME), "xyz");
}

TEST_F(OptionSceneTest, LeavingSavesTheOptionsAndReturnsToTheTitle) {
  for (std::uint16_t leave : {std::uint16_t(2), std::uint16_t(1)}) {
    SCOPED_TRACE(leave);
    std::filesystem::remove(std::filesystem::path("user_data") / "Option.dat");
    g_SceneManager.m_nScene = SCENE_OPTION;
    g_Option.m_nSoundVolume = 3;
    g_Option.m_bMusic = 0;
    if (leave == 1) {
      for (int i = 0; i < 5; ++i) Move(cPad::DirDown);  // "もどる"
    }
    Press(leave);
    ASSERT_EQ(scene_->m_nPhase, 2);
    for (int i = 0; i < 20 && g_SceneManager.m_nScene == SCENE_OPTION; ++i) Frame();
    EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
    EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_OPTION);
    cOption saved;
    ASSERT_EQ(saved.LoadFromFile("user_data\\Option.dat"), 1);
    EXPECT_EQ(saved.m_nSoundVolume, 3);
    EXPECT_EQ(saved.m_bMusic, 0);
    scene_ = std::make_unique<cOptionScene>();
    for (int i = 0; i < 20 && scene_->m_nPhase != 1; ++i) Frame();
  }
}

TEST_F(OptionSceneTest, ValueTexts) {
  g_Option.m_bMusic = 0;
  g_Option.m_nRankMode = 2;
  EXPECT_EQ(cOptionScene::ValueText(OPTION_MUSIC), "OFF");
  EXPECT_EQ(cOptionScene::ValueText(OPTION_RANK_MODE), RegistrationModeLabels[2]);
  g_Option.m_nRankMode = 9;  // a damaged file
  EXPECT_EQ(cOptionScene::ValueText(OPTION_RANK_MODE), "9");
  EXPECT_EQ(cOptionScene::ValueText(OPTION_BACK), "");
}

TEST_F(OptionSceneTest, CursorAndEditSignStandOnTheRow) {
  Move(cPad::DirDown);
  Frame();
  const std::uint32_t cursor = Px(&g_SurfaceData[49], 64, 0);
  EXPECT_EQ(Px(&BackBuffer, 48 + 8, 96 + 16 + 8), cursor);
  EXPECT_NE(Px(&BackBuffer, 48 + 8, 96 + 8), cursor);
  Press(1);
  Frame();
  EXPECT_EQ(Px(&BackBuffer, 48 + 8, 96 + 16 + 8), Px(&g_SurfaceData[49], 80, 0));
  EXPECT_EQ(Px(&BackBuffer, 192 + 8, 96 + 16 + 8), cursor);
}

}  // namespace
