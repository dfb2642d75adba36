// The run-time records of an actor's flows: one per flow, holding one per command. The
// flow interpreter owns their meaning and completes them; stage play needs the links
// into the actor's own flow definitions (re-pointed whenever an actor is copied) and the
// movement values that the geometry helpers compute for the movement commands.
#pragma once
#include <cstdint>

#include "core/Vector.h"
#include "gamedata/Flow.h"

class cCommandRuntime {
 public:
  cEdCommand* m_pCommand = nullptr;  // in the actor's own flows
  std::int32_t m_nRemaining = 0;     // steps left; 0 not started or finished
  std::int32_t m_nOffsetX = 0;       // target offset in pixels
  std::int32_t m_nOffsetY = 0;
  double m_dSpeed = 0.0;             // pixels per step
  double m_dVelX = 0.0;              // the movement's velocity of this step
  double m_dVelY = 0.0;
  std::int32_t m_nTurn = 0;          // facing request: 0 none, 1 left, 2 right
  std::int32_t m_nCounter = 0;       // the executor's step counter

  // The movement reached its goal: no further motion, and the command ends.
  void StopMovement() {
    m_nRemaining = 0;
    m_nCounter = 0;
    m_dVelX = 0.0;
    m_dVelY = 0.0;
  }
  // The command's movement payload, or null.
  const cEdMove* Move() const { return m_pCommand ? m_pCommand->m_pMove.get() : nullptr; }
};

class cFlowRuntime {
 public:
  std::int32_t m_nIndex = 0;                   // of its flow in the actor's flows
  cEdFlow* m_pFlow = nullptr;                  // in the actor's own flows
  cVector<cEdKeyCondition*> m_KeyConditions;   // the flow's, in order
  cVector<cCommandRuntime> m_Commands;         // one per command, in order
};
