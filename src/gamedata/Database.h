// The ten databases of a project ("data\database\*.dat") in one container, g_Database.
// Start-up loads the ten files once, in a fixed order; afterwards the lists are only
// read. Stage files, definitions, flows and the system settings refer to their entries
// by index.
//
// A database file is u32 version, u32 count and that many records (each file carries
// its own version and is converted on its own).
#pragma once
#include <cstdint>
#include <string_view>

#include "base/Vector.h"
#include "gamedata/Anime.h"
#include "gamedata/CharaEffect.h"
#include "gamedata/Effect.h"
#include "gamedata/Media.h"
#include "gamedata/Record.h"
#include "gamedata/RecordList.h"
#include "gamedata/SwordType.h"

class cEdDatabase : public cRecord {
 public:
  cEdDatabase() { Reset(); }

  cVector<cEdAnimeSet> m_AnimeSets;
  cVector<cEdAnime> m_Animes;              // entry 0 stands for none
  cVector<cEdBmpCharaExc> m_BmpCharaExcs;  // entry 0 has no bitmap
  cVector<cEdSwordType> m_SwordTypes;
  cVector<cEdEffect> m_Effects;            // entry 0 stands for none
  cVector<cEdCharaEffect> m_CharaEffects;  // entry 0 stands for none (kind 0)
  cVector<cEdScrEffect> m_ScrEffects;      // entry 0 stands for none (kind 0)
  cVector<cEdPicture> m_Pictures;
  cVector<cEdSound> m_Sounds;  // sound 0 is none
  cVector<cEdBgm> m_Bgms;      // music 0 is none
  // Copies of the two effect lists that run with start and end exchanged; made by
  // start-up from the loaded lists (see stage/RunTimeTables.h).
  cVector<cEdCharaEffect> m_CharaEffectsReversed;
  cVector<cEdScrEffect> m_ScrEffectsReversed;

  // The database of a project without files: one animation set, two animations ("なし",
  // "アクションA"), one sword type and two default entries in each other list. The
  // reversed lists stay as they are.
  void Reset();
  // Loads the ten files from "data\database\" in order; at the first one that is missing
  // or damaged shows "%s のロードに失敗！" and returns false at once (the lists after it
  // keep what they held). Entry 0 of both effect lists then gets kind 0; an effect file
  // without records is reported as a bad index and refused.
  bool LoadAll();
  bool ResetNoneEffects();
};

extern cEdDatabase g_Database;

// Loads one database file into list: false when it does not open or is damaged, and the
// list is then as it was. Records the list holds already are loaded over (the file's
// count cuts the list or pads it with default records); loaded texts lose their CRs when
// g_bStripCR is set.
template <class T>
bool LoadDatabaseList(cDataReader& in, cVector<T>& list) {
  std::uint32_t nCount = 0;
  if (!in.ReadCount(nCount, MIN_RECORD_BYTES) || !in.ChargeElements(nCount, sizeof(T))) return false;
  // Records are made as their turn comes (see LoadRecordList).
  cVector<T> loaded;
  loaded.reserve(nCount);
  for (std::uint32_t i = 0; i < nCount; ++i) {
    T& record = i < list.size() ? loaded.emplace_back(list[i]) : loaded.emplace_back();
    record.Load(in);
    if (in.Failed()) return false;
  }
  if (g_bStripCR) {
    for (T& record : loaded) record.StripCR();
  }
  list.swap(loaded);
  return true;
}

template <class T>
bool LoadDatabaseFile(cVector<T>& list, std::string_view path) {
  std::unique_ptr<cDataReader> in = OpenLoadFile(path);
  if (!in || !LoadDatabaseList(*in, list)) return false;
  CloseDataFile(std::move(in));
  return true;
}

// Writes a list as a database file (u32 version, u32 count, records); false when the
// file could not be written (the old one is then untouched).
template <class T>
bool SaveDatabaseFile(cVector<T>& list, std::string_view path) {
  std::unique_ptr<cDataWriter> out = OpenSaveFile(path);
  if (!out) return false;
  SaveRecordList(*out, list);
  return CloseDataFile(std::move(out));
}
