#include "gamedata/System.h"

#include <algorithm>
#include <utility>

#include "gamedata/DataRefs.h"
#include "gamedata/RecordList.h"

cEdSystem g_System;

void cEdMenuItem::BindFields(std::uint32_t) {
  AddField4(&m_bEnabled);
  AddString(&m_strText);
}

void cEdHudItem::BindFields(std::uint32_t nVersion) {
  AddField4(&m_bShow);
  AddField4(&m_bIcon);
  AddField4(&m_nWidth);
  if (nVersion >= VERSION_HUD_SHOW_NUMBER) AddField4(&m_bShowNumber);
  AddString(&m_strLabel);
}

void cEdHudItem::Load(cDataReader& in) {
  cRecord::Load(in);
  if (g_nLoadVersion < VERSION_HUD_SHOW_NUMBER) m_bShowNumber = 1;
}

void cEdGameMode::BindFields(std::uint32_t) { AddField4(&m_bRanks); }

void cEdGameMode::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadValueList(in, m_RankedQuantities);
}

void cEdGameMode::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveValueList(out, m_RankedQuantities);
}

void cEdSetting::BindFields(std::uint32_t) {
  AddField4(&m_nKind);
  AddField4(&m_nDefault);
  AddString(&m_strName);
  AddString(&m_strDefault);
}

void cEdSystem::BindFields(std::uint32_t nVersion) {
  if (nVersion >= VERSION_EXTEND) AddField4(&m_bExtend);
  AddField4(&m_nExtendScore);
  AddField4(&m_bPauseFrontLayers);
  AddField4(&m_bSymbolFont);
  if (nVersion >= VERSION_FONT_FACE) AddField4(&m_nFontFace);
  if (nVersion >= VERSION_CENTRE_FONT) AddField4(&m_bCentreFont);
  if (nVersion >= VERSION_KEEP_TEST_ONLY_FLOWS) AddField4(&m_bKeepTestOnlyFlows);
  if (nVersion >= VERSION_RECORD_REPLAY) AddField4(&m_bRecordReplay);
  if (nVersion >= VERSION_TITLE_MENU_PICTURE) AddField4(&m_bTitleMenuPicture);
  AddField4(&m_bStoryCarryLives);
  if (nVersion >= VERSION_UNLIMITED_LIVES) {
    AddField4(&m_bStoryContinueOnMiss);
    AddField4(&m_bMapShowLives);
  }
  AddField4(&m_nChallengeStages);
  AddField4(&m_bChallengeAllOpen);
  if (nVersion >= VERSION_SHOW_SCORES) {
    AddField4(&m_bMapShowScore);
    AddField4(&m_bMapMenuShowTotal);
  }
  if (nVersion >= VERSION_RESTORE_VARS) AddField4(&m_bStoryRestoreVars);
  if (nVersion >= VERSION_PAUSE_MENU) AddField4(&m_bStoryPauseMenu);
  if (nVersion >= VERSION_SHOW_SCORES) {
    AddField4(&m_bSelectShowBest);
    AddField4(&m_bSelectShowTotal);
  }
  if (nVersion >= VERSION_RESTORE_VARS) AddField4(&m_bChallengeRestoreVars);
  if (nVersion >= VERSION_PAUSE_MENU) AddField4(&m_bChallengePauseMenu);
  if (nVersion >= VERSION_RESTORE_VARS) AddField4(&m_bFreeRestoreVars);
  if (nVersion >= VERSION_TEST_RESTORE_VARS) AddField4(&m_bTestRestoreVars);
  if (nVersion >= VERSION_COLOR_MODE) {
    AddField4(&m_nColorMode);
    AddField1(&m_nTransparentR);
    AddField1(&m_nTransparentG);
    AddField1(&m_nTransparentB);
  }
  if (nVersion >= VERSION_SCROLL_MOVE_RULE) AddField4(&m_bScrollMoveRule);
  if (nVersion >= VERSION_RETIRED_SYSTEM_FIELD && nVersion < VERSION_RETIRED_SYSTEM_FIELD_DROPPED)
    AddField4(&g_nRetiredField);
  if (nVersion >= VERSION_KEEP_FOOT_ON_SCALE) AddField4(&m_bKeepFootOnScale);
  if (nVersion >= VERSION_END_CHECK_RULE) AddField4(&m_bEndCheckRule);
  if (nVersion >= VERSION_INVINCIBLE_COLOR) AddField4(&m_bInvincibleColor);
  if (nVersion >= VERSION_PALETTE_CYCLE) AddField4(&m_bPaletteCycle);
  AddString(&m_strTitle);
}

void cEdSystem::Load(cDataReader& in) {
  SetDefaults();
  cRecord::Load(in);
  const std::uint32_t v = g_nLoadVersion;
  LoadValueList(in, m_CarryOver);
  if (v >= VERSION_CARRY_MASKS) LoadValueList(in, m_CarryReset);
  LoadRecordList(in, m_HudItems);
  LoadValueList(in, m_StartLives);
  if (v >= VERSION_UNLIMITED_LIVES) LoadValueList(in, m_UnlimitedLives);
  if (v >= VERSION_GAME_MODES) LoadRecordList(in, m_GameModes);
  LoadStringList(in, m_Texts);
  LoadStringList(in, m_SoundFiles);
  LoadValueList(in, m_SceneBgm);
  if (v >= VERSION_SCENE_BGM_LOOP) LoadValueList(in, m_SceneBgmLoop);
  LoadRecordList(in, m_TitleMenu);
  LoadRecordList(in, m_MapMenu);
  LoadRecordList(in, m_OptionMenu);
  LoadRecordList(in, m_Settings);
  if (in.Failed()) {
    SetDefaults();
    return;
  }
  if (v < CURRENT_DATA_VERSION) Upgrade();
  Normalize();
}

void cEdSystem::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  SaveValueList(out, m_CarryOver);
  SaveValueList(out, m_CarryReset);
  SaveRecordList(out, m_HudItems);
  SaveValueList(out, m_StartLives);
  SaveValueList(out, m_UnlimitedLives);
  SaveRecordList(out, m_GameModes);
  SaveStringList(out, m_Texts);
  SaveStringList(out, m_SoundFiles);
  SaveValueList(out, m_SceneBgm);
  SaveValueList(out, m_SceneBgmLoop);
  SaveRecordList(out, m_TitleMenu);
  SaveRecordList(out, m_MapMenu);
  SaveRecordList(out, m_OptionMenu);
  SaveRecordList(out, m_Settings);
}

namespace {

// Inserts into a list of fixed length: entries from nAt on move up one place and the last
// falls out. The list is brought to its length first, so nAt always lies inside it.
template <class T>
void InsertFixed(cVector<T>& list, int nLength, int nAt, T value) {
  list.resize(static_cast<std::size_t>(nLength));
  std::move_backward(list.begin() + nAt, list.end() - 1, list.end());
  list[nAt] = std::move(value);
}

cEdMenuItem MenuItem(const char* text) {
  cEdMenuItem item;
  item.m_strText = text;
  return item;
}

}  // namespace

// Each step applies to every file older than its version, in ascending order: lists that
// later versions lengthened get their new entries at the positions those versions gave.
// A carry-over item stood below its place of today by the items inserted beneath it later.
void cEdSystem::Upgrade() {
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_KEEP_TEST_ONLY_FLOWS) m_bKeepTestOnlyFlows = 0;
  if (v < VERSION_TITLE_MENU_PICTURE) m_bTitleMenuPicture = 0;
  if (v < VERSION_SHOW_SCORES) m_bMapShowScore = m_bMapMenuShowTotal = m_bSelectShowBest = m_bSelectShowTotal = 1;
  if (v < VERSION_DEFENCE) InsertFixed<std::uint8_t>(m_CarryOver, CARRY_ITEM_COUNT, CARRY_DEFENCE - 2, 1);
  if (v < VERSION_AUTO_SAVE) {
    InsertFixed(m_MapMenu, MAP_MENU_COUNT, 1, MenuItem("オートセーブ"));
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 12, "保存先が不明です！一度は「セーブ」して下さい！");
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 12, "オートセーブＯＦＦ");
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 12, "オートセーブＯＮ");
  }
  if (v < VERSION_CENTRE_FONT) m_bCentreFont = 0;
  if (v < VERSION_HP_SP_RANKING) {
    for (int m = 0; m < std::min<int>(GAME_MODE_COUNT, m_GameModes.Size()); ++m) {
      cVector<std::uint8_t>& ranked = m_GameModes[m].m_RankedQuantities;
      ranked.resize(RANK_QUANTITY_COUNT);
      ranked[RANK_HP] = ranked[RANK_SP] = 0;
    }
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 8, "残りHP");
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 9, "残りSP");
  }
  if (v < VERSION_RECORD_REPLAY) m_bRecordReplay = 1;
  if (v < VERSION_EXTEND) m_bExtend = 1;
  if (v < VERSION_COLOR_MODE) {
    m_nColorMode = 0;
    m_nTransparentR = 0;
    m_nTransparentG = 177;
    m_nTransparentB = 0;
  }
  if (v < VERSION_RESTORE_VARS) m_bStoryRestoreVars = m_bChallengeRestoreVars = m_bFreeRestoreVars = 1;
  if (v < VERSION_UNLIMITED_LIVES) {
    m_UnlimitedLives = {0, 0, 0, 1};
    m_bStoryContinueOnMiss = 0;
    m_bMapShowLives = 0;
  }
  if (v < VERSION_TEST_RESTORE_VARS) m_bTestRestoreVars = 1;
  if (v < VERSION_RETRY_TEXTS) {
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 22, "リトライ");
    InsertFixed<std::string>(m_Texts, SYSTEM_TEXT_COUNT, 23, "マップへ戻る");
  }
  if (v < VERSION_BLOCK_BOX) InsertFixed<std::uint8_t>(m_CarryOver, CARRY_ITEM_COUNT, CARRY_BLOCK_BOX - 1, 0);
  if (v < VERSION_SCENE_BGM_LOOP) m_SceneBgmLoop.assign(SCENE_BGM_COUNT, 1);
  if (v < VERSION_FONT_FACE) m_nFontFace = 60;
  if (v < VERSION_AUTO_SCROLL_SYNC) InsertFixed<std::uint8_t>(m_CarryOver, CARRY_ITEM_COUNT, CARRY_AUTO_SCROLL_SYNC, 0);
  if (v < VERSION_SCROLL_MOVE_RULE) m_bScrollMoveRule = 1;
  if (v < VERSION_PAUSE_MENU) m_bStoryPauseMenu = m_bChallengePauseMenu = 0;
  if (v < VERSION_KEEP_FOOT_ON_SCALE) m_bKeepFootOnScale = 1;
  if (v < VERSION_END_CHECK_RULE) m_bEndCheckRule = 0;
  if (v < VERSION_DIRECT3D_SETTING) {
    cEdSetting direct3D;
    direct3D.m_nDefault = 1;
    direct3D.m_strName = "Direct3D";
    InsertFixed(m_Settings, SYSTEM_SETTING_COUNT, 0, std::move(direct3D));
    if (m_Settings[3].m_nDefault >= 3) m_Settings[3].m_nDefault = 2;  // "VSync": 2 is automatic
  }
  if (v < VERSION_INVINCIBLE_COLOR) m_bInvincibleColor = 1;
  if (v < VERSION_PALETTE_CYCLE) m_bPaletteCycle = m_nColorMode == 0 ? 1 : 0;
  if (v < VERSION_CARRY_MASKS) m_CarryReset.assign(CARRY_ITEM_COUNT, 0);
}

void cEdSystem::Normalize() {
  const int nBgms = DataRefs().DatabaseSize(DB_BGM);
  for (std::int32_t& nBgm : m_SceneBgm) {
    if (!IsValidRef(nBgm, nBgms)) nBgm = 0;
  }
}

int cEdSystem::CountRankedQuantities(int nMode) const {
  const cEdGameMode& mode = m_GameModes[nMode];
  if (!mode.m_bRanks) return 0;
  return static_cast<int>(std::count_if(mode.m_RankedQuantities.begin(), mode.m_RankedQuantities.end(),
                                        [](std::uint8_t b) { return b != 0; }));
}
