// The settings of a new project, the system's default texts and font faces, and the
// measures of the menu boxes that the screens build from the system texts.
#include <algorithm>

#include "base/SjisText.h"
#include "gamedata/System.h"

const char* const g_ColorModeNames[2] = {"256色(8bit) カラーパレットあり", "1677万色(24bit) カラーパレットなし"};

const char* const g_FontFaceNames[FONT_FACE_COUNT] = {
    // clang-format off
    "System", "Terminal", "FixedSys", "Roman", "Script", "Modern", "Small Fonts", "MS Serif", "WST_Czec",
    "WST_Engl", "WST_Fren", "WST_Germ", "WST_Ital", "WST_Span", "WST_Swed", "Courier", "MS Sans Serif", "Marlett",
    "Arial", "Arial CE", "Arial CYR", "Arial Greek", "Arial TUR", "Arial Baltic", "Courier New", "Courier New CE",
    "Courier New CYR", "Courier New Greek", "Courier New TUR", "Courier New Baltic", "Lucida Console",
    "Lucida Sans Unicode", "Times New Roman", "Times New Roman CE", "Times New Roman CYR", "Times New Roman Greek",
    "Times New Roman TUR", "Times New Roman Baltic", "Wingdings", "Symbol", "Verdana", "Arial Black",
    "Comic Sans MS", "Impact", "Georgia", "Franklin Gothic Medium", "Palatino Linotype", "Tahoma", "Trebuchet MS",
    "Webdings", "Estrangelo Edessa", "Gautami", "Latha", "Mangal", "MV Boli", "Raavi", "Shruti", "Tunga", "Sylfaen",
    "ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS UI Gothic", "ＭＳ 明朝", "ＭＳ Ｐ明朝", "Microsoft Sans Serif", "Gulim",
    "GulimChe", "Dotum", "DotumChe", "Batang", "BatangChe", "Gungsuh", "GungsuhChe", "SimSun", "NSimSun",
    "SimSun-PUA", "SimHei", "MingLiU", "PMingLiU", "Arial Narrow", "Book Antiqua", "Bookman Old Style", "Century",
    "Century Gothic", "Garamond", "MS Outlook", "HGｺﾞｼｯｸE", "HGPｺﾞｼｯｸE", "HGSｺﾞｼｯｸE", "HG丸ｺﾞｼｯｸM-PRO",
    "HG創英角ｺﾞｼｯｸUB", "HGP創英角ｺﾞｼｯｸUB", "HGS創英角ｺﾞｼｯｸUB", "HG創英角ﾎﾟｯﾌﾟ体", "HGP創英角ﾎﾟｯﾌﾟ体",
    "HGS創英角ﾎﾟｯﾌﾟ体", "HG正楷書体-PRO", "InMusicSym", "Kartika", "Vrinda", "メイリオ", "MT Extra", "HGｺﾞｼｯｸM",
    "HGPｺﾞｼｯｸM", "HGSｺﾞｼｯｸM", "HG行書体", "HGP行書体", "HGS行書体", "HG教科書体", "HGP教科書体", "HGS教科書体",
    "HG明朝B", "HGP明朝B", "HGS明朝B", "HG明朝E", "HGP明朝E", "HGS明朝E", "HG創英ﾌﾟﾚｾﾞﾝｽEB", "HGP創英ﾌﾟﾚｾﾞﾝｽEB",
    "HGS創英ﾌﾟﾚｾﾞﾝｽEB", "OCRB", "Sydnie",
    // clang-format on
};

namespace {

constexpr int DEFAULT_FONT_FACE = 60;  // "ＭＳ Ｐゴシック"
constexpr int CHAR_PIXELS = 16;        // a character of font 1

const char* const DEFAULT_TEXTS[SYSTEM_TEXT_COUNT] = {
    "ワールド",
    "ステージ",
    "スコア",
    "ハイスコア",
    "トータルスコア",
    "スコア",
    "残り時間",
    "クリア時間",
    "残りHP",
    "残りSP",
    "ステージに挑む",
    "やっぱりやめる",
    "セーブする",
    "やっぱりやめる",
    "オートセーブＯＮ",
    "オートセーブＯＦＦ",
    "保存先が不明です！一度は「セーブ」して下さい！",
    "タイトルへ戻る",
    "やっぱりやめる",
    "しゅうりょう",
    "つづける",
    "リトライ",
    "リトライ",
    "マップへ戻る",
    "Vキーでジャンルの切り替え",
    "スペースキーでタイトルへ戻る",
    "スペースキーで終了",
    "F3キーでランキングへ登録",
};

const char* const DEFAULT_TITLE_MENU[TITLE_MENU_COUNT] = {
    "はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう",
};
const char* const DEFAULT_MAP_MENU[MAP_MENU_COUNT] = {"セーブ", "オートセーブ", "もどる", "タイトルへ"};
const char* const DEFAULT_OPTION_MENU[OPTION_MENU_COUNT] = {"",      "BGM", "SE", "ランキング登録", "ランキング登録名",
                                                            "もどる"};

struct HudDefault {
  const char* label;
  std::int32_t width;
};
const HudDefault DEFAULT_HUD[HUD_ITEM_COUNT] = {{"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2}};

struct SettingDefault {
  const char* name;
  std::int32_t kind;
  std::int32_t value;
};
const SettingDefault DEFAULT_SETTINGS[SYSTEM_SETTING_COUNT] = {
    {"Direct3D", 0, 2}, {"WindowMode", 0, 0}, {"Bpp", 0, 0}, {"VSync", 0, 2}, {"ShowFps", 0, 0}, {"FreeStage", 1, 0},
};

cVector<cEdMenuItem> MenuOf(const char* const* texts, int nCount) {
  cVector<cEdMenuItem> menu(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) menu[i].m_strText = texts[i];
  return menu;
}

}  // namespace

void cEdSystem::SetDefaults() {
  Clear();
  m_nExtendScore = 100;
  m_bPauseFrontLayers = 1;
  m_nFontFace = DEFAULT_FONT_FACE;
  m_bRecordReplay = 1;
  m_bTitleMenuPicture = 1;
  m_bStoryCarryLives = 1;
  m_bStoryContinueOnMiss = 1;
  m_bMapShowLives = 1;
  m_nChallengeStages = 40;
  m_bChallengeAllOpen = 1;
  m_bMapShowScore = 1;
  m_bMapMenuShowTotal = 1;
  m_bStoryRestoreVars = 1;
  m_bStoryPauseMenu = 1;
  m_bSelectShowBest = 1;
  m_bSelectShowTotal = 1;
  m_bChallengeRestoreVars = 1;
  m_bChallengePauseMenu = 1;
  m_bFreeRestoreVars = 1;

  m_CarryOver.assign(CARRY_ITEM_COUNT, 0);
  for (int nItem : {CARRY_IMAGE, CARRY_ANIME_SET, CARRY_MAX_HP, CARRY_MAX_SP, CARRY_BODY_POWER, CARRY_BODY_IMPACT,
                    CARRY_IMPACT_RESIST, CARRY_STOP_EASE, CARRY_FLOWS})
    m_CarryOver[nItem] = 1;
  m_CarryReset.assign(CARRY_ITEM_COUNT, 0);
  m_CarryReset[CARRY_HP] = m_CarryReset[CARRY_SP] = 1;

  m_HudItems.assign(HUD_ITEM_COUNT, cEdHudItem());
  for (int i = 0; i < HUD_ITEM_COUNT; ++i) {
    cEdHudItem& item = m_HudItems[i];
    item.m_bShow = 1;
    item.m_bIcon = 1;
    item.m_bShowNumber = 0;
    item.m_nWidth = DEFAULT_HUD[i].width;
    item.m_strLabel = DEFAULT_HUD[i].label;
  }

  m_StartLives = {5, 5, 5, 99};
  m_UnlimitedLives = {1, 1, 1, 1};
  m_GameModes.assign(GAME_MODE_COUNT, cEdGameMode());
  for (int m = 0; m < GAME_MODE_COUNT; ++m) {
    const std::uint8_t bRanked = m == GAME_MODE_REPLAY ? 0 : 1;
    m_GameModes[m].m_bRanks = bRanked;
    m_GameModes[m].m_RankedQuantities.assign(RANK_QUANTITY_COUNT, bRanked);
  }

  m_Texts.assign(DEFAULT_TEXTS, DEFAULT_TEXTS + SYSTEM_TEXT_COUNT);
  m_SoundFiles.assign(SYSTEM_SOUND_COUNT, std::string());
  m_SceneBgm.assign(SCENE_BGM_COUNT, 0);
  m_SceneBgmLoop.assign(SCENE_BGM_COUNT, 1);
  m_TitleMenu = MenuOf(DEFAULT_TITLE_MENU, TITLE_MENU_COUNT);
  m_MapMenu = MenuOf(DEFAULT_MAP_MENU, MAP_MENU_COUNT);
  m_OptionMenu = MenuOf(DEFAULT_OPTION_MENU, OPTION_MENU_COUNT);

  m_Settings.assign(SYSTEM_SETTING_COUNT, cEdSetting());
  for (int i = 0; i < SYSTEM_SETTING_COUNT; ++i) {
    m_Settings[i].m_strName = DEFAULT_SETTINGS[i].name;
    m_Settings[i].m_nKind = DEFAULT_SETTINGS[i].kind;
    m_Settings[i].m_nDefault = DEFAULT_SETTINGS[i].value;
  }
}

const char* FontFaceName(int nFace) {
  return g_FontFaceNames[nFace >= 0 && nFace < FONT_FACE_COUNT ? nFace : DEFAULT_FONT_FACE];
}

int MenuListWidth(int nFirst, int nCount, int bWithCursor) {
  int nWidest = 0;
  for (int i = nFirst; i < nFirst + nCount; ++i) nWidest = std::max(nWidest, CountChars(g_System.m_Texts[i]));
  return (nWidest + (bWithCursor ? 1 : 0)) * CHAR_PIXELS;
}

int CenteredBoxX(int x, int nFirst, int nCount, int bWithCursor) {
  return x - MenuListWidth(nFirst, nCount, bWithCursor) / 2;
}

std::string MenuListText(int nFirst, int nCount, int bWithCursor) {
  std::string text;
  for (int i = nFirst; i < nFirst + nCount; ++i) {
    if (bWithCursor) text += ' ';
    text += g_System.m_Texts[i];
    text += '\n';
  }
  return text;
}
