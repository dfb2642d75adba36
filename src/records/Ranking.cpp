#include "records/Ranking.h"

#include "base/Log.h"
#include "base/PathUtil.h"
#include "gamedata/DataPaths.h"
#include "gamedata/RecordList.h"
#include "gamedata/System.h"

cRankingSet g_RankingSet;

namespace {

// The order of each quantity's table in a new set: only the clear time ranks small first.
constexpr std::int32_t NEW_TABLE_DESCENDING[RANKING_TABLE_COUNT] = {1, 1, 0, 1, 1};

constexpr std::uint32_t MAX_RANKING_ENTRIES = 4096;

cRankingTable NewTable(int q) {
  cRankingTable table;
  table.m_bDescending = q >= 0 && q < RANKING_TABLE_COUNT ? NEW_TABLE_DESCENDING[q] : 0;
  return table;
}

}  // namespace

void cRankingEntry::BindFields(std::uint32_t) {
  AddField4(&m_bUsed);
  AddString(&m_strName);
  AddField4(&m_nValue);
}

void cRankingTable::BindFields(std::uint32_t) { AddField4(&m_bDescending); }

void cRankingTable::Load(cDataReader& in) {
  cRecord::Load(in);
  LoadEntries(in);
}

void cRankingTable::LoadEntries(cDataReader& in) {
  if (in.Failed()) return;
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, MIN_RECORD_BYTES)) return;
  // The program keeps 20 entries a table; a file with thousands is damaged, and would
  // slow every redraw of the table.
  if (nCount > MAX_RANKING_ENTRIES) {
    in.Fail();
    return;
  }
  if (!in.ChargeElements(nCount, sizeof(cRankingEntry)) || !in.EnterList()) return;
  m_Entries.resize(nCount);
  for (cRankingEntry& entry : m_Entries) {
    if (in.Failed()) break;
    entry.Load(in);
  }
  in.LeaveList();
}

void cRankingTable::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Entries);
}

void cRankingTable::Reset() {
  Clear();
  m_Entries.resize(RANKING_ENTRY_COUNT);
}

int cRankingTable::FindRank(std::int32_t nValue) const {
  for (int i = 0; i < m_Entries.Size(); ++i) {
    const cRankingEntry& entry = m_Entries[i];
    if (!entry.m_bUsed) return i;
    if (m_bDescending ? nValue > entry.m_nValue : nValue < entry.m_nValue) return i;
  }
  return -1;
}

void cRankingTable::Insert(std::string_view name, std::int32_t nValue) {
  const int nRank = FindRank(nValue);
  if (nRank < 0) return;  // it would be inserted last and dropped at once
  cRankingEntry entry;
  entry.m_bUsed = 1;
  entry.m_strName = name;
  entry.m_nValue = nValue;
  m_Entries.insert(m_Entries.begin() + nRank, std::move(entry));
  m_Entries.pop_back();
}

void cRankingSet::Load(cDataReader& in) {
  cRecord::Load(in);
  // Each table reads its own entries: the elements start without the 20 of a new table,
  // so a damaged count of tables costs only the tables.
  cRankingTable empty;
  empty.m_Entries.clear();
  LoadRecordList(in, m_Tables, empty);
  if (in.Failed()) return;
  // Older files knew three quantities. A file of another count (never written by the
  // program) is brought to five tables the same way, so every table can be shown.
  const bool bOld = g_nLoadVersion < VERSION_HP_SP_RANKING;
  if (bOld || m_Tables.Size() != RANKING_TABLE_COUNT) {
    while (m_Tables.Size() < RANKING_TABLE_COUNT) m_Tables.push_back(NewTable(m_Tables.Size()));
    m_Tables.resize(RANKING_TABLE_COUNT);
    if (bOld) m_Tables[RANK_HP].m_bDescending = m_Tables[RANK_SP].m_bDescending = 1;
  }
}

void cRankingSet::Save(cDataWriter& out) {
  cRecord::Save(out);
  SaveRecordList(out, m_Tables);
}

void cRankingSet::Reset() {
  Clear();
  m_Tables.clear();
  for (int q = 0; q < RANKING_TABLE_COUNT; ++q) m_Tables.push_back(NewTable(q));
}

int MakeRankingPath(std::string& out, int nMode, std::string_view name) {
  if (nMode < 0 || nMode > 2) return 0;
  std::string file(name);
  StripDirectory(file);
  // A key that names a folder would put the file outside the ranking folder.
  if (file == "." || file == "..") {
    ReportPrintf("ランキングファイル名 %s が使えません", std::string(name).c_str());
    return 0;
  }
  FormatString(out, "%s%s%s", g_PathTable[PATH_RANKING_STORY + nMode], file.c_str(), g_ExtTable[EXT_RANKING]);
  return 1;
}

int cRankingSet::LoadFile(int nMode, std::string_view name) {
  std::string path;
  if (MakeRankingPath(path, nMode, name)) {
    // A missing file means a stage not ranked yet; one that is there but does not read
    // is noted before it is replaced at the next entry.
    if (LoadUserFile(path)) return 1;
  }
  Reset();
  return 0;
}

int cRankingSet::SaveFile(int nMode, std::string_view name) {
  std::string path;
  if (!MakeRankingPath(path, nMode, name)) return 0;
  return SaveToFile(path);
}

int cRankingSet::DrawTable(DDSURFACEDATA* surface, int x, int y, int nTable, int nCursor) const {
  return m_Tables[nTable].Draw(surface, x, y, nTable, nCursor);
}
