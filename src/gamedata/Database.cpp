#include "gamedata/Database.h"

#include "base/Log.h"
#include "gamedata/DataPaths.h"

cEdDatabase g_Database;

void cEdDatabase::Reset() {
  Clear();
  m_AnimeSets.ResetRecords(1);
  m_Animes.ResetRecords(2);
  m_Animes[0].m_strName = "なし";
  m_Animes[1].m_strName = "アクションA";
  m_BmpCharaExcs.ResetRecords(2);
  m_SwordTypes.ResetRecords(1);
  m_Effects.ResetRecords(2);
  m_CharaEffects.ResetRecords(2);
  m_ScrEffects.ResetRecords(2);
  m_Pictures.ResetRecords(2);
  m_Sounds.ResetRecords(2);
  m_Bgms.ResetRecords(2);
}

bool cEdDatabase::LoadAll() {
  // The files' paths are every second entry of the path table from the animation sets on.
  auto load = [](auto& list, int nFile) {
    const char* path = g_PathTable[PATH_ANIME_SET + 2 * nFile];
    if (LoadDatabaseFile(list, path)) return true;
    ErrorBoxPrintf("%s のロードに失敗！", path);
    return false;
  };
  if (!load(m_AnimeSets, 0) || !load(m_Animes, 1) || !load(m_BmpCharaExcs, 2) || !load(m_SwordTypes, 3) ||
      !load(m_Effects, 4) || !load(m_CharaEffects, 5) || !load(m_ScrEffects, 6) || !load(m_Pictures, 7) ||
      !load(m_Sounds, 8) || !load(m_Bgms, 9)) {
    return false;
  }
  return ResetNoneEffects();
}

namespace {

// Entry 0 of an effect list is none. A list without it is reported like any bad index;
// nothing is written.
template <class T>
bool ResetNoneEntry(cVector<T>& list) {
  if (list.empty()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", 0, 0, static_cast<int>(sizeof(T)));
    return false;
  }
  list[0].m_nKind = 0;
  return true;
}

}  // namespace

bool cEdDatabase::ResetNoneEffects() {
  const bool bChara = ResetNoneEntry(m_CharaEffects);
  const bool bScreen = ResetNoneEntry(m_ScrEffects);
  return bChara && bScreen;
}
