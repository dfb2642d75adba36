// Rankings: per stage and game mode, five tables of 20 results (total score, time left,
// clear time, HP left, SP left), best first, kept in "<mode folder><stage>.rkg".
//
// File layout after the u32 version: u32 0 | u32 0 | u32 tables | per table: u32 1 |
// i32 descending | u32 0 | u32 entries | per entry: u32 2 | i32 used | i32 value | u32 1
// | the name as a record string.
//
// Drawing: the ranking sub-loop of stage play (which lives with the stage scene) shows
// g_RankingSet through DrawTable each frame; the world map and the stage list do the
// same beside the chosen stage.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "gamedata/Record.h"

struct DDSURFACEDATA;

inline constexpr int RANKING_TABLE_COUNT = 5;
inline constexpr int RANKING_ENTRY_COUNT = 20;

class cRankingEntry : public cRecord {
 public:
  std::int32_t m_bUsed = 0;
  std::string m_strName;
  std::int32_t m_nValue = 0;

  void BindFields(std::uint32_t nVersion) override;
};

class cRankingTable : public cRecord {
 public:
  cRankingTable() { Reset(); }

  cVector<cRankingEntry> m_Entries;  // best first
  std::int32_t m_bDescending = 0;    // 1: larger values rank higher

  void BindFields(std::uint32_t nVersion) override;
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;
  // The entry count and each entry, the table keeping as many entries as the file holds.
  void LoadEntries(cDataReader& in);

  // Ascending, 20 entries: a longer list is cut, a shorter one filled with cleared entries.
  void Reset();
  // The place the value would take (after equal values), -1 when it takes none.
  int FindRank(std::int32_t nValue) const;
  // Puts the result at its place and drops the last entry; the count stays.
  void Insert(std::string_view name, std::int32_t nValue);
  // The table of quantity q at (x, y) in the 16-pixel font, with the cursor icon on
  // row nCursor (-1 none); -1, or the icon blit's result.
  int Draw(DDSURFACEDATA* surface, int x, int y, int q, int nCursor) const;
};

class cRankingSet : public cRecord {
 public:
  cRankingSet() { Reset(); }

  cVector<cRankingTable> m_Tables;  // by ranked quantity

  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // The five empty tables of a stage not ranked yet.
  void Reset();
  // 1 when the rankings of the stage key in that game mode were read; otherwise the set
  // is reset and 0.
  int LoadFile(int nMode, std::string_view name);
  // 1 when written; 0 for a game mode without rankings or a file that cannot be written.
  int SaveFile(int nMode, std::string_view name);
  int DrawTable(DDSURFACEDATA* surface, int x, int y, int nTable, int nCursor) const;
};

extern cRankingSet g_RankingSet;

// "<folder of the mode><name after its last '\'>rkg"; 0 for a mode without rankings.
int MakeRankingPath(std::string& out, int nMode, std::string_view name);

// The results of the finished game with an icon by each quantity that entered its
// ranking (ranks: 5 table places, -1 none).
void DrawResultPanel(DDSURFACEDATA* surface, int x, int y, const std::int32_t* ranks);

// What a ranking drawing puts where: its window, its texts and its 16 x 16 icons.
struct RANKINGTEXT {
  std::int32_t x = 0, y = 0;
  std::string strText;
  bool operator==(const RANKINGTEXT&) const = default;
};
struct RANKINGICON {
  std::int32_t x = 0, y = 0;
  bool operator==(const RANKINGICON&) const = default;
};
struct RANKINGLAYOUT {
  bool bWindow = false;
  std::int32_t nWindowX = 0, nWindowY = 0, nWindowW = 0, nWindowH = 0;
  cVector<RANKINGTEXT> Texts;
  cVector<RANKINGICON> Icons;
};
RANKINGLAYOUT LayoutRankingTable(const cRankingTable& table, int x, int y, int q, int nCursor);
RANKINGLAYOUT LayoutResultPanel(int x, int y, const std::int32_t* ranks);
