// Palette references of block, character and item definitions, and the inheritance of
// properties from a base definition.
//
// A definition may name a definition of its own class as its base, in the common palette
// or in the stage palette of g_Stage, and take property groups from it (flag i of
// m_Inherit not 0: group i is copied). The copy happens once, when the definition is
// loaded; afterwards the values are its own and are saved as such.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/DataRefs.h"

// How definitions name a palette (their base, and a block its item).
enum : std::int8_t { REF_NONE = 0, REF_COMMON = 1, REF_STAGE = 2 };

// Take-from-base flags per class.
inline constexpr int BLOCK_INHERIT_COUNT = 11;
inline constexpr int CHARA_INHERIT_COUNT = 37;
inline constexpr int ITEM_INHERIT_COUNT = 13;

// The number of definitions of kind in the palette that a reference names; -1 when the
// palette value is neither common nor stage.
int ReferencedListSize(std::int8_t nPalette, eDefinition nKind);

// The upgrade step of a class that added an inheritable property: the list becomes n
// flags long, flags p.. move up one place (the last falls out) and flag p is 1.
void InsertInheritFlag(cVector<std::uint8_t>& flags, int n, int p);

// The base that def takes its flagged groups from, or null when there is none. A base
// index outside the named list clears the base palette (the index stays). common and
// stage are the lists of def's class in the two palettes.
template <class T>
const T* FindInheritBase(T& def, const cVector<T>& common, const cVector<T>& stage) {
  if (def.m_nBaseIndex == 0 || def.m_nBasePalette == REF_NONE) return nullptr;
  // Any other palette value names the definition itself: copying from it changes nothing.
  if (def.m_nBasePalette != REF_COMMON && def.m_nBasePalette != REF_STAGE) return nullptr;
  const cVector<T>& list = def.m_nBasePalette == REF_COMMON ? common : stage;
  if (!IsValidRef(def.m_nBaseIndex, list.Size())) {
    def.m_nBasePalette = REF_NONE;
    return nullptr;
  }
  return &list[def.m_nBaseIndex];
}

// The first step of every definition's normalisation: a base in the common or stage
// palette that does not exist is dropped (palette and index 0).
template <class T>
void CheckBaseRef(T& def, eDefinition nKind) {
  const int nSize = ReferencedListSize(def.m_nBasePalette, nKind);
  if (nSize >= 0 && !IsValidRef(def.m_nBaseIndex, nSize)) {
    def.m_nBasePalette = REF_NONE;
    def.m_nBaseIndex = 0;
  }
}

// A database index that points nowhere becomes nRepair, or 0 when the database has no
// entry nRepair either.
template <class T>
void RepairIndex(T& nIndex, eDatabase nDatabase, T nRepair) {
  const int nSize = DataRefs().DatabaseSize(nDatabase);
  if (!IsValidRef(nIndex, nSize)) nIndex = IsValidRef(nRepair, nSize) ? nRepair : T(0);
}
