// The game in progress (g_PlayRecord): where the story stands, lives, scores and their
// totals, switches and common variables, the hero's status carried between stages,
// best values per stage, the challenge progress, the save slot and the player's name.
// The same record is a story save slot ("user_data\story\StoryNN.dat", 99 slots), the
// challenge progress ("user_data\challenge\Challenge.dat") and the snapshot in a replay.
//
// File layout after the u32 version: the record body (28 members, the stage key and
// the name) | 16-byte time | u32 n + n i32 carry masks (from 501) | carry-over entries
// | stage bests | challenge stages | u32 n + n i32 switches | u32 n + n i32 variables.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "gamedata/Chara.h"
#include "gamedata/Record.h"

class cEdStage;
class cEdMapPointEntry;

inline constexpr std::int32_t UNLIMITED_LIVES = 999999;
inline constexpr int SAVE_SLOT_COUNT = 99;
inline constexpr int SWITCH_COUNT = 1000;
inline constexpr int COMMON_VARIABLE_COUNT = 256;
// The carried statuses; the project's carry and reset lists have one flag for each.
inline constexpr int CARRY_STATUS_COUNT = 25;

// A date and time as the save files store it: eight u16.
struct SYSTEMTIME {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
  bool operator==(const SYSTEMTIME&) const = default;
};

// The local time now.
SYSTEMTIME GetLocalSystemTime();

// The best value reached on one stage, by its ranking key.
class cStageBest : public cRecord {
 public:
  std::string m_strName;
  std::int32_t m_nValue = 0;

  void BindFields(std::uint32_t nVersion) override;
};

// One challenge stage.
class cStageResult : public cRecord {
 public:
  std::int32_t m_bCleared = 0;
  std::int32_t m_nBest = 0;

  void BindFields(std::uint32_t nVersion) override;
};

// The status one player carries into the next stage: a copy of the parts of the hero's
// definition that are carried, and the values that are not part of it.
class cCarryOverEntry : public cRecord {
 public:
  cEdChara m_Chara;
  std::int32_t m_nHP = 0;        // status 11
  std::int32_t m_nSP = 0;        // status 12
  std::int32_t m_nTimeLeft = 0;  // status 22
  std::int32_t m_nLives = 0;     // status 23
  std::int32_t m_nBgm = 0;       // status 24

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
};

// What the slot lists show of one story slot; not saved.
struct cSaveSlotInfo {
  std::int32_t m_bUsed = 0;
  SYSTEMTIME m_Time;
};

class cPlayRecord : public cRecord {
 public:
  cPlayRecord();

  std::int32_t m_bCarryOver = 0;         // the carry-over entries hold values
  cVector<std::int32_t> m_CarryMask;     // per carried status: 1 = the entries hold a value for it
  cVector<cCarryOverEntry> m_CarryOver;  // by player number
  std::int32_t m_nMapX = 0;
  std::int32_t m_nMapY = 0;
  // The map entry last entered; set by the world map before every use. The file keeps a
  // four-byte slot for it, which is carried along and never read.
  cEdMapPointEntry* m_pMapEntry = nullptr;
  std::int32_t m_nMapEntrySlot = 0;
  cVector<std::int32_t> m_Switches;  // switch n = 1: the map stage numbered n is cleared
  std::int32_t m_nRound = 0;
  cVector<std::int32_t> m_CommonVariables;  // C0 to C255
  std::string m_strStageName;               // ranking and best key of the stage: its path cut after the "."
  std::int32_t m_nStage = 0;
  std::int32_t m_nPart = 0;
  std::int32_t m_nStartLives = 0;
  std::int32_t m_nLives = 0;
  std::int32_t m_nStageScore = 0;
  std::int32_t m_nTotalScore = 0;
  std::int32_t m_nBestTotal = 0;  // sum of the stage bests
  std::int32_t m_nTotalTimeLeft = 0;
  std::int32_t m_nTotalClearTime = 0;  // 1/100 s
  std::int32_t m_nTotalHpLeft = 0;
  std::int32_t m_nTotalSpLeft = 0;
  std::int32_t m_bNumbered = 0;  // the stage key came from a name with a "-1" part
  std::int32_t m_nStageBgm = 0;
  std::int32_t m_bStageBgmLoop = 0;
  std::int32_t m_nMapFacing = 0;  // 0 down, 1 up, 2 left, 3 right
  std::int32_t m_bBackOnMap = 0;
  std::int32_t m_nPrevMapX = 0;
  std::int32_t m_nPrevMapY = 0;
  cVector<cStageBest> m_StageBests;
  std::int32_t m_nOpenStages = 0;
  cVector<cStageResult> m_Stages;          // challenge stages
  cVector<std::int32_t> m_SavedVariables;  // the common variables at stage start
  std::int32_t m_nStartLivesLeft = 0;
  std::int32_t m_nStartScore = 0;
  std::int32_t m_nSlot = 0;  // story slot 0 to 98, -1 none
  std::int32_t m_bAutoSave = 0;
  SYSTEMTIME m_Time;      // of the last save into a slot
  std::string m_strName;  // for the rankings
  std::int32_t m_bShowRanking = 0;
  std::int32_t m_nRankView = 0;  // ranked quantity 0 to 4 shown

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The hero inside the world map, the challenge list as long as the project's, and
  // every list long enough for its readers.
  void Normalize();

  // Into slot 0 to 98, with the time now; 1 when written, and then the slot list shows
  // the slot as used with that time.
  int SaveSlot(int nSlot);
  // 1 when the slot's file was read whole; otherwise 0 and the record is unchanged.
  int LoadSlot(int nSlot);
  // true when the challenge progress was read whole; otherwise the record is unchanged.
  bool LoadChallenge();
  // 1 when the challenge progress was written.
  int SaveChallenge();

  void SetStageName(std::string_view path);
  void SetStageBest(std::string_view name, std::int32_t nValue);
  std::int32_t GetStageBest(std::string_view name) const;

  void SaveStageStart();
  void RestoreStageStart(int bFull);
  // Total score and the four ranked totals 0.
  void ClearTotals();

  void StoreCarryOver(int nPlayer, const cEdChara& def, std::int32_t nHP, std::int32_t nSP, std::int16_t nEffect,
                      std::uint8_t nEffectParamA, std::uint8_t nEffectParamB, std::int32_t nTimeLeft,
                      std::int32_t nLives, std::int32_t nBgm);
  void ApplyCarryOver(int nPlayer, cEdChara& def, cEdStage& stage);
  void ApplyCarryOverValues(int nPlayer, std::int32_t* pHP, std::int32_t* pSP) const;
  void ClearCarryOver();

  void StartNextRound();
  void CycleRankingView(int nMode, int nSteps);

 private:
  void Upgrade();
  // The lives rule after a load: unlimited lives of the mode, or the start lives in place
  // of a value saved while they were unlimited.
  void ApplyModeLives(int nMode);
};

// The common reset of a new game.
void ResetPlayRecord(cPlayRecord& record);
// "user_data\story\StoryNN.dat" of slot 0 to 98 (NN = slot + 1); 0 for another slot.
int MakeSlotPath(std::string& out, int nSlot);
// The used flag and time of every slot of the list: used only when the file reads whole.
void ScanSaveSlots(cVector<cSaveSlotInfo>& slots);

extern cPlayRecord g_PlayRecord;
extern cPlayRecord g_StartPlayRecord;      // at the start of the current stage
extern cPlayRecord g_PrevStartPlayRecord;  // at the start of the one before
extern cVector<cSaveSlotInfo> g_SaveSlots;
