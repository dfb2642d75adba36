#include "records/PlayRecord.h"

#include <algorithm>
#include <ctime>

#include "base/Log.h"
#include "records/FrontendLinks.h"
#include "gamedata/DataPaths.h"
#include "gamedata/RecordList.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gamedata/WorldMap.h"

cPlayRecord g_PlayRecord;
cPlayRecord g_StartPlayRecord;
cPlayRecord g_PrevStartPlayRecord;
cVector<cSaveSlotInfo> g_SaveSlots(SAVE_SLOT_COUNT);

namespace {

// A project can name any count; the stage list never shows more than this.
constexpr std::int32_t MAX_CHALLENGE_STAGES = 9999;

// Scores and totals add as the 32-bit values they are stored as.
std::int32_t AddWrapped(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t SubWrapped(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// A flag of one of the project's per-status lists; a short list leaves the rest off.
bool ProjectFlag(const cVector<std::uint8_t>& flags, int n) { return n < flags.Size() && flags[n] != 0; }

template <class T>
void PadTo(cVector<T>& list, int n) {
  if (list.Size() < n) list.resize(static_cast<std::size_t>(n));
}

}  // namespace

SYSTEMTIME GetLocalSystemTime() {
  std::timespec now{};
  if (std::timespec_get(&now, TIME_UTC) == 0) now.tv_sec = std::time(nullptr);
  const std::time_t t = now.tv_sec;
  const long ms = now.tv_nsec / 1000000;
  // Only the game thread asks for the time, so the shared result of localtime is safe here.
  const std::tm* local = std::localtime(&t);
  SYSTEMTIME st;
  if (!local) return st;
  st.wYear = static_cast<std::uint16_t>(local->tm_year + 1900);
  st.wMonth = static_cast<std::uint16_t>(local->tm_mon + 1);
  st.wDayOfWeek = static_cast<std::uint16_t>(local->tm_wday);
  st.wDay = static_cast<std::uint16_t>(local->tm_mday);
  st.wHour = static_cast<std::uint16_t>(local->tm_hour);
  st.wMinute = static_cast<std::uint16_t>(local->tm_min);
  st.wSecond = static_cast<std::uint16_t>(std::min(local->tm_sec, 59));
  st.wMilliseconds = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
  return st;
}

void cStageBest::BindFields(std::uint32_t) {
  AddField4(&m_nValue);
  AddString(&m_strName);
}

void cStageResult::BindFields(std::uint32_t) {
  AddField4(&m_bCleared);
  AddField4(&m_nBest);
}

void cCarryOverEntry::BindFields(std::uint32_t) {
  AddField4(&m_nHP);
  AddField4(&m_nSP);
  AddField4(&m_nTimeLeft);
  AddField4(&m_nLives);
  AddField4(&m_nBgm);
}

void cCarryOverEntry::Load(cDataReader& in) {
  cRecord::Load(in);
  if (!in.Failed()) m_Chara.Load(in);
}

void cCarryOverEntry::Save(cDataWriter& out) {
  cRecord::Save(out);
  m_Chara.Save(out);
}

cPlayRecord::cPlayRecord() { ResetPlayRecord(*this); }

void cPlayRecord::BindFields(std::uint32_t nVersion) {
  AddField4(&m_bCarryOver);
  AddField4(&m_nMapX);
  AddField4(&m_nMapY);
  AddField4(&m_nMapEntrySlot);
  AddField4(&m_nRound);
  AddField4(&m_nStage);
  AddField4(&m_nPart);
  AddField4(&m_nStartLives);
  AddField4(&m_nLives);
  AddField4(&m_nStageScore);
  AddField4(&m_nTotalScore);
  AddField4(&m_nBestTotal);
  AddField4(&m_nTotalTimeLeft);
  AddField4(&m_nTotalClearTime);
  if (nVersion >= VERSION_TOTAL_HP_SP) {
    AddField4(&m_nTotalHpLeft);
    AddField4(&m_nTotalSpLeft);
  }
  AddField4(&m_bNumbered);
  AddField4(&m_nStageBgm);
  if (nVersion >= VERSION_BGM_LOOP) AddField4(&m_bStageBgmLoop);
  if (nVersion >= VERSION_MAP_FACING) AddField4(&m_nMapFacing);
  if (nVersion >= VERSION_BACK_ON_MAP) AddField4(&m_bBackOnMap);
  if (nVersion >= VERSION_PREV_MAP_POSITION) {
    AddField4(&m_nPrevMapX);
    AddField4(&m_nPrevMapY);
  }
  AddField4(&m_nOpenStages);
  AddField4(&m_nSlot);
  if (nVersion >= VERSION_AUTO_SAVE) AddField4(&m_bAutoSave);
  AddField4(&m_bShowRanking);
  AddField4(&m_nRankView);
  AddString(&m_strStageName);
  AddString(&m_strName);
}

void cPlayRecord::Load(cDataReader& in) {
  cRecord::Load(in);
  std::uint16_t time[8] = {};
  if (in.ReadElements(time, 8, 2)) {
    m_Time = SYSTEMTIME{time[0], time[1], time[2], time[3], time[4], time[5], time[6], time[7]};
  }
  if (g_nLoadVersion >= VERSION_CARRY_MASKS) LoadValueList(in, m_CarryMask);
  LoadRecordList(in, m_CarryOver);
  LoadRecordList(in, m_StageBests);
  LoadRecordList(in, m_Stages);
  LoadValueList(in, m_Switches);
  LoadValueList(in, m_CommonVariables);
  if (g_nLoadVersion < CURRENT_DATA_VERSION) Upgrade();
  Normalize();
}

// Members a version added get the values that an older file means.
void cPlayRecord::Upgrade() {
  const std::uint32_t v = g_nLoadVersion;
  if (v < VERSION_BGM_LOOP) m_bStageBgmLoop = 1;
  if (v < VERSION_AUTO_SAVE) m_bAutoSave = 0;
  if (v < VERSION_TOTAL_HP_SP) m_nTotalHpLeft = m_nTotalSpLeft = 0;
  if (v < VERSION_BACK_ON_MAP) m_bBackOnMap = 0;
  if (v < VERSION_PREV_MAP_POSITION) m_nPrevMapX = m_nPrevMapY = 0;
  if (v < VERSION_MAP_FACING) m_nMapFacing = 0;
  // Before the masks every status the project carried counted as stored.
  if (v < VERSION_CARRY_MASKS) m_CarryMask.assign(CARRY_STATUS_COUNT, 1);
}

void cPlayRecord::Save(cDataWriter& out) {
  Normalize();
  cRecord::Save(out);
  const std::uint16_t time[8] = {m_Time.wYear, m_Time.wMonth,  m_Time.wDayOfWeek, m_Time.wDay,
                                 m_Time.wHour, m_Time.wMinute, m_Time.wSecond,    m_Time.wMilliseconds};
  out.WriteElements(time, 8, 2);
  if (g_nDataVersion >= VERSION_CARRY_MASKS) SaveValueList(out, m_CarryMask);
  SaveRecordList(out, m_CarryOver);
  SaveRecordList(out, m_StageBests);
  SaveRecordList(out, m_Stages);
  SaveValueList(out, m_Switches);
  SaveValueList(out, m_CommonVariables);
}

void cPlayRecord::Normalize() {
  // A negative cell comes only from a damaged file; the map indexes its grid by it.
  if (m_nMapX < 0 || m_nMapX >= g_WorldMap.m_nWidth) m_nMapX = g_WorldMap.m_nStartX;
  if (m_nMapY < 0 || m_nMapY >= g_WorldMap.m_nHeight) m_nMapY = g_WorldMap.m_nStartY;
  const std::int32_t nStages = std::clamp(g_System.m_nChallengeStages, 0, MAX_CHALLENGE_STAGES);
  m_Stages.resize(static_cast<std::size_t>(nStages));
  if (m_nOpenStages > nStages) m_nOpenStages = nStages;
  // The readers index these lists by status, switch, variable and player without a
  // check of their own: a short list from a damaged file is filled up.
  PadTo(m_CarryMask, CARRY_STATUS_COUNT);
  PadTo(m_CarryOver, 1);
  PadTo(m_Switches, SWITCH_COUNT);
  PadTo(m_CommonVariables, COMMON_VARIABLE_COUNT);
  if (m_nRankView < 0 || m_nRankView > 4) m_nRankView = 0;
}

void ResetPlayRecord(cPlayRecord& record) {
  record.Clear();
  record.m_pMapEntry = nullptr;
  record.m_Time = SYSTEMTIME();
  record.m_CarryMask.assign(CARRY_STATUS_COUNT, 0);
  record.m_CarryOver.assign(1, cCarryOverEntry());
  record.m_Switches.assign(SWITCH_COUNT, 0);
  record.m_Switches[0] = 1;
  record.m_CommonVariables.assign(COMMON_VARIABLE_COUNT, 0);
  record.m_StageBests.clear();
  record.m_Stages.clear();
  record.m_nOpenStages = 1;
  record.m_nSlot = -1;
  record.m_strName = "aaa";
}

int MakeSlotPath(std::string& out, int nSlot) {
  if (nSlot < 0 || nSlot >= SAVE_SLOT_COUNT) return 0;
  const char digits[3] = {static_cast<char>('0' + (nSlot + 1) / 10), static_cast<char>('0' + (nSlot + 1) % 10), 0};
  FormatString(out, "%s%s.dat", g_PathTable[PATH_STORY_SLOT], digits);
  return 1;
}

int cPlayRecord::SaveSlot(int nSlot) {
  std::string path;
  if (!MakeSlotPath(path, nSlot)) return 0;
  m_Time = GetLocalSystemTime();
  // The slot list must not show a save that is not on disk.
  if (!SaveToFile(path)) {
    ReportPrintf("%s のセーブに失敗！", path.c_str());
    return 0;
  }
  cSaveSlotInfo& info = g_SaveSlots[nSlot];
  info.m_bUsed = 1;
  info.m_Time = m_Time;
  return 1;
}

void cPlayRecord::ApplyModeLives(int nMode) {
  if (g_System.m_UnlimitedLives[nMode]) {
    m_nStartLives = m_nLives = UNLIMITED_LIVES;
  } else if (m_nLives == UNLIMITED_LIVES) {
    m_nLives = g_System.m_StartLives[nMode];
  }
}

namespace {

// Reads a record file into a copy of the record, so that a damaged file changes
// nothing; true when it was read whole.
bool LoadWhole(cPlayRecord& record, const char* path) {
  cPlayRecord loaded = record;
  // A missing file is the usual case; one that is there but does not read is logged.
  if (!loaded.LoadUserFile(path)) return false;
  record = std::move(loaded);
  return true;
}

}  // namespace

int cPlayRecord::LoadSlot(int nSlot) {
  std::string path;
  if (!MakeSlotPath(path, nSlot) || !LoadWhole(*this, path.c_str())) return 0;
  // A file copied from another slot belongs to the slot it was loaded from: auto-saves
  // must not overwrite the slot it came from.
  m_nSlot = nSlot;
  ApplyModeLives(GAME_MODE_STORY);
  return 1;
}

bool cPlayRecord::LoadChallenge() {
  if (!LoadWhole(*this, g_PathTable[PATH_CHALLENGE])) return false;
  ApplyModeLives(GAME_MODE_CHALLENGE);
  return true;
}

int cPlayRecord::SaveChallenge() { return SaveToFile(g_PathTable[PATH_CHALLENGE]); }

void ScanSaveSlots(cVector<cSaveSlotInfo>& slots) {
  cPlayRecord scratch;
  for (int i = 0; i < slots.Size(); ++i) {
    cSaveSlotInfo& info = slots[i];
    std::string path;
    info.m_bUsed = 0;
    if (!MakeSlotPath(path, i) || !scratch.LoadUserFile(path, false)) continue;
    info.m_bUsed = 1;
    info.m_Time = scratch.m_Time;
  }
}

void cPlayRecord::SetStageName(std::string_view path) {
  std::string name(path);
  m_bNumbered = 0;
  // The last "-1" marks the first part of a numbered stage: "x-1.e" and "x-2.e" share
  // the key "x.".
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == '-' && i + 1 < name.size() && name[i + 1] == '1') {
      m_bNumbered = 1;
      name[i] = '.';
      name.resize(i + 1);
      break;
    }
  }
  if (!m_bNumbered) {
    const std::size_t nDot = name.rfind('.');
    name.resize(nDot == std::string::npos ? 0 : nDot + 1);
  }
  m_strStageName = std::move(name);
}

void cPlayRecord::SetStageBest(std::string_view name, std::int32_t nValue) {
  for (cStageBest& best : m_StageBests) {
    if (best.m_strName != name) continue;
    if (nValue > best.m_nValue) {
      m_nBestTotal = AddWrapped(m_nBestTotal, SubWrapped(nValue, best.m_nValue));
      best.m_nValue = nValue;
    }
    return;
  }
  cStageBest& best = m_StageBests.emplace_back();
  best.m_strName = name;
  best.m_nValue = nValue;
  m_nBestTotal = AddWrapped(m_nBestTotal, nValue);
}

std::int32_t cPlayRecord::GetStageBest(std::string_view name) const {
  for (const cStageBest& best : m_StageBests) {
    if (best.m_strName == name) return best.m_nValue;
  }
  return 0;
}

void cPlayRecord::SaveStageStart() {
  m_SavedVariables = m_CommonVariables;
  m_nStartLivesLeft = m_nLives;
  m_nStartScore = m_nTotalScore;
}

void cPlayRecord::RestoreStageStart(int bFull) {
  bool bVariables = bFull != 0;
  if (!bFull) {
    if (IsTestPlay()) {
      bVariables = g_System.m_bTestRestoreVars != 0;
    } else {
      switch (CurrentGameMode()) {
        case GAME_MODE_STORY: bVariables = g_System.m_bStoryRestoreVars != 0; break;
        case GAME_MODE_CHALLENGE: bVariables = g_System.m_bChallengeRestoreVars != 0; break;
        case GAME_MODE_FREE: bVariables = g_System.m_bFreeRestoreVars != 0; break;
        case GAME_MODE_REPLAY: bVariables = true; break;
        default: break;
      }
    }
  }
  if (bVariables) m_CommonVariables = m_SavedVariables;
  if (bFull) m_nLives = m_nStartLivesLeft;
  m_nTotalScore = m_nStartScore;
}

void cPlayRecord::ClearTotals() {
  m_nTotalScore = 0;
  m_nTotalTimeLeft = 0;
  m_nTotalClearTime = 0;
  m_nTotalHpLeft = 0;
  m_nTotalSpLeft = 0;
}

void cPlayRecord::StoreCarryOver(int nPlayer, const cEdChara& def, std::int32_t nHP, std::int32_t nSP,
                                 std::int16_t nEffect, std::uint8_t nEffectParamA, std::uint8_t nEffectParamB,
                                 std::int32_t nTimeLeft, std::int32_t nLives, std::int32_t nBgm) {
  // One entry per player; a stage with more players than the record has entries for
  // gets entries for them.
  if (nPlayer < 0 || nPlayer > 255) return;
  PadTo(m_CarryOver, nPlayer + 1);
  PadTo(m_CarryMask, CARRY_STATUS_COUNT);
  m_bCarryOver = 1;
  cCarryOverEntry& entry = m_CarryOver[nPlayer];
  cEdChara& to = entry.m_Chara;
  const cVector<std::uint8_t>& flags = g_System.m_CarryOver;
  for (int i = 0; i < CARRY_STATUS_COUNT; ++i) {
    if (!ProjectFlag(flags, i)) continue;
    switch (i) {
      case CARRY_IMAGE:
        to.m_nImage = def.m_nImage;
        to.m_nImageSheet = def.m_nImageSheet;
        to.m_nImageSub = def.m_nImageSub;
        break;
      case CARRY_ANIME_SET: to.m_nAnimeSet = def.m_nAnimeSet; break;
      case CARRY_Z: to.m_nZ = def.m_nZ; break;
      case CARRY_TRANSPARENT: to.m_bTransparent = def.m_bTransparent; break;
      case CARRY_CHARA_EFFECT:
        to.m_nCharaEffect = nEffect;
        to.m_nCharaEffectParamA = nEffectParamA;
        to.m_nCharaEffectParamB = nEffectParamB;
        break;
      case CARRY_FIXED_FACING: to.m_bFixedFacing = def.m_bFixedFacing; break;
      case CARRY_FLYING: to.m_nFlying = def.m_nFlying; break;
      case CARRY_INVINCIBLE: to.m_nInvincible = def.m_nInvincible; break;
      case CARRY_SCALE: to.m_nScale = def.m_nScale; break;
      case CARRY_AUTO_SCROLL_SYNC: to.m_bAutoScrollSync = def.m_bAutoScrollSync; break;
      case CARRY_SIGHT:
        to.m_nSightShape = def.m_nSightShape;
        to.m_nSightRange = def.m_nSightRange;
        break;
      case CARRY_HP: entry.m_nHP = nHP; break;
      case CARRY_SP: entry.m_nSP = nSP; break;
      case CARRY_MAX_HP: to.m_nMaxHP = def.m_nMaxHP; break;
      case CARRY_MAX_SP: to.m_nMaxSP = def.m_nMaxSP; break;
      case CARRY_BLOCK_BOX: to.m_nBlockBox = def.m_nBlockBox; break;
      case CARRY_BODY_POWER: to.m_nBodyPower = def.m_nBodyPower; break;
      case CARRY_BODY_IMPACT: to.m_nBodyImpact = def.m_nBodyImpact; break;
      case CARRY_DEFENCE: to.m_nDefence = def.m_nDefence; break;
      case CARRY_IMPACT_RESIST: to.m_nImpactResist = def.m_nImpactResist; break;
      case CARRY_STOP_EASE: to.m_nStopEase = def.m_nStopEase; break;
      case CARRY_FLOWS: to.m_Flows = def.m_Flows; break;
      case CARRY_TIME_LEFT: entry.m_nTimeLeft = nTimeLeft; break;
      case CARRY_LIVES: entry.m_nLives = nLives; break;
      case CARRY_BGM: entry.m_nBgm = nBgm; break;
      default: break;
    }
    m_CarryMask[i] = 1;
  }
}

void cPlayRecord::ApplyCarryOver(int nPlayer, cEdChara& def, cEdStage& stage) {
  if (!m_bCarryOver || nPlayer < 0 || nPlayer >= m_CarryOver.Size()) return;
  const cCarryOverEntry& entry = m_CarryOver[nPlayer];
  const cEdChara& from = entry.m_Chara;
  const cVector<std::uint8_t>& flags = g_System.m_CarryOver;
  for (int i = 0; i < CARRY_STATUS_COUNT && i < m_CarryMask.Size(); ++i) {
    if (!ProjectFlag(flags, i) || !m_CarryMask[i]) continue;
    switch (i) {
      case CARRY_IMAGE:
        def.m_nImage = from.m_nImage == 0 ? std::int16_t{1} : from.m_nImage;
        def.m_nImageSheet = from.m_nImageSheet;
        def.m_nImageSub = from.m_nImageSub;
        break;
      case CARRY_ANIME_SET: def.m_nAnimeSet = from.m_nAnimeSet; break;
      case CARRY_Z: def.m_nZ = from.m_nZ; break;
      case CARRY_TRANSPARENT: def.m_bTransparent = from.m_bTransparent; break;
      case CARRY_CHARA_EFFECT:
        def.m_nCharaEffect = from.m_nCharaEffect;
        def.m_nCharaEffectParamA = from.m_nCharaEffectParamA;
        def.m_nCharaEffectParamB = from.m_nCharaEffectParamB;
        break;
      case CARRY_FIXED_FACING: def.m_bFixedFacing = from.m_bFixedFacing; break;
      case CARRY_FLYING: def.m_nFlying = from.m_nFlying; break;
      case CARRY_INVINCIBLE: def.m_nInvincible = from.m_nInvincible; break;
      case CARRY_SCALE: def.m_nScale = from.m_nScale; break;
      case CARRY_AUTO_SCROLL_SYNC: def.m_bAutoScrollSync = from.m_bAutoScrollSync; break;
      case CARRY_SIGHT:
        def.m_nSightShape = from.m_nSightShape;
        def.m_nSightRange = from.m_nSightRange;
        break;
      case CARRY_MAX_HP: def.m_nMaxHP = from.m_nMaxHP; break;
      case CARRY_MAX_SP: def.m_nMaxSP = from.m_nMaxSP; break;
      case CARRY_BLOCK_BOX: def.m_nBlockBox = from.m_nBlockBox; break;
      case CARRY_BODY_POWER: def.m_nBodyPower = from.m_nBodyPower; break;
      case CARRY_BODY_IMPACT: def.m_nBodyImpact = from.m_nBodyImpact; break;
      case CARRY_DEFENCE: def.m_nDefence = from.m_nDefence; break;
      case CARRY_IMPACT_RESIST: def.m_nImpactResist = from.m_nImpactResist; break;
      case CARRY_STOP_EASE: def.m_nStopEase = from.m_nStopEase; break;
      case CARRY_FLOWS: def.m_Flows = from.m_Flows; break;
      case CARRY_TIME_LEFT: stage.m_nTimeLimit = entry.m_nTimeLeft; break;
      case CARRY_LIVES: g_PlayRecord.m_nLives = entry.m_nLives; break;
      case CARRY_BGM: stage.m_nBgm = entry.m_nBgm; break;
      default: break;  // HP and SP are values of the running hero
    }
  }
}

void cPlayRecord::ApplyCarryOverValues(int nPlayer, std::int32_t* pHP, std::int32_t* pSP) const {
  if (!m_bCarryOver || nPlayer < 0 || nPlayer >= m_CarryOver.Size()) return;
  const cCarryOverEntry& entry = m_CarryOver[nPlayer];
  const cVector<std::uint8_t>& flags = g_System.m_CarryOver;
  auto carried = [&](int i) { return ProjectFlag(flags, i) && i < m_CarryMask.Size() && m_CarryMask[i] != 0; };
  if (pHP && carried(CARRY_HP)) *pHP = entry.m_nHP;
  if (pSP && carried(CARRY_SP)) *pSP = entry.m_nSP;
}

void cPlayRecord::ClearCarryOver() {
  const cVector<std::uint8_t>& reset = g_System.m_CarryReset;
  for (int i = 0; i < m_CarryMask.Size(); ++i) {
    if (ProjectFlag(reset, i)) m_CarryMask[i] = 0;
  }
}

void cPlayRecord::StartNextRound() {
  m_nRound = AddWrapped(m_nRound, 1);
  m_Switches.Fill(0);
  m_nMapX = g_WorldMap.m_nStartX;
  m_nMapY = g_WorldMap.m_nStartY;
}

void cPlayRecord::CycleRankingView(int nMode, int nSteps) {
  const cVector<std::uint8_t>& flags = g_System.m_GameModes[nMode].m_RankedQuantities;
  auto ranked = [&flags](int q) { return ProjectFlag(flags, q); };
  bool bAny = false;
  for (int q = 0; q < 5; ++q) bAny = bAny || ranked(q);
  if (!bAny) return;
  auto step = [](int q, int d) { return q + d < 0 ? 4 : q + d > 4 ? 0 : q + d; };
  if (m_nRankView < 0 || m_nRankView > 4) m_nRankView = 0;
  const int d = nSteps < 0 ? -1 : 1;
  for (std::int64_t n = nSteps < 0 ? -static_cast<std::int64_t>(nSteps) : nSteps; n > 0; --n) {
    m_nRankView = step(m_nRankView, d);
    while (!ranked(m_nRankView)) m_nRankView = step(m_nRankView, d);
  }
  while (!ranked(m_nRankView)) m_nRankView = step(m_nRankView, 1);
}
