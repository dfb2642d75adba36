#include "stage/ActorPhysics.h"

#include <algorithm>
#include <cmath>

#include "base/Screen.h"
#include "stage/Actor.h"
#include "stage/BlockMap.h"
#include "stage/FlowHooks.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"

namespace {

std::int32_t Trunc(double d) { return static_cast<std::int32_t>(d); }

constexpr double EPS = 1e-8;

bool Opposed(double a, double b) { return (a > EPS && b < -EPS) || (a < -EPS && b > EPS); }

// The start speed that, lessened by 1/m a sub-step, covers 16 x |u| pixels.
double KnockSpeed(double u) {
  const double m = g_FrameScale;
  if (u > 0) return (std::sqrt(128.0 * m * u + 1.0) - 1.0) / (2.0 * m);
  if (u < 0) return -(std::sqrt(1.0 - 128.0 * m * u) - 1.0) / (2.0 * m);
  return 0.0;
}

void DecayToZero(double& v) {
  const double d = 1.0 / g_FrameScale;
  if (v > 0) {
    v -= d;
    if (v < 0) v = 0.0;
  } else if (v < 0) {
    v += d;
    if (v > 0) v = 0.0;
  }
}

}  // namespace

void cActor::Land() {
  m_dVelY = 0.0;
  m_dPushY = 0.0;
  m_bContactDown = 1;
  m_nAirSteps = 0;
  m_bAirborne = 0;
  m_bJumpRising = m_bJumping = 0;
  m_bKnocked = 0;
  if (m_nKind != 0) m_bNoJump = 0;
  // The bottom edge moves to the last pixel above the floor cell; the fraction stays.
  m_dY -= (Trunc(m_dBottom) & (BLOCK_SIZE - 1)) + 1;
  SyncY();
  flowhook::FireTrigger(*this, TRIGGER_BLOCK);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_UP_DOWN);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_BELOW);
}

void cActor::HitCeiling() {
  m_bJumpRising = m_bJumping = 1;
  m_bContactUp = 1;
  m_bNoJump = 1;
  m_dVelY = 0.0;
  m_dPushY = 0.0;
  m_dY += BLOCK_SIZE - (Trunc(m_dY) & (BLOCK_SIZE - 1));
  SyncY();
  flowhook::FireTrigger(*this, TRIGGER_BLOCK);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_UP_DOWN);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_ABOVE);
}

void cGameObject::ApplyGravityUnlessFlying() {
  if (!m_bFlying) m_dVelY += g_Gravity;
}

void cGameObject::ApplyFriction(double& v, int bEnabled) const {
  if (!bEnabled) return;
  if (v > 0) {
    v -= m_dBrake;
    if (v < 0) v = 0.0;
  } else if (v < 0) {
    v += m_dBrake;
    if (v > 0) v = 0.0;
  }
}

void cActor::ApplyGravity() {
  if (m_bFlying || m_bOnBlockChara || m_bMoveCancelled || m_dKnockY < 0) return;
  m_dVelY += g_Gravity;
}

void cActor::ClearContacts() { m_bContactLeft = m_bContactRight = m_bContactUp = m_bContactDown = 0; }

void cActor::SavePos() { m_SavedBox = cBox{m_dX, m_dY, m_dRight, m_dBottom}; }

void cActor::RestorePos() {
  m_dX = m_SavedBox.m_dLeft;
  m_dY = m_SavedBox.m_dTop;
  m_dRight = m_SavedBox.m_dRight;
  m_dBottom = m_SavedBox.m_dBottom;
}

bool cActor::IsSupported() const {
  if (m_pFootBlock != nullptr && m_pFootBlock->GetHitKind(m_nSide) != 0) return true;
  return m_bOnBlockChara != 0;
}

void cActor::StopRiding(int bSetPushed) {
  m_bOnBlockChara = 0;
  if (m_dKnockY == 0) m_dVelY = 0.0;
  if (bSetPushed) m_bPushedByBlockChara = 1;
}

double cActor::JumpSpeed(double h) const {
  const double g = g_Gravity;
  // A stage without (or with upward) gravity has no height to reach: no root below 0.
  const double r = g * (g + 8.0 * h);
  double v = (-g - std::sqrt(r > 0 ? r : 0.0)) * 0.5;
  // The hero's jump shrinks with the stage's gravity setting itself.
  if (m_nKind == 0) v *= 0.99 - g_Stage.m_dGravity * 0.025;
  return v;
}

int cActor::ApexSteps(double v) {
  // Without gravity (or with upward gravity) a jump has no apex to reach.
  if (!(g_Gravity > 0)) return 0;
  const double t = g_FrameScale - v / g_Gravity;
  // Without gravity a jump never turns: the count stays within what the timers hold.
  if (std::isnan(t)) return Trunc(g_FrameScale);
  return Trunc(std::clamp(t, 0.0, 2147483647.0));
}

int cActor::JumpFrames(std::int8_t n) const {
  return ApexSteps(JumpSpeedForHeight(n)) / std::max(g_SubSteps, 1) / 6 + 1;
}

void cActor::PlaceAtCellX(int nColumn) {
  m_dX = (nColumn + TheStage().m_ScrollX.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffX + 0.5;
  m_dX -= (m_Def.m_nScale - 1) * (m_nBaseHitW >> 1);
  SyncX();
}

void cActor::PlaceAtCellY(int nRow) {
  m_dY = (nRow + TheStage().m_ScrollY.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffY;
  KeepFootOnScale(m_Def.m_nScale, 1);
  SyncY();
}

void cActor::KnockBack(std::int8_t nImpact, double dx, double dy) {
  if (nImpact == 0) return;
  const auto resist = static_cast<std::int8_t>(m_Def.m_nImpactResist);
  std::int8_t e;
  // Signed bytes, as the definitions store them.
  if (nImpact > 0) {
    e = static_cast<std::int8_t>(nImpact - resist);
    if (e < 0) e = 0;
    if (e > 20) e = 20;
  } else {
    e = static_cast<std::int8_t>(nImpact + resist);
    if (e < -20) e = -20;
    if (e > 0) e = 0;
  }
  if (e != 0) KnockBackVelocity(m_dKnockX, m_dKnockY, e, dx, dy);
  if (m_dPushX != 0 && Opposed(m_dPushX, m_dKnockX)) m_dPushX = 0.0;
  if (m_dPushY != 0 && Opposed(m_dPushY, m_dKnockY)) m_dPushY = 0.0;
  if (m_dVelY != 0 && Opposed(m_dVelY, m_dKnockY)) m_dVelY = 0.0;
  m_bKnocked = 1;
}

void cActor::KnockBackVelocity(double& outX, double& outY, std::int8_t e, double dx, double dy) {
  const double s = std::fabs(dx) + std::fabs(dy);
  if (s == 0) {
    outX = outY = 0.0;
    return;
  }
  outX = KnockSpeed(e * dx / s);
  outY = KnockSpeed(e * dy / s);
}

void cActor::KnockBackFromChara(const cActor& other) {
  double dy = other.m_dVelY;
  // A walker that is not yet falling hard pushes only sideways.
  if (other.m_bFlying == 0 && 8.0 * g_FrameScale * g_Gravity > other.m_dVelY) dy = 0.0;
  KnockBack(static_cast<std::int8_t>(other.m_Def.m_nBodyImpact), other.m_dStepX, dy);
}

void cActor::KnockBackFromShot(const cShot& shot) {
  const auto nImpact = static_cast<std::int8_t>(shot.m_Shot.m_nImpact);
  if (shot.m_bIsShot == 0) {
    KnockBack(nImpact, shot.m_nFacing != 0 ? 1.0 : -1.0, 0.0);
  } else {
    KnockBack(nImpact, shot.m_dStepX, shot.m_dVelY);
  }
}

void cActor::ApplyKnockBackY() {
  if (m_dKnockY != 0) {
    if (m_bFlying) {
      m_dVelY += m_dKnockY;
    } else if (m_dKnockY > 0 && IsSupported()) {
      m_dKnockY = 0.0;
    } else {
      // The knock-back is a share of the velocity that the next one replaces.
      m_dVelY = m_dVelY - m_dPrevKnockY + m_dKnockY;
    }
  }
  m_dPrevKnockY = m_dKnockY;
}

void cActor::DecayVelocityX() { DecayToZero(m_dKnockX); }
void cActor::DecayVelocityY() { DecayToZero(m_dKnockY); }
