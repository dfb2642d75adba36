// Loads arbitrary bytes as one of the ten database files (the first byte chooses which),
// builds the run-time tables from the result, and checks that a list that loads saves
// and loads again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>

#include "gamedata/Database.h"
#include "stage/RunTimeTables.h"

namespace {

template <class T>
std::string SaveImage(cVector<T>& list) {
  cDataWriter out;
  out.WriteU32(g_nDataVersion);
  SaveRecordList(out, list);
  return out.Bytes();
}

template <class T>
void Exercise(cVector<T>& list, std::string file) {
  std::unique_ptr<cDataReader> in = OpenLoadData(std::move(file));
  if (!LoadDatabaseList(*in, list)) return;
  g_Database.ResetNoneEffects();
  BuildDatabaseTables();
  const std::string first = SaveImage(list);
  cVector<T> again;
  std::unique_ptr<cDataReader> back = OpenLoadData(first);
  if (!LoadDatabaseList(*back, again)) std::abort();
  if (SaveImage(again) != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  g_nDataVersion = CURRENT_DATA_VERSION;
  g_bStripCR = 1;
  g_Database.Reset();
  std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
  cEdDatabase& db = g_Database;
  auto lists = std::tie(db.m_AnimeSets, db.m_Animes, db.m_BmpCharaExcs, db.m_SwordTypes, db.m_Effects,
                        db.m_CharaEffects, db.m_ScrEffects, db.m_Pictures, db.m_Sounds, db.m_Bgms);
  const int nChoice = data[0] % 10;
  int n = 0;
  std::apply([&](auto&... list) { ((n++ == nChoice ? Exercise(list, file) : void()), ...); }, lists);
  return 0;
}
