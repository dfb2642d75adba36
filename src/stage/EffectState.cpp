#include "stage/EffectState.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gamedata/Database.h"
#include "stage/RunTimeTables.h"

namespace {

constexpr double ONE_FRAME = 1.0 / 6.0;  // a tenth of a second is six frames

// Change per frame that takes the value from p1 to p2 in p0 tenths of a second. A time
// below one tenth counts as one, so a damaged record cannot make an endless change.
double StepOver(const std::int32_t* p) {
  const double dDistance = std::fabs(static_cast<double>(p[2]) - static_cast<double>(p[1]));
  return dDistance / (static_cast<double>(std::max(p[0], 1)) * 6.0);
}

// Entry nIndex of a list through the checked subscript; null (after the bad-index
// report) when the list is empty.
template <class T>
T* EntryAt(cVector<T>& list, int nIndex) {
  if (list.empty()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", nIndex, 0, static_cast<int>(sizeof(T)));
    return nullptr;
  }
  return &list[nIndex];
}

}  // namespace

void cCharaEffectState::Init(int nIndex, int bReversed) {
  m_nIndex = nIndex;
  m_pEffect = EntryAt(bReversed ? g_Database.m_CharaEffectsReversed : g_Database.m_CharaEffects, nIndex);
  if (!m_pEffect) return;
  std::int32_t* p = m_pEffect->m_nParams;
  const int nKind = m_pEffect->m_nKind;
  if (nKind < 1 || nKind > 16) return;
  if (nKind == CHARA_EFFECT_BLINK || nKind == CHARA_EFFECT_TRANSLUCENT) {
    m_nStart = 0;
    m_nEnd = p[0];
    m_dValue = 0.0;
    m_dStep = ONE_FRAME;
    m_nCounter = 0;
    m_bToggle = 0;
    return;
  }
  if (bReversed) std::swap(p[1], p[2]);
  m_nStart = p[1];
  m_nEnd = p[2];
  m_dValue = p[1];
  m_dStep = StepOver(p);
  if (nKind == CHARA_EFFECT_WAVE_X || nKind == CHARA_EFFECT_WAVE_Y) m_nCounter = 0;
}

void cCharaEffectState::CopyValues(const cCharaEffectState& from) {
  m_pEffect = from.m_pEffect;
  m_nStart = from.m_nStart;
  m_nEnd = from.m_nEnd;
  m_dValue = from.m_dValue;
  m_dStep = from.m_dStep;
  m_nCounter = from.m_nCounter;
  m_bToggle = from.m_bToggle;
}

void cCharaEffectState::Start(int nIndex, int nMode, int bLoop) {
  // Number 0 ends the running effect, also before any table exists.
  if (nIndex == 0 && (nMode == EFFECT_RUN_REVERSED ? g_CharaEffectStatesReversed : g_CharaEffectStates).empty()) {
    *this = cCharaEffectState();
    return;
  }
  cVector<cCharaEffectState>& table = nMode == EFFECT_RUN_REVERSED ? g_CharaEffectStatesReversed : g_CharaEffectStates;
  if (const cCharaEffectState* p = EntryAt(table, nIndex)) {
    CopyValues(*p);
  } else {
    *this = cCharaEffectState();
    return;
  }
  m_nDirection = nMode == EFFECT_RUN_REVERSED ? 1 : 0;
  m_nIndex = nIndex;
  m_nMode = nMode;
  m_bLoop = bLoop;
}

void cCharaEffectState::Restart() {
  if (m_nMode == EFFECT_RUN_ROUND_TRIP) m_nDirection = m_nDirection ? 0 : 1;
  cVector<cCharaEffectState>& table = m_nDirection ? g_CharaEffectStatesReversed : g_CharaEffectStates;
  if (const cCharaEffectState* p = EntryAt(table, m_nIndex)) CopyValues(*p);
}

int cCharaEffectState::Tick() {
  if (m_nEnd < m_nStart) {
    m_dValue -= m_dStep;
    if (m_dValue >= m_nEnd) return 0;
  } else {
    m_dValue += m_dStep;
    if (m_dValue <= m_nEnd) return 0;
  }
  if (m_bLoop || (m_nMode == EFFECT_RUN_ROUND_TRIP && m_nDirection == 0)) {
    Restart();
    return 0;
  }
  return 1;
}

int cCharaEffectState::Kind() const { return m_nIndex != 0 && m_pEffect ? m_pEffect->m_nKind : 0; }

void cScreenEffectState::Init(int nIndex, int bReversed) {
  m_nIndex = nIndex;
  m_pEffect = EntryAt(bReversed ? g_Database.m_ScrEffectsReversed : g_Database.m_ScrEffects, nIndex);
  if (!m_pEffect) return;
  std::int32_t* p = m_pEffect->m_nParams;
  const int nKind = m_pEffect->m_nKind;
  switch (nKind) {
    case SCR_EFFECT_MOVE:
      if (bReversed) {
        std::swap(p[1], p[3]);
        std::swap(p[2], p[4]);
      }
      m_dValue = 0.0;
      m_dStep = ONE_FRAME;
      m_nA = p[1];
      m_nB = p[2];
      break;
    case SCR_EFFECT_SHAKE_X:
    case SCR_EFFECT_SHAKE_Y:
      m_dValue = m_dSecond = 0.0;
      m_dStep = ONE_FRAME;
      m_nA = 0;
      break;
    case SCR_EFFECT_BLINK:
      m_dValue = 0.0;
      m_dStep = ONE_FRAME;
      m_nA = m_nB = 0;
      break;
    case SCR_EFFECT_SPLIT_X:
    case SCR_EFFECT_SPLIT_Y:
    case SCR_EFFECT_WAVE_X:
    case SCR_EFFECT_WAVE_Y:
    case SCR_EFFECT_TURN:
    case SCR_EFFECT_CIRCLE:
    case SCR_EFFECT_ZOOM:
    case SCR_EFFECT_LENS:
    case SCR_EFFECT_MOSAIC:
      if (bReversed) std::swap(p[1], p[2]);
      m_nStart = p[1];
      m_nEnd = p[2];
      m_dValue = p[1];
      m_dStep = StepOver(p);
      if (nKind == SCR_EFFECT_WAVE_X || nKind == SCR_EFFECT_WAVE_Y) m_nA = 0;
      break;
    default: break;
  }
}

void cScreenEffectState::CopyValues(const cScreenEffectState& from) {
  m_pEffect = from.m_pEffect;
  m_nStart = from.m_nStart;
  m_nEnd = from.m_nEnd;
  m_dValue = from.m_dValue;
  m_dSecond = from.m_dSecond;
  m_dStep = from.m_dStep;
  m_nA = from.m_nA;
  m_nB = from.m_nB;
}

void cScreenEffectState::Start(int nIndex, int nMode, int bLoop) {
  // Number 0 ends the running effect, also before any table exists.
  if (nIndex == 0 && (nMode == EFFECT_RUN_REVERSED ? g_ScrEffectStatesReversed : g_ScrEffectStates).empty()) {
    *this = cScreenEffectState();
    return;
  }
  cVector<cScreenEffectState>& table = nMode == EFFECT_RUN_REVERSED ? g_ScrEffectStatesReversed : g_ScrEffectStates;
  if (const cScreenEffectState* p = EntryAt(table, nIndex)) {
    CopyValues(*p);
  } else {
    *this = cScreenEffectState();
    return;
  }
  m_nDirection = nMode == EFFECT_RUN_REVERSED ? 1 : 0;
  m_nIndex = nIndex;
  m_nMode = nMode;
  m_bLoop = bLoop;
}

void cScreenEffectState::Restart() {
  if (m_nMode == EFFECT_RUN_ROUND_TRIP) m_nDirection = m_nDirection ? 0 : 1;
  cVector<cScreenEffectState>& table = m_nDirection ? g_ScrEffectStatesReversed : g_ScrEffectStates;
  if (const cScreenEffectState* p = EntryAt(table, m_nIndex)) CopyValues(*p);
}

int cScreenEffectState::Tick(int nStart, int nEnd, double dStep) {
  if (nEnd < nStart) {
    m_dValue -= dStep;
    if (static_cast<int>(m_dValue) >= nEnd) return 0;
  } else {
    m_dValue += dStep;
    if (nEnd >= static_cast<int>(m_dValue)) return 0;
  }
  if (m_bLoop || (m_nMode == EFFECT_RUN_ROUND_TRIP && m_nDirection == 0)) {
    Restart();
    return 0;
  }
  return 1;
}

int cScreenEffectState::Kind() const { return m_nIndex != 0 && m_pEffect ? m_pEffect->m_nKind : 0; }
