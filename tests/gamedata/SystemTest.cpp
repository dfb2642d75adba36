#include "gamedata/System.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "FakeRefs.h"
#include "gamedata/Database.h"
#include "gamedata/ProjectRefs.h"
#include "gamedata/RecordList.h"
#include "RecordTestUtil.h"

namespace {

class SystemTest : public rt::RecordFixture {
 protected:
  void TearDown() override {
    g_System.SetDefaults();
    g_Database.Reset();
    rt::RecordFixture::TearDown();
  }
  rt::ScopedRefs refs_;  // four music entries
};

// The settings as a file of an older version holds them: the body in that version's
// layout, the lists that version had.
std::string OldSystemBody(cEdSystem& s, std::uint32_t v) {
  rt::ScopedDataVersion version(v);
  cDataWriter out;
  s.cRecord::Save(out);
  SaveValueList(out, s.m_CarryOver);
  if (v >= 501) SaveValueList(out, s.m_CarryReset);
  SaveRecordList(out, s.m_HudItems);
  SaveValueList(out, s.m_StartLives);
  if (v >= 191) SaveValueList(out, s.m_UnlimitedLives);
  if (v >= 186) SaveRecordList(out, s.m_GameModes);
  SaveStringList(out, s.m_Texts);
  SaveStringList(out, s.m_SoundFiles);
  SaveValueList(out, s.m_SceneBgm);
  if (v >= 202) SaveValueList(out, s.m_SceneBgmLoop);
  SaveRecordList(out, s.m_TitleMenu);
  SaveRecordList(out, s.m_MapMenu);
  SaveRecordList(out, s.m_OptionMenu);
  SaveRecordList(out, s.m_Settings);
  return out.Bytes();
}

cEdSystem LoadedAs(cEdSystem stored, std::uint32_t v) {
  cEdSystem loaded;
  EXPECT_TRUE(rt::LoadBody(loaded, OldSystemBody(stored, v), v)) << v;
  return loaded;
}

std::vector<std::string> TextsOf(const cEdSystem& s) { return {s.m_Texts.begin(), s.m_Texts.end()}; }

TEST_F(SystemTest, NewProject) {
  const cEdSystem s;
  struct Value {
    const char* name;
    std::int32_t actual, expected;
  };
  const Value values[] = {
      // clang-format off
      {"extend", s.m_bExtend, 0},           {"extend score", s.m_nExtendScore, 100},
      {"font face", s.m_nFontFace, 60},     {"title picture", s.m_bTitleMenuPicture, 1},
      {"challenge stages", s.m_nChallengeStages, 40}, {"test restore", s.m_bTestRestoreVars, 0},
      {"story pause menu", s.m_bStoryPauseMenu, 1},   {"colour mode", s.m_nColorMode, 0},
      {"green", s.m_nTransparentG, 0},      {"palette cycle", s.m_bPaletteCycle, 0},
      {"keep foot", s.m_bKeepFootOnScale, 0}, {"free restore", s.m_bFreeRestoreVars, 1},
      // clang-format on
  };
  for (const Value& v : values) EXPECT_EQ(v.actual, v.expected) << v.name;
  EXPECT_EQ(s.m_strTitle, "");

  std::vector<int> carried, reset;
  for (int i = 0; i < s.m_CarryOver.Size(); ++i) {
    if (s.m_CarryOver[i]) carried.push_back(i);
  }
  for (int i = 0; i < s.m_CarryReset.Size(); ++i) {
    if (s.m_CarryReset[i]) reset.push_back(i);
  }
  EXPECT_EQ(s.m_CarryOver.size(), 25u);
  EXPECT_EQ(carried, (std::vector<int>{0, 1, 13, 14, 16, 17, 19, 20, 21}));
  EXPECT_EQ(s.m_CarryReset.size(), 25u);
  EXPECT_EQ(reset, (std::vector<int>{11, 12}));

  ASSERT_EQ(s.m_HudItems.size(), 5u);
  EXPECT_EQ(std::tuple(s.m_HudItems[0].m_bShow, s.m_HudItems[0].m_bIcon, s.m_HudItems[0].m_bShowNumber,
                       s.m_HudItems[0].m_nWidth, s.m_HudItems[0].m_strLabel),
            std::tuple(1, 1, 0, 4, "スコア"));
  EXPECT_EQ(s.m_HudItems[4].m_strLabel, "人");
  EXPECT_EQ(s.m_HudItems[4].m_nWidth, 2);
  EXPECT_EQ(s.m_StartLives, (cVector<std::int32_t>{5, 5, 5, 99}));
  EXPECT_EQ(s.m_UnlimitedLives, (cVector<std::int32_t>{1, 1, 1, 1}));
  EXPECT_EQ(s.CountRankedQuantities(GAME_MODE_STORY), 5);
  EXPECT_EQ(s.CountRankedQuantities(GAME_MODE_REPLAY), 0);

  ASSERT_EQ(s.m_Texts.size(), 28u);
  EXPECT_EQ(s.m_Texts[0], "ワールド");
  EXPECT_EQ(s.m_Texts[16], "保存先が不明です！一度は「セーブ」して下さい！");
  EXPECT_EQ(s.m_Texts[27], "F3キーでランキングへ登録");
  EXPECT_EQ(s.m_SoundFiles, cVector<std::string>(17));
  EXPECT_EQ(s.m_SceneBgm, (cVector<std::int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(s.m_SceneBgmLoop, (cVector<std::uint8_t>{1, 1, 1, 1}));

  ASSERT_EQ(s.m_TitleMenu.size(), 7u);
  EXPECT_EQ(s.m_TitleMenu[6].m_strText, "しゅうりょう");
  ASSERT_EQ(s.m_MapMenu.size(), 4u);
  EXPECT_EQ(s.m_MapMenu[1].m_strText, "オートセーブ");
  ASSERT_EQ(s.m_OptionMenu.size(), 6u);
  EXPECT_EQ(s.m_OptionMenu[0].m_strText, "");
  EXPECT_EQ(s.m_OptionMenu[5].m_strText, "もどる");
  for (const auto* menu : {&s.m_TitleMenu, &s.m_MapMenu, &s.m_OptionMenu}) {
    for (const cEdMenuItem& item : *menu) EXPECT_EQ(item.m_bEnabled, 1);
  }

  ASSERT_EQ(s.m_Settings.size(), 6u);
  const std::tuple<std::string, int, int> settings[] = {{"Direct3D", 0, 2}, {"WindowMode", 0, 0}, {"Bpp", 0, 0},
                                                        {"VSync", 0, 2},    {"ShowFps", 0, 0},    {"FreeStage", 1, 0}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(std::tuple(s.m_Settings[i].m_strName, s.m_Settings[i].m_nKind, s.m_Settings[i].m_nDefault), settings[i]);
  }
}

TEST_F(SystemTest, FileRoundTrip) {
  cEdSystem s;
  s.m_strTitle = "ゲーム";
  s.m_nColorMode = 1;
  s.m_nTransparentG = 200;
  s.m_bPaletteCycle = 1;
  s.m_SceneBgm = {1, 2, 3, 0};
  s.m_SoundFiles[16] = "wave\\sys16.wav";
  s.m_GameModes[1].m_RankedQuantities = {0, 1, 0, 1, 1};
  s.m_MapMenu[2].m_bEnabled = 0;
  s.m_Settings[5].m_strDefault = "data\\stg4\\a.stg4";
  ASSERT_EQ(s.SaveToFile("System.dat"), 1);

  const std::string file = *plat::fs::readFile("System.dat");
  EXPECT_EQ(rt::ReadU32At(file, 0), 513u);
  EXPECT_EQ(rt::ReadU32At(file, 4), 33u);       // members
  EXPECT_EQ(rt::ReadU32At(file, 8 + 123), 1u);  // strings after 123 bytes of members
  cEdSystem back;
  ASSERT_EQ(back.LoadFromFile("System.dat"), 1);
  EXPECT_TRUE(rt::SameBytes(rt::SaveBody(back), rt::SaveBody(s)));
  EXPECT_EQ(back.m_strTitle, "ゲーム");
  EXPECT_EQ(back.CountRankedQuantities(GAME_MODE_CHALLENGE), 3);
}

// Each row: a member that a version added, as an older file gives it (the upgrade's
// value) and as the version itself stores it.
TEST_F(SystemTest, UpgradedSwitches) {
  struct Case {
    std::uint32_t version;  // first version that stores the member
    std::int32_t cEdSystem::*member;
    std::int32_t upgraded;
  };
  const Case cases[] = {
      // clang-format off
      {113, &cEdSystem::m_bKeepTestOnlyFlows, 0}, {157, &cEdSystem::m_bTitleMenuPicture, 0},
      {167, &cEdSystem::m_bMapShowScore, 1},      {167, &cEdSystem::m_bSelectShowTotal, 1},
      {170, &cEdSystem::m_bCentreFont, 0},        {184, &cEdSystem::m_bRecordReplay, 1},
      {185, &cEdSystem::m_bExtend, 1},            {187, &cEdSystem::m_nColorMode, 0},
      {188, &cEdSystem::m_bChallengeRestoreVars, 1}, {191, &cEdSystem::m_bStoryContinueOnMiss, 0},
      {191, &cEdSystem::m_bMapShowLives, 0},      {192, &cEdSystem::m_bTestRestoreVars, 1},
      {205, &cEdSystem::m_nFontFace, 60},         {214, &cEdSystem::m_bScrollMoveRule, 1},
      {224, &cEdSystem::m_bChallengePauseMenu, 0}, {261, &cEdSystem::m_bKeepFootOnScale, 1},
      {272, &cEdSystem::m_bEndCheckRule, 0},      {287, &cEdSystem::m_bInvincibleColor, 1},
      // clang-format on
  };
  for (const Case& c : cases) {
    cEdSystem stored;
    stored.*c.member = 7;
    EXPECT_EQ(LoadedAs(stored, c.version - 1).*c.member, c.upgraded) << c.version;
    EXPECT_EQ(LoadedAs(stored, c.version).*c.member, 7) << c.version;
  }
}

TEST_F(SystemTest, UpgradedLists) {
  struct Case {
    const char* name;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"version 160: the texts of later versions at the positions of a current file",
       [] {
         cEdSystem stored;
         stored.m_Texts.clear();
         for (int i = 0; i < 21; ++i) stored.m_Texts.push_back("t" + std::to_string(i));
         // clang-format off
         std::vector<std::string> expected = {"t0",  "t1",  "t2",  "t3",  "t4",  "t5",  "t6",
                                              "t7",  "残りHP", "残りSP", "t8", "t9", "t10", "t11",
                                              "オートセーブＯＮ", "オートセーブＯＦＦ",
                                              "保存先が不明です！一度は「セーブ」して下さい！",
                                              "t12", "t13", "t14", "t15", "t16", "リトライ", "マップへ戻る",
                                              "t17", "t18", "t19", "t20"};
         // clang-format on
         EXPECT_EQ(TextsOf(LoadedAs(stored, 160)), expected);
       }},
      {"version 165: 22 carry-over items become 25",
       [] {
         cEdSystem stored;
         stored.m_CarryOver.clear();
         for (int i = 0; i < 22; ++i) stored.m_CarryOver.push_back(static_cast<std::uint8_t>(100 + i));
         cEdSystem s = LoadedAs(stored, 165);
         cVector<std::uint8_t> expected = {100, 101, 102, 103, 104, 105, 106, 107, 108, 0,   109, 110, 111,
                                           112, 113, 0,   114, 115, 1,   116, 117, 118, 119, 120, 121};
         EXPECT_EQ(s.m_CarryOver, expected);
       }},
      {"version 168: the map menu gets auto-save as item 1",
       [] {
         cEdSystem stored;
         stored.m_MapMenu.resize(3);
         stored.m_MapMenu[1].m_strText = "戻";
         stored.m_MapMenu[2].m_bEnabled = 0;
         cEdSystem s = LoadedAs(stored, 168);
         ASSERT_EQ(s.m_MapMenu.size(), 4u);
         EXPECT_EQ(std::tuple(s.m_MapMenu[1].m_bEnabled, s.m_MapMenu[1].m_strText), std::tuple(1, "オートセーブ"));
         EXPECT_EQ(s.m_MapMenu[2].m_strText, "戻");
         EXPECT_EQ(s.m_MapMenu[3].m_bEnabled, 0);
       }},
      {"version 180: game modes rank neither HP nor SP; 185 has no game modes stored",
       [] {
         cEdSystem s = LoadedAs(cEdSystem(), 180);
         EXPECT_EQ(s.m_GameModes[GAME_MODE_STORY].m_RankedQuantities, (cVector<std::uint8_t>{1, 1, 1, 0, 0}));
         EXPECT_EQ(s.CountRankedQuantities(GAME_MODE_FREE), 3);
         EXPECT_EQ(LoadedAs(cEdSystem(), 185).CountRankedQuantities(GAME_MODE_FREE), 5);
       }},
      {"version 190: unlimited lives only in replays",
       [] {
         EXPECT_EQ(LoadedAs(cEdSystem(), 190).m_UnlimitedLives, (cVector<std::int32_t>{0, 0, 0, 1}));
       }},
      {"version 186: transparent colour green",
       [] {
         cEdSystem s = LoadedAs(cEdSystem(), 186);
         EXPECT_EQ(std::tuple(s.m_nTransparentR, s.m_nTransparentG, s.m_nTransparentB), std::tuple(0, 177, 0));
       }},
      {"version 201: every scene's music loops",
       [] {
         cEdSystem stored;
         stored.m_SceneBgmLoop = {0, 0};
         EXPECT_EQ(LoadedAs(stored, 201).m_SceneBgmLoop, (cVector<std::uint8_t>{1, 1, 1, 1}));
         EXPECT_EQ(LoadedAs(stored, 202).m_SceneBgmLoop, (cVector<std::uint8_t>{0, 0}));
       }},
      {"version 203: gauges show their numbers",
       [] {
         EXPECT_EQ(LoadedAs(cEdSystem(), 203).m_HudItems[2].m_bShowNumber, 1);
         EXPECT_EQ(LoadedAs(cEdSystem(), 204).m_HudItems[2].m_bShowNumber, 0);
       }},
      {"version 285: the Direct3D setting comes first, automatic VSync is 2",
       [] {
         cEdSystem stored;
         stored.m_Settings.erase(stored.m_Settings.begin());
         stored.m_Settings[2].m_nDefault = 3;
         cEdSystem s = LoadedAs(stored, 285);
         std::vector<std::pair<std::string, int>> settings;
         for (const cEdSetting& e : s.m_Settings) settings.emplace_back(e.m_strName, e.m_nDefault);
         EXPECT_EQ(
             settings,
             (std::vector<std::pair<std::string, int>>{
                 {"Direct3D", 1}, {"WindowMode", 0}, {"Bpp", 0}, {"VSync", 2}, {"ShowFps", 0}, {"FreeStage", 0}}));
       }},
      {"version 288: palette cycling follows the colour mode",
       [] {
         cEdSystem stored;
         stored.m_nColorMode = 1;
         EXPECT_EQ(LoadedAs(stored, 288).m_bPaletteCycle, 0);
         stored.m_nColorMode = 0;
         EXPECT_EQ(LoadedAs(stored, 288).m_bPaletteCycle, 1);
       }},
      {"version 500: nothing carried is dropped",
       [] { EXPECT_EQ(LoadedAs(cEdSystem(), 500).m_CarryReset, cVector<std::uint8_t>(25)); }},
      {"versions 221 to 259 store one more member, which is read and dropped",
       [] {
         cEdSystem stored;
         stored.m_bScrollMoveRule = 0;
         stored.m_strTitle = "t";
         const std::string v240 = OldSystemBody(stored, 240), v260 = OldSystemBody(stored, 260);
         EXPECT_EQ(v240.size(), v260.size() + 4);
         EXPECT_EQ(rt::ReadU32At(v240, 0), rt::ReadU32At(v260, 0) + 1);
         for (auto [body, version] : {std::pair{v240, 240u}, std::pair{v260, 260u}}) {
           cEdSystem s;
           ASSERT_TRUE(rt::LoadBody(s, body, version));
           EXPECT_EQ(s.m_strTitle, "t");
           EXPECT_EQ(s.m_bScrollMoveRule, 0);
           EXPECT_EQ(s.m_bKeepFootOnScale, 1);
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.check();
  }
}

TEST_F(SystemTest, SceneMusicOutsideTheMusicDatabaseBecomesNone) {
  cEdSystem stored;
  stored.m_SceneBgm = {3, 4, -1, 1};  // four music entries
  cEdSystem s = LoadedAs(stored, 513);
  EXPECT_EQ(s.m_SceneBgm, (cVector<std::int32_t>{3, 0, 0, 1}));
  refs_.refs.databases[DB_BGM] = 2;
  rt::SaveBody(s);
  EXPECT_EQ(s.m_SceneBgm, (cVector<std::int32_t>{0, 0, 0, 1}));
}

TEST_F(SystemTest, DamagedFileLeavesTheNewProject) {
  cEdSystem stored;
  stored.m_strTitle = "x";
  const std::string body = OldSystemBody(stored, 513);
  for (std::size_t n : {std::size_t{0}, std::size_t{9}, body.size() / 2, body.size() - 1}) {
    cEdSystem s;
    s.m_nExtendScore = 5;
    EXPECT_FALSE(rt::LoadBody(s, body.substr(0, n))) << n;
    EXPECT_EQ(s.m_nExtendScore, 100);
    EXPECT_EQ(s.m_strTitle, "");
    EXPECT_EQ(s.m_Texts.size(), 28u);
  }
  EXPECT_EQ(g_System.LoadFromFile("data\\System.dat"), 0);  // missing
}

TEST_F(SystemTest, MenuTexts) {
  EXPECT_EQ(CenteredBoxX(320, 10, 2, 0), 264);  // two texts of 7 characters
  EXPECT_EQ(CenteredBoxX(320, 10, 2, 1), 256);
  EXPECT_EQ(CenteredBoxX(100, 16, 1, 0), 100 - 23 * 16 / 2);
  EXPECT_EQ(CenteredBoxX(7, 10, 0, 1), -1);  // a cursor column, halved toward zero
  EXPECT_EQ(MenuListWidth(10, 2, 1), 128);
  EXPECT_EQ(MenuListText(10, 2, 0), "ステージに挑む\nやっぱりやめる\n");
  EXPECT_EQ(MenuListText(10, 2, 1), " ステージに挑む\n やっぱりやめる\n");
  EXPECT_EQ(MenuListText(3, 0, 1), "");
  g_System.m_Texts[0] = "ab\ncd";
  EXPECT_EQ(MenuListWidth(0, 1, 0), 64);  // a line feed does not count

  // A text outside the list is reported, the game asked to close, and text 0 used.
  EXPECT_EQ(MenuListText(27, 2, 0), "F3キーでランキングへ登録\nab\ncd\n");
  EXPECT_EQ(closes_, 1);
  EXPECT_NE(Report().find("err V[28] ( 28 ,"), std::string::npos);
}

TEST_F(SystemTest, FontFaces) {
  const std::pair<int, const char*> faces[] = {
      {0, "System"},   {59, "ＭＳ ゴシック"},    {60, "ＭＳ Ｐゴシック"}, {100, "メイリオ"},
      {121, "Sydnie"}, {122, "ＭＳ Ｐゴシック"}, {-1, "ＭＳ Ｐゴシック"},
  };
  for (auto [face, name] : faces) EXPECT_STREQ(FontFaceName(face), name) << face;
  EXPECT_STREQ(g_ColorModeNames[1], "1677万色(24bit) カラーパレットなし");
}

TEST_F(SystemTest, ProjectRefsAnswerFromTheLoadedProject) {
  g_Database.m_Bgms.resize(7);
  g_Database.m_SwordTypes.resize(3);
  g_Database.m_SwordTypes[2].m_Entries.resize(3);
  g_Database.m_SwordTypes[2].m_Entries[1].m_nTime = 40;
  InstallDataRefs();
  const cDataRefs& refs = DataRefs();
  const std::pair<eDatabase, int> sizes[] = {
      {DB_ANIME_SET, 1}, {DB_ANIME, 2}, {DB_SWORD_TYPE, 3}, {DB_CHARA_EFFECT, 2}, {DB_BGM, 7}};
  for (auto [database, size] : sizes) EXPECT_EQ(refs.DatabaseSize(database), size) << database;
  EXPECT_EQ(refs.SwordEntryCount(2), 3);
  EXPECT_EQ(refs.SwordEntryTime(2, 1), 40);
  EXPECT_EQ(refs.SwordEntryTime(2, 3), 0);
  EXPECT_EQ(refs.SwordEntryCount(3), 0);
  EXPECT_EQ(refs.SwordEntryCount(-1), 0);
  EXPECT_FALSE(refs.KeepTestOnlyFlows());
  g_System.m_bKeepTestOnlyFlows = 1;
  EXPECT_TRUE(refs.KeepTestOnlyFlows());

  // System.dat is checked against the installed project.
  cEdSystem stored;
  stored.m_SceneBgm = {6, 7, 0, 0};
  EXPECT_EQ(LoadedAs(stored, 513).m_SceneBgm, (cVector<std::int32_t>{6, 0, 0, 0}));
}

}  // namespace
