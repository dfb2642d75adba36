// Loads arbitrary bytes as one of the player's own files: a play record (save slot,
// challenge progress) or one of its entries, a key log, a whole replay file, or the
// rankings of a stage (or one of their tables or entries). The
// first byte chooses the kind (its low seven bits) and how the rest makes the file: as
// it stands (u32 version, then the record), or, with the high bit set, as byte edits of
// a sample file of the kind (triples of u16 offset and value), which reaches into the
// lists and the older layouts. A file that loads is saved, loaded again and saved
// again: the two saves must be the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "records/KeyLog.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "gamedata/Record.h"
#include "gamedata/Stage.h"

namespace {

// One kind of file: how to load it whole, and how to save what was loaded.
class cFuzzFile {
 public:
  virtual ~cFuzzFile() = default;
  virtual bool Load(std::string bytes) = 0;
  virtual std::string Save() = 0;
};

// A record file: u32 version and the record.
template <class T>
class cRecordFile : public cFuzzFile {
 public:
  bool Load(std::string bytes) override {
    std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
    m_Record.Load(*in);
    return !in->Failed();
  }
  std::string Save() override {
    cDataWriter out;
    out.WriteU32(g_nDataVersion);
    m_Record.Save(out);
    return out.Bytes();
  }
  T m_Record;
};

// A replay file: stage, key log and play record, all or nothing.
class cReplayFile : public cFuzzFile {
 public:
  bool Load(std::string bytes) override {
    std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
    return m_Log.LoadReplayFrom(*in, m_Stage, m_Start, m_PlayRecord) == 1;
  }
  std::string Save() override {
    cDataWriter out;
    out.WriteU32(g_nDataVersion);
    m_Stage.SaveForReplay(out, m_Start);
    m_Log.Save(out);
    m_PlayRecord.Save(out);
    return out.Bytes();
  }
  cEdStage m_Stage, m_Start;
  cKeyLog m_Log;
  cPlayRecord m_PlayRecord;
};

using Factory = std::function<std::unique_ptr<cFuzzFile>()>;

template <class T>
Factory Make() {
  return [] { return std::make_unique<T>(); };
}

const Factory g_Factories[] = {
    Make<cRecordFile<cPlayRecord>>(),  Make<cRecordFile<cCarryOverEntry>>(), Make<cRecordFile<cStageBest>>(),
    Make<cRecordFile<cStageResult>>(), Make<cRecordFile<cKeyLog>>(),         Make<cReplayFile>(),
    Make<cRecordFile<cRankingSet>>(),  Make<cRecordFile<cRankingTable>>(),   Make<cRecordFile<cRankingEntry>>(),
};
constexpr std::size_t KIND_COUNT = sizeof(g_Factories) / sizeof(g_Factories[0]);

// Saves of one sample of every kind in the versions given.
template <class T>
std::vector<std::string> Images(const T& sample, std::initializer_list<std::uint32_t> versions) {
  std::vector<std::string> files;
  for (std::uint32_t v : versions) {
    g_nDataVersion = v;
    T copy = sample;
    files.push_back(copy.Save());
  }
  g_nDataVersion = CURRENT_DATA_VERSION;
  return files;
}

const std::vector<std::string>& Samples(std::size_t nKind) {
  static std::vector<std::vector<std::string>> samples;
  if (samples.empty()) {
    cRecordFile<cPlayRecord> record;
    cPlayRecord& r = record.m_Record;
    r.m_CarryOver.resize(2);
    r.m_CarryOver[1].m_Chara.m_Flows.emplace_back().m_Commands.resize(1);
    r.m_CarryMask[3] = 1;
    r.SetStageBest("data\\stg4\\A.", 40);
    r.m_Stages.resize(3);
    r.m_Stages[1].m_nBest = 9;
    cRecordFile<cCarryOverEntry> entry;
    entry.m_Record = r.m_CarryOver[1];
    cRecordFile<cStageBest> best;
    best.m_Record = r.m_StageBests[0];
    cRecordFile<cStageResult> result;
    result.m_Record = r.m_Stages[1];
    cRecordFile<cKeyLog> log;
    for (int f = 0; f < 30; ++f)
      log.m_Record.RecordFrame(static_cast<std::uint16_t>(f / 7), static_cast<std::uint16_t>(f % 4));
    cReplayFile replay;
    replay.m_Stage.m_nWidth = 30;
    replay.m_Stage.m_nHeight = 15;
    cEdChara& hero = replay.m_Stage.m_Charas.emplace_back();
    hero.m_nOperator = 0;
    hero.m_Flows.emplace_back().m_Commands.resize(1);
    replay.m_Stage.m_Items.resize(1);
    replay.m_Stage.m_Backgrounds.resize(1);
    replay.m_Start.MakeStartSnapshot(replay.m_Stage);
    replay.m_Log = log.m_Record;
    replay.m_PlayRecord = r;
    cRecordFile<cRankingSet> rankings;
    rankings.m_Record.m_Tables[0].Insert("abc", 12);
    rankings.m_Record.m_Tables[2].Insert("", 4500);
    rankings.m_Record.m_Tables[4].m_Entries.resize(3);
    cRecordFile<cRankingTable> table;
    table.m_Record = rankings.m_Record.m_Tables[0];
    cRecordFile<cRankingEntry> rankingEntry;
    rankingEntry.m_Record = table.m_Record.m_Entries[0];
    samples = {Images(record, {160, 190, 500, CURRENT_DATA_VERSION}),
               Images(entry, {CURRENT_DATA_VERSION}),
               Images(best, {CURRENT_DATA_VERSION}),
               Images(result, {CURRENT_DATA_VERSION}),
               Images(log, {CURRENT_DATA_VERSION}),
               Images(replay, {200, CURRENT_DATA_VERSION}),
               Images(rankings, {180, CURRENT_DATA_VERSION}),
               Images(table, {CURRENT_DATA_VERSION}),
               Images(rankingEntry, {CURRENT_DATA_VERSION})};
  }
  return samples[nKind];
}

std::string EditedSample(std::size_t nKind, const std::uint8_t* data, std::size_t size) {
  return fuzz::EditSample(Samples(nKind), data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  g_nDataVersion = CURRENT_DATA_VERSION;
  g_bStripCR = 1;
  const std::size_t nKind = (data[0] & 0x7f) % KIND_COUNT;
  std::string file = data[0] & 0x80 ? EditedSample(nKind, data + 1, size - 1)
                                    : std::string(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::unique_ptr<cFuzzFile> loaded = g_Factories[nKind]();
  if (!loaded->Load(file)) {
    loaded->Save();  // what a failed load leaves must still be a whole file
    return 0;
  }
  const std::string first = loaded->Save();
  std::unique_ptr<cFuzzFile> again = g_Factories[nKind]();
  if (!again->Load(first)) std::abort();
  if (again->Save() != first) std::abort();
  return 0;
}
