#include "stage/ActorPhysics.h"

#include "stage/Actor.h"
#include "stage/FlowHooks.h"

namespace {

std::int32_t Trunc(double d) { return static_cast<std::int32_t>(d); }

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
  m_dY -= (Trunc(m_dBottom) & 31) + 1;
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
  m_dY += 32 - (Trunc(m_dY) & 31);
  SyncY();
  flowhook::FireTrigger(*this, TRIGGER_BLOCK);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_UP_DOWN);
  flowhook::FireTrigger(*this, TRIGGER_BLOCK_ABOVE);
}
