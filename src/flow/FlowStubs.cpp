#include "flow/FlowStubs.h"

#include <algorithm>
#include <cstdint>

#include "platform/sys.h"
#include "stage/Actor.h"

namespace flowstub {

int g_nSightMaskBuilds = 0;

namespace {
void StartGauge(cGauge& gauge, int nValue, int nMax, int nDelta) {
  if (nDelta == 0 || nMax <= 0) return;
  gauge.m_nCounter = 120;
  gauge.m_nLength = static_cast<int>(static_cast<std::int64_t>(nValue) * 50 / nMax);
  gauge.m_dDamage = static_cast<double>(nDelta) * 50 / nMax;
  gauge.m_dDecay = gauge.m_dDamage * 0.016666666666666666;
}

// Adds nDelta to nValue within 0..nMax, a rise no larger than the room left.
void AddWithin(std::int32_t& nValue, int nDelta, int nMax) {
  std::int64_t v = nValue;
  if (nDelta > 0) v += std::min<std::int64_t>(nDelta, static_cast<std::int64_t>(nMax) - nValue);
  else v += nDelta;
  nValue = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, std::max(nMax, 0)));
}
}  // namespace

int ChangeHp(cActor& actor, int nDelta, bool bForced, bool bGauge) {
  if (!bForced && nDelta <= 0 && IsInvincible(actor)) return 0;
  AddWithin(actor.m_nHp, nDelta, actor.m_Def.m_nMaxHP);
  if (actor.m_nHp <= 0) {
    actor.m_nHp = 0;
    return 1;
  }
  if (bGauge) StartHpGauge(actor, nDelta);
  return 0;
}

void ChangeSp(cActor& actor, int nDelta, bool bGauge) {
  AddWithin(actor.m_nSp, nDelta, actor.m_Def.m_nMaxSP);
  if (bGauge) StartSpGauge(actor, nDelta);
}

void StartHpGauge(cActor& actor, int nDelta) { StartGauge(actor.m_HpGauge, actor.m_nHp, actor.m_Def.m_nMaxHP, nDelta); }
void StartSpGauge(cActor& actor, int nDelta) { StartGauge(actor.m_SpGauge, actor.m_nSp, actor.m_Def.m_nMaxSP, nDelta); }

bool IsInvincible(const cActor& actor) { return actor.m_Def.m_nInvincible != 0 || actor.m_nInvincibleSteps > 0; }

void MakeSightMask(cStageScene&) { ++g_nSightMaskBuilds; }

}  // namespace flowstub
