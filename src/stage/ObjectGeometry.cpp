#include "stage/ObjectGeometry.h"

#include <cmath>
#include <cstdlib>

#include "base/Screen.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDInit.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/StageScene.h"

namespace {

std::int32_t Trunc(double d) { return static_cast<std::int32_t>(d); }

}  // namespace

// ---- clamped moves ----

int cGameObject::ClampX(int nMode) {
  const cScrollAxis& axis = TheStage().m_ScrollX;
  const int w = m_nHitW;
  double& x = m_dX;
  int nCode = 0;
  switch (nMode) {
    case 0:
      if (x < axis.m_nMin) {
        x = axis.m_nMin;
      } else if (x + w - 1 >= axis.m_nMax) {
        x = axis.m_nMax - w;
      }
      break;
    case 1:
      if (x < axis.m_nStageStart) {
        x = axis.m_nStageStart;
      } else if (x + w - 1 >= axis.m_nStageEnd) {
        x = axis.m_nStageEnd - w;
      } else if (x < axis.m_nMin || x + w - 1 >= axis.m_nMax) {
        nCode = 1;
      }
      break;
    case 2:
      if (x < 0) {
        x = 0;
        nCode = 3;
      } else if (x + w - 1 >= axis.m_nFar) {
        x = axis.m_nFar - w;
        nCode = 3;
      } else if (x < axis.m_nStageStart || x + w - 1 >= axis.m_nStageEnd) {
        nCode = 2;
      } else if (x < axis.m_nMin || x + w - 1 >= axis.m_nMax) {
        nCode = 1;
      }
      break;
    default: break;
  }
  m_dRight = w + x - 1;
  UpdateHitBoxX();
  m_nCellLeft = Trunc(x) >> BLOCK_SHIFT;
  m_nCellRight = Trunc(m_dRight) >> BLOCK_SHIFT;
  return nCode;
}

int cGameObject::ClampY(int nMode) {
  const cScrollAxis& axis = TheStage().m_ScrollY;
  const int h = m_nHitH;
  double& y = m_dY;
  int nCode = 0;
  // Above the scroll range 1, below it 4.
  auto ScrollCode = [&] { return y < axis.m_nMin ? 1 : y + h - 1 >= axis.m_nMax ? 4 : 0; };
  switch (nMode) {
    case 0:
      if (y < axis.m_nMin) {
        y = axis.m_nMin;
      } else if (y + h - 1 >= axis.m_nMax) {
        y = axis.m_nMax - h;
      }
      break;
    case 1:
      if (y < axis.m_nStageStart) {
        y = axis.m_nStageStart;
      } else if (y + h - 1 >= axis.m_nStageEnd) {
        y = axis.m_nStageEnd - h;
      } else {
        nCode = ScrollCode();
      }
      break;
    case 2:
      if (y < 0) {
        y = 0;
        nCode = 3;
      } else if (y + h - 1 >= axis.m_nFar) {
        y = axis.m_nFar - h;
        nCode = 6;
      } else if (y < axis.m_nStageStart) {
        nCode = 2;
      } else if (y + h - 1 >= axis.m_nStageEnd) {
        nCode = 5;
      } else {
        nCode = ScrollCode();
      }
      break;
    default: break;
  }
  m_dBottom = h + y - 1;
  UpdateHitBoxY();
  m_nCellTop = Trunc(y) >> BLOCK_SHIFT;
  m_nCellBottom = Trunc(m_dBottom) >> BLOCK_SHIFT;
  return nCode;
}

int cGameObject::StepX(int nMode) {
  if (m_dStepX > g_MaxSpeed) {
    m_dStepX = g_MaxSpeed;
  } else if (m_dStepX < -g_MaxSpeed) {
    m_dStepX = -g_MaxSpeed;
  }
  m_dX += m_dStepX;
  return ClampX(nMode);
}

int cGameObject::StepY(int nMode) {
  if (m_dVelY > g_MaxSpeed) {
    m_dVelY = g_MaxSpeed;
  } else if (m_dVelY < -g_MaxSpeed) {
    m_dVelY = -g_MaxSpeed;
  }
  m_dY += m_dVelY;
  return ClampY(nMode);
}

// ---- the view, the stage and the erase range ----

void cGameObject::CalcScreenRect() {
  const cStageScene& scene = TheStage();
  m_ScreenRect.left = Trunc(m_dX - m_nHitOffX - Trunc(scene.m_ScrollX.m_dPos));
  m_ScreenRect.right = m_ScreenRect.left + m_nWidth - 1;
  m_ScreenRect.top = Trunc(m_dY - m_nHitOffY - Trunc(scene.m_ScrollY.m_dPos));
  m_ScreenRect.bottom = m_ScreenRect.top + m_nHeight - 1;
}

bool cGameObject::IsOnScreen() const { return IsOnScreenAxes(0, 0); }

bool cGameObject::IsOnScreenAxes(int bIgnoreX, int bIgnoreY) const {
  const cStageScene& scene = TheStage();
  const double sx = scene.m_ScrollX.m_dPos;
  const double sy = scene.m_ScrollY.m_dPos;
  if (!bIgnoreX && !(m_dRight >= sx && sx + VIEW_WIDTH > m_dX)) return false;
  if (!bIgnoreY && !(m_dBottom >= sy && sy + VIEW_HEIGHT > m_dY)) return false;
  return true;
}

bool cGameObject::IsInStage(int bWholeMap) const {
  const cStageScene& scene = TheStage();
  const cScrollAxis& ax = scene.m_ScrollX;
  const cScrollAxis& ay = scene.m_ScrollY;
  if (bWholeMap) return 0 <= m_dX && m_dRight < ax.m_nFar && 0 <= m_dY && m_dBottom < ay.m_nFar;
  return ax.m_nStageStart <= m_dX && m_dRight < ax.m_nStageEnd && ay.m_nStageStart <= m_dY &&
         m_dBottom < ay.m_nStageEnd;
}

bool cGameObject::IsOutsideEraseRange(const cEdStageParam& p) const {
  if (m_bOnScreen) return false;
  const cStageScene& scene = TheStage();
  const double sx = scene.m_ScrollX.m_dPos;
  const double sy = scene.m_ScrollY.m_dPos;
  // Truncated as doubles: a stage's margins may be any 32-bit value.
  if (p.m_bLimitLeft && std::trunc(sx - p.m_nMarginLeft * double{BLOCK_SIZE}) >= m_dRight) return true;
  if (p.m_bLimitRight && std::trunc(sx + p.m_nMarginRight * double{BLOCK_SIZE} + VIEW_WIDTH) <= m_dX) return true;
  if (p.m_bLimitBottom && std::trunc(p.m_nMarginBottom * double{BLOCK_SIZE} + sy + VIEW_HEIGHT) <= m_dY) return true;
  if (p.m_bLimitTop && std::trunc(sy - p.m_nMarginTop * double{BLOCK_SIZE}) >= m_dBottom) return true;
  // The map's outer frame is outside whatever the switches say.
  return m_dX <= 0 || m_dRight >= scene.m_ScrollX.m_nFar - 1 || m_dY <= 0 || m_dBottom >= scene.m_ScrollY.m_nFar - 1;
}

// ---- movement of actors ----

bool cActor::IsInRangeX(int a, int b, int c, int d, int e, int f, int g, int bWhole) {
  const int centre = a + (b >> 1);
  const int far = centre + (b >> 1);
  int upper = g <= 0 ? centre + g : far + g;
  int lower = f > 0 ? a - f : centre - f;
  if (bWhole && f == 0 && g == 0) {
    lower = a;
    upper = far;
  }
  return !(d - e < lower || upper < c + e);
}

void cActor::GetMoveTarget(double& x, double& y, const cCommandRuntime& runtime) const {
  const cEdMove* pMove = runtime.Move();
  const bool bNoX = pMove && pMove->m_bNoMoveX;
  const bool bNoY = pMove && pMove->m_bNoMoveY;
  const double cx = ScreenCentreX() + runtime.m_nOffsetX;
  const double cy = ScreenCentreY() + runtime.m_nOffsetY;
  if (bNoX && !bNoY) {
    y = cy;
  } else if (bNoY) {
    x = cx;
  } else {
    x = cx;
    y = cy;
  }
}

namespace {

bool StopsOnArrival(const cCommandRuntime& runtime) {
  const cEdMove* pMove = runtime.Move();
  return pMove && pMove->m_bSnapOnArrival;
}

}  // namespace

int cActor::MoveToPoint(cCommandRuntime& runtime, cActor* pTarget, double x, double y, int bCarried, int bArrival) {
  const int r = AimVelocity(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, pTarget, ScreenCentreX(),
                            ScreenCentreY(), x, y, runtime.m_dSpeed, bCarried, 0, bArrival);
  if (r == 1 && StopsOnArrival(runtime)) SetPosStopMove(Trunc(x), Trunc(y), runtime);
  return r;
}

void cActor::ApproachX(cCommandRuntime& runtime, cActor* pTarget, double x, int bCarried, int bArrival) {
  if (ApproachStep(runtime.m_dVelX, runtime.m_dVelY, runtime.m_nTurn, pTarget, ScreenCentreX(), x, runtime.m_dSpeed,
                   bCarried, bArrival) &&
      StopsOnArrival(runtime)) {
    SetCenterXStopMove(Trunc(x), runtime);
  }
}

void cActor::ApproachY(cCommandRuntime& runtime, cActor* pTarget, double y, int bCarried, int bArrival) {
  if (ApproachStepY(runtime.m_dVelY, runtime.m_dVelX, runtime.m_nTurn, pTarget, ScreenCentreY(), y, runtime.m_dSpeed,
                    bCarried, bArrival) &&
      StopsOnArrival(runtime)) {
    SetCenterYStopMove(Trunc(y), runtime);
  }
}

namespace {

int ApproachOnAxis(double& v, double& other, const cActor* pTarget, double from, double to, double s, int bCarried,
                   int bArrival, const cScrollAxis& axis) {
  v = from >= to ? -s : s;
  if (!bCarried && pTarget && pTarget->m_bScrollSync && g_System.m_bScrollMoveRule) v += axis.EffectiveSpeed();
  other = 0.0;
  return bArrival && std::fabs(s) > std::fabs(from - to) ? 1 : 0;
}

}  // namespace

int cActor::ApproachStep(double& v, double& other, std::int32_t& turn, cActor* pTarget, double from, double to,
                         double s, int bCarried, int bArrival) {
  turn = from >= to ? 1 : 2;
  return ApproachOnAxis(v, other, pTarget, from, to, s, bCarried, bArrival, TheStage().m_ScrollX);
}

int cActor::ApproachStepY(double& v, double& other, std::int32_t& turn, cActor* pTarget, double from, double to,
                          double s, int bCarried, int bArrival) {
  turn = 0;
  return ApproachOnAxis(v, other, pTarget, from, to, s, bCarried, bArrival, TheStage().m_ScrollY);
}

cActor* cActor::NearestCharaToSelf(const cVectorList<cActor*>& list) const {
  return FindNearestChara(ScreenCentreX(), ScreenCentreY(), list);
}

// ---- free helpers ----

bool IdListContains(const cVector<cActor*>& list, const cActor* pActor) {
  for (const cActor* p : list) {
    if (p == pActor) return true;
  }
  return false;
}

namespace {

// The phase on entry; the phase itself advances by one step and wraps.
double AdvancePhase(double& dPhase, double dStep) {
  const double p = dPhase;
  const double dTurn = 360.0 * g_FrameScale;
  dPhase = p + dStep;
  if (dPhase >= dTurn) dPhase -= dTurn;
  return p;
}

}  // namespace

double WaveOffset(int r, int nFactor, double& dPhase, double dStep, double dOffset) {
  const double m = g_FrameScale;
  const double k = nFactor * DEG_TO_RAD;
  const double p = AdvancePhase(dPhase, dStep);
  return r * k * std::cos(k * (p / m + dOffset)) / m;
}

double WaveAccel(int r, int nFactor, double& dPhase, double dStep, double dOffset) {
  const double m = g_FrameScale;
  const double k = nFactor * DEG_TO_RAD;
  const double p = AdvancePhase(dPhase, dStep);
  return -r * k * k * std::sin(k * (p / m + dOffset)) / (m * m);
}

namespace {

std::int32_t TurnFrom(double vx) { return vx < 0 ? 1 : vx > 0 ? 2 : 0; }

// Aim at a point that moves with the automatic scroll at (q, o) per step, so that an
// object moving at the plain aim's speed meets it. False where the aim gives up (the
// velocity then stays as far as it got, and no facing is asked for). When the scroll
// outruns the speed there is no meeting point: the plain aim stays and counts as done.
bool LeadAim(double& vx, double& vy, double x0, double y0, double x1, double y1, double q, double o) {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double v = std::sqrt(vx * vx + vy * vy);
  const double p = dx * dx;
  const double d = dy * dy;
  const double r = p * o * o + d * q * q - 2 * dx * dy * o * q;
  if (std::fabs(dy) >= std::fabs(dx)) {
    if (d == 0) return false;
    const double w = p / d + 1;
    const double yy = (2 * o * p - 2 * dx * dy * q) / d;
    const double disc = yy * yy - 4 * w * (r / d - v * v);
    if (disc < 0) return true;
    vy = (yy + std::sqrt(disc)) / (2 * w);
    if (dy < 0) vy = -vy;
    if (o - vy == 0) return false;
    const double t = (y0 - y1) / (o - vy);
    if (t == 0) return false;
    vx = (dx + t * q) / t;
  } else {
    if (p == 0) return false;
    const double w = d / p + 1;
    const double yy = (2 * d * q - 2 * dx * dy * o) / p;
    const double disc = yy * yy - 4 * w * (r / p - v * v);
    if (disc < 0) return true;
    vx = (yy + std::sqrt(disc)) / (2 * w);
    if (dx < 0) vx = -vx;
    if (q - vx == 0) return false;
    const double t = (x0 - x1) / (q - vx);
    if (t == 0) return false;
    vy = (dy + o * t) / t;
  }
  return true;
}

}  // namespace

int AimVelocity(double& vx, double& vy, std::int32_t& turn, const cGameObject* pActor, double x0, double y0, double x1,
                double y1, double s, int bCarried, int bNoFlee, int bArrival) {
  const cStageScene& scene = TheStage();
  const double q = scene.m_ScrollX.EffectiveSpeed();
  const double o = scene.m_ScrollY.EffectiveSpeed();
  const bool bSync = pActor && pActor->m_bScrollSync;

  if (!bNoFlee && s < 0) {
    // Away from the point on both axes at |s| / sqrt 2; a shared coordinate counts as
    // lying before the point.
    const double t = s * HALF_SQRT2;
    vx = x1 <= x0 ? -t : t;
    vy = y1 <= y0 ? -t : t;
    turn = TurnFrom(vx);
    if (g_System.m_bScrollMoveRule) {
      vx += q;
      vy += o;
    } else if (pActor && (bCarried != 0) != bSync) {
      vx -= q;
      vy -= o;
    }
    return 0;
  }

  const double dx = x1 - x0;
  const double dy = y1 - y0;
  double r = std::sqrt(dx * dx + dy * dy);
  if (r == 0) r = 1;
  vx = s * dx / r;
  vy = s * dy / r;

  if (g_System.m_bScrollMoveRule) {
    vx += q;
    vy += o;
  } else if (pActor) {
    if (!bSync) {
      vx -= q;
      vy -= o;
    } else if (!bCarried && (q != 0 || o != 0)) {
      if (!LeadAim(vx, vy, x0, y0, x1, y1, q, o)) return 0;
    }
  }

  turn = TurnFrom(vx);
  if (bArrival && std::fabs(dx) < std::fabs(s) && std::fabs(dy) < std::fabs(s)) return 1;
  return 0;
}

namespace {

bool Skipped(const cActor& a, int bUseId, int nId, int bExcludeSerial, int bExcludeStatus1, int bExcludeStatus2,
             int bExcludeBlockCharas, int nSerial) {
  if (bUseId && static_cast<std::int8_t>(a.m_Def.m_nCharaID) != static_cast<std::int8_t>(nId)) return true;
  if (a.m_bDead) return true;
  if (bExcludeSerial && a.m_nSerial == nSerial) return true;
  if (bExcludeStatus1 && a.m_Def.m_nInvincible == 1) return true;
  if (bExcludeStatus2 && a.m_Def.m_nInvincible == 2) return true;
  if (bExcludeBlockCharas && a.m_Def.m_bBlockChara) return true;
  return false;
}

}  // namespace

cActor* FindChara(const cVectorList<cActor*>& list, int bUseId, int nId, int bExcludeSerial, int bExcludeStatus1,
                  int bExcludeStatus2, int bExcludeBlockCharas, int nSerial) {
  for (cActor* a : list) {
    if (!Skipped(*a, bUseId, nId, bExcludeSerial, bExcludeStatus1, bExcludeStatus2, bExcludeBlockCharas, nSerial))
      return a;
  }
  return nullptr;
}

cActor* FindTargetChara(int x, int y, const cVectorList<cActor*>& list, int nMode, int bUseId, int nId,
                        int bExcludeSerial, int bExcludeStatus1, int bExcludeStatus2, int bExcludeBlockCharas,
                        int nSerial) {
  if (nMode < 0 || nMode > 2) return nullptr;
  cActor* pOn = nullptr;   // nearest on screen
  cActor* pOff = nullptr;  // nearest off screen
  cActor* pAny = nullptr;  // nearest of all
  int nOn = 0, nOff = 0, nAny = 0;
  for (cActor* a : list) {
    if (!a->m_bExists) continue;
    if (Skipped(*a, bUseId, nId, bExcludeSerial, bExcludeStatus1, bExcludeStatus2, bExcludeBlockCharas, nSerial))
      continue;
    const int nDistance = std::abs(a->ScreenCentreX() - x) + std::abs(a->ScreenCentreY() - y);
    auto Offer = [&](cActor*& pBest, int& nBest) {
      if (!pBest || nDistance < nBest) {
        pBest = a;
        nBest = nDistance;
      }
    };
    Offer(pAny, nAny);
    if (a->m_bOnScreen) {
      Offer(pOn, nOn);
    } else {
      Offer(pOff, nOff);
    }
  }
  switch (nMode) {
    case 0: return pOn ? pOn : pOff;
    case 1: return pAny;
    default: return pOn;
  }
}

cActor* FindNearestChara(int x, int y, const cVectorList<cActor*>& list) {
  return FindTargetChara(x, y, list, g_Stage.m_bOnScreenHits ? 2 : 0, 0, 0, 0, 0, 1, 0, 0);
}

int ChooseSheetVariant(int a, int bStretched) {
  if (!g_lpDDData || a < 0 || a + 18 >= BMP_TABLE_COUNT) return a;
  auto HasSurface = [](int i) { return g_SurfaceData[i].lpDD && g_SurfaceData[i].lpDD->lpDDSurface; };
  if (!bStretched) return HasSurface(a) ? a : a + 18;
  return HasSurface(a + 18) ? a + 18 : a;
}
