#include "stage/RunTimeTables.h"

#include <algorithm>

#include "gamedata/ClampedMath.h"
#include "gamedata/Database.h"

cAnimeStepTables g_AnimeFrameTables;
cAnimeStepTables g_EffectFrameTables;
cVector<cCharaEffectState> g_CharaEffectStates;
cVector<cCharaEffectState> g_CharaEffectStatesReversed;
cVector<cScreenEffectState> g_ScrEffectStates;
cVector<cScreenEffectState> g_ScrEffectStatesReversed;

namespace {

// Tenths of a second as frames of the 60-frames clock; a stored time too large for the
// step's counter becomes its largest value.
std::int32_t TenthsToFrames(std::int32_t nTenths) {
  return ClampTo<std::int32_t>(static_cast<std::int64_t>(nTenths) * 6);
}

// Entry 0 stands for none: its steps take no time, hold and loop. Other entries play
// once and end; an animation locks from its first locking frame on (effect frames have
// no lock).
template <class Frame>
void BuildTable(cVector<ANIMESTEP>& steps, const cVector<Frame>& frames, bool bNone) {
  steps.resize(frames.size() + 1);
  std::int32_t bLocked = 0;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const Frame& frame = frames[static_cast<int>(k)];
    if constexpr (requires { frame.m_bLock; }) {
      if (frame.m_bLock) bLocked = 1;
    }
    steps[static_cast<int>(k)] =
        bNone ? ANIMESTEP{frame.m_nPattern, 0, 1} : ANIMESTEP{frame.m_nPattern, TenthsToFrames(frame.m_nTime), bLocked};
  }
  steps[static_cast<int>(frames.size())] = bNone ? ANIMESTEP{ANIME_CODE_LOOP, 0, 1} : ANIMESTEP{ANIME_CODE_END, 0, 0};
}

}  // namespace

void MakeReversedEffectLists() {
  g_Database.m_CharaEffectsReversed = g_Database.m_CharaEffects;
  g_Database.m_ScrEffectsReversed = g_Database.m_ScrEffects;
}

void BuildAnimeTables(cAnimeStepTables& tables) {
  const cVector<cEdAnime>& animes = g_Database.m_Animes;
  tables.assign(animes.size(), cVector<ANIMESTEP>());
  for (int i = 0; i < animes.Size(); ++i) BuildTable(tables[i], animes[i].m_Frames, i == 0);
}

void BuildEffectTables(cAnimeStepTables& tables) {
  const cVector<cEdEffect>& effects = g_Database.m_Effects;
  tables.assign(effects.size(), cVector<ANIMESTEP>());
  for (int i = 0; i < effects.Size(); ++i) BuildTable(tables[i], effects[i].m_Frames, i == 0);
}

void BuildCharaEffectTables(cVector<cCharaEffectState>& normal, cVector<cCharaEffectState>& reversed) {
  const int nCount = g_Database.m_CharaEffects.Size();
  normal.assign(static_cast<std::size_t>(nCount), cCharaEffectState());
  reversed.assign(static_cast<std::size_t>(nCount), cCharaEffectState());
  for (int i = 0; i < nCount; ++i) {
    normal[i].Init(i, 0);
    reversed[i].Init(i, 1);
  }
}

void BuildScrEffectTables(cVector<cScreenEffectState>& normal, cVector<cScreenEffectState>& reversed) {
  const int nCount = g_Database.m_ScrEffects.Size();
  normal.assign(static_cast<std::size_t>(nCount), cScreenEffectState());
  reversed.assign(static_cast<std::size_t>(nCount), cScreenEffectState());
  for (int i = 0; i < nCount; ++i) {
    normal[i].Init(i, 0);
    reversed[i].Init(i, 1);
  }
}

void BuildDatabaseTables() {
  MakeReversedEffectLists();
  BuildAnimeTables(g_AnimeFrameTables);
  BuildEffectTables(g_EffectFrameTables);
  BuildCharaEffectTables(g_CharaEffectStates, g_CharaEffectStatesReversed);
  BuildScrEffectTables(g_ScrEffectStates, g_ScrEffectStatesReversed);
}
