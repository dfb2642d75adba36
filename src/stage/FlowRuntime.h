// The run-time records of an actor's flows: one per flow, holding one per command. The
// flow interpreter owns their meaning and completes them; stage play needs the links
// into the actor's own flow definitions (re-pointed whenever an actor is copied) and the
// movement values that the geometry helpers compute for the movement commands.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "gamedata/Flow.h"

class cActor;

// A point a homing move sampled from its target.
struct cMovePoint {
  double x = 0.0;
  double y = 0.0;
};

class cCommandRuntime {
 public:
  cEdCommand* m_pCommand = nullptr;  // in the actor's own flows
  std::int32_t m_bDone = 0;          // finished in the current run of the flow
  std::int32_t m_nTotal = 0;         // run time in steps
  std::int32_t m_nRemaining = 0;     // steps left; 0 not started or finished
  std::uint8_t m_nMoveMode = 0;      // the movement's direction value
  std::int32_t m_nOffsetX = 0;       // target offset in pixels
  std::int32_t m_nOffsetY = 0;
  double m_dSpeed = 0.0;           // pixels per step (degrees per step for a circle)
  std::int32_t m_nAngle = 0;       // straight move: degrees
  std::int32_t m_nRadius = 0;      // circle: pixels x sub-steps; homing: the period in steps
  std::int32_t m_nStartAngle = 0;  // circle: degrees x sub-steps
  std::int32_t m_nEndAngle = 0;
  cVectorList<cMovePoint> m_Points;  // homing: where the target was, oldest first
  double m_dVelX = 0.0;              // the movement's velocity of this step
  double m_dVelY = 0.0;
  std::int32_t m_nTurn = 0;     // facing request: 0 none, 1 left, 2 right
  std::int32_t m_nCounter = 0;  // the executor's step counter
  std::int32_t m_bStarted = 0;  // the executor has begun this run
  double m_dPhaseX = 0.0;       // circle phases
  double m_dPhaseY = 0.0;
  double m_dSpeed2 = 0.0;          // speed cap of an inertial movement
  std::int32_t m_nLastFacing = 0;  // the actor's facing after the last straight-move step

  // A fresh run: not done, not started, the whole run time left. Velocities, the facing
  // request, the sampled points and the last facing stay from the previous run.
  void Reset();
  // One step of the command on the stage's current actor; 1 when it has finished.
  int Step();
  // Speed from distance and time, or time from distance and speed, as the movement's
  // timing mode asks.
  void DeriveTimeOrSpeed(int nLevel);
  // Asks for the command's sound (its sound-database number; 0 is none).
  void PlaySound() const;

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

// An animation a command carries, placed on its flow's time line so that it ends when
// the command starts.
struct cFlowAnimeLink {
  std::int32_t m_nStart = 0;   // on the flow's step count
  std::int32_t m_nAnime = 0;   // animation database number
  std::int32_t m_nOffset = 0;  // frames into the animation
  std::int32_t m_nLength = 0;  // frames
  std::int32_t m_nHold = 0;    // frames the command's base time lasts
  std::int32_t m_bHold = 0;    // rest on the first locking frame while the command runs
};

class cFlowRuntime {
 public:
  std::int32_t m_nIndex = 0;                  // of its flow in the actor's flows
  std::int32_t m_nSerial = 0;                 // unique within the actor
  cEdFlow* m_pFlow = nullptr;                 // in the actor's own flows
  std::int32_t m_bCondLatch = 0;              // the condition list has held once
  cVector<cEdKeyCondition*> m_KeyConditions;  // the flow's, in order
  std::int32_t m_bKeyEdge = 0;                // the key sequence matched in the last test
  cVector<cCommandRuntime> m_Commands;        // one per command, in order
  cVector<cFlowAnimeLink> m_AnimeLinks;
  std::int32_t m_bRunning = 0;
  std::int32_t m_bPaused = 0;
  std::int32_t m_bStopped = 0;  // for ever
  std::int32_t m_bDeleteRequested = 0;
  std::int32_t m_nCurrent = 0;         // first command not yet passed
  std::int32_t m_nStepCount = 0;       // steps since the start
  std::int32_t m_nInputDirection = 0;  // direction channel held at the start
  std::int32_t m_bStartedThisFrame = 0;
  std::int32_t m_bMessageContinue = 0;  // the last finished blocking command was a key message
  std::int32_t m_bAbort = 0;            // end the current step at once
  std::int32_t m_bInStart = 0;          // its instant commands are running now
  std::int32_t m_bRestarted = 0;        // started again since its step began

  // Runs on the stage's current actor: a stage-start flow runs its instant commands
  // here and is idle again at once.
  void Start();
  // One step of the running commands; 1 when the last command has finished.
  int Step();
  // Stops the run (commands cut off) and flags the flow's switch as ended.
  void End(cActor& actor);
  void Pause() { m_bPaused = 1; }
  void Resume() { m_bPaused = 0; }
  // Never stepped or started again.
  void StopForever(cActor& actor);
  // The time line of the animations its commands carry (built with the runtime).
  void BuildAnimeLinks();
};

// The movement code of a held direction channel (0: straight ahead for the facing).
int DirectionToMoveCode(int nChannel, int nFacing);

// A position in the hero's input history while a key sequence is matched: per channel
// the run under the cursor (0 the newest) and the frames of that run up to the cursor.
struct cKeyCursor {
  std::int32_t m_nRun[19] = {};
  std::int32_t m_nFrames[19] = {};
};
