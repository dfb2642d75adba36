// Firing and summoning through formations: the shot command fires its formation once
// per repeat, the summon commands place characters, items or blocks where a formation
// would place its elements. A formation places its first element beside the user (or
// around its target), steps to the next, and hands each element to SpawnElement.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/Random.h"
#include "base/Screen.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Palette.h"
#include "gamedata/Stage.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/Item.h"
#include "stage/ObjectGeometry.h"
#include "stage/Shot.h"
#include "stage/ShotMath.h"
#include "stage/StageScene.h"

namespace {

constexpr double K = HALF_SQRT2;

// The user's screen rectangle and the scroll position, in the letters of the placement
// formulas.
struct cPlaceGeo {
  int l, t, r, b, W, H;
  double SX, SY;
  int sx, sy;
  int Cx, Cy;
};

cPlaceGeo GeoOf(const cActor& u) {
  const cStageScene& scene = TheStage();
  cPlaceGeo g{};
  g.l = u.m_ScreenRect.left;
  g.t = u.m_ScreenRect.top;
  g.r = u.m_ScreenRect.right;
  g.b = u.m_ScreenRect.bottom;
  g.W = u.m_nWidth;
  g.H = u.m_nHeight;
  g.SX = scene.m_ScrollX.m_dPos;
  g.SY = scene.m_ScrollY.m_dPos;
  g.sx = ShotTrunc(g.SX);
  g.sy = ShotTrunc(g.SY);
  g.Cx = g.sx + g.l + (g.W >> 1);
  g.Cy = g.sy + g.t + (g.H >> 1);
  return g;
}

// One firing (or summon) in progress.
struct cFiring {
  cActor& U;
  cCommandRuntime& rt;
  const cEdShot& P;
  SHOTSPAWN& rec;
  cPlaceGeo g;

  int n() const { return P.m_nGroupCount; }
  int w() const { return rec.nWidth; }
  int h() const { return rec.nHeight; }
  int hw() const { return rec.nWidth >> 1; }
  int hh() const { return rec.nHeight >> 1; }
  int D() const { return P.m_nFormationValues[0] * 16; }
  double Dh() const { return D() / 2.0; }
  int Base() const { return DirBaseAngle(rec.nDirection); }
  int XL() const { return ShotTrunc(g.Cx + (1 - (g.W >> 1) - hw()) * K - hw()); }
  int XR() const { return ShotTrunc(g.Cx + (g.r - g.l + 1 + hw() - (g.W >> 1)) * K - hw()); }
  int YU() const { return ShotTrunc(g.Cy - ((g.H >> 1) + hh()) * K - hh()); }
  int YD() const { return ShotTrunc(g.Cy + (g.b - g.t + 1 + hh() - (g.H >> 1)) * K - hh()); }

  void Offsets() {
    rec.nBaseX += rec.nOffsetX;
    rec.nBaseY += rec.nOffsetY;
  }
  void Velocity(double a, double s) {
    rec.dVx = -s * std::cos(a * DEG_TO_RAD);
    rec.dVy = -s * std::sin(a * DEG_TO_RAD);
  }
  int Aim(double x, double y) { return AimAngle(x, y, U, P, rec); }
  // The angle of the element at the base point: aimed at the target or the direction's.
  int AimedOrBase(double x, double y) { return P.m_bAimAtTarget ? Aim(x, y) : Base(); }

  void PlaceStraightA();
  void PlaceStraightAAimed();
  void PlaceOnRing(double a);
  void PlaceStraightB();
  void PlaceStraightBAimed();
  void PlaceSpread();
  void PlaceSpreadAimed();
  void PlaceLightning();
  void PlaceCentre();

  void Spawn();
  void SpawnLine(bool bColumn);
  void SpawnSpread();
  void SpawnLightning();
  void SpawnBurst();
  void SpawnSurround();
  void SpawnFormation();
};

void cFiring::PlaceStraightA() {
  const int N = n(), d = D();
  const double dh = Dh(), s = rec.dSpeed;
  const double sK = s * K;
  int& bx = rec.nBaseX;
  int& by = rec.nBaseY;
  switch (rec.nDirection) {
    case DIR_LEFT:
    case DIR_RIGHT:
      bx = rec.nDirection == DIR_LEFT ? ShotTrunc(g.SX + g.l + 1 - w()) : ShotTrunc(g.SX + g.r + 1);
      by = ShotTrunc(g.sy + g.t + (g.H >> 1) - (N - 1) * dh - N * hh());
      rec.nStepX = 0;
      rec.nStepY = d + h();
      rec.dVx = rec.nDirection == DIR_LEFT ? -s : s;
      rec.dVy = 0;
      break;
    case DIR_UP:
    case DIR_DOWN:
      bx = ShotTrunc(g.sx + g.l + (g.W >> 1) - (N - 1) * dh - N * hw());
      by = rec.nDirection == DIR_UP ? g.sy + g.t - h() : g.sy + g.b + 1;
      rec.nStepX = d + w();
      rec.nStepY = 0;
      rec.dVx = 0;
      rec.dVy = rec.nDirection == DIR_UP ? -s : s;
      break;
    case DIR_UP_LEFT:
    case DIR_DOWN_LEFT:
    case DIR_UP_RIGHT:
    case DIR_DOWN_RIGHT: {
      const bool bLeft = rec.nDirection == DIR_UP_LEFT || rec.nDirection == DIR_DOWN_LEFT;
      const bool bUp = rec.nDirection == DIR_UP_LEFT || rec.nDirection == DIR_UP_RIGHT;
      const double ox = K * (N - 1) * (dh + hw());
      const double oy = K * (N - 1) * (dh + hh());
      bx = ShotTrunc((bLeft ? XL() : XR()) - ox);
      // The row runs across the travel: up-left and down-right rise, the others fall.
      const bool bRising = rec.nDirection == DIR_UP_LEFT || rec.nDirection == DIR_DOWN_RIGHT;
      by = ShotTrunc((bUp ? YU() : YD()) + (bRising ? oy : -oy));
      rec.nStepX = ShotTrunc((d + w()) * K);
      rec.nStepY = ShotTrunc((bRising ? -(d + h()) : (d + h())) * K);
      rec.dVx = bLeft ? -sK : sK;
      rec.dVy = bUp ? -sK : sK;
      break;
    }
    default: break;
  }
  Offsets();
}

void cFiring::PlaceOnRing(double a) {
  const double rx = K * (hw() + g.r - g.l - (g.W >> 1) + 1);
  const double ry = K * (g.b + hh() - g.t - (g.H >> 1) + 1);
  const double q = (a + 225) * DEG_TO_RAD;
  rec.nBaseX = ShotTrunc(g.l + (g.W >> 1) + g.SX + ry * std::sin(q) + rx * std::cos(q) - hw());
  rec.nBaseY = ShotTrunc(g.t + (g.H >> 1) + g.SY + rx * std::sin(q) - ry * std::cos(q) - hh());
}

void cFiring::PlaceStraightAAimed() {
  const double s = rec.dSpeed;
  if (!P.m_nSetting10) {
    PlaceStraightA();
    Velocity(AimedOrBase(rec.nBaseX + hw(), rec.nBaseY + hh()) + rec.nAngle, s);
    return;
  }
  double a = AimedOrBase(g.Cx + rec.nOffsetX, g.Cy + rec.nOffsetY) + rec.nAngle;
  PlaceOnRing(a);
  if (P.m_bAimAtTarget) a = Aim(rec.nBaseX + rec.nOffsetX + hw(), rec.nBaseY + rec.nOffsetY + hh()) + rec.nAngle;
  const double sn = std::sin(a * DEG_TO_RAD);
  const double cs = std::cos(a * DEG_TO_RAD);
  const int N = n(), d = D();
  const double dh = Dh();
  const double ex = sn * (dh + hw()) * (N - 1);
  const double ey = cs * (dh + hh()) * (N - 1);
  if ((sn >= 0 && cs >= 0) || (sn < 0 && cs < 0)) {
    rec.nBaseX = ShotTrunc(rec.nBaseX - ex);
    rec.nStepX = ShotTrunc(sn * (d + w()));
    rec.nBaseY = ShotTrunc(rec.nBaseY + ey);
    rec.nStepY = ShotTrunc(-cs * (d + h()));
  } else {
    rec.nBaseX = ShotTrunc(rec.nBaseX + ex);
    rec.nStepX = ShotTrunc(-sn * (d + w()));
    rec.nBaseY = ShotTrunc(rec.nBaseY - ey);
    rec.nStepY = ShotTrunc(cs * (d + h()));
  }
  Offsets();
  Velocity(a, s);
}

void cFiring::PlaceStraightB() {
  const double s = rec.dSpeed, sK = s * K;
  rec.nStepX = 0;
  rec.nStepY = -(D() + h());
  rec.nBaseY = g.sy + g.b - h() + 1;
  const int xLeft = ShotTrunc(g.SX + g.l + 1 - w());
  const int xRight = ShotTrunc(g.SX + g.r + 1);
  const int xFront = U.m_nFacing ? xRight : xLeft;
  switch (rec.nDirection) {
    // clang-format off
    case DIR_LEFT: rec.nBaseX = xLeft; rec.dVx = -s; rec.dVy = 0; break;
    case DIR_RIGHT: rec.nBaseX = xRight; rec.dVx = s; rec.dVy = 0; break;
    case DIR_UP: rec.nBaseX = xFront; rec.dVx = 0; rec.dVy = -s; break;
    case DIR_DOWN: rec.nBaseX = xFront; rec.dVx = 0; rec.dVy = s; break;
    case DIR_UP_LEFT: rec.nBaseX = xLeft; rec.dVx = -sK; rec.dVy = -sK; break;
    case DIR_DOWN_LEFT: rec.nBaseX = xLeft; rec.dVx = -sK; rec.dVy = sK; break;
    case DIR_UP_RIGHT: rec.nBaseX = xRight; rec.dVx = sK; rec.dVy = -sK; break;
    case DIR_DOWN_RIGHT: rec.nBaseX = xRight; rec.dVx = sK; rec.dVy = sK; break;
    // clang-format on
    default: break;
  }
  Offsets();
}

void cFiring::PlaceStraightBAimed() {
  PlaceStraightB();
  Velocity(AimedOrBase(rec.nBaseX + hw(), rec.nBaseY + hh()) + rec.nAngle, rec.dSpeed);
}

void cFiring::PlaceSpread() {
  const int yMid = g.sy + g.t + (g.H >> 1) - hh();
  const int xMid = g.sx + g.l + (g.W >> 1) - hw();
  switch (rec.nDirection) {
    // clang-format off
    case DIR_LEFT: rec.nBaseX = g.sx + g.l - w() + 1; rec.nBaseY = yMid; break;
    case DIR_RIGHT: rec.nBaseX = g.sx + g.r + 1; rec.nBaseY = yMid; break;
    case DIR_UP: rec.nBaseX = xMid; rec.nBaseY = g.sy + g.t - h(); break;
    case DIR_DOWN: rec.nBaseX = xMid; rec.nBaseY = g.sy + g.b + 1; break;
    case DIR_UP_LEFT: rec.nBaseX = XL(); rec.nBaseY = YU(); break;
    case DIR_DOWN_LEFT: rec.nBaseX = XL(); rec.nBaseY = YD(); break;
    case DIR_UP_RIGHT: rec.nBaseX = XR(); rec.nBaseY = YU(); break;
    case DIR_DOWN_RIGHT: rec.nBaseX = XR(); rec.nBaseY = YD(); break;
    // clang-format on
    default: break;
  }
  Offsets();
}

void cFiring::PlaceSpreadAimed() {
  if (!P.m_nSetting10) {
    PlaceSpread();
    return;
  }
  PlaceOnRing(AimedOrBase(g.Cx + rec.nOffsetX, g.Cy + rec.nOffsetY) + rec.nAngle);
  Offsets();
}

void cFiring::PlaceLightning() {
  const cActor& T = *U.m_pTarget;
  const int tcx = T.m_ScreenRect.left + (T.m_nWidth >> 1);
  const int tcy = T.m_ScreenRect.top + (T.m_nHeight >> 1);
  const int R = P.m_nFormationValues[1];
  const int Q = P.m_nFormationValues[2] * 16;
  const int F = (R - 1) * Q / 2;
  const int N = ShotTrunc(F * K);
  const double s = rec.dSpeed, sK = s * K;
  const int qK = ShotTrunc(Q * K);
  int& bx = rec.nBaseX;
  int& by = rec.nBaseY;
  int cx = 0, cy = 0;  // the centring of the rows
  switch (rec.nDirection) {
    case DIR_LEFT:
    case DIR_RIGHT:
      bx = rec.nDirection == DIR_LEFT ? ShotTrunc(g.SX + VIEW_WIDTH - w()) : g.sx;
      by = g.sy + tcy - hh();
      rec.nStepX = rec.nDirection == DIR_LEFT ? -w() : w();
      rec.nStepY = 0;
      rec.dVx = rec.nDirection == DIR_LEFT ? -s : s;
      rec.dVy = 0;
      rec.nRowStepX = 0;
      rec.nRowStepY = Q;
      cy = -F;
      break;
    case DIR_UP:
    case DIR_DOWN:
      bx = g.sx + tcx - hw();
      by = rec.nDirection == DIR_UP ? ShotTrunc(g.SY + VIEW_HEIGHT - h()) : g.sy;
      rec.nStepX = 0;
      rec.nStepY = rec.nDirection == DIR_UP ? -h() : h();
      rec.dVx = 0;
      rec.dVy = rec.nDirection == DIR_UP ? -s : s;
      rec.nRowStepX = Q;
      rec.nRowStepY = 0;
      cx = -F;
      break;
    case DIR_UP_LEFT: {
      const int G = VIEW_WIDTH - tcx, V = VIEW_HEIGHT - tcy;
      if (G < V) {
        bx = ShotTrunc(g.SX + VIEW_WIDTH - w());
        by = ShotTrunc(g.SY + tcy + G - h());
      } else {
        bx = ShotTrunc(g.SX + tcx + V - w());
        by = ShotTrunc(g.SY + VIEW_HEIGHT - h());
      }
      rec.nStepX = ShotTrunc(-w() * K);
      rec.nStepY = ShotTrunc(-h() * K);
      rec.dVx = rec.dVy = -sK;
      rec.nRowStepX = qK;
      rec.nRowStepY = ShotTrunc(-Q * K);
      cx = -N;
      cy = N;
      break;
    }
    case DIR_DOWN_LEFT: {
      const int G = VIEW_WIDTH - tcx, V = tcy;
      if (G < V) {
        bx = ShotTrunc(g.SX + VIEW_WIDTH - w());
        by = ShotTrunc(g.SY + tcy - G);
      } else {
        bx = ShotTrunc(g.SX + tcx + V - w());
        by = g.sy;
      }
      rec.nStepX = ShotTrunc(-w() * K);
      rec.nStepY = ShotTrunc(h() * K);
      rec.dVx = -sK;
      rec.dVy = sK;
      rec.nRowStepX = qK;
      rec.nRowStepY = qK;
      cx = -N;
      cy = -N;
      break;
    }
    case DIR_UP_RIGHT: {
      const int G = tcx, V = VIEW_HEIGHT - tcy;
      if (G < V) {
        bx = g.sx;
        by = ShotTrunc(g.SY + tcy + G - h());
      } else {
        bx = ShotTrunc(g.SX + G - V);
        by = ShotTrunc(g.SY + VIEW_HEIGHT - h());
      }
      rec.nStepX = ShotTrunc(w() * K);
      rec.nStepY = ShotTrunc(-h() * K);
      rec.dVx = sK;
      rec.dVy = -sK;
      rec.nRowStepX = qK;
      rec.nRowStepY = qK;
      cx = -N;
      cy = -N;
      break;
    }
    case DIR_DOWN_RIGHT: {
      const int G = tcx, V = tcy;
      if (G < V) {
        bx = g.sx;
        by = ShotTrunc(g.SY + tcy - G);
      } else {
        bx = ShotTrunc(g.SX + G - V);
        by = g.sy;
      }
      rec.nStepX = ShotTrunc(w() * K);
      rec.nStepY = ShotTrunc(h() * K);
      rec.dVx = rec.dVy = sK;
      rec.nRowStepX = qK;
      rec.nRowStepY = ShotTrunc(-Q * K);
      cx = -N;
      cy = N;
      break;
    }
    default: break;
  }
  if (R >= 2) {
    bx += cx;
    by += cy;
  } else {
    rec.nRowStepX = rec.nRowStepY = 0;
  }
  Offsets();
}

void cFiring::PlaceCentre() {
  rec.nBaseX = ShotTrunc(g.l + (g.W >> 1) + g.SX - hw());
  rec.nBaseY = ShotTrunc(g.t + (g.H >> 1) + g.SY - hh());
  Offsets();
}

void cFiring::SpawnLine(bool bColumn) {
  const bool bPlain = rec.nAngle == 0 && !P.m_bAimAtTarget;
  if (bColumn) {
    bPlain ? PlaceStraightB() : PlaceStraightBAimed();
  } else {
    bPlain ? PlaceStraightA() : PlaceStraightAAimed();
  }
  rec.nX = rec.nBaseX;
  rec.nY = rec.nBaseY;
  for (int i = 0; i < n(); ++i) {
    Spawn();
    rec.nX += rec.nStepX;
    rec.nY += rec.nStepY;
  }
}

void cFiring::SpawnSpread() {
  const double speed = std::fabs(rec.dSpeed);
  const int d = P.m_nFormationValues[0];
  rec.nAngle == 0 && !P.m_bAimAtTarget ? PlaceSpread() : PlaceSpreadAimed();
  const double c = AimedOrBase(rec.nBaseX + hw(), rec.nBaseY + hh()) + rec.nAngle;
  const double first = c - d * (n() - 1) / 2.0;
  rec.nX = rec.nBaseX;
  rec.nY = rec.nBaseY;
  for (int k = 0; k < n(); ++k) {
    Velocity(first + k * d, speed);
    Spawn();
  }
}

void cFiring::SpawnLightning() {
  if (!U.m_pTarget) return;
  PlaceLightning();
  if (rec.nAngle != 0) Velocity(Base() + rec.nAngle, rec.dSpeed);
  rec.nX = rec.nBaseX;
  rec.nY = rec.nBaseY;
  const int R = P.m_nFormationValues[1];
  for (int i = 0; i < n(); ++i) {
    const SHOTSPAWN saved = rec;
    for (int j = 0; j < R; ++j) {
      Spawn();
      rec.nX += rec.nRowStepX;
      rec.nY += rec.nRowStepY;
    }
    rec.nX = saved.nX + rec.nStepX;
    rec.nY = saved.nY + rec.nStepY;
  }
}

void cFiring::SpawnBurst() {
  if (n() <= 0) return;
  const double speed = std::fabs(rec.dSpeed);
  PlaceCentre();
  rec.nX = rec.nBaseX;
  rec.nY = rec.nBaseY;
  double a = Base() + rec.nAngle;
  for (int k = 0; k < n(); ++k) {
    Velocity(a, speed);
    Spawn();
    a += 360.0 / n();
  }
}

void cFiring::SpawnSurround() {
  if (!U.m_pTarget || n() <= 0) return;
  const cActor& T = *U.m_pTarget;
  const double dist = P.m_nFormationValues[0] * 16.0;
  const double speed = std::fabs(rec.dSpeed);
  rec.nBaseX = ShotTrunc(T.m_ScreenRect.left + (T.m_nWidth >> 1) + g.SX - hw() + rec.nOffsetX);
  rec.nBaseY = ShotTrunc(T.m_ScreenRect.top + (T.m_nHeight >> 1) + g.SY - hh() + rec.nOffsetY);
  double a = Base() + rec.nAngle;
  for (int k = 0; k < n(); ++k) {
    rec.nX = ShotTrunc(dist * std::cos(a * DEG_TO_RAD) + 0.5) + rec.nBaseX;
    rec.nY = ShotTrunc(dist * std::sin(a * DEG_TO_RAD) + 0.5) + rec.nBaseY;
    Velocity(a, speed);
    Spawn();
    a += 360.0 / n();
  }
}

void cFiring::SpawnFormation() {
  switch (P.m_nFormation) {
    case FORM_STRAIGHT_A: SpawnLine(false); break;
    case FORM_STRAIGHT_B: SpawnLine(true); break;
    case FORM_SPREAD: SpawnSpread(); break;
    case FORM_LIGHTNING: SpawnLightning(); break;
    case FORM_BURST: SpawnBurst(); break;
    case FORM_SURROUND: SpawnSurround(); break;
    default: break;
  }
}

template <class T>
const T* PaletteEntry(const cVector<T>& list, int nIndex) {
  return static_cast<unsigned>(nIndex) < static_cast<unsigned>(list.Size()) ? &list[nIndex] : nullptr;
}

const cEdPalette& SummonPalette(const cEdShot& p) {
  return p.m_nSummonPalette == PALETTE_COMMON ? g_CommonPalette : g_Stage.m_Palette;
}

void cFiring::Spawn() {
  cStageScene& scene = TheStage();
  const int nType = rt.m_pCommand ? rt.m_pCommand->m_nType : 0;
  switch (nType) {
    case CMD_SHOT: {
      cShot shot;
      shot.Init(scene.m_nNextShotId, U, CMD_SHOT, P, rec);
      cShot& e = scene.AddShot(shot);
      ++scene.m_nNextShotId;
      const int nMove = P.m_nMotion;
      if ((nMove == STEER_AIM_TARGET || nMove == STEER_HOME_TARGET) && shot.m_pTarget) {
        e.m_pTarget = shot.m_pTarget;
        auto& aiming = e.m_pTarget->m_AimingShots;
        if (std::find(aiming.begin(), aiming.end(), &e) == aiming.end()) aiming.push_back(&e);
      }
      break;
    }
    case CMD_SUMMON_BLOCK: {
      const cVector<cEdBlock>& list = SummonPalette(P).m_Blocks;
      scene.SummonBlock(rec.nX, rec.nY, P, list[P.m_nSummon]);
      break;
    }
    case CMD_SUMMON_CHARA: {
      const int nFacing = P.m_bSummonOpposite ? !U.m_nFacing : U.m_nFacing;
      const cEdChara& def = SummonPalette(P).m_Charas[P.m_nSummon];
      const int nSide = P.m_nSummonLayer == SUMMON_SIDE_OF_DEFINITION ? def.m_nPassNumber
                        : P.m_nSummonLayer == SUMMON_SIDE_OF_USER     ? U.m_nSide
                                                                      : P.m_nLayer;
      scene.SummonChara(g_Charas, rec.nX, rec.nY, nSide, nFacing, P, def, scene.m_nNextActorId);
      break;
    }
    case CMD_SUMMON_ITEM:
      scene.SummonItem(g_Items, rec.nX, rec.nY, P, SummonPalette(P).m_Items[P.m_nSummon], scene.m_nNextItemId);
      break;
    default: break;
  }
}

int ResolveDirection(const cActor& u, int nCode) {
  const bool bRight = u.m_nFacing != 0;
  switch (nCode) {
    case DIR_AHEAD: return bRight ? DIR_RIGHT : DIR_LEFT;
    case DIR_BEHIND: return bRight ? DIR_LEFT : DIR_RIGHT;
    case DIR_AHEAD_Y: return bRight ? DIR_DOWN : DIR_UP;
    case DIR_BEHIND_Y: return bRight ? DIR_UP : DIR_DOWN;
    case DIR_INPUT: {
      const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
      const cFlowRuntime* pFlow = pScene ? pScene->m_pCurFlow : nullptr;
      return DirectionToMoveCode(pFlow ? pFlow->m_nInputDirection : 0, u.m_nFacing);
    }
    default: return nCode;  // the fixed directions; others place nothing
  }
}

int ShotAngle(const cEdShot& p, const cActor& u, int nAngle) {
  if (p.m_bMirrorAngle && u.m_nFacing == 1) nAngle = 360 - nAngle;
  if (p.m_nSpread != 0) nAngle += Rand() % (2 * p.m_nSpread + 1) - p.m_nSpread;
  return nAngle;
}

// A summon: one formation of the palette entry's size, from the user's place.
void Summon(cActor& user, cCommandRuntime& runtime, const cEdShot& payload, int nSize) {
  SHOTSPAWN rec;
  rec.nWidth = rec.nHeight = nSize;
  rec.nDirection = ResolveDirection(user, payload.m_nDirection);
  rec.dSpeed = 1.0;
  user.CalcScreenRect();
  rec.nOffsetX = ShotTrunc(payload.OffsetX(0, user.m_nFacing));
  rec.nOffsetY = ShotTrunc(payload.OffsetY(0, user.m_nFacing));
  cFiring f{user, runtime, payload, rec, GeoOf(user)};
  f.SpawnFormation();
}

}  // namespace

int AimAngle(double x, double y, cActor& user, const cEdShot& payload, SHOTSPAWN& spawn) {
  cActor* T = user.m_pTarget;
  if (!T) return user.m_nFacing ? 180 : 0;
  const cStageScene& scene = TheStage();
  const int sx = ShotTrunc(scene.m_ScrollX.m_dPos);
  const int sy = ShotTrunc(scene.m_ScrollY.m_dPos);
  const int tcx = T->ScreenCentreX();
  const int tcy = T->ScreenCentreY();
  const bool bScrolling = scene.m_ScrollX.EffectiveSpeed() != 0 || scene.m_ScrollY.EffectiveSpeed() != 0;
  if (bScrolling && !payload.m_bScrollSync && T->m_bScrollSync) {
    cShot probe;
    probe.Init(0, user, CMD_SHOT, payload, spawn);
    const double v = (payload.m_nSpeed + payload.m_nSpeedStep * spawn.nRepeat) * 0.1 / g_FrameScale;
    double vx = 0, vy = 0;
    std::int32_t turn = 0;
    AimVelocity(vx, vy, turn, &probe, x - sx, y - sy, tcx, tcy, v, 0, 0, 0);
    spawn.dSpeed = std::sqrt(vx * vx + vy * vy) * g_FrameScale;
    return ShotTrunc(std::atan2(vy, vx) * RAD_TO_DEG + 180);
  }
  const double dx = sx + tcx - x;
  const double dy = sy + tcy - y;
  return ShotTrunc(std::atan2(dy, dx) * RAD_TO_DEG + 180 + 0.5);
}

void FireShot(cActor& user, cCommandRuntime& runtime, const cEdShot& payload) {
  SHOTSPAWN rec;
  rec.nWidth = rec.nHeight = payload.m_nSize * 16;
  rec.nDirection = ResolveDirection(user, payload.m_nDirection);
  if (user.m_nKind == 1) user.CalcScreenRect();
  if (user.m_pTarget && user.m_pTarget->m_nKind == 1) user.m_pTarget->CalcScreenRect();
  rec.dSpeed = payload.m_nSpeed * 0.1;
  rec.nAngle = ShotAngle(payload, user, payload.m_nAngle);
  rec.nRange = payload.m_nRange;
  rec.nLife = payload.m_nLife;
  const cPlaceGeo geo = GeoOf(user);
  for (int i = 0; i <= payload.m_nExtraShots; ++i) {
    rec.nRepeat = static_cast<std::int16_t>(i);
    rec.nOffsetX = ShotTrunc(payload.OffsetX(i, user.m_nFacing));
    rec.nOffsetY = ShotTrunc(payload.OffsetY(i, user.m_nFacing));
    cFiring f{user, runtime, payload, rec, geo};
    f.SpawnFormation();
    rec.dSpeed += payload.m_nSpeedStep * 0.1;
    rec.nAngle = ShotAngle(payload, user, payload.m_nAngle + payload.m_nAngleStep * (i + 1));
    rec.nRange += payload.m_nRangeStep;
    rec.nLife += payload.m_nLifeStep;
  }
}

void SummonChara(cActor& user, cCommandRuntime& runtime, const cEdShot& payload) {
  const cEdChara* def = PaletteEntry(SummonPalette(payload).m_Charas, payload.m_nSummon);
  if (!def || def->m_nOperator != 1) return;
  Summon(user, runtime, payload, def->m_nScale * BLOCK_SIZE);
}

void SummonItem(cActor& user, cCommandRuntime& runtime, const cEdShot& payload) {
  const cEdItem* def = PaletteEntry(SummonPalette(payload).m_Items, payload.m_nSummon);
  if (!def) return;
  Summon(user, runtime, payload, def->m_nScale * BLOCK_SIZE);
}

void SummonBlock(cActor& user, cCommandRuntime& runtime, const cEdShot& payload) {
  if (!PaletteEntry(SummonPalette(payload).m_Blocks, payload.m_nSummon)) return;
  if (payload.m_nBlockSummonMode == BLOCK_SUMMON_TOGGLE) TheStage().m_SummonCells.clear();
  Summon(user, runtime, payload, BLOCK_SIZE);
}
