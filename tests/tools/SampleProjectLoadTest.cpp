// The sample project's data, copied to "data\" as the player's first start does, loads
// in start-up order through the record classes, names only files that exist and load,
// and saves back to the same bytes (the tool writes normalised records).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "base/Log.h"
#include "app/SystemIni.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Database.h"
#include "gamedata/Palette.h"
#include "gamedata/ProjectRefs.h"
#include "stage/RunTimeTables.h"
#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "gamedata/WorldMap.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "platform/wav.h"
#include "platform/winnum.h"
#include "sound/MidiFile.h"
#include "test_support/TempDir.h"

namespace {

int g_nBoxes = 0;
int AnswerYes(std::string_view, std::string_view, int) {
  ++g_nBoxes;
  return plat::answer::Yes;
}

class SampleProjectLoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    project_ = new test_support::TempDir;
    const std::string cmd =
        std::string("\"") + PELLMOOR_BINARY_DIR + "/make-sample\" \"" + project_->path() + "/game\" > /dev/null";
    made_ = std::system(cmd.c_str()) == 0;
  }
  static void TearDownTestSuite() {
    delete project_;
    project_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(made_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(project_->path() + "/game");
    plat::fs::invalidateCache();
    ASSERT_TRUE(OpenReport("Report_Game.txt"));
    SetFullScreenBoxRoute(AnswerYes);
    g_nBoxes = 0;
    g_nDataVersion = CURRENT_DATA_VERSION;
    g_bStripCR = 1;
    InstallDataRefs();
  }
  void TearDown() override {
    SetFullScreenBoxRoute(nullptr);
    SetDataRefs(nullptr);
    g_bStripCR = 0;
    g_Database = cEdDatabase();
    g_System = cEdSystem();
    g_WorldMap = cEdWorldMap();
    g_CommonPalette = cEdPalette();
    g_Stage = cEdStage();
    g_StartStage = cEdStage();
    std::filesystem::current_path(old_);
    plat::fs::invalidateCache();
  }

  // The first start: "data\" made from "default\", then the reads of start-up in order.
  static void LoadProject() {
    std::filesystem::remove_all("data");
    plat::fs::invalidateCache();
    ASSERT_EQ(CreateDefaultData(), 1);
    ASSERT_TRUE(g_Database.LoadAll());
    BuildDatabaseTables();
    ASSERT_EQ(g_System.LoadFromFile(g_PathTable[PATH_SYSTEM]), 1);
    ASSERT_EQ(g_WorldMap.LoadFromFile(g_PathTable[PATH_WORLD_MAP]), 1);
    ASSERT_EQ(LoadCommonPalette(), 1);
  }

  static bool LoadsAsWav(const std::string& path) {
    const auto bytes = plat::fs::readFile(path);
    plat::audio::WavView view;
    return bytes &&
           plat::audio::parseWav(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()),
                                 view) == plat::audio::WavError::None;
  }

  static inline test_support::TempDir* project_ = nullptr;
  static inline bool made_ = false;
  std::filesystem::path old_;
};

TEST_F(SampleProjectLoad, StartUpReadsEveryFileAndEntersTheFirstStage) {
  LoadProject();
  EXPECT_EQ(g_nBoxes, 1);  // the question before the copy, and no error box

  SYSTEMINIDATA ini;
  SetSystemIniDefaults(ini, g_System.m_Settings);
  ASSERT_EQ(LoadSystemIni("System.ini", ini, g_System.m_Settings), 1);
  EXPECT_EQ(ini.m_nDirect3D, 1);
  EXPECT_EQ(ini.m_nWindowMode, 1);
  EXPECT_EQ(ini.m_nVSync, 1);

  // Every list of the settings at its full count; the scene music survived the check
  // against the music database.
  EXPECT_EQ(g_System.m_Texts.Size(), SYSTEM_TEXT_COUNT);
  EXPECT_EQ(g_System.m_TitleMenu.Size(), TITLE_MENU_COUNT);
  // Every row of the options scene says what it changes (row 0: the palette variant).
  ASSERT_EQ(g_System.m_OptionMenu.Size(), OPTION_MENU_COUNT);
  for (int kind = 0; kind < OPTION_MENU_COUNT; ++kind)
    EXPECT_FALSE(g_System.m_OptionMenu[kind].m_strText.empty()) << kind;
  EXPECT_EQ(g_System.m_Settings.Size(), SYSTEM_SETTING_COUNT);
  ASSERT_EQ(g_System.m_SoundFiles.Size(), SYSTEM_SOUND_COUNT);
  for (const std::string& file : g_System.m_SoundFiles) EXPECT_TRUE(LoadsAsWav(file)) << file;
  for (int scene = 0; scene < SCENE_BGM_COUNT; ++scene) EXPECT_GT(g_System.m_SceneBgm[scene], 0) << scene;

  // What the databases name exists and loads.
  for (int i = 1; i < g_Database.m_Sounds.Size(); ++i) EXPECT_TRUE(LoadsAsWav(g_Database.m_Sounds[i].m_strFile)) << i;
  for (int i = 1; i < g_Database.m_Bgms.Size(); ++i) {
    cMidiFile midi(g_Database.m_Bgms[i].m_strFile);
    EXPECT_FALSE(midi.m_lpImage.empty()) << g_Database.m_Bgms[i].m_strFile;
  }
  for (int i = 1; i < g_Database.m_Effects.Size(); ++i)
    EXPECT_TRUE(plat::bmp::load(g_Database.m_Effects[i].m_strFile)) << g_Database.m_Effects[i].m_strFile;
  EXPECT_EQ(g_Database.m_AnimeSets.Size(), 2);
  EXPECT_EQ(g_Database.m_CharaEffects[1].m_nKind, CHARA_EFFECT_BLINK);

  // Every stage of the world map loads; its start cell holds the point of the first.
  for (const cEdMapPoint& p : g_WorldMap.m_Points)
    for (const cEdMapPointEntry& e : p.m_Entries)
      if (e.m_nKind == 0) { EXPECT_EQ(LoadStage(e.m_strStageFile, 1, &g_StartStage), 1) << e.m_strStageFile; }
  const cEdMapPoint* point = g_WorldMap.FindPoint(g_WorldMap.m_nStartX, g_WorldMap.m_nStartY);
  ASSERT_NE(point, nullptr);
  const std::string stage = point->m_Entries[0].m_strStageFile;
  ASSERT_EQ(LoadStage(stage, 1, &g_StartStage), 1);
  EXPECT_EQ(g_Stage.m_strPath, stage + "_001");
  EXPECT_EQ(g_Stage.m_nBgm, 3);
  for (const cEdBackground& layer : g_Stage.m_Backgrounds)
    if (!layer.m_strBitmap.empty()) { EXPECT_TRUE(plat::bmp::load(layer.m_strBitmap)) << layer.m_strBitmap; }

  // The objects came through the load's checks whole: the hero with its walking,
  // jumping and shooting flows, the enemy with its walk, no carried items, a goal that
  // clears.
  const int hero = g_Stage.FindHero();
  ASSERT_EQ(hero, 0);
  EXPECT_EQ(g_Stage.m_Charas[hero].m_Flows.Size(), 4);
  EXPECT_EQ(g_Stage.m_Charas[hero].m_nAnimeSet, 1);
  ASSERT_EQ(g_Stage.m_Charas.Size(), 2);
  EXPECT_EQ(g_Stage.m_Charas[1].m_Flows.Size(), 1);
  for (const cEdChara& chara : g_Stage.m_Charas) EXPECT_EQ(chara.m_nCarriedItem, -1);
  int goals = 0;
  for (const cEdItem& item : g_Stage.m_Items)
    for (const cEdCommand& command : item.m_Commands)
      goals += command.m_nSet == 1 && command.CharaType() == CMD_STAGE_CLEAR;
  EXPECT_EQ(goals, 1);

  // The challenge stage is where stage select looks for it.
  EXPECT_EQ(LoadStage(std::string(g_PathTable[PATH_CHALLENGE_STAGE]) + "01-1.stg4", 1, nullptr), 1);
}

TEST_F(SampleProjectLoad, RecordsSaveBackToTheSameBytes) {
  LoadProject();
  ASSERT_EQ(g_Stage.LoadFromFile("data\\stg4\\Stage01-1.stg4_001"), 1);
  struct Case {
    cRecord* record;
    const char* path;
  };
  const Case cases[] = {
      {&g_System, g_PathTable[PATH_SYSTEM]},
      {&g_WorldMap, g_PathTable[PATH_WORLD_MAP]},
      {&g_CommonPalette, g_PathTable[PATH_COMMON_PALETTE]},
      {&g_Stage, "data\\stg4\\Stage01-1.stg4_001"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.record->SaveToFile("resaved.dat"), 1) << c.path;
    EXPECT_EQ(plat::fs::readFile("resaved.dat"), plat::fs::readFile(c.path)) << c.path;
  }
  auto resave = [](auto& list, int file) {
    const char* path = g_PathTable[PATH_ANIME_SET + 2 * file];
    ASSERT_TRUE(SaveDatabaseFile(list, "resaved.dat")) << path;
    EXPECT_EQ(plat::fs::readFile("resaved.dat"), plat::fs::readFile(path)) << path;
  };
  cEdDatabase& db = g_Database;
  resave(db.m_AnimeSets, 0);
  resave(db.m_Animes, 1);
  resave(db.m_BmpCharaExcs, 2);
  resave(db.m_SwordTypes, 3);
  resave(db.m_Effects, 4);
  resave(db.m_CharaEffects, 5);
  resave(db.m_ScrEffects, 6);
  resave(db.m_Pictures, 7);
  resave(db.m_Sounds, 8);
  resave(db.m_Bgms, 9);
}

// The challenge list holds stages of its own, not the story's again.
TEST_F(SampleProjectLoad, ChallengeStagesAreTheirOwn) {
  LoadProject();
  std::set<std::string> headers;
  for (const char* name : {"Stage01-1", "Stage02-1", "Stage03-1", "Stage04-1", "c01-1", "c02-1"}) {
    ASSERT_EQ(LoadStage(std::string("data\\stg4\\") + name + ".stg4", 1, nullptr), 1) << name;
    EXPECT_TRUE(headers.insert(g_Stage.m_strHeader).second) << name << " repeats " << g_Stage.m_strHeader;
  }
  for (const char* name : {"c01-1", "c02-1"}) {
    const auto challenge = plat::fs::readFile(std::string("data\\stg4\\") + name + ".stg4_001");
    ASSERT_TRUE(challenge) << name;
    for (const char* story : {"Stage01-1", "Stage02-1", "Stage03-1", "Stage04-1"})
      EXPECT_NE(challenge, plat::fs::readFile(std::string("data\\stg4\\") + story + ".stg4_001")) << name;
  }
}

// Every kind of block, item and flow command is used by some stage of the sample (the
// gallery collects what the story and challenge stages leave out).
TEST_F(SampleProjectLoad, EveryKindOfBlockItemAndCommandIsUsed) {
  LoadProject();
  std::set<int> commands, itemCommands, hits, effects, takeModes;
  bool bItemBlock = false, bPassGroup = false, bHidden = false, bFront = false, bFixed = false, bMark = false,
       bBlockChara = false;
  auto addCommands = [&](auto& self, const cVector<cEdCommand>& list) -> void {
    for (const cEdCommand& c : list) {
      (c.m_nSet == 0 ? commands : itemCommands).insert(c.m_nType);
      if (c.m_nSet != 0 && c.m_nType != ITEM_CMD_FLOW_CHANGE) commands.insert(c.CharaType());
      for (const cEdFlow& f : c.m_Flows) self(self, f.m_Commands);
    }
  };
  const char* const stages[] = {"Stage01-1", "Stage02-1", "Stage03-1", "Stage04-1", "c01-1", "c02-1", "Gallery-1"};
  for (const char* name : stages) {
    ASSERT_EQ(LoadStage(std::string("data\\stg4\\") + name + ".stg4", 1, nullptr), 1) << name;
    for (const cEdBlock& b : g_Stage.m_Blocks) {
      hits.insert(b.m_nHit);
      effects.insert(b.m_nEffect);
      bItemBlock |= b.m_nItemPalette != 0;
      bPassGroup |= b.m_nPassGroup >= 0;
      bHidden |= b.m_bTransparent != 0;
      bFront |= b.m_nLayer != 0;
      bFixed |= b.m_bFixed != 0;
      bMark |= b.m_nMarkShow == 1;
    }
    for (const cEdChara& c : g_Stage.m_Charas) {
      bBlockChara |= c.m_bBlockChara != 0;
      for (const cEdFlow& f : c.m_Flows) addCommands(addCommands, f.m_Commands);
    }
    for (const cEdItem& item : g_Stage.m_Items) {
      takeModes.insert(item.m_nTakeMode);
      addCommands(addCommands, item.m_Commands);
    }
  }
  // Items that only blocks or summons hand out live in the common palette.
  for (const cEdItem& item : g_CommonPalette.m_Items) addCommands(addCommands, item.m_Commands);

  for (int type = 1; type < COMMAND_TYPE_COUNT; ++type) EXPECT_TRUE(commands.count(type)) << "command type " << type;
  EXPECT_TRUE(itemCommands.count(ITEM_CMD_FLOW_CHANGE));
  EXPECT_EQ(hits, (std::set<int>{0, 1, 2}));
  EXPECT_EQ(effects, (std::set<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(takeModes, (std::set<int>{0, 1, 2}));
  EXPECT_TRUE(bItemBlock && bPassGroup && bHidden && bFront && bFixed && bMark && bBlockChara);
}

}  // namespace
