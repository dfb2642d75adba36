// What stored references are checked against when flow records are loaded or saved: the
// sizes of the database lists and of the palettes' definition lists, the sword types'
// entry times, and whether test-only flows are kept. The owners of those lists (the
// database, the common palette, the stage, the system settings) answer through one
// object installed with SetDataRefs. Unless an object answers otherwise, the palette
// sizes are those of g_CommonPalette and of g_Stage's palette, and every other list is
// empty.
#pragma once
#include <cstdint>

// The database lists, in the order of their files.
enum eDatabase : int {
  DB_ANIME_SET = 0,
  DB_ANIME,
  DB_CHARA_BMP,
  DB_SWORD_TYPE,
  DB_EFFECT,
  DB_CHARA_EFFECT,
  DB_SCR_EFFECT,
  DB_PICTURE,
  DB_SOUND,
  DB_BGM,
  DB_COUNT
};

// Palettes as summons and item commands number them, and the definition lists in each.
enum ePalette : int { PALETTE_COMMON = 0, PALETTE_STAGE = 1 };
enum eDefinition : int { DEF_BLOCK = 0, DEF_CHARA = 1, DEF_ITEM = 2 };

class cDataRefs {
 public:
  virtual ~cDataRefs() = default;
  virtual int DatabaseSize(eDatabase nDatabase) const;
  virtual int PaletteSize(ePalette nPalette, eDefinition nKind) const;
  // Entries of sword type nType (0 for a type that does not exist) and their times.
  virtual int SwordEntryCount(int nType) const;
  virtual int SwordEntryTime(int nType, int nEntry) const;
  // The project keeps flows marked for test play only.
  virtual bool KeepTestOnlyFlows() const;
};

// Installs the answers (null: every list empty); the object must outlive its use.
void SetDataRefs(const cDataRefs* pRefs);
const cDataRefs& DataRefs();

// True when nIndex names an element of a list of nSize elements.
inline bool IsValidRef(std::int32_t nIndex, int nSize) { return nIndex >= 0 && nIndex < nSize; }

// What a bad reference becomes: nRepair when the list holds that entry, else entry 0
// (none), so a repair never points past the end of a short list.
inline std::int32_t RepairRef(std::int32_t nRepair, int nSize) { return nRepair < nSize ? nRepair : 0; }
