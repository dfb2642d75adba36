// Tables that start-up derives once from the loaded databases, so that no frame has to
// interpret a database record: a step table for every animation and every effect in the
// form the pattern sequencer of stage play plays, the reversed copies of the character-
// and screen-effect lists, and a precomputed start state for both forms of every effect.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "stage/EffectState.h"

// One step of a step table: a pattern shown for a number of frames.
struct ANIMESTEP {
  std::int32_t nPattern;  // at the end of a table one of the codes below
  std::int32_t nFrames;
  std::int32_t bLock;  // while shown, no other sequence starts unless forced
};

// Last steps: start again from the first step, or end (reported as the pattern).
enum : std::int32_t { ANIME_CODE_LOOP = -2, ANIME_CODE_END = -4 };

using cAnimeStepTables = cVector<cVector<ANIMESTEP>>;

extern cAnimeStepTables g_AnimeFrameTables;   // one per animation of m_Animes
extern cAnimeStepTables g_EffectFrameTables;  // one per effect of m_Effects
extern cVector<cCharaEffectState> g_CharaEffectStates;
extern cVector<cCharaEffectState> g_CharaEffectStatesReversed;
extern cVector<cScreenEffectState> g_ScrEffectStates;
extern cVector<cScreenEffectState> g_ScrEffectStatesReversed;

// The reversed effect lists of g_Database become record-by-record copies of the loaded
// ones. Must precede the effect state tables, which exchange values in the copies.
void MakeReversedEffectLists();
void BuildAnimeTables(cAnimeStepTables& tables);
void BuildEffectTables(cAnimeStepTables& tables);
void BuildCharaEffectTables(cVector<cCharaEffectState>& normal, cVector<cCharaEffectState>& reversed);
void BuildScrEffectTables(cVector<cScreenEffectState>& normal, cVector<cScreenEffectState>& reversed);

// All of the above into the globals, in the order start-up needs. The reversed copies are
// made afresh each time, so the exchange of start and end happens once whatever calls it.
void BuildDatabaseTables();
