#include "gamedata/ProjectRefs.h"

#include "gamedata/Database.h"
#include "gamedata/System.h"

int cProjectRefs::DatabaseSize(eDatabase nDatabase) const {
  const cEdDatabase& db = g_Database;
  switch (nDatabase) {
    case DB_ANIME_SET: return db.m_AnimeSets.Size();
    case DB_ANIME: return db.m_Animes.Size();
    case DB_CHARA_BMP: return db.m_BmpCharaExcs.Size();
    case DB_SWORD_TYPE: return db.m_SwordTypes.Size();
    case DB_EFFECT: return db.m_Effects.Size();
    case DB_CHARA_EFFECT: return db.m_CharaEffects.Size();
    case DB_SCR_EFFECT: return db.m_ScrEffects.Size();
    case DB_PICTURE: return db.m_Pictures.Size();
    case DB_SOUND: return db.m_Sounds.Size();
    case DB_BGM: return db.m_Bgms.Size();
    default: return 0;
  }
}

int cProjectRefs::SwordEntryCount(int nType) const {
  const cVector<cEdSwordType>& types = g_Database.m_SwordTypes;
  return IsValidRef(nType, types.Size()) ? types[nType].m_Entries.Size() : 0;
}

int cProjectRefs::SwordEntryTime(int nType, int nEntry) const {
  const cVector<cEdSwordType>& types = g_Database.m_SwordTypes;
  if (!IsValidRef(nType, types.Size())) return 0;
  const cVector<cEdSwordEntry>& entries = types[nType].m_Entries;
  return IsValidRef(nEntry, entries.Size()) ? entries[nEntry].m_nTime : 0;
}

bool cProjectRefs::KeepTestOnlyFlows() const { return g_System.m_bKeepTestOnlyFlows != 0; }

void InstallDataRefs() {
  static const cProjectRefs refs;
  SetDataRefs(&refs);
}
