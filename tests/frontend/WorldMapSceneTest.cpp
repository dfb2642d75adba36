// The world map driven frame by frame with a scripted pad on an open display: which
// entry of a point is active, how the hero walks, what the map image and the hero look
// like, the ask-first box, entering a stage, the automatic entry after the fade-in, the
// correction after giving up a stage, the auto-save and the way into the map menu.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Log.h"
#include "base/SceneManager.h"
#include "records/FrontendTestUtil.h"
#include "frontend/MenuCursor.h"
#include "records/PlayRecord.h"
#include "frontend/SceneFixture.h"
#include "frontend/WorldMapScene.h"
#include "gamedata/DataFile.h"
#include "gamedata/PaletteFixture.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/GfxTest.h"
#include "platform/messaging.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

namespace {

using namespace gfxtest;

constexpr std::int32_t kSheets[] = {45, 49, BMP_MAP_CHIPS, BMP_MAP_ICONS, BMP_MAP_BACK, BMP_MAP_IMAGE};
constexpr std::uint32_t kChip0 = 0x00000010u;
constexpr std::uint32_t kChip7 = 0x00000070u;
constexpr std::uint32_t kIcon = 0x00100000u;
constexpr std::uint32_t kIconCleared = 0x00200000u;
constexpr std::uint32_t kBackPicture = 0x00003000u;
constexpr std::uint32_t kLifeIcon = 0x00505050u;

std::vector<std::string> g_Boxes;
int CaptureBox(std::string_view text, std::string_view, int) {
  g_Boxes.emplace_back(text);
  return plat::answer::Ok;
}

// Hero cells of Accessory.bmp by facing (down, up, left, right), each frame its colour.
std::uint32_t HeroColour(int facing, int frame) { return 0x00400000u + 0x1000u * facing + 0x10u * frame + 1; }
constexpr int kHeroCells[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};

class WorldMapSceneTest : public fe::SceneFixture<cWorldMapScene> {
 protected:
  void SetUp() override {
    SetUpScene(SCENE_WORLDMAP);
    std::filesystem::create_directories(std::filesystem::path("user_data") / "story");
    std::filesystem::create_directories(std::filesystem::path("data") / "stg4");
    plat::fs::invalidateCache();
    SetDataRefs(&refs_);
    g_Boxes.clear();
    SetFullScreenBoxRoute(CaptureBox);
    plat::setPostObserver([this](plat::WindowToken, const plat::Msg& m) {
      if (m.id == plat::wm::Close) ++closes_;
    });
    g_System.m_StartLives = {5, 5, 5, 99};
    g_System.m_UnlimitedLives = {0, 0, 0, 0};
    g_WorldMap = cEdWorldMap();
    g_WorldMap.SetSize(30, 20);
    for (std::int32_t& kind : g_WorldMap.m_Grid) kind = 5;  // passable everywhere
    ResetPlayRecord(g_PlayRecord);
    g_PlayRecord.m_nLives = 4;
    g_Stage = cEdStage();
    g_StartStage = cEdStage();
    g_SoundTable.assign(8, DS_SOUNDSET());
    g_LastMapView = {-1, -1};
    g_SceneManager.m_nPrevScene = SCENE_TITLE;
  }
  void TearDown() override {
    scene_.reset();
    for (std::int32_t id : kSheets) DDReleaseSurface(&g_SurfaceData[id]);
    plat::setPostObserver(nullptr);
    SetFullScreenBoxRoute(nullptr);
    SetDataRefs(nullptr);
    g_WorldMap = cEdWorldMap();
    g_Stage = cEdStage();
    g_StartStage = cEdStage();
    g_LastMapView = {-1, -1};
    SceneFixture::TearDown();
    plat::fs::invalidateCache();
  }

  // A point with one entry at the cell.
  static cEdMapPointEntry& AddPoint(int x, int y, int kind = MAP_ENTRY_STAGE) {
    cEdMapPoint& point = g_WorldMap.m_Points.emplace_back();
    point.m_nX = x;
    point.m_nY = y;
    cEdMapPointEntry& entry = point.m_Entries[0];
    entry.m_nKind = kind;
    return entry;
  }
  // A playable stage "data\stg4\<name>-1.stg4_001"; the entry names its first part.
  static std::string WriteStage(const std::string& name) {
    const std::string stem = "data\\stg4\\" + name + "-1.stg4";
    fe::WritePlayableStage(stem);
    return stem;
  }
  // The sheets, each a scene gets anew: chips 0 and 7, the icons' normal and cleared
  // column in row 1, a back picture, the hero's cells and the life icon.
  static void MakeSheets() {
    for (std::int32_t id : kSheets) DDReleaseSurface(&g_SurfaceData[id]);
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[45], 32, 32, 0, 1, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[49], 128, 128, 1, 1, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_MAP_CHIPS], 160, 64, 1, 1, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_MAP_ICONS], 64, 64, 1, 1, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_MAP_BACK], 640, 480, 0, 1, 0, 0, false));
    ASSERT_TRUE(DDCreateSurface(&g_SurfaceData[BMP_MAP_IMAGE], 640, 480, 0, 1, 0, 0, false));
    DDFillRectColor(&g_SurfaceData[BMP_MAP_CHIPS], 0, 0, 32, 32, kChip0);
    DDFillRectColor(&g_SurfaceData[BMP_MAP_CHIPS], 64, 32, 32, 32, kChip7);
    DDFillRectColor(&g_SurfaceData[BMP_MAP_ICONS], 0, 32, 32, 32, kIcon);
    DDFillRectColor(&g_SurfaceData[BMP_MAP_ICONS], 32, 32, 32, 32, kIconCleared);
    DDFillRectColor(&g_SurfaceData[BMP_MAP_BACK], 0, 0, 640, 480, kBackPicture);
    DDFillRectColor(&g_SurfaceData[49], 0, 48, 16, 16, kLifeIcon);
    for (int facing = 0; facing < 4; ++facing)
      for (int frame = 0; frame < 2; ++frame)
        DDFillRectColor(&g_SurfaceData[49], kHeroCells[facing][0] + 32 * frame, kHeroCells[facing][1], 32, 32,
                        HeroColour(facing, frame));
  }
  void Step(std::uint16_t dir) { Move(dir); }
  // A new scene on the play record's cell, through its fade-in.
  void Start() {
    scene_.reset();
    MakeSheets();
    scene_ = std::make_unique<cWorldMapScene>();
    for (int i = 0; i < 20 && scene_->m_nPhase < 1; ++i) Frame();
  }
  void StartOnMap() {
    Start();
    ASSERT_EQ(scene_->m_nPhase, 1);
  }
  // Runs the fade-out and gives the scene it leads to.
  std::int32_t Leave() {
    EXPECT_EQ(scene_->m_nPhase, 3);
    for (int i = 0; i < 20 && g_SceneManager.m_nScene == SCENE_WORLDMAP; ++i) Frame();
    EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_WORLDMAP);
    return g_SceneManager.m_nScene;
  }
  std::pair<int, int> Cell() const { return {g_MenuCursor.m_pTop->m_nColumn, g_MenuCursor.m_pTop->m_nRow}; }
  static void PlaceHero(int x, int y) {
    g_PlayRecord.m_nMapX = x;
    g_PlayRecord.m_nMapY = y;
  }
  static std::uint32_t PaletteColour(int n) {
    DDSURFACEDATA ref{};
    EXPECT_TRUE(DDCreateSurface(&ref, 4, 4, 0, 1, 0, 0, false));
    DDFillRect(&ref, 0, 0, 1, 1, n);
    const std::uint32_t c = Px(&ref, 0, 0);
    DDReleaseSurface(&ref);
    return c;
  }

  rt::PaletteRefs refs_;
  int closes_ = 0;
};

TEST_F(WorldMapSceneTest, FirstEntryWhoseConditionsHoldIsActive) {
  g_PlayRecord.m_CommonVariables[7] = 10;
  g_PlayRecord.m_Switches[3] = 1;
  g_PlayRecord.m_nBestTotal = 500;
  struct Case {
    int sw, var, op, value, minBest;
    bool active;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, true},                               // no condition
      {3, 0, 0, 0, 0, true},    {4, 0, 0, 0, 0, false},    // switch on, off
      {0, 7, 0, 10, 0, true},   {0, 7, 0, 11, 0, false},   // ==
      {0, 7, 1, 11, 0, true},   {0, 7, 1, 10, 0, false},   // !=
      {0, 7, 2, 10, 0, true},   {0, 7, 2, 11, 0, false},   // >=
      {0, 7, 3, 10, 0, true},   {0, 7, 3, 9, 0, false},    // <=
      {0, 7, 4, 9, 0, true},    {0, 7, 4, 10, 0, false},   // >
      {0, 7, 5, 11, 0, true},   {0, 7, 5, 10, 0, false},   // <
      {0, 7, 6, 10, 0, false},  {0, 7, -1, 10, 0, false},  // no such operator
      {0, 300, 0, 0, 0, false},                            // no such variable
      {0, 0, 0, 0, 500, true},  {0, 0, 0, 0, 501, false},  // best total
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sw << " " << c.var << " " << c.op << " " << c.value << " " << c.minBest);
    cEdMapPoint point;
    point.m_Entries.resize(2);
    cEdMapPointEntry& first = point.m_Entries[0];
    first.m_nSwitch = c.sw;
    first.m_nVariable = c.var;
    first.m_nOperator = c.op;
    first.m_nValue = c.value;
    first.m_nMinBestTotal = c.minBest;
    // The second entry stands in when the first fails.
    EXPECT_EQ(cWorldMapScene::FindActiveEntry(&point), c.active ? &point.m_Entries[0] : &point.m_Entries[1]);
  }
  EXPECT_EQ(cWorldMapScene::FindActiveEntry(nullptr), nullptr);
  cEdMapPoint none;
  none.m_Entries[0].m_nSwitch = 4;
  EXPECT_EQ(cWorldMapScene::FindActiveEntry(&none), nullptr);
}

TEST_F(WorldMapSceneTest, HeroWalksOneDirectionAtATimeAndStopsAtWalls) {
  g_WorldMap.m_Grid[(5 << g_WorldMap.m_nPitchShift) + 7] = 1;  // a blocked kind at (7, 5)
  AddPoint(5, 4, MAP_ENTRY_WALL);
  AddPoint(0, 6, MAP_ENTRY_ROAD);
  PlaceHero(5, 5);
  StartOnMap();
  EXPECT_EQ(scene_->m_nViewX, 5 - 9);
  EXPECT_EQ(scene_->m_nViewY, 5 - 7);

  Step(cPad::DirLeft | cPad::DirUp | cPad::DirDown);  // left goes first
  EXPECT_EQ(Cell(), std::make_pair(4, 5));
  EXPECT_EQ(g_PlayRecord.m_nMapFacing, 2);
  EXPECT_EQ(g_PlayRecord.m_nPrevMapX, 5);
  EXPECT_EQ(scene_->m_nViewX, 4 - 9);
  EXPECT_EQ(g_LastMapView.x, 4 - 9);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nX, 288);
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nY, 224);
  Step(cPad::DirRight | cPad::DirUp);
  EXPECT_EQ(Cell(), std::make_pair(5, 5));
  EXPECT_EQ(g_PlayRecord.m_nMapFacing, 3);

  // The wall entry above and the blocked kind two cells right: he turns but stays.
  Step(cPad::DirUp);
  EXPECT_EQ(Cell(), std::make_pair(5, 5));
  EXPECT_EQ(scene_->m_nFacing, 1);
  EXPECT_EQ(g_PlayRecord.m_nMapFacing, 3);
  Step(cPad::DirRight);
  Step(cPad::DirRight);
  EXPECT_EQ(Cell(), std::make_pair(6, 5));

  // A road entry is passable on any kind, and the map's edge holds him.
  g_WorldMap.m_Grid[(6 << g_WorldMap.m_nPitchShift) + 0] = 0;
  for (int i = 0; i < 8; ++i) Step(cPad::DirLeft);
  Step(cPad::DirDown);
  EXPECT_EQ(Cell(), std::make_pair(0, 6));
  Step(cPad::DirLeft);
  EXPECT_EQ(Cell(), std::make_pair(0, 6));
  EXPECT_EQ(scene_->m_nPhase, 1);
}

TEST_F(WorldMapSceneTest, MapImageShowsCellsIconsAndBackground) {
  // A 3 x 2 map: the view around (1, 1) leaves most of the screen outside it.
  g_WorldMap.SetSize(3, 2);
  g_WorldMap.m_Worlds[7].m_bBlocked = 0;
  for (std::int32_t& kind : g_WorldMap.m_Grid) kind = 5;
  g_WorldMap.m_Grid[0] = 7;  // chip 7: column 2, row 1 of the chip sheet
  g_WorldMap.m_Worlds[5].m_nPicture = 0;
  g_WorldMap.m_nBgColor = 3;
  cEdMapPointEntry& road = AddPoint(2, 0, MAP_ENTRY_ROAD);
  road.m_nPictureRow = 1;
  road.m_nStage = 8;
  cEdMapPointEntry& stage = AddPoint(2, 1);
  stage.m_nPictureRow = 1;
  stage.m_nStage = 9;
  stage.m_bAskFirst = 1;
  g_PlayRecord.m_Switches[9] = 1;
  PlaceHero(1, 1);
  StartOnMap();
  DDSURFACEDATA* image = &g_SurfaceData[BMP_MAP_IMAGE];
  // Cell (0, 0) is screen cell (8, 6).
  EXPECT_EQ(Px(image, 8 * 32 + 5, 6 * 32 + 5), kChip7);
  EXPECT_EQ(Px(image, 9 * 32 + 5, 6 * 32 + 5), kChip0);
  EXPECT_EQ(Px(image, 10 * 32 + 5, 6 * 32 + 5), kIcon);
  EXPECT_EQ(Px(image, 10 * 32 + 5, 7 * 32 + 5), kIconCleared);
  EXPECT_EQ(Px(image, 7 * 32 + 5, 6 * 32 + 5), PaletteColour(3));
  EXPECT_EQ(Px(image, 11 * 32 + 5, 8 * 32 + 5), PaletteColour(3));

  // The background picture starts at the map's top-left corner.
  g_WorldMap.m_bBgPicture = 1;
  StartOnMap();
  EXPECT_EQ(Px(image, 8 * 32 - 1, 6 * 32 + 40), PaletteColour(3));
  EXPECT_EQ(Px(image, 11 * 32 + 5, 8 * 32 + 5), kBackPicture);
  Frame();
  EXPECT_EQ(Px(&BackBuffer, 11 * 32 + 5, 8 * 32 + 5), kBackPicture);
}

TEST_F(WorldMapSceneTest, HeroFacesHisWayWalksAndTheLivesWindowSizesToTheCount) {
  g_System.m_bMapShowLives = 1;
  g_PlayRecord.m_nLives = 123;
  g_PlayRecord.m_nMapFacing = 1;
  PlaceHero(5, 5);
  StartOnMap();
  Frame();
  EXPECT_EQ(Px(&BackBuffer, 290, 226), HeroColour(1, 0));
  EXPECT_EQ(Px(&BackBuffer, 557 + 2, 19 + 2), kLifeIcon);  // 64 wide for three digits
  Step(cPad::DirLeft);
  EXPECT_EQ(Px(&BackBuffer, 290, 226), HeroColour(2, 0));
  int changes = 0;
  std::uint32_t last = Px(&BackBuffer, 290, 226);
  for (int i = 0; i < 80; ++i) {
    Frame();
    const std::uint32_t now = Px(&BackBuffer, 290, 226);
    if (now != last) ++changes;
    last = now;
    EXPECT_TRUE(now == HeroColour(2, 0) || now == HeroColour(2, 1));
  }
  EXPECT_EQ(changes, 2);  // one step and back in 80 frames

  g_PlayRecord.m_nLives = UNLIMITED_LIVES;
  Frame();
  EXPECT_EQ(Px(&BackBuffer, 621 - 32 + 2, 19 + 2), kLifeIcon);
}

TEST_F(WorldMapSceneTest, AskFirstBoxEntersTheStageOrStays) {
  const std::string stem = WriteStage("s1");
  cEdMapPointEntry& entry = AddPoint(5, 5);
  entry.m_bAskFirst = 1;
  entry.m_nStage = 4;
  entry.m_strStageFile = stem;
  cEdMapPointEntry& missing = AddPoint(6, 5);
  missing.m_bAskFirst = 1;
  missing.m_nStage = 5;
  missing.m_strStageFile = "data\\stg4\\gone-1.stg4";
  PlaceHero(5, 5);
  StartOnMap();
  EXPECT_EQ(g_PlayRecord.m_strStageName, "data\\stg4\\s1.");  // the point's key is chosen

  // "No" is preselected; confirming it stays on the point.
  Press();
  ASSERT_EQ(scene_->m_nPhase, 2);
  Frame();
  EXPECT_EQ(g_MenuCursor.m_pTop->m_nRow, 1);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 2u);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(Cell(), std::make_pair(5, 5));
  EXPECT_EQ(g_MenuCursor.m_States.size(), 1u);

  // A stage that does not load: the box, and the map stays even on "yes".
  Step(cPad::DirRight);
  Press();
  Frame();
  ASSERT_EQ(g_Boxes.size(), 1u);
  EXPECT_EQ(g_Boxes[0], "ステージファイル data\\stg4\\gone-1.stg4 が読み込めません！");
  Frame(0, cPad::DirUp);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(Cell(), std::make_pair(6, 5));
  EXPECT_EQ(closes_, 0);

  // "Yes" enters the loaded stage.
  Step(cPad::DirLeft);
  Press();
  Frame();
  Frame(0, cPad::DirUp);
  Press();
  ASSERT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(g_PlayRecord.m_nStage, 4);
  EXPECT_EQ(g_PlayRecord.m_nPart, 1);
  EXPECT_EQ(g_PlayRecord.m_pMapEntry, &entry);
  EXPECT_EQ(g_PlayRecord.m_strStageName, "data\\stg4\\s1.");
  EXPECT_EQ(g_PlayRecord.m_nMapX, 5);
  EXPECT_EQ(g_PlayRecord.m_nMapFacing, 2);
  EXPECT_EQ(g_Stage.m_strPath, stem + "_001");
  EXPECT_EQ(Leave(), SCENE_STAGE);
}

TEST_F(WorldMapSceneTest, StartLivesOfTheStageEntered) {
  struct Case {
    int carry, unlimited;
    std::int32_t startLives;
  };
  const Case cases[] = {{0, 0, 5}, {1, 0, 4 + 1}, {1, 1, UNLIMITED_LIVES}, {0, 1, UNLIMITED_LIVES}};
  const std::string stem = WriteStage("s1");
  cEdMapPointEntry& entry = AddPoint(5, 5);
  entry.m_bAskFirst = 1;
  entry.m_nStage = 1;
  entry.m_strStageFile = stem;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.carry << c.unlimited);
    g_System.m_bStoryCarryLives = c.carry;
    g_System.m_UnlimitedLives[0] = c.unlimited;
    g_PlayRecord.m_nLives = 4;
    g_SceneManager.m_nScene = SCENE_WORLDMAP;
    PlaceHero(5, 5);
    StartOnMap();
    Press();
    Frame();
    Frame(0, cPad::DirUp);
    Press();
    ASSERT_EQ(scene_->m_nPhase, 3);
    EXPECT_EQ(g_PlayRecord.m_nStartLives, c.startLives);
  }
}

TEST_F(WorldMapSceneTest, WalkingOntoAStageOpensTheBoxAndNoStepsBack) {
  cEdMapPointEntry& entry = AddPoint(6, 5);
  entry.m_nStage = 2;
  entry.m_strStageFile = WriteStage("s2");
  PlaceHero(5, 5);
  StartOnMap();
  Step(cPad::DirRight);
  ASSERT_EQ(scene_->m_nPhase, 2);
  EXPECT_EQ(g_PlayRecord.m_nMapX, 6);
  Press(2);  // cancel answers "no"
  EXPECT_EQ(scene_->m_nPhase, 1);
  EXPECT_EQ(Cell(), std::make_pair(5, 5));
  EXPECT_EQ(scene_->m_nViewX, 5 - 9);

  // Cleared, it asks for confirm; without re-entry the press does nothing.
  g_PlayRecord.m_Switches[2] = 1;
  Step(cPad::DirRight);
  EXPECT_EQ(scene_->m_nPhase, 1);
  Press();
  EXPECT_EQ(scene_->m_nPhase, 1);
  entry.m_bReplayAfterClear = 1;
  Press();
  EXPECT_EQ(scene_->m_nPhase, 2);
}

TEST_F(WorldMapSceneTest, NewGameOnAStageEntersItAfterTheFadeIn) {
  cEdMapPointEntry& entry = AddPoint(5, 5);
  entry.m_nStage = 1;
  entry.m_strStageFile = WriteStage("s1");
  PlaceHero(5, 5);
  Start();
  ASSERT_EQ(scene_->m_nPhase, 3);
  EXPECT_TRUE(g_Boxes.empty());
  EXPECT_EQ(g_PlayRecord.m_nStage, 1);
  EXPECT_EQ(g_PlayRecord.m_nPrevMapX, 5);
  EXPECT_EQ(Leave(), SCENE_STAGE);

  // An ask-first point keeps the hero on the map.
  entry.m_bAskFirst = 1;
  g_SceneManager.m_nScene = SCENE_WORLDMAP;
  StartOnMap();

  // A start stage that does not load closes the game once, on the map.
  entry.m_bAskFirst = 0;
  entry.m_strStageFile = "data\\stg4\\gone-1.stg4";
  Start();
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(scene_->m_nPhase, 0);
  ASSERT_EQ(g_Boxes.size(), 1u);
  EXPECT_EQ(g_Boxes[0], "ステージファイル data\\stg4\\gone-1.stg4 が読み込めません！");
  EXPECT_EQ(closes_, 1);
}

TEST_F(WorldMapSceneTest, GivingUpAStagePutsTheHeroBackWhereHeCameFrom) {
  cEdMapPointEntry& entry = AddPoint(6, 5);
  entry.m_nStage = 2;
  entry.m_strStageFile = WriteStage("s2");
  for (bool cleared : {false, true}) {
    SCOPED_TRACE(cleared);
    g_PlayRecord.m_Switches[2] = cleared;
    g_PlayRecord.m_bBackOnMap = 1;
    g_PlayRecord.m_nPrevMapX = 5;
    g_PlayRecord.m_nPrevMapY = 4;
    PlaceHero(6, 5);
    StartOnMap();
    EXPECT_EQ(g_PlayRecord.m_bBackOnMap, 0);
    EXPECT_EQ(Cell(), cleared ? std::make_pair(6, 5) : std::make_pair(5, 4));
    EXPECT_EQ(g_LastMapView.x, Cell().first - 9);
    EXPECT_EQ(g_LastMapView.y, Cell().second - 7);
    Frame();
    EXPECT_EQ(scene_->m_nPhase, 1);
  }
}

TEST_F(WorldMapSceneTest, ReturnFromAStageSavesWhenAutoSaveIsOn) {
  struct Case {
    int autoSave;
    std::int32_t prev;
    bool saved;
  };
  const Case cases[] = {{1, SCENE_STAGE, true}, {1, SCENE_MAPMENU, false}, {0, SCENE_STAGE, false}};
  int slot = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(slot);
    g_PlayRecord.m_nSlot = slot;
    g_PlayRecord.m_bAutoSave = c.autoSave;
    g_SceneManager.m_nPrevScene = c.prev;
    PlaceHero(3, 2);
    StartOnMap();
    std::string path;
    ASSERT_TRUE(MakeSlotPath(path, slot));
    EXPECT_EQ(plat::fs::isFile(path), c.saved);
    if (c.saved) {
      cPlayRecord loaded;
      ASSERT_EQ(loaded.LoadSlot(slot), 1);
      EXPECT_EQ(loaded.m_nMapX, 3);
      EXPECT_EQ(loaded.m_nMapY, 2);
    }
    ++slot;
  }
}

TEST_F(WorldMapSceneTest, CancelOpensTheMapMenu) {
  PlaceHero(5, 5);
  StartOnMap();
  Step(cPad::DirDown);
  Press(2);
  ASSERT_EQ(scene_->m_nPhase, 3);
  EXPECT_EQ(g_PlayRecord.m_nMapX, 5);
  EXPECT_EQ(g_PlayRecord.m_nMapY, 6);
  EXPECT_EQ(Leave(), SCENE_MAPMENU);
  EXPECT_EQ(g_MenuCursor.m_States.size(), 1u);
}

TEST_F(WorldMapSceneTest, RankingKeysOnAStagePoint) {
  cEdMapPointEntry& entry = AddPoint(5, 5);
  entry.m_bAskFirst = 1;
  entry.m_nStage = 1;
  entry.m_strStageFile = "data\\stg4\\s1-1.stg4";
  PlaceHero(5, 5);
  // Without rankings the C key only hides a panel left shown.
  g_System.m_GameModes[0].m_bRanks = 0;
  g_PlayRecord.m_bShowRanking = 1;
  StartOnMap();
  Press(4);
  EXPECT_EQ(g_PlayRecord.m_bShowRanking, 0);
  Press(4);
  EXPECT_EQ(g_PlayRecord.m_bShowRanking, 0);

  g_System.m_GameModes[0].m_bRanks = 1;
  g_System.m_GameModes[0].m_RankedQuantities.assign(5, 0);
  g_System.m_GameModes[0].m_RankedQuantities[0] = g_System.m_GameModes[0].m_RankedQuantities[2] = 1;
  Press(4);
  EXPECT_EQ(g_PlayRecord.m_bShowRanking, 1);
  g_PlayRecord.m_nRankView = 0;
  Press(8);
  EXPECT_EQ(g_PlayRecord.m_nRankView, 2);
  Press(4);
  EXPECT_EQ(g_PlayRecord.m_bShowRanking, 0);

  // Off a stage point the keys do nothing.
  Step(cPad::DirDown);
  Press(4);
  EXPECT_EQ(g_PlayRecord.m_bShowRanking, 0);
}

}  // namespace
