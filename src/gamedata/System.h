// The project's system settings ("data\System.dat", g_System): its title, colour mode,
// font, the menus and texts of the front-end screens, the game modes with their lives
// and rankings, the head-up display, the carry-over of the hero between stages, the
// scene music, the system sounds and the descriptors of the "System.ini" settings.
// Start-up loads it once; the player never writes it.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"
#include "gamedata/Record.h"

// One menu item; its index in its list is its kind.
class cEdMenuItem : public cRecord {
 public:
  std::int32_t m_bEnabled = 1;  // only enabled items are offered
  std::string m_strText;

  void BindFields(std::uint32_t nVersion) override;
};

// One entry of the head-up display.
class cEdHudItem : public cRecord {
 public:
  std::int32_t m_bShow = 0;
  std::int32_t m_bIcon = 0;        // a 16 x 16 icon stands for the label
  std::int32_t m_nWidth = 0;       // width of the value in 16-pixel characters
  std::int32_t m_bShowNumber = 0;  // gauges: the value also as a number; from 204
  std::string m_strLabel;

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
};

// Ranked quantities of a game mode, in this order.
enum : int { RANK_TOTAL_SCORE = 0, RANK_TIME_LEFT, RANK_CLEAR_TIME, RANK_HP, RANK_SP, RANK_QUANTITY_COUNT };

class cEdGameMode : public cRecord {
 public:
  std::int32_t m_bRanks = 0;
  cVector<std::uint8_t> m_RankedQuantities = cVector<std::uint8_t>(RANK_QUANTITY_COUNT);  // 1: ranked

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
};

// One "System.ini" setting: its key and defaults.
class cEdSetting : public cRecord {
 public:
  std::int32_t m_nKind = 0;  // 0 an integer, 1 a text
  std::int32_t m_nDefault = 0;
  std::string m_strName;
  std::string m_strDefault;

  void BindFields(std::uint32_t nVersion) override;
};

// Game modes, also the index of the per-mode lists.
enum : int { GAME_MODE_STORY = 0, GAME_MODE_CHALLENGE, GAME_MODE_FREE, GAME_MODE_REPLAY, GAME_MODE_COUNT };

// The carry-over items: the index of an entry in the carry and reset lists (and in the
// play record's masks) names the status it stands for.
enum : int {
  CARRY_IMAGE = 0,
  CARRY_ANIME_SET = 1,
  CARRY_Z = 2,
  CARRY_TRANSPARENT = 3,
  CARRY_CHARA_EFFECT = 4,
  CARRY_FIXED_FACING = 5,
  CARRY_FLYING = 6,
  CARRY_INVINCIBLE = 7,
  CARRY_SCALE = 8,
  CARRY_AUTO_SCROLL_SYNC = 9,
  CARRY_SIGHT = 10,
  CARRY_HP = 11,
  CARRY_SP = 12,
  CARRY_MAX_HP = 13,
  CARRY_MAX_SP = 14,
  CARRY_BLOCK_BOX = 15,
  CARRY_BODY_POWER = 16,
  CARRY_BODY_IMPACT = 17,
  CARRY_DEFENCE = 18,
  CARRY_IMPACT_RESIST = 19,
  CARRY_STOP_EASE = 20,
  CARRY_FLOWS = 21,
  CARRY_TIME_LEFT = 22,
  CARRY_LIVES = 23,
  CARRY_BGM = 24,
};

// Counts of the lists in a current file.
inline constexpr int CARRY_ITEM_COUNT = CARRY_BGM + 1;
inline constexpr int HUD_ITEM_COUNT = 5;
inline constexpr int SYSTEM_TEXT_COUNT = 28;
inline constexpr int SYSTEM_SOUND_COUNT = 17;
inline constexpr int SCENE_BGM_COUNT = 4;
inline constexpr int TITLE_MENU_COUNT = 7;
inline constexpr int MAP_MENU_COUNT = 4;
inline constexpr int OPTION_MENU_COUNT = 6;
inline constexpr int SYSTEM_SETTING_COUNT = 6;
inline constexpr int FONT_FACE_COUNT = 122;

class cEdSystem : public cRecord {
 public:
  cEdSystem() { SetDefaults(); }

  std::int32_t m_bExtend = 0;  // extra lives by score
  std::int32_t m_nExtendScore = 0;
  std::int32_t m_bPauseFrontLayers = 0;  // front layers drawn while paused
  std::int32_t m_bSymbolFont = 0;        // font 1 draws a to z from its symbol sheet
  std::int32_t m_nFontFace = 0;          // index into g_FontFaceNames
  std::int32_t m_bCentreFont = 0;        // font 1 centres each character in its cell
  std::int32_t m_bKeepTestOnlyFlows = 0;
  std::int32_t m_bRecordReplay = 0;
  std::int32_t m_bTitleMenuPicture = 0;  // title menu as rows of the game-mode picture
  std::int32_t m_bStoryCarryLives = 0;
  std::int32_t m_bStoryContinueOnMiss = 0;
  std::int32_t m_bMapShowLives = 0;
  std::int32_t m_nChallengeStages = 0;
  std::int32_t m_bChallengeAllOpen = 0;
  std::int32_t m_bMapShowScore = 0;
  std::int32_t m_bMapMenuShowTotal = 0;
  std::int32_t m_bStoryRestoreVars = 0;
  std::int32_t m_bStoryPauseMenu = 0;
  std::int32_t m_bSelectShowBest = 0;
  std::int32_t m_bSelectShowTotal = 0;
  std::int32_t m_bChallengeRestoreVars = 0;
  std::int32_t m_bChallengePauseMenu = 0;
  std::int32_t m_bFreeRestoreVars = 0;
  std::int32_t m_bTestRestoreVars = 0;
  std::int32_t m_nColorMode = 0;     // 0 the project's 256-colour palette, 1 no palette
  std::uint8_t m_nTransparentR = 0;  // transparent colour of colour mode 1
  std::uint8_t m_nTransparentG = 0;
  std::uint8_t m_nTransparentB = 0;
  std::int32_t m_bScrollMoveRule = 0;  // read by character movement while auto-scrolling
  std::int32_t m_bKeepFootOnScale = 0;
  std::int32_t m_bEndCheckRule = 0;  // read by the end-of-stage checks
  std::int32_t m_bInvincibleColor = 0;
  std::int32_t m_bPaletteCycle = 0;  // menu colours cycle in 8-bit mode
  std::string m_strTitle;            // the main window's title

  cVector<std::uint8_t> m_CarryOver;       // by carry-over item, 1: carried to the next stage
  cVector<std::uint8_t> m_CarryReset;      // by carry-over item, 1: dropped when cleared
  cVector<cEdHudItem> m_HudItems;          // total score, stage score, HP, SP, lives
  cVector<std::int32_t> m_StartLives;      // by game mode
  cVector<std::int32_t> m_UnlimitedLives;  // by game mode
  cVector<cEdGameMode> m_GameModes;
  cVector<std::string> m_Texts;          // the texts of the screens, by number
  cVector<std::string> m_SoundFiles;     // the system sounds
  cVector<std::int32_t> m_SceneBgm;      // music of title, map, stage select, options
  cVector<std::uint8_t> m_SceneBgmLoop;  // their loop flags
  cVector<cEdMenuItem> m_TitleMenu;
  cVector<cEdMenuItem> m_MapMenu;
  cVector<cEdMenuItem> m_OptionMenu;
  cVector<cEdSetting> m_Settings;  // "System.ini": Direct3D, WindowMode, Bpp, VSync, ShowFps, FreeStage

  void BindFields(std::uint32_t nVersion) override;
  // Starts from the settings of a new project, so a member an older file lacks has the
  // value a new project gives it unless an upgrade step sets another; then brings the
  // file up to the current layout. A damaged file leaves the settings of a new project.
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The settings, texts and menus of a new project.
  void SetDefaults();
  // Scene music that names no entry of the music database becomes 0.
  void Normalize();
  // 0 when game mode nMode keeps no rankings, else the number of quantities it ranks.
  int CountRankedQuantities(int nMode) const;

 private:
  void Upgrade();
};

extern cEdSystem g_System;

// An item of a menu or game-mode list by kind, through the checked subscript.
template <class T>
T& MenuItemAt(cVector<T>& list, int nKind) {
  return list[nKind];
}

// Captions of m_nColorMode.
extern const char* const g_ColorModeNames[2];
// The faces that m_nFontFace indexes.
extern const char* const g_FontFaceNames[FONT_FACE_COUNT];
// The face of a font-face number; a number outside the list gives the default face.
const char* FontFaceName(int nFace);

// Left edge of a box centred on x that holds system texts nFirst to nFirst + nCount - 1
// in 16-pixel characters (one more column for a cursor when bWithCursor is non-zero).
int CenteredBoxX(int x, int nFirst, int nCount, int bWithCursor);
// Width in pixels of that box.
int MenuListWidth(int nFirst, int nCount, int bWithCursor);
// The lines of that box, each ending in a line feed; a leading space leaves the first
// column to the cursor.
std::string MenuListText(int nFirst, int nCount, int bWithCursor);
