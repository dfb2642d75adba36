// Commands that steer flows and the stage rather than the actor's body: the flow
// operation on the actor's own flows, the stage clear with the part that follows, the
// warp and the choice of a target.
#include <cmath>

#include "base/Screen.h"
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "flow/StepCounts.h"
#include "records/PlayRecord.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Move.h"
#include "gamedata/WorldMap.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"
#include "stage/ObjectGeometry.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

cStageScene* Scene() { return g_StageScene.load(std::memory_order_relaxed); }

void Operate(cActor& actor, cFlowRuntime& r, int nOp) {
  switch (nOp) {
    case FLOW_OP_RESTART:
      r.End(actor);
      actor.DeleteFlowAnimes(r.m_nSerial);
      r.Start();
      break;
    case FLOW_OP_END:
      r.End(actor);
      actor.DeleteFlowAnimes(r.m_nSerial);
      break;
    case FLOW_OP_PAUSE:
      r.Pause();
      actor.EndFlowAnimes(r.m_nSerial);
      break;
    case FLOW_OP_RESUME:
      r.Resume();
      actor.ResumeFlowAnimes(r.m_nSerial);
      return;  // the step goes on
    case FLOW_OP_DELETE:
      // Removed at the end of the actor's update, not under the running flow pass.
      actor.m_bFlowDeleted = 1;
      r.m_bDeleteRequested = 1;
      break;
    case FLOW_OP_STOP:
      r.StopForever(actor);
      actor.DeleteFlowAnimes(r.m_nSerial);
      break;
    default: return;
  }
  r.m_bAbort = 1;
}

// Moves the actor by d pixels in a resolved direction code, syncing each axis it changes.
void MoveBy(cActor& a, int nCode, double d) {
  const double k = d * HALF_SQRT2;
  double dx = 0.0;
  double dy = 0.0;
  switch (nCode) {
    case DIR_LEFT: dx = -d; break;
    case DIR_RIGHT: dx = d; break;
    case DIR_UP: dy = -d; break;
    case DIR_DOWN: dy = d; break;
    // clang-format off
    case DIR_UP_LEFT: dx = -k; dy = -k; break;
    case DIR_DOWN_LEFT: dx = -k; dy = k; break;
    case DIR_UP_RIGHT: dx = k; dy = -k; break;
    case DIR_DOWN_RIGHT: dx = k; dy = k; break;
    // clang-format on
    default: return;
  }
  if (dx != 0.0) {
    a.m_dX += dx;
    a.SyncX();
  }
  if (dy != 0.0) {
    a.m_dY += dy;
    a.SyncY();
  }
}

}  // namespace

int ExecFlowOperation(cActor& actor, cCommandRuntime& runtime) {
  cStageScene* pScene = Scene();
  if (!runtime.m_pCommand || !pScene) return 0;
  const cEdCommand& c = *runtime.m_pCommand;
  const int nOp = CommandParam(c, P_FLOW_OPERATION);
  const int nWhich = CommandParam(c, P_FLOW_TARGET);
  const int nID = CommandParam(c, P_FLOW_ID);
  cFlowRuntime* pCurrent = pScene->m_pCurFlow;
  if (nWhich == FLOW_TARGET_THIS) {
    if (pCurrent) Operate(actor, *pCurrent, nOp);
    return 0;
  }
  for (int i = 0; i < actor.m_FlowRuntimes.Size(); ++i) {
    cFlowRuntime& r = actor.m_FlowRuntimes[i];
    const bool bAffected = nWhich == FLOW_TARGET_OTHERS ? &r != pCurrent
                           : nWhich == FLOW_TARGET_ID   ? r.m_pFlow && r.m_pFlow->m_nID != 0 && r.m_pFlow->m_nID == nID
                                                        : false;
    if (!bAffected) continue;
    Operate(actor, r, nOp);
    // A stage-start flow started here has run its commands and made other flows current.
    pScene->m_pCurActor = &actor;
    pScene->m_pCurFlow = pCurrent;
  }
  return 0;
}

int CmdStageClear(cActor&, const cEdCommand& command) {
  if (cStageScene* pScene = Scene()) {
    switch (CommandParam(command, P_CLEAR_DESTINATION)) {
      case CLEAR_TO_NEXT: pScene->m_nNextPart = g_PlayRecord.m_nPart + 1; break;
      case CLEAR_TO_PART: pScene->m_nNextPart = CommandParam(command, P_CLEAR_PART); break;
      case CLEAR_WORLD: pScene->m_nNextPart = 0; break;
      default: break;
    }
  }
  if (CommandParam(command, P_CLEAR_SET_MAP_CELL) != 0) {
    // A cell outside the map would leave the hero standing where he cannot move.
    g_PlayRecord.m_nMapX = CommandParam(command, P_CLEAR_MAP_X);
    if (g_PlayRecord.m_nMapX >= g_WorldMap.m_nWidth) g_PlayRecord.m_nMapX = g_WorldMap.m_nWidth - 1;
    if (g_PlayRecord.m_nMapX < 0) g_PlayRecord.m_nMapX = 0;
    g_PlayRecord.m_nMapY = CommandParam(command, P_CLEAR_MAP_Y);
    if (g_PlayRecord.m_nMapY >= g_WorldMap.m_nHeight) g_PlayRecord.m_nMapY = g_WorldMap.m_nHeight - 1;
    if (g_PlayRecord.m_nMapY < 0) g_PlayRecord.m_nMapY = 0;
    g_PlayRecord.m_nMapFacing = 0;
  }
  return 1;
}

int ExecStageClear(cActor& actor, cCommandRuntime& runtime) {
  if (!runtime.m_pCommand) return 0;
  const int nResult = CmdStageClear(actor, *runtime.m_pCommand);
  if (cStageScene* pScene = Scene()) pScene->m_nEndRequest = nResult;
  return 0;
}

void CmdWarp(cActor& actor, const cEdCommand& command) {
  const cEdMove* pMove = command.m_pMove.get();
  cStageScene* pScene = Scene();
  if (!pMove || !pScene) return;
  const double x0 = actor.m_dX, y0 = actor.m_dY, r0 = actor.m_dRight, b0 = actor.m_dBottom;
  const double d = static_cast<double>(ByLevel(pMove->m_nDistancePerLevel, actor.m_nLevel, pMove->m_nDistance)) * 16.0;
  switch (pMove->m_nMode) {
    case WARP_BY_DIRECTION: MoveBy(actor, actor.ResolveMoveDirection(pMove->m_nDirection), d); break;
    case WARP_FROM_TARGET: {
      const cActor* t = actor.m_pTarget;
      if (!t) return;
      const int nCode = t->ResolveMoveDirection(pMove->m_nDirection);
      // The centres of the drawn cells meet.
      actor.m_dX = t->m_dX - t->m_nHitOffX + t->m_nWidth / 2 + actor.m_nHitOffX - actor.m_nWidth / 2;
      actor.SyncX();
      actor.m_dY = t->m_dY - t->m_nHitOffY + t->m_nHeight / 2 + actor.m_nHitOffY - actor.m_nHeight / 2;
      actor.SyncY();
      MoveBy(actor, nCode, d);
      break;
    }
    case WARP_TO_COORDS: {
      double l = pMove->m_nDotX + pMove->m_nCellX * double{BLOCK_SIZE};
      double m = pMove->m_nDotY + pMove->m_nCellY * double{BLOCK_SIZE};
      if (actor.m_nFacing == 1) {
        if (pMove->m_bMirrorX) l = -l;
        if (pMove->m_bMirrorY) m = -m;
      }
      switch (pMove->m_nCoordMode) {
        case WARP_COORD_RELATIVE:
          actor.m_dX += l;
          actor.SyncX();
          actor.m_dY += m;
          actor.SyncY();
          break;
        case WARP_COORD_ABSOLUTE:
          actor.PlaceAtCellX(pMove->m_nCellX);
          actor.PlaceAtCellY(pMove->m_nCellY);
          actor.m_dX += pMove->m_nDotX;
          actor.SyncX();
          actor.m_dY += pMove->m_nDotY;
          actor.SyncY();
          break;
        case WARP_COORD_SCREEN:
          // The drawn cell's top-left goes to screen position (l, m).
          actor.m_dX = actor.m_nHitOffX + pScene->m_ScrollX.m_dPos + l;
          actor.SyncX();
          actor.m_dY = actor.m_nHitOffY + pScene->m_ScrollY.m_dPos + m;
          actor.SyncY();
          break;
        default: break;
      }
      break;
    }
    default: return;
  }
  actor.CalcScreenRect();
  if (actor.IsInStage(0) && !pScene->IsBlocked(actor)) {
    if (!actor.m_bFlying) actor.m_dVelY = 0.0;
    return;
  }
  // Into the margin, a wall or a blocking character: the actor stays.
  actor.m_dX = x0;
  actor.m_dY = y0;
  actor.m_dRight = r0;
  actor.m_dBottom = b0;
  actor.SyncY();
  actor.SyncX();
  actor.CalcScreenRect();
}

void CmdSetTarget(cActor& actor, const cEdCommand& command) {
  cStageScene* pScene = Scene();
  if (actor.m_pTarget) {
    cVector<cActor*>& list = actor.m_pTarget->m_Targeters;
    std::erase(list, &actor);
  }
  const int nSide = CommandParam(command, P_TARGET_SIDE);
  const int bAllSides = CommandParam(command, P_TARGET_ALL_SIDES);
  const int nRange = CommandParam(command, P_TARGET_RANGE);
  const int bExcludeSelf = CommandParam(command, P_TARGET_EXCLUDE_SELF);
  const int bExclude1 = CommandParam(command, P_TARGET_EXCLUDE_1);
  const int bExclude2 = CommandParam(command, P_TARGET_EXCLUDE_2);
  const int bExcludeBlockCharas = CommandParam(command, P_TARGET_EXCLUDE_BLOCK_CHARAS);
  const int bUseId = CommandParam(command, P_TARGET_USE_ID);
  const int nId = static_cast<std::int8_t>(CommandParam(command, P_TARGET_ID));
  const int x = actor.ScreenCentreX();
  const int y = actor.ScreenCentreY();
  auto Nearest = [&](const cVectorList<cActor*>& list) {
    return FindTargetChara(x, y, list, nRange, bUseId, nId, bExcludeSelf, bExclude1, bExclude2, bExcludeBlockCharas,
                           actor.m_nSerial);
  };
  auto First = [&](const cVectorList<cActor*>& list) {
    return FindChara(list, bUseId, nId, bExcludeSelf, bExclude1, bExclude2, bExcludeBlockCharas, actor.m_nSerial);
  };
  const bool bLists = pScene && !pScene->m_SideActors.empty();
  switch (CommandParam(command, P_TARGET_CHOICE)) {
    case TARGET_HERO: actor.m_pTarget = g_Players.empty() ? nullptr : &g_Players[0]; break;
    case TARGET_SELF: actor.m_pTarget = &actor; break;
    case TARGET_NEAREST:
      if (!bLists) {
        actor.m_pTarget = nullptr;
      } else if (!bAllSides) {
        actor.m_pTarget = Nearest(pScene->m_SideActors[nSide]);
      } else {
        // The nearest of each side's nearest.
        cVectorList<cActor*> winners;
        for (const cVectorList<cActor*>& list : pScene->m_SideActors) {
          if (list.empty()) continue;
          if (cActor* p = Nearest(list)) winners.push_back(p);
        }
        actor.m_pTarget = Nearest(winners);
      }
      break;
    case TARGET_BY_ID:
      actor.m_pTarget = nullptr;
      if (!bLists) break;
      if (!bAllSides) {
        actor.m_pTarget = First(pScene->m_SideActors[nSide]);
        break;
      }
      for (const cVectorList<cActor*>& list : pScene->m_SideActors) {
        if (list.empty()) continue;
        if ((actor.m_pTarget = First(list)) != nullptr) break;
      }
      break;
    default: break;
  }
  if (actor.m_pTarget && !IdListContains(actor.m_pTarget->m_Targeters, &actor))
    actor.m_pTarget->m_Targeters.push_back(&actor);
}

int ExecWarp(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdWarp>(actor, runtime); }
int ExecSetTarget(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdSetTarget>(actor, runtime); }
