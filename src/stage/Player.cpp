#include "stage/Player.h"

#include <algorithm>

#include "stage/ActorPhysics.h"
#include "stage/StageScene.h"

namespace {

// The view centred on the player's box, inside the scroll limits.
void Follow(cScrollAxis& axis, double pos, int nSize) {
  if (axis.m_bAuto) return;
  const double half = axis.m_nView >> 1;
  axis.m_dPos = std::max<double>(pos - (half - (nSize >> 1)), axis.m_nMin);
  axis.m_dPos = std::min<double>(axis.m_dPos, axis.m_nMax - axis.m_nView);
}

}  // namespace

cVector<cPlayer> g_Players;

int cPlayer::SyncX() {
  Follow(TheStage().m_ScrollX, m_dX, m_nHitW);
  return ClampX(m_bFlying ? 0 : 1);
}

int cPlayer::SyncY() {
  Follow(TheStage().m_ScrollY, m_dY, m_nHitH);
  return ClampY(m_bFlying ? 0 : 1);
}

int cPlayer::MoveX() {
  if (m_dKnockX != 0) {
    m_dStepX = m_dKnockX;
  } else if (m_dPushX != 0) {
    ApplyFriction(m_dPushX, m_bBrakeX);
    // A speed-change block adds to or takes from the walk, never turning it round.
    if (m_nFootSteps != 0 && m_nFootKind == 3) {
      const double f = PerSecondToPerStep(m_dJumpUnit) * (m_dFootFactor - 1);
      const double before = m_dPushX;
      m_dPushX += before > 0 ? f : -f;
      if ((before > 0 && m_dPushX < 0) || (before < 0 && m_dPushX > 0)) m_dPushX = 0.0;
    }
    m_dStepX += m_dPushX;
  }
  m_dStepX = std::clamp(m_dStepX, -g_MaxSpeed, g_MaxSpeed);
  m_dX += m_dStepX;
  SyncX();
  return 0;
}

// A walking player below the stage or the map reports 7: it fell out.
int cPlayer::MoveY() {
  ApplyKnockBackY();
  if (m_dKnockY == 0 && m_bFlying) {
    ApplyFriction(m_dPushY, m_bBrakeY);
    m_dVelY += m_dPushY;
  }
  const int nCode = StepY(m_bFlying ? 0 : 2);
  SyncY();
  if (!m_bFlying && (nCode == 5 || nCode == 6)) return 7;
  return nCode;
}
