// HP and SP changes with their gauges, hits by characters and shots, invincibility
// after a hit, and the death of an actor with the unlinking it needs.
#include <algorithm>
#include <cstdint>

#include "platform/trace.h"
#include "records/PlayRecord.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"

namespace {

constexpr std::int32_t MAX_SCORE = 999999;

std::int32_t ClampI64(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

// A status change shown on a gauge for 120 frames; its lost part runs out in 60 frames.
void StartGauge(cGauge& gauge, std::int32_t nValue, std::int32_t nMax, int nDelta) {
  if (nDelta == 0) return;
  gauge.m_nCounter = 120;
  // A maximum of 0 (data that allows no HP) draws an empty bar instead of dividing by 0.
  if (nMax <= 0) {
    gauge.m_nLength = 0;
    gauge.m_dDamage = 0.0;
  } else {
    gauge.m_nLength = static_cast<std::int32_t>(static_cast<std::int64_t>(nValue) * 50 / nMax);
    gauge.m_dDamage = static_cast<double>(nDelta) * 50 / nMax;
  }
  gauge.m_dDecay = gauge.m_dDamage * 0.016666666666666666;
}

// The payload of an attack: what the damaged actor loses and what it sees.
int TakeHit(cActor& self, std::int32_t nPower, int nHitEffect, const cBox& hitBox, const cBox& attackBox, int nScale) {
  std::int64_t p = nPower;
  // Defence blunts an attack; a power of 0 or below heals as it stands.
  if (p > 0) p = std::clamp<std::int64_t>(p - self.m_Def.m_nDefence, 0, MAX_SCORE);
  const int r = self.ChangeHp(static_cast<int>(-p), false, true);
  if (nHitEffect != 0) {
    if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed))
      pScene->AddHitEffect(nHitEffect, hitBox, attackBox, nScale);
  }
  return r;
}

cBox BoxOf(const cHitBox& b) { return cBox{b.m_dLeft, b.m_dTop, b.m_dRight, b.m_dBottom}; }

}  // namespace

int cActor::ChangeHp(int nDelta, bool bForced, bool bGauge) {
  if (!bForced && nDelta <= 0 && m_Def.m_nInvincible != 0) return 0;
  const std::int32_t nMax = m_Def.m_nMaxHP;
  std::int64_t d = nDelta;
  if (d > 0) d = std::min<std::int64_t>(d, static_cast<std::int64_t>(nMax) - m_nHp);
  m_nHp = ClampI64(static_cast<std::int64_t>(m_nHp) + d, 0, std::max(nMax, 0));
  if (m_nHp <= 0) {
    m_nHp = 0;
    return 1;
  }
  if (bGauge) StartHpGauge(static_cast<int>(d));
  return 0;
}

void cActor::StartHpGauge(int nDelta) { StartGauge(m_HpGauge, m_nHp, m_Def.m_nMaxHP, nDelta); }

void cActor::ChangeSp(int nDelta, bool bGauge) {
  const std::int32_t nMax = m_Def.m_nMaxSP;
  std::int64_t d = nDelta;
  if (d > 0) d = std::min<std::int64_t>(d, static_cast<std::int64_t>(nMax) - m_nSp);
  m_nSp = ClampI64(static_cast<std::int64_t>(m_nSp) + d, 0, std::max(nMax, 0));
  if (bGauge) StartSpGauge(static_cast<int>(d));
}

void cActor::StartSpGauge(int nDelta) { StartGauge(m_SpGauge, m_nSp, m_Def.m_nMaxSP, nDelta); }

int cActor::DamageFromChara(cActor& a) {
  const auto nImpact = static_cast<std::int8_t>(a.m_Def.m_nBodyImpact);
  const int r =
      TakeHit(*this, a.m_Def.m_nBodyPower, a.m_Def.m_nBodyHitEffect, BoxOf(m_BoxA), BoxOf(a.m_BoxA), a.m_Def.m_nScale);
  KnockBackFromChara(a);
  // Both fire even when defence or invincibility took the damage away.
  if (a.m_Def.m_nBodyPower != 0) flowhook::FireTrigger(*this, TRIGGER_DAMAGE);
  if (nImpact != 0) flowhook::FireTrigger(*this, TRIGGER_IMPACT);
  return r;
}

int cActor::DamageFromShot(cShot& s) {
  const cEdShot& pay = s.m_Shot;
  const auto nImpact = static_cast<std::int8_t>(pay.m_nImpact);
  const cBox attack{s.m_dAtkLeft, s.m_dAtkTop, s.m_dAtkRight, s.m_dAtkBottom};
  const int r = TakeHit(*this, pay.m_nPower, pay.m_nHitEffect, BoxOf(m_BoxB), attack, pay.m_nSize);
  KnockBackFromShot(s);
  if (pay.m_nPower != 0) flowhook::FireTrigger(*this, TRIGGER_DAMAGE);
  if (nImpact != 0) flowhook::FireTrigger(*this, TRIGGER_IMPACT);
  return r;
}

// The stage keeps, in frames: hero same-attacker, hero, character same-attacker,
// character invincibility.
void cActor::StartInvincibility() { m_nInvincibleSteps = g_SubSteps * g_Stage.m_HitTimes[m_nKind == 0 ? 1 : 3]; }

void cActor::StartInvincibilityFrom(int nAttackerId) {
  StartInvincibility();
  m_HitMemory.push_back({nAttackerId, g_SubSteps * g_Stage.m_HitTimes[m_nKind == 0 ? 0 : 2]});
}

void cActor::TickInvincibility() {
  if (--m_nInvincibleSteps <= 0) m_nInvincibleSteps = 0;
  for (auto it = m_HitMemory.begin(); it != m_HitMemory.end();) {
    if (--it->m_nStepsLeft <= 0) {
      it = m_HitMemory.erase(it);
    } else {
      ++it;
    }
  }
}

bool cActor::IsInvincibleAgainst(int nAttackerId) const {
  if (IsInvincible()) return true;
  return std::any_of(m_HitMemory.begin(), m_HitMemory.end(),
                     [nAttackerId](const cHitMemory& m) { return m.m_nAttackerId == nAttackerId; });
}

int cActor::Die() {
  flowhook::FireTrigger(*this, TRIGGER_DEATH);
  Update(1);
  g_PlayRecord.m_nStageScore =
      ClampI64(static_cast<std::int64_t>(g_PlayRecord.m_nStageScore) + m_Def.m_nScore, 0, MAX_SCORE);
  int r = 0;
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (cItem* pItem = GetHeldItem(); pItem && pScene && !g_Players.empty()) r = pScene->GiveItem(pItem, g_Players[0]);
  // A stage clear keeps the actor as it is: the stage ends now.
  if ((pScene && pScene->m_nEndRequest == 1) || r == 1) return 1;
  for (cActor* p : m_Targeters) p->m_pTarget = nullptr;
  m_Targeters.clear();
  if (m_pTarget != nullptr) {
    auto& list = m_pTarget->m_Targeters;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    m_pTarget = nullptr;
  }
  for (cShot* s : m_AimingShots) s->m_pTarget = nullptr;
  m_AimingShots.clear();
  m_bDead = 1;
  if (plat::trace::Enabled()) {
    if (IsPlayerObject(*this)) {
      plat::trace::Line("hero dead");
    } else {
      plat::trace::Line("chara dead %d", m_nSerial);
    }
  }
  m_CharaEffect.Start(m_Def.m_nDeathEffect, m_Def.m_nDeathEffectParam, 0);
  return 0;
}

void cActor::DeleteFlowAnimes(int nSerial) {
  m_FlowAnimes.remove_if([nSerial](const cFlowAnime& a) { return a.m_nFlowSerial == nSerial; });
}

void cActor::EndFlowAnimes(int nSerial) {
  for (auto it = m_FlowAnimes.begin(); it != m_FlowAnimes.end();) {
    if (it->m_nFlowSerial == nSerial && it->m_nFramesLeft + it->m_nHoldLeft <= 0) {
      it = m_FlowAnimes.erase(it);
      continue;
    }
    if (it->m_nFlowSerial == nSerial) it->m_bStopped = 1;
    ++it;
  }
}

void cActor::ResumeFlowAnimes(int nSerial) {
  for (cFlowAnime& a : m_FlowAnimes)
    if (a.m_nFlowSerial == nSerial) a.m_bStopped = 0;
}

int cStageScene::KillActor(cActor& x) {
  // The hero is the player object itself: a character made from a player-operated
  // definition dies as a character.
  for (const cPlayer& p : g_Players)
    if (&p == &x) return 2;
  if (x.m_bDead) return 0;
  return x.Die();
}

int cStageScene::KillAndCheckEnd(cActor& x) {
  const int r = KillActor(x);
  if (r == 1) {
    EnterGameEnd();
  } else if (r == 2) {
    RequestSystemSound(8);
    if (g_Players[0].Die() == 1) EnterGameEnd();
  }
  return r;
}

int cStageScene::HpCheckPass() {
  cPlayer& hero = g_Players[0];
  if (hero.m_nHp <= 0) {
    RequestSystemSound(8);
    if (hero.Die() == 1) EnterGameEnd();
    return 1;
  }
  for (auto it = g_Charas.begin(); it != g_Charas.end();) {
    cChara& c = *it;
    if (c.m_bRemoved) {
      ++it;
      continue;
    }
    if (c.m_bVanished) {
      it = EraseChara(g_Charas, it);
      continue;
    }
    if (c.m_nHp <= 0) {
      const bool bWasDead = c.m_bDead != 0;
      const int r = KillAndCheckEnd(c);
      if (g_System.m_bEndCheckRule) {
        // The drawing removes it once its death animation has run.
        if (r == 1) {
          EraseChara(g_Charas, it);
          return 1;
        }
        // A character left lying dead is not mourned again at every later pass.
        if (!bWasDead) RequestSystemSound(9);
        if (r != 0) return 1;
      } else {
        it = EraseChara(g_Charas, it);
        if (r != 0) return 1;
        continue;
      }
    }
    ++it;
  }
  return 0;
}
