// The run state with which stage play starts a character effect or a screen effect: the
// effect's index, its record (in the normal list, or in the reversed copy for the form
// that runs backwards) and the values precomputed from its parameters. Start-up builds
// one state of each form for every effect (see stage/RunTimeTables.h).
#pragma once
#include <cstdint>

#include "base/Vector.h"

class cEdCharaEffect;
class cEdScrEffect;

class cCharaEffectState {
 public:
  std::int32_t m_nIndex = 0;
  cEdCharaEffect* m_pEffect = nullptr;  // lives in g_Database for the whole run
  std::int32_t m_nStart = 0;
  std::int32_t m_nEnd = 0;
  double m_dValue = 0.0;    // current value
  double m_dStep = 0.0;     // change per frame
  double m_dCounter = 0.0;  // phase of the wave kinds

  // Takes effect nIndex of g_Database (of the reversed copy when bReversed is non-zero,
  // whose start and end parameters it then exchanges) and precomputes the start.
  void Init(int nIndex, int bReversed);
  static cCharaEffectState& At(cVector<cCharaEffectState>& list, int nIndex) { return list[nIndex]; }
};

class cScreenEffectState {
 public:
  std::int32_t m_nIndex = 0;
  cEdScrEffect* m_pEffect = nullptr;  // lives in g_Database for the whole run
  std::int32_t m_nStart = 0;
  std::int32_t m_nEnd = 0;
  std::int32_t m_nStartX = 0;  // start point of a move
  std::int32_t m_nStartY = 0;
  double m_dValue = 0.0;    // current value (or the move's progress)
  double m_dStep = 0.0;     // change per frame
  double m_dCounter = 0.0;  // phase of the wave kinds

  void Init(int nIndex, int bReversed);
  static cScreenEffectState& At(cVector<cScreenEffectState>& list, int nIndex) { return list[nIndex]; }
};
