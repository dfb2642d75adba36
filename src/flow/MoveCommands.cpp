// The movement commands and the actor operations that turn a movement into a velocity.
// The executors never move the actor themselves: the velocity goes to the actor's step
// (or inertial) velocities, and the actor's own update moves it through the blocks.
#include <cmath>
#include <cstdlib>

#include "base/Screen.h"
#include "flow/CommandTables.h"
#include "flow/StepCounts.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Move.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/ObjectGeometry.h"
#include "stage/StageScene.h"

namespace {

// The turn a movement asks for.
enum : int { TURN_NONE = 0, TURN_LEFT = 1, TURN_RIGHT = 2 };

bool FacingFixed(const cActor& a) { return a.m_Def.m_bFixedFacing != 0; }

// The hit box's centre on the stage.
double BodyCentreX(const cActor& a) { return (a.m_dX + a.m_dRight) * 0.5; }

bool HasLiveTarget(const cActor& a) { return a.m_pTarget != nullptr && !a.m_pTarget->m_bDead; }

}  // namespace

// ---- velocities ----

int cActor::ResolveMoveDirection(int nCode) const {
  const bool bRight = m_nFacing != 0;
  switch (nCode) {
    case DIR_BEHIND: return bRight ? DIR_LEFT : DIR_RIGHT;
    case DIR_LEFT: return DIR_LEFT;
    case DIR_RIGHT: return DIR_RIGHT;
    case DIR_AHEAD_Y: return bRight ? DIR_DOWN : DIR_UP;
    case DIR_BEHIND_Y: return bRight ? DIR_UP : DIR_DOWN;
    // clang-format off
    case DIR_UP: case DIR_DOWN: case DIR_UP_LEFT: case DIR_DOWN_LEFT: case DIR_UP_RIGHT: case DIR_DOWN_RIGHT:
      return nCode;
    // clang-format on
    case DIR_INPUT: {
      const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
      const cFlowRuntime* pFlow = pScene ? pScene->m_pCurFlow : nullptr;
      int n = DirectionToMoveCode(pFlow ? pFlow->m_nInputDirection : 0, m_nFacing);
      if (!m_bFlying) {
        if (n == DIR_UP_LEFT || n == DIR_DOWN_LEFT) n = DIR_LEFT;
        if (n == DIR_UP_RIGHT || n == DIR_DOWN_RIGHT) n = DIR_RIGHT;
      }
      return n;
    }
    default: return bRight ? DIR_RIGHT : DIR_LEFT;  // DIR_AHEAD; codes outside the list too
  }
}

void cActor::DirectionVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nCode) const {
  vx = vy = 0.0;
  const double k = HALF_SQRT2 * s;
  const double fly = m_bFlying ? 1.0 : 0.0;
  int nTurn = TURN_NONE;
  switch (ResolveMoveDirection(nCode)) {
    // clang-format off
    case DIR_LEFT: vx = -s; nTurn = TURN_LEFT; break;
    case DIR_RIGHT: vx = s; nTurn = TURN_RIGHT; break;
    case DIR_UP: vy = -s * fly; break;
    case DIR_DOWN: vy = s * fly; break;
    case DIR_UP_LEFT: vx = -k; vy = -k * fly; nTurn = TURN_LEFT; break;
    case DIR_DOWN_LEFT: vx = -k; vy = k * fly; nTurn = TURN_LEFT; break;
    case DIR_UP_RIGHT: vx = k; vy = -k * fly; nTurn = TURN_RIGHT; break;
    case DIR_DOWN_RIGHT: vx = k; vy = k * fly; nTurn = TURN_RIGHT; break;
    // clang-format on
    default: break;
  }
  if (!FacingFixed(*this)) turn = nTurn;
}

void cActor::AngleVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nCode, int nAngle) const {
  int nBase = 0;
  int nTurn = TURN_NONE;
  switch (ResolveMoveDirection(nCode)) {
    // clang-format off
    case DIR_LEFT: nBase = 0; nTurn = TURN_LEFT; break;
    case DIR_RIGHT: nBase = 180; nTurn = TURN_RIGHT; break;
    case DIR_UP: nBase = 90; break;
    case DIR_DOWN: nBase = 270; break;
    case DIR_UP_LEFT: nBase = 45; nTurn = TURN_LEFT; break;
    case DIR_DOWN_LEFT: nBase = 315; nTurn = TURN_LEFT; break;
    case DIR_UP_RIGHT: nBase = 135; nTurn = TURN_RIGHT; break;
    case DIR_DOWN_RIGHT: nBase = 225; nTurn = TURN_RIGHT; break;
    // clang-format on
    default: break;
  }
  if (!FacingFixed(*this)) turn = nTurn;
  const double a = (nBase + static_cast<std::int16_t>(nAngle)) * DEG_TO_RAD;
  vx = -(std::cos(a) * s);
  vy = m_bFlying ? -(std::sin(a) * s) : 0.0;
}

void cActor::TargetVelocity(double& vx, double& vy, std::int32_t& turn, double s, int nOffsetX, int nOffsetY,
                            const cEdMove& move, std::int32_t& nRemaining) const {
  const cStageScene& scene = TheStage();
  const double cx = ScreenCentreX();
  const double cy = ScreenCentreY();
  const double sx = scene.m_ScrollX.m_dPos;
  const double sy = scene.m_ScrollY.m_dPos;
  double dx = 0.0;
  double dy = 0.0;
  switch (move.m_nCoordMode) {
    case COORD_FROM_PLACEMENT:
      dx = nOffsetX + m_dSpawnX - (cx + sx);
      dy = nOffsetY + m_dSpawnY - (cy + sy);
      break;
    case COORD_RELATIVE:  // from where the actor is
      dx = nOffsetX;
      dy = nOffsetY;
      break;
    case COORD_ABSOLUTE:  // from the stage's first block
      dx = scene.m_ScrollX.m_nMargin * double{BLOCK_SIZE} + nOffsetX + BLOCK_SIZE / 2 - (cx + sx);
      dy = scene.m_ScrollY.m_nMargin * double{BLOCK_SIZE} + nOffsetY + BLOCK_SIZE / 2 - (cy + sy);
      break;
    case COORD_SCREEN:
      dx = nOffsetX + BLOCK_SIZE / 2 - cx;
      dy = nOffsetY + BLOCK_SIZE / 2 - cy;
      break;
    default: break;
  }
  if (!move.m_bUseX) dx = 0.0;
  if (!move.m_bUseY) dy = 0.0;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0.0) {
    vx = vy = 0.0;
  } else {
    vx = move.m_bNoMoveX ? 0.0 : dx / d * s;
    vy = move.m_bNoMoveY ? 0.0 : dy / d * s;
  }
  if (!FacingFixed(*this)) turn = vx < -1e-8 ? TURN_LEFT : vx > 1e-8 ? TURN_RIGHT : TURN_NONE;
  // The command ends on arrival; already there, it ends in this step.
  if (move.m_bStopAtTarget && s != 0.0) nRemaining = Trunc32(std::fabs(d) / std::fabs(s));
}

void cActor::ApplyMoveVelocity(double vx, double vy, int nTurn, cCommandRuntime& runtime, const cEdMove& move,
                               int bForce) {
  if ((!FacingFixed(*this) || bForce) && !move.m_bKeepFacing) {
    if (nTurn == TURN_LEFT) m_nFacing = 0;
    if (nTurn == TURN_RIGHT) m_nFacing = 1;
  }
  if (move.m_bInertia) {
    const double cap = std::fabs(runtime.m_dSpeed2);
    auto Accelerate = [&](double& u, double v, std::int32_t& bBrake) {
      double a = PerSecondToPerStep(v);
      if ((u < 0 && 0 < v) || (v < 0 && 0 < u)) {
        a *= move.m_fBrake;
      } else {
        bBrake = 0;  // moving on with the push: no friction in this step
      }
      u += a;
      if (u > cap) u = cap;
      if (u < -cap) u = -cap;
    };
    Accelerate(m_dPushX, vx, m_bBrakeX);
    Accelerate(m_dPushY, vy, m_bBrakeY);
  } else {
    m_dStepX += vx;
    m_dVelY += vy;
  }
  if (!move.m_bKeepAnime) {
    m_bMovedThisStep = 1;
    m_Anime.Change(m_bFlying ? 3 : 1, 1);
  }
}

void cActor::CheckGroundAhead(cCommandRuntime& runtime, const cEdMove&) {
  runtime.m_dVelY = 0.0;
  runtime.m_nTurn = TURN_NONE;
  runtime.m_dVelX = FacingSign() * runtime.m_dSpeed;
  if (m_bPushedByBlockChara) {
    // Pushed back by a block character: walk the other way, and keep pace with the
    // platform carried on.
    runtime.m_nTurn = m_nFacing == 0 ? TURN_RIGHT : TURN_LEFT;
    runtime.m_dVelX = -runtime.m_dVelX;
    for (const cChara& c : g_Charas) {
      if (c.m_nSerial != m_nCarrierSerial || !c.m_Def.m_bBlockChara) continue;
      const double d = c.m_dX - m_CarrierBox.m_dLeft;
      const bool bAgainst = (m_nFacing != 0 && d < 0) || (m_nFacing == 0 && d > 0);
      runtime.m_dVelX += bAgainst ? 2 * d : d;
      break;
    }
    m_bPushedByBlockChara = 0;
    return;
  }
  if (g_BlockMap.empty()) return;
  const cStageScene& scene = TheStage();
  const int nRow = std::min(Trunc32((m_dBottom + 1.1) / BLOCK_SIZE), scene.m_ScrollY.m_nCells - 1);
  const bool bLeft = g_BlockMap[scene.CellIndex(m_nCellLeft, nRow)].GetHitKind(m_nSide) != 0;
  const bool bRight = g_BlockMap[scene.CellIndex(m_nCellRight, nRow)].GetHitKind(m_nSide) != 0;
  if (bLeft && !bRight) runtime.m_nTurn = TURN_LEFT;
  if (bRight && !bLeft) runtime.m_nTurn = TURN_RIGHT;
}

void cActor::HomingStep(cCommandRuntime& runtime, const cEdMove& move, cActor* pTarget, double x, double y) {
  if (!move.m_bNoMoveX && !move.m_bNoMoveY) {
    MoveToPoint(runtime, pTarget, x, y, m_bScrollSync, move.m_bSnapOnArrival);
  } else if (move.m_bNoMoveY) {
    ApproachX(runtime, pTarget, x, m_bScrollSync, move.m_bSnapOnArrival);
  } else {
    ApproachY(runtime, pTarget, y, m_bScrollSync, move.m_bSnapOnArrival);
  }
}

void cActor::AvoidOffscreenStep(cCommandRuntime& runtime, const cEdMove&) {
  int nCode = runtime.m_nMoveMode;
  if (nCode != DIR_INPUT) nCode = ResolveMoveDirection(nCode);
  const bool L = nCode == DIR_LEFT || nCode == DIR_UP_LEFT || nCode == DIR_DOWN_LEFT;
  const bool R = nCode == DIR_RIGHT || nCode == DIR_UP_RIGHT || nCode == DIR_DOWN_RIGHT;
  const bool U = nCode == DIR_UP || nCode == DIR_UP_LEFT || nCode == DIR_UP_RIGHT;
  const bool D = nCode == DIR_DOWN || nCode == DIR_DOWN_LEFT || nCode == DIR_DOWN_RIGHT;
  const double s = runtime.m_dSpeed;
  const SCREENRECT& rc = m_ScreenRect;
  double& vx = runtime.m_dVelX;
  double& vy = runtime.m_dVelY;
  vx = vy = 0.0;
  const cStageScene& scene = TheStage();
  const cScrollAxis& ax = scene.m_ScrollX;
  const cScrollAxis& ay = scene.m_ScrollY;
  // Moves away from an edge once the picture is within a block of it.
  constexpr int kNearRight = VIEW_WIDTH - BLOCK_SIZE, kNearBottom = VIEW_HEIGHT - BLOCK_SIZE;
  if (ax.m_dSpeed == 0.0 || ax.m_bAtLimit) {
    if (L && rc.left > kNearRight) {
      vx = -s;
    } else if (R && rc.right < BLOCK_SIZE) {
      vx = s;
    }
    if (U && rc.top > kNearBottom) {
      vy = -s;
    } else if (D && rc.bottom < BLOCK_SIZE) {
      vy = s;
    }
    return;
  }
  // The view moves on by itself: allow for its speed, and stop where it stops.
  const double a = ax.m_dSpeed;
  const double sx = ax.m_dPos;
  const double W = ax.m_nFar;
  const double b = ay.m_dSpeed;
  const double sy = ay.m_dPos;
  const double H = ay.m_nFar;
  if (L && rc.left > kNearRight - std::fabs(a + 1) && sx > 0 && sx + a <= W - VIEW_WIDTH) {
    vx = a - s;
  } else if (R && rc.right < std::fabs(a + 1) + BLOCK_SIZE && sx + a > 0 && sx < W - VIEW_WIDTH) {
    vx = a + s;
  }
  if (U && rc.top > kNearBottom - std::fabs(b + 1) && sy > 0 && sy + b <= H - VIEW_HEIGHT) {
    vy = b - s;
  } else if (D && rc.bottom < std::fabs(b + 1) + BLOCK_SIZE && sy + b > 0 && sy < H - VIEW_HEIGHT) {
    vy = b + s;
  }
}

// ---- executors ----

int ExecStraightMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return 0;
  if (!runtime.m_bStarted) {
    runtime.m_bStarted = 1;
    switch (pMove->m_nMode) {
      case MOVE_BY_DIRECTION:
        if (runtime.m_nAngle == 0) {
          actor.DirectionVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime.m_dSpeed,
                                  runtime.m_nMoveMode);
        } else {
          actor.AngleVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime.m_dSpeed, runtime.m_nMoveMode,
                              runtime.m_nAngle);
        }
        break;
      case MOVE_TO_COORDS:
        actor.TargetVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime.m_dSpeed, runtime.m_nOffsetX,
                             runtime.m_nOffsetY, *pMove, runtime.m_nRemaining);
        break;
      default: break;
    }
  } else {
    if (!actor.m_bFlying) runtime.m_dVelY = 0.0;
    // A fixed-facing actor that something turned runs back the way it came.
    if (pMove->m_bReverseOnTurn && actor.m_Def.m_bFixedFacing == 1 && actor.m_nFacing != runtime.m_nLastFacing) {
      runtime.m_dVelX = -runtime.m_dVelX;
      runtime.m_dVelY = -runtime.m_dVelY;
    }
  }
  actor.ApplyMoveVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime, *pMove, 0);
  runtime.m_nLastFacing = actor.m_nFacing;
  return 0;
}

int ExecGroundTurnMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove || actor.m_bFlying) return 0;
  if (actor.m_dKnockX == 0 && actor.m_dKnockY == 0) {
    actor.CheckGroundAhead(runtime, *pMove);
  } else {
    // Knocked back: walk on ahead without looking.
    runtime.m_dVelX = actor.FacingSign() * runtime.m_dSpeed;
    runtime.m_dVelY = 0.0;
    runtime.m_nTurn = TURN_NONE;
  }
  actor.ApplyMoveVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime, *pMove, 1);
  return 0;
}

int ExecCircleMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove || runtime.m_nRadius == 0) return 0;
  if (!runtime.m_bStarted) {
    runtime.m_dPhaseX = runtime.m_dPhaseY = runtime.m_nStartAngle;
    runtime.m_bStarted = 1;
  }
  int r = runtime.m_nMoveMode;
  if (r == ROTATE_CLOCKWISE_FACING_LEFT) r = actor.m_nFacing != 0 ? ROTATE_ANTICLOCKWISE : ROTATE_CLOCKWISE;
  else if (r == ROTATE_ANTICLOCKWISE_FACING_LEFT) r = actor.m_nFacing != 0 ? ROTATE_CLOCKWISE : ROTATE_ANTICLOCKWISE;
  double vx = 0.0;
  double vy = 0.0;
  const double s = runtime.m_dSpeed;
  const double dStep = s * g_FrameScale;
  if (!pMove->m_bNoMoveX) vx -= WaveOffset(runtime.m_nRadius, 1, runtime.m_dPhaseX, dStep, 0.0) * s;
  if (!pMove->m_bNoMoveY && actor.m_bFlying) {
    vy -= WaveOffset(runtime.m_nRadius, 1, runtime.m_dPhaseY, dStep, r == ROTATE_CLOCKWISE ? 270.0 : 90.0) * s;
  }
  actor.ApplyMoveVelocity(vx, vy, TURN_NONE, runtime, *pMove, 0);
  return 0;
}

int ExecChargeMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return 0;
  if (!runtime.m_bStarted) {
    runtime.m_bStarted = 1;
    if (!HasLiveTarget(actor)) {
      runtime.m_dVelX = runtime.m_dVelY = 0.0;
      return 0;
    }
    cActor& target = *actor.m_pTarget;
    if (actor.m_bFlying) {
      double x = actor.ScreenCentreX();
      double y = actor.ScreenCentreY();
      target.GetMoveTarget(x, y, runtime);
      actor.HomingStep(runtime, *pMove, &target, x, y);
    } else {
      if (pMove->m_bNoMoveX) {
        runtime.m_dVelX = 0.0;
      } else {
        cActor::ApproachStep(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, &target, actor.ScreenCentreX(),
                             target.ScreenCentreX() + runtime.m_nOffsetX, runtime.m_dSpeed, actor.m_bScrollSync, 0);
      }
      runtime.m_dVelY = 0.0;
    }
  } else if (!actor.m_bFlying) {
    runtime.m_dVelY = 0.0;
  }
  actor.ApplyMoveVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime, *pMove, 0);
  return 0;
}

int ExecHomingMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove || !HasLiveTarget(actor)) return 0;
  cActor& target = *actor.m_pTarget;
  const int p = runtime.m_nRadius;
  const int c = runtime.m_nCounter;
  // Every p steps it aims at where the target was p steps before.
  auto Steer = [&](cMovePoint now, auto&& aim) {
    if (p <= 0) {
      aim(now);
    } else if (c == 0) {
      runtime.m_Points.clear();
      runtime.m_Points.push_back(now);
      aim(now);
    } else if (c % p == 0) {
      if (!runtime.m_Points.empty()) aim(runtime.m_Points.front());
      runtime.m_Points.push_back(now);
      if (runtime.m_Points.size() > 1) runtime.m_Points.pop_front();
    }
  };
  if (actor.m_bFlying) {
    cMovePoint now{static_cast<double>(actor.ScreenCentreX()), static_cast<double>(actor.ScreenCentreY())};
    target.GetMoveTarget(now.x, now.y, runtime);
    Steer(now, [&](cMovePoint pt) { actor.HomingStep(runtime, *pMove, &target, pt.x, pt.y); });
  } else {
    if (pMove->m_bNoMoveX) return 0;
    runtime.m_dVelY = 0.0;
    const cMovePoint now{static_cast<double>(target.ScreenCentreX()) + runtime.m_nOffsetX, 0.0};
    Steer(now, [&](cMovePoint pt) {
      actor.ApproachX(runtime, &target, pt.x, actor.m_bScrollSync, pMove->m_bSnapOnArrival);
    });
  }
  actor.ApplyMoveVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime, *pMove, 0);
  runtime.m_nCounter = c + 1;
  return 0;
}

int ExecAvoidOffscreenMove(cActor& actor, cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return 0;
  actor.AvoidOffscreenStep(runtime, *pMove);
  if (!actor.m_bFlying) runtime.m_dVelY = 0.0;
  actor.ApplyMoveVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, runtime, *pMove, 0);
  return 0;
}

int ExecCancelMove(cActor& actor, cCommandRuntime&) {
  actor.m_dKnockX = actor.m_dKnockY = 0.0;
  actor.m_dPushX = actor.m_dPushY = 0.0;
  actor.m_dStepX = actor.m_dVelY = 0.0;
  actor.m_bMoveCancelled = 1;  // no gravity in this step
  return 0;
}

int ExecChangeDirection(cActor& actor, cCommandRuntime& runtime) {
  if (!FacingFixed(actor) || !runtime.m_pCommand) return 0;
  const cEdCommand& command = *runtime.m_pCommand;
  if (runtime.m_nCounter == 0) {
    RequestSound(command.m_nSound);
    const int nWay = command.m_Params.Size() > P_TURN_WAY ? command.m_Params[P_TURN_WAY] : -1;
    switch (nWay) {
      case FACE_LEFT: actor.m_nFacing = 0; break;
      case FACE_RIGHT: actor.m_nFacing = 1; break;
      case FACE_TARGET:
      case FACE_AWAY_FROM_TARGET: {
        // Without a target the sound comes again in the next step.
        if (!actor.m_pTarget) return 0;
        const bool bTargetRight = BodyCentreX(*actor.m_pTarget) > BodyCentreX(actor);
        actor.m_nFacing = (nWay == FACE_TARGET) == bTargetRight ? 1 : 0;
        break;
      }
      case FACE_LAST_BLOCK:
      case FACE_AWAY_FROM_LAST_BLOCK:
        if (actor.m_nLastBlockSide == 0 || actor.m_nLastBlockSide == 1) {
          actor.m_nFacing = nWay == FACE_LAST_BLOCK ? actor.m_nLastBlockSide : 1 - actor.m_nLastBlockSide;
        }
        break;
      default: break;
    }
  }
  // The turn is repeated every tenth of a second while the command runs.
  if (++runtime.m_nCounter >= 6 * g_SubSteps) runtime.m_nCounter = 0;
  return 0;
}

int ExecJump(cActor& actor, cCommandRuntime& runtime) {
  actor.Jump(runtime);
  ++runtime.m_nCounter;
  return 0;
}
