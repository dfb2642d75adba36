// Command set-up when a flow's run state is built: movement angles, target offsets,
// circle radii and angles, speeds and run times from the per-level values, and the time
// line of the animations that commands carry.
#include <algorithm>
#include <cstdlib>

#include "flow/CommandTables.h"
#include "flow/StepCounts.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Database.h"
#include "gamedata/Move.h"
#include "stage/RunTimeTables.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"

namespace {

// The target offset in pixels, mirrored on the flagged axes for a right-facing actor.
void SetTargetOffset(cCommandRuntime& runtime, const cEdMove& move, int nFacing) {
  runtime.m_nOffsetX = Clamp32(move.m_nCellX * 32LL + move.m_nDotX);
  runtime.m_nOffsetY = Clamp32(move.m_nCellY * 32LL + move.m_nDotY);
  if (nFacing == 1) {
    if (move.m_bMirrorX) runtime.m_nOffsetX = -runtime.m_nOffsetX;
    if (move.m_bMirrorY) runtime.m_nOffsetY = -runtime.m_nOffsetY;
  }
}

void DeriveUnlessGiven(cCommandRuntime& runtime, const cEdMove& move, const cActor& actor) {
  if (move.m_nTimingMode != TIMING_TIME_AND_SPEED) runtime.DeriveTimeOrSpeed(actor.m_nLevel);
}

// Clockwise and anticlockwise exchange; the facing-dependent senses stay.
std::uint8_t ExchangeSense(std::uint8_t nMode) {
  return nMode <= ROTATE_ANTICLOCKWISE ? static_cast<std::uint8_t>(nMode ^ 1) : nMode;
}

// Frames of an animation up to its first locking frame (the rest it holds on).
std::int64_t FramesBeforeLock(const cEdAnime& anime) {
  std::int64_t n = 0;
  for (const cEdAnimeFrame& f : anime.m_Frames) {
    if (f.m_bLock) break;
    n += f.m_nTime;
  }
  return n * 6;
}

}  // namespace

void cCommandRuntime::DeriveTimeOrSpeed(int nLevel) {
  const cEdMove* pMove = Move();
  if (!pMove) return;
  double d = static_cast<double>(ByLevel(pMove->m_nDistancePerLevel, nLevel, pMove->m_nDistance));
  if (pMove->m_nDistanceUnit != DISTANCE_PIXELS) d *= 16;
  switch (pMove->m_nTimingMode) {
    case TIMING_TIME_AND_DISTANCE:
      // A command of no run time still runs one step: it covers the distance in it.
      m_dSpeed = d / std::max(m_nTotal, 1);
      break;
    case TIMING_SPEED_AND_DISTANCE:
      // Without a speed there is no time to reach the distance: the given time stays.
      if (m_dSpeed != 0.0) m_nTotal = Trunc32(d / m_dSpeed);
      break;
    default: break;
  }
}

void InitStraightMove(cCommandRuntime& runtime, cActor& actor, int nFacing) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return;
  std::int64_t a = ByLevel(pMove->m_nAnglePerLevel, actor.m_nLevel, pMove->m_nAngle);
  if (pMove->m_bMirrorAngle && nFacing == 1) a = 360 - a;
  if (a >= 360) a %= 360;
  runtime.m_nAngle = Clamp32(a);
  if (pMove->m_nMode == MOVE_TO_COORDS) SetTargetOffset(runtime, *pMove, nFacing);
  DeriveUnlessGiven(runtime, *pMove, actor);
}

void InitChargeMove(cCommandRuntime& runtime, cActor& actor, int nFacing) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return;
  SetTargetOffset(runtime, *pMove, nFacing);
  DeriveUnlessGiven(runtime, *pMove, actor);
}

void InitHomingMove(cCommandRuntime& runtime, cActor& actor, int nFacing) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return;
  InitChargeMove(runtime, actor, nFacing);
  runtime.m_nRadius = Clamp32(ByLevel(pMove->m_nRadiusPerLevel, actor.m_nLevel, pMove->m_nRadius) * g_SubSteps);
}

void InitMoveTiming(cCommandRuntime& runtime, cActor& actor, int) {
  if (const cEdMove* pMove = runtime.Move()) DeriveUnlessGiven(runtime, *pMove, actor);
}

void InitCircleMove(cCommandRuntime& runtime, cActor& actor, int nFacing) {
  const cEdMove* pMove = runtime.Move();
  if (!pMove) return;
  const std::int64_t nLevel = actor.m_nLevel;
  const std::int64_t m = g_SubSteps;
  std::int64_t a = 0;
  if (nFacing == 1) {
    if (pMove->m_bMirrorX) {
      runtime.m_nMoveMode = ExchangeSense(runtime.m_nMoveMode);
      a = 180;
    }
    if (pMove->m_bMirrorY) runtime.m_nMoveMode = ExchangeSense(runtime.m_nMoveMode);
  }
  const std::int64_t r = std::clamp<std::int64_t>(ByLevel(pMove->m_nRadiusPerLevel, nLevel, pMove->m_nRadius), 0, 20);
  runtime.m_nRadius = Clamp32(r * 16 * m);
  runtime.m_nStartAngle = Clamp32((a + ByLevel(pMove->m_nAnglePerLevel, nLevel, pMove->m_nAngle)) * m);
  runtime.m_nEndAngle = Clamp32((a + ByLevel(pMove->m_nDistancePerLevel, nLevel, pMove->m_nDistance)) * m);
  const double dSweep = pMove->m_nDistance > pMove->m_nAngle
                            ? static_cast<double>(runtime.m_nEndAngle) - runtime.m_nStartAngle
                            : static_cast<double>(runtime.m_nStartAngle) - runtime.m_nEndAngle;
  switch (pMove->m_nTimingMode) {
    case CIRCLE_BY_TIME:
      // A command of no run time still turns for one step.
      runtime.m_dSpeed = dSweep / std::max(runtime.m_nTotal, 1) / StepScale();
      break;
    case CIRCLE_BY_SPEED:
      if (runtime.m_dSpeed != 0.0) {
        const std::int32_t n = Trunc32(dSweep / runtime.m_dSpeed / StepScale());
        runtime.m_nTotal =
            n == std::numeric_limits<std::int32_t>::min() ? std::numeric_limits<std::int32_t>::max() : std::abs(n);
      }
      break;
    default: break;
  }
}

void InitJumpCommand(cCommandRuntime& runtime, cActor& actor, int) {
  cEdCommand* pCommand = runtime.m_pCommand;
  if (!pCommand) return;
  const auto nHeight =
      static_cast<std::int8_t>(pCommand->m_Params.Size() > P_JUMP_HEIGHT ? pCommand->m_Params[P_JUMP_HEIGHT] : 0);
  runtime.m_dSpeed = actor.JumpSpeedForHeight(nHeight);
  pCommand->m_nTime = static_cast<std::int16_t>(std::clamp(actor.JumpFrames(nHeight), -32768, 32767));
  runtime.m_nTotal = TenthsToSteps(pCommand->m_nTime);
}

void cFlowRuntime::BuildAnimeLinks() {
  m_AnimeLinks.clear();
  const cVector<cEdAnime>& animes = g_Database.m_Animes;
  const std::int64_t m = std::max(g_SubSteps, 0);
  std::int64_t nElapsed = 0;
  for (const cCommandRuntime& c : m_Commands) {
    const cEdCommand* pCommand = c.m_pCommand;
    if (!pCommand) continue;
    if (pCommand->m_nAnime != 0 && !animes.empty()) {
      cFlowAnimeLink link;
      link.m_nAnime = pCommand->m_nAnime;
      const std::int64_t nFrames = FramesBeforeLock(animes[pCommand->m_nAnime]);
      const std::int64_t nSteps = nFrames * m;
      link.m_nHold = Clamp32(pCommand->m_nTime * 6LL);
      link.m_bHold = pCommand->m_nType == CMD_JUMP || pCommand->m_nType == CMD_SWORD ? 0 : 1;
      link.m_nLength = Clamp32(nFrames);
      if (nElapsed >= nSteps) {
        // It ends exactly when its command starts.
        link.m_nStart = Clamp32(nElapsed - nSteps);
      } else {
        // Longer than the time before its command: it starts with the flow, advanced.
        const std::int64_t nOffset = m > 0 ? std::min((nSteps - nElapsed) / m, nFrames) : nFrames;
        link.m_nOffset = Clamp32(nOffset);
        link.m_nLength = Clamp32(nFrames - nOffset);
      }
      m_AnimeLinks.push_back(link);
    }
    if (!pCommand->m_bParallel) nElapsed += std::max(c.m_nTotal, 0);
  }
}

void cActor::RunFlowAnimeLinks() {
  if (g_AnimeFrameTables.empty()) return;
  for (cFlowRuntime& r : m_FlowRuntimes) {
    if (!r.m_bRunning || r.m_bPaused || r.m_bStopped) continue;
    for (const cFlowAnimeLink& link : r.m_AnimeLinks) {
      if (link.m_nStart != r.m_nStepCount) continue;
      cFlowAnime& a = m_FlowAnimes.emplace_back();
      a.m_Anime.m_Sequences.push_back(g_AnimeFrameTables[link.m_nAnime]);
      a.m_nFramesLeft = link.m_nLength;
      a.m_nHoldLeft = link.m_nHold;
      a.m_bHold = link.m_bHold;
      a.m_nFlowSerial = r.m_nSerial;
      a.m_Anime.Start(0, 1);
      if (link.m_nOffset != 0) a.m_Anime.Advance(link.m_nOffset);
      // It rests on its first locking frame while the command runs.
      if (link.m_nHold >= 2 && link.m_bHold) a.m_Anime.LengthenFirstLocked(0, link.m_nHold - 1);
    }
  }
}
