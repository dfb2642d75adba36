#include "stage/Chara.h"

#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/StageStubs.h"

cVectorList<cChara> g_Charas;

int cChara::SyncX() { return ClampX(2); }
int cChara::SyncY() { return ClampY(2); }

// Limit code of the step; 3 (the left map edge) is reported as 4, leaving the stage.
int cChara::MoveX() {
  if (m_dKnockX != 0) {
    m_dStepX = m_dKnockX;
  } else if (m_dPushX != 0) {
    ApplyFriction(m_dPushX, m_bBrakeX);
    m_dStepX += m_dPushX;
  }
  const int nCode = StepX(2);
  SyncX();
  return nCode == 3 ? 4 : nCode;
}

// Limit code of the step; a flyer reports 3 and 6 as 8 (leaves), a walker 5 and 6 as 7
// (fell out: killed).
int cChara::MoveY() {
  ApplyKnockBackY();
  if (m_dKnockY == 0 && m_bFlying && m_dPushY != 0) {
    ApplyFriction(m_dPushY, m_bBrakeY);
    m_dVelY += m_dPushY;
  }
  const int nCode = StepY(2);
  SyncY();
  if (m_bFlying) return (nCode == 3 || nCode == 6) ? 8 : nCode;
  return (nCode == 5 || nCode == 6) ? 7 : nCode;
}

int cChara::Jump(cCommandRuntime& runtime) {
  for (std::int32_t b : {m_bAirborne, m_bJumpBlocked, m_bKnocked, m_bNoJump})
    if (b) return b;
  stagestub::PlayCommandSound(*this, runtime);
  m_dVelY = runtime.m_dSpeed;
  m_bJumping = m_bJumpRising = 1;
  m_bOnBlockChara = 0;
  return 1;
}
