// The run state of a character effect or a screen effect: the effect's index, its
// record (in the normal list, or in the reversed copy for the form that runs
// backwards), how it runs (normal, reversed, there and back; looping) and the values
// that advance frame by frame. Start-up builds one precomputed state of each form for
// every effect (see stage/RunTimeTables.h); Start copies one of them.
#pragma once
#include <cstdint>

#include "base/Vector.h"

class cEdCharaEffect;
class cEdScrEffect;

// Run modes of the effect commands.
enum : std::int32_t { EFFECT_RUN_NORMAL = 0, EFFECT_RUN_REVERSED = 1, EFFECT_RUN_ROUND_TRIP = 2 };

class cCharaEffectState {
 public:
  std::int32_t m_nIndex = 0;            // 0: no effect runs
  cEdCharaEffect* m_pEffect = nullptr;  // lives in g_Database for the whole run
  std::int32_t m_nMode = EFFECT_RUN_NORMAL;
  std::int32_t m_bLoop = 0;
  std::int32_t m_nDirection = 0;  // 1 while the reversed form runs
  std::int32_t m_nStart = 0;
  std::int32_t m_nEnd = 0;
  double m_dValue = 0.0;        // current value
  double m_dStep = 0.0;         // change per frame
  std::int32_t m_nCounter = 0;  // wave phase in degrees, or the blink counter
  std::int32_t m_bToggle = 0;   // blink: 1 while shown

  // Takes effect nIndex of g_Database (of the reversed copy when bReversed is non-zero,
  // whose start and end parameters it then exchanges) and precomputes the start.
  void Init(int nIndex, int bReversed);
  // Starts effect nIndex (0 ends the running one) in a run mode, looping or not.
  void Start(int nIndex, int nMode, int bLoop);
  // The next pass: a round trip turns round; the values start again.
  void Restart();
  // One frame; 1 when the effect has ended (the caller then sets the index to 0).
  int Tick();
  // The kind of the running effect's record (0 when none).
  int Kind() const;
  static cCharaEffectState& At(cVector<cCharaEffectState>& list, int nIndex) { return list[nIndex]; }

 private:
  void CopyValues(const cCharaEffectState& from);
};

class cScreenEffectState {
 public:
  std::int32_t m_nIndex = 0;          // 0: no effect runs
  cEdScrEffect* m_pEffect = nullptr;  // lives in g_Database for the whole run
  std::int32_t m_nMode = EFFECT_RUN_NORMAL;
  std::int32_t m_bLoop = 0;
  std::int32_t m_nDirection = 0;
  std::int32_t m_nStart = 0;
  std::int32_t m_nEnd = 0;
  double m_dValue = 0.0;   // t: current value (or the move's progress in tenths)
  double m_dSecond = 0.0;  // o: the shake's offset
  double m_dStep = 0.0;    // change per frame
  std::int32_t m_nA = 0;   // move: x; shake: 1 while moving back; wave: phase; blink: counter
  std::int32_t m_nB = 0;   // move: y; blink: 1 while shown

  void Init(int nIndex, int bReversed);
  void Start(int nIndex, int nMode, int bLoop);
  void Restart();
  // One frame of a value running from nStart to nEnd by dStep, compared by its
  // integer part; 1 when the effect has ended.
  int Tick(int nStart, int nEnd, double dStep);
  int Kind() const;
  static cScreenEffectState& At(cVector<cScreenEffectState>& list, int nIndex) { return list[nIndex]; }

 private:
  void CopyValues(const cScreenEffectState& from);
};
