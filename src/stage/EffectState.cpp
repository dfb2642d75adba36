#include "stage/EffectState.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gamedata/Database.h"

namespace {

constexpr double ONE_FRAME = 1.0 / 6.0;  // a tenth of a second is six frames

// Change per frame that takes the value from p1 to p2 in p0 tenths of a second. A time
// below one tenth counts as one, so a damaged record cannot make an endless change.
double StepOver(const std::int32_t* p) {
  const double dDistance = std::fabs(static_cast<double>(p[2]) - static_cast<double>(p[1]));
  return dDistance / (static_cast<double>(std::max(p[0], 1)) * 6.0);
}

// The record of effect nIndex; null (after the bad-index report) when the list is empty.
template <class T>
T* EffectAt(cVector<T>& list, int nIndex) {
  if (list.empty()) {
    ReportBadVectorIndex("err V[%d] ( %d , %d )", nIndex, 0, static_cast<int>(sizeof(T)));
    return nullptr;
  }
  return &list[nIndex];
}

}  // namespace

void cCharaEffectState::Init(int nIndex, int bReversed) {
  m_nIndex = nIndex;
  m_pEffect = EffectAt(bReversed ? g_Database.m_CharaEffectsReversed : g_Database.m_CharaEffects, nIndex);
  if (!m_pEffect) return;
  std::int32_t* p = m_pEffect->m_nParams;
  const int nKind = m_pEffect->m_nKind;
  if (nKind < 1 || nKind > 16) return;
  if (nKind == CHARA_EFFECT_BLINK || nKind == CHARA_EFFECT_TRANSLUCENT) {
    m_nStart = 0;
    m_nEnd = p[0];
    m_dValue = 0.0;
    m_dStep = ONE_FRAME;
    return;
  }
  if (bReversed) std::swap(p[1], p[2]);
  m_nStart = p[1];
  m_nEnd = p[2];
  m_dValue = p[1];
  m_dStep = StepOver(p);
  if (nKind == CHARA_EFFECT_WAVE_X || nKind == CHARA_EFFECT_WAVE_Y) m_dCounter = 0.0;
}

void cScreenEffectState::Init(int nIndex, int bReversed) {
  m_nIndex = nIndex;
  m_pEffect = EffectAt(bReversed ? g_Database.m_ScrEffectsReversed : g_Database.m_ScrEffects, nIndex);
  if (!m_pEffect) return;
  std::int32_t* p = m_pEffect->m_nParams;
  switch (m_pEffect->m_nKind) {
    case SCR_EFFECT_MOVE:
      if (bReversed) {
        std::swap(p[1], p[3]);
        std::swap(p[2], p[4]);
      }
      m_dValue = 0.0;
      m_dStep = ONE_FRAME;
      m_nStartX = p[1];
      m_nStartY = p[2];
      break;
    case SCR_EFFECT_SHAKE_X:
    case SCR_EFFECT_SHAKE_Y:
      m_nStart = m_nEnd = 0;
      m_dValue = m_dCounter = 0.0;
      m_dStep = ONE_FRAME;
      break;
    case SCR_EFFECT_BLINK:
      m_dValue = 0.0;
      m_dStep = ONE_FRAME;
      break;
    case 4:
    case 5:
    case SCR_EFFECT_WAVE_X:
    case SCR_EFFECT_WAVE_Y:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
      if (bReversed) std::swap(p[1], p[2]);
      m_nStart = p[1];
      m_nEnd = p[2];
      m_dValue = p[1];
      m_dStep = StepOver(p);
      if (m_pEffect->m_nKind == SCR_EFFECT_WAVE_X || m_pEffect->m_nKind == SCR_EFFECT_WAVE_Y) m_dCounter = 0.0;
      break;
    default:
      break;
  }
}
