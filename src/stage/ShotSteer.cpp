// The steering of a shot by its movement kind: one turn toward the hero, the nearest
// character of a side or the shooter's target; homing on one of them over a stretch of
// the flight; a wave across the travel; or the start of a fall.
#include <cmath>

#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/ObjectGeometry.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/ShotMath.h"
#include "stage/StageScene.h"

namespace {

cActor* Hero() { return g_Players.empty() ? nullptr : &g_Players[0]; }

cActor* LiveTarget(cActor* p) { return p && !p->m_bDead ? p : nullptr; }

// Velocity from the shot's screen centre toward the actor's at the steering speed.
void Toward(cShot& shot, const cActor& actor, double& vx, double& vy) {
  shot.CalcScreenRect();
  std::int32_t turn = 0;
  AimVelocity(vx, vy, turn, &shot, shot.m_ScreenRect.left + (shot.m_nWidth >> 1),
              shot.m_ScreenRect.top + (shot.m_nHeight >> 1), actor.ScreenCentreX(), actor.ScreenCentreY(),
              shot.m_dSpeed, 0, 0, 0);
}

cActor* NearestOfSide(cShot& shot, int nSide) {
  shot.CalcScreenRect();
  return FindNearestChara(shot.m_ScreenRect.left + (shot.m_nWidth >> 1), shot.m_ScreenRect.top + (shot.m_nHeight >> 1),
                          TheStage().m_SideActors[nSide]);
}

// Steps of flight over p half blocks at the steering speed; 0 for p = 0 or no speed.
int StepsFor(const cShot& shot, int p) {
  if (p == 0 || shot.m_dSpeed == 0) return 0;
  return ShotTrunc(p * 16 / shot.m_dSpeed);
}

}  // namespace

void cShot::HomeOn(cActor& actor) {
  double vx = 0, vy = 0;
  Toward(*this, actor, vx, vy);
  if (!m_bAccel) {
    m_dVx = vx;
    m_dVy = vy;
    return;
  }
  // An accelerating shot takes the course once and then homes through its acceleration.
  if (m_nStepCount == m_nTurnStep) {
    m_dVx = vx;
    m_dVy = vy;
  }
  AlignAcceleration(m_dPushX, m_dPushY, vx, vy);
}

void cShot::Steer() {
  const int nKind = m_Shot.m_nMotion;
  const std::int16_t* p = m_Shot.m_nMotionValues;
  if (nKind == STEER_NONE || nKind > STEER_FALL) return;

  if (nKind == STEER_WAVE) {
    const double m = g_FrameScale;
    const double k = p[1] * DEG_TO_RAD;
    const double wrap = 360 * m;
    auto Advance = [&] {
      m_dWavePhase += 1;
      if (m_dWavePhase >= wrap) m_dWavePhase -= wrap;
    };
    if (m_nStepCount == 0) {
      m_Shot.m_nMotionValues[0] = static_cast<std::int16_t>(p[0] * 16);
      const double a = p[2] + (m_nFacing == 0 ? 180 : 0);
      // A wave speed of 0 has no phase: the shot flies straight.
      m_dWavePhase = p[1] != 0 ? m * (a / p[1]) : 0.0;
      const double A = m_Shot.m_nMotionValues[0];
      const double c = A * k * std::cos(k * m_dWavePhase / m) / m;
      Advance();
      double q = std::atan2(m_dVy, m_dVx);
      if (q < 0) q += 2 * M_PI;
      const double f = (q * 57.29577951308239 - 90) * 0.017453292519943278;
      m_dWaveCos = std::cos(f);
      m_dWaveSin = std::sin(f);
      m_dVx += c * m_dWaveCos;
      m_dVy += c * m_dWaveSin;
      m_nStepCount = 1;
    } else {
      const double A = m_Shot.m_nMotionValues[0];
      const double g = -A * k * k * std::sin(k * m_dWavePhase / m) / (m * m);
      Advance();
      auto Add = [](double& v, double d) {
        const double old = v;
        v += d;
        if ((old < 0 && v > 0) || (old > 0 && v < 0)) v = 0.0;
      };
      Add(m_dVx, g * m_dWaveCos);
      Add(m_dVy, g * m_dWaveSin);
    }
    if (m_bAccel) AlignAcceleration(m_dPushX, m_dPushY, m_dVx, m_dVy);
    return;
  }

  if (m_bSteerDone) return;
  const bool bHoming = nKind >= STEER_HOME_HERO && nKind <= STEER_HOME_NEAREST_ANY;
  if (m_nStepCount == 0) {
    m_dSpeed = (m_Shot.m_nSpeed + m_Shot.m_nSpeedStep * m_nLevel) * 0.1 / g_FrameScale;
    m_nTurnStep = StepsFor(*this, p[0]);
    if (bHoming) m_nHomingEnd = StepsFor(*this, p[1]);
  }

  if (nKind == STEER_FALL) {
    if (m_nStepCount >= m_nTurnStep) {
      m_dVelY = m_dVy;
      m_bFlying = 0;
      m_bSteerDone = 1;
    }
  } else if (!bHoming) {
    if (m_nStepCount == m_nTurnStep) {
      cActor* pAt = nullptr;
      if (nKind == STEER_AIM_HERO) pAt = Hero();
      if (nKind == STEER_AIM_NEAREST) pAt = NearestOfSide(*this, p[1]);
      if (nKind == STEER_AIM_TARGET) pAt = LiveTarget(m_pTarget);
      if (pAt) {
        Toward(*this, *pAt, m_dVx, m_dVy);
        if (m_bAccel) AlignAcceleration(m_dPushX, m_dPushY, m_dVx, m_dVy);
      }
      m_bSteerDone = 1;
    }
  } else if (m_nStepCount >= m_nHomingEnd) {
    m_bSteerDone = 1;
  } else if (m_nStepCount >= m_nTurnStep) {
    cActor* pAt = nullptr;
    if (nKind == STEER_HOME_HERO) pAt = Hero();
    if (nKind == STEER_HOME_NEAREST || nKind == STEER_HOME_NEAREST_ANY) pAt = NearestOfSide(*this, p[2]);
    if (nKind == STEER_HOME_TARGET) pAt = LiveTarget(m_pTarget);
    if (pAt) HomeOn(*pAt);
  }
  ++m_nStepCount;
}
