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

// Take-from-base flags per class: the index of a flag in the stored list names the
// property group it copies.
enum : int {
  BLOCK_INHERIT_TEXT = 0,
  BLOCK_INHERIT_CONDITIONS = 1,
  BLOCK_INHERIT_IMAGE = 2,
  BLOCK_INHERIT_LAYER = 3,
  BLOCK_INHERIT_TRANSPARENT = 4,
  BLOCK_INHERIT_MARK = 5,
  BLOCK_INHERIT_HIT = 6,
  BLOCK_INHERIT_PASS_GROUP = 7,
  BLOCK_INHERIT_EFFECT = 8,
  BLOCK_INHERIT_ITEM = 9,
  BLOCK_INHERIT_FIXED = 10,
};
inline constexpr int BLOCK_INHERIT_COUNT = BLOCK_INHERIT_FIXED + 1;

enum : int {
  CHARA_INHERIT_TEXT = 0,
  CHARA_INHERIT_OPERATOR = 1,
  CHARA_INHERIT_PASS_NUMBER = 2,
  CHARA_INHERIT_CHARA_ID = 3,
  CHARA_INHERIT_CONDITIONS = 4,
  CHARA_INHERIT_FACING = 5,
  CHARA_INHERIT_EXTRA_COPIES = 6,
  CHARA_INHERIT_OFFSET_X = 7,
  CHARA_INHERIT_OFFSET_Y = 8,
  CHARA_INHERIT_IMAGE = 9,
  CHARA_INHERIT_ANIME_SET = 10,
  CHARA_INHERIT_Z = 11,
  CHARA_INHERIT_TRANSPARENT = 12,
  CHARA_INHERIT_CHARA_EFFECT = 13,
  CHARA_INHERIT_DEATH_EFFECT = 14,
  CHARA_INHERIT_MARK = 15,
  CHARA_INHERIT_FIXED_FACING = 16,
  CHARA_INHERIT_FLYING = 17,
  CHARA_INHERIT_INVINCIBLE = 18,
  CHARA_INHERIT_BLOCK_CHARA = 19,
  CHARA_INHERIT_SCALE = 20,
  CHARA_INHERIT_AUTO_SCROLL_SYNC = 21,
  CHARA_INHERIT_SIGHT = 22,
  CHARA_INHERIT_MAX_HP = 23,
  CHARA_INHERIT_MAX_SP = 24,
  CHARA_INHERIT_BLOCK_BOX = 25,
  CHARA_INHERIT_BODY_POWER = 26,
  CHARA_INHERIT_BODY_IMPACT = 27,
  CHARA_INHERIT_BODY_HIT_EFFECT = 28,
  CHARA_INHERIT_DEFENCE = 29,
  CHARA_INHERIT_IMPACT_RESIST = 30,
  CHARA_INHERIT_STOP_EASE = 31,
  CHARA_INHERIT_ACTIVATION_RANGE = 32,
  CHARA_INHERIT_ACTIVATION_GROUP = 33,
  CHARA_INHERIT_SCORE = 34,
  CHARA_INHERIT_GROUP_35 = 35,
  CHARA_INHERIT_FLOWS = 36,
};
inline constexpr int CHARA_INHERIT_COUNT = CHARA_INHERIT_FLOWS + 1;

enum : int {
  ITEM_INHERIT_TEXT = 0,
  ITEM_INHERIT_CONDITIONS = 1,
  ITEM_INHERIT_OFFSET_X = 2,
  ITEM_INHERIT_OFFSET_Y = 3,
  ITEM_INHERIT_IMAGE = 4,
  ITEM_INHERIT_GROUP_5 = 5,
  ITEM_INHERIT_TRANSPARENT = 6,
  ITEM_INHERIT_MARK = 7,
  ITEM_INHERIT_SCALE = 8,
  ITEM_INHERIT_TAKE_MODE = 9,
  ITEM_INHERIT_SHOW_ON_TAKE = 10,
  ITEM_INHERIT_TAKE_SOUND = 11,
  ITEM_INHERIT_COMMANDS = 12,
};
inline constexpr int ITEM_INHERIT_COUNT = ITEM_INHERIT_COMMANDS + 1;

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
