// The shot object: set-up from a command's payload, the step of a flying shot and of a
// sword that follows its owner, the clamped moves, the block test and the drawing; and
// the scene's shot list with its per-side pointer lists.
#include "stage/Shot.h"

#include <algorithm>
#include <cmath>

#include "base/Screen.h"
#include "gamedata/Database.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "stage/Actor.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/ObjectGeometry.h"
#include "stage/ObjectLists.h"
#include "stage/ShotMath.h"
#include "stage/StageScene.h"

namespace {

// Sequence 0: three patterns then the end (swords); sequence 1: two patterns looping.
constexpr ANIMESTEP kSwordSteps[] = {{0, 7, 0}, {1, 7, 0}, {2, 7, 0}, {-4, 0, 0}};
constexpr ANIMESTEP kShotSteps[] = {{0, 8, 0}, {1, 8, 0}, {-2, 0, 0}};
constexpr const ANIMESTEP* kShotAnimeTable[] = {kSwordSteps, kShotSteps, nullptr};

constexpr int SHOT_SHEET = 20;  // 20 left, 21 right

const cEdSwordEntry& SwordEntry(int nType, int nEntry) {
  return g_Database.m_SwordTypes[static_cast<std::int8_t>(nType)].m_Entries[nEntry];
}

}  // namespace

cShot::cShot() {
  m_Shot.m_nSetting16 = 1;  // offset x mirrored
  m_Shot.m_bShooterLayer = 1;
  m_Shot.m_nSize = 1;
  m_Shot.m_bMirrorAngle = 1;
}

cShot::cShot(const cShot& other) : cGameObject(other) { *this = other; }

cShot& cShot::operator=(const cShot& other) {
  if (this == &other) return *this;
  DropTarget();
  cGameObject::operator=(other);
  const cShot& o = other;
  m_nOwnerId = o.m_nOwnerId;
  m_bIsShot = o.m_bIsShot;
  m_nRangeLeft = o.m_nRangeLeft;
  m_nLifeLeft = o.m_nLifeLeft;
  m_nStepCount = o.m_nStepCount;
  m_nSwordEntry = o.m_nSwordEntry;
  m_dAccel = o.m_dAccel;
  m_dSpeed = o.m_dSpeed;
  m_dVx = o.m_dVx;
  m_dVy = o.m_dVy;
  m_bAccel = o.m_bAccel;
  m_nTurnStep = o.m_nTurnStep;
  m_nHomingEnd = o.m_nHomingEnd;
  m_bSteerDone = o.m_bSteerDone;
  m_dWavePhase = o.m_dWavePhase;
  m_dWaveSin = o.m_dWaveSin;
  m_dWaveCos = o.m_dWaveCos;
  m_dAtkLeft = o.m_dAtkLeft;
  m_dAtkTop = o.m_dAtkTop;
  m_dAtkRight = o.m_dAtkRight;
  m_dAtkBottom = o.m_dAtkBottom;
  m_nAtkOffX = o.m_nAtkOffX;
  m_nAtkOffY = o.m_nAtkOffY;
  m_nAtkW = o.m_nAtkW;
  m_nAtkH = o.m_nAtkH;
  m_nBaseAtkOffX = o.m_nBaseAtkOffX;
  m_nBaseAtkOffY = o.m_nBaseAtkOffY;
  m_nBaseAtkW = o.m_nBaseAtkW;
  m_nBaseAtkH = o.m_nBaseAtkH;
  m_HitActors = o.m_HitActors;
  m_Shot = o.m_Shot;
  // A copy is not listed with the target; only the spawner links the listed element.
  m_pTarget = nullptr;
  return *this;
}

cShot::~cShot() { DropTarget(); }

void cShot::DropTarget() {
  if (!m_pTarget) return;
  auto& list = m_pTarget->m_AimingShots;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  m_pTarget = nullptr;
}

void cShot::ScaleHitBoxes(int nScale) {
  m_nAtkOffX = nScale * m_nBaseAtkOffX;
  m_nAtkOffY = nScale * m_nBaseAtkOffY;
  m_nAtkW = nScale * m_nBaseAtkW;
  m_nAtkH = nScale * m_nBaseAtkH;
}

void cShot::KeepFootOnScale(int nNew, int nOld) {
  // A shot keeps its vertical centre.
  m_dY -= (nNew - nOld) * (m_nBaseHitH >> 1);
  ClampY(2);
}

void cShot::UpdateHitBoxX() {
  m_dAtkLeft = ShotTrunc(m_dX) + m_nAtkOffX;
  m_dAtkRight = m_dAtkLeft + m_nAtkW - 1;
}

void cShot::UpdateHitBoxY() {
  m_dAtkTop = ShotTrunc(m_dY) + m_nAtkOffY;
  m_dAtkBottom = m_dAtkTop + m_nAtkH - 1;
}

void cShot::Init(int nId, cActor& shooter, int nCommandType, const cEdShot& payload, const SHOTSPAWN& spawn) {
  m_Shot = payload;
  if (m_Shot.m_nSize == 0) m_Shot.m_nSize = 1;
  const int nFacing = spawn.dVx > 0 ? 1 : spawn.dVx < 0 ? 0 : shooter.m_nFacing;

  int w = 0, h = 0, offX = 0, offY = 0, aw = 0, ah = 0;
  const bool bSword = nCommandType == CMD_SWORD;
  if (bSword) {
    const cEdSwordEntry& e = SwordEntry(m_Shot.m_nMotion, 0);
    w = aw = e.m_nWidth;
    h = ah = e.m_nHeight;
  } else {
    const bool bPlayer = shooter.m_nKind == 0;
    const std::int32_t* size = bPlayer ? g_Stage.m_PlayerShotSize : g_Stage.m_CharaShotSize;
    const std::int32_t* attack = bPlayer ? g_Stage.m_PlayerShotAttack : g_Stage.m_CharaShotAttack;
    w = size[0];
    h = size[1];
    offX = 8 - (w >> 1);
    offY = 8 - (h >> 1);
    aw = attack[0];
    ah = attack[1];
  }
  m_bIsShot = bSword ? 0 : 1;
  m_nOwnerId = shooter.m_nSerial;
  cGameObject::Init(nId, shooter.m_nKind, shooter.m_nPadIndex, m_Shot.m_nLayer, m_Shot.m_nGraphic, kShotAnimeTable,
                    bSword ? 0 : 1, offX, offY, w, h, 16, 16, nFacing, 1, spawn.nRepeat);
  if (m_Shot.m_bShooterLayer) {
    m_Shot.m_nLayer = static_cast<std::uint8_t>(shooter.m_nSide);
    m_nSide = shooter.m_nSide;
  }
  m_nAtkOffX = m_nBaseAtkOffX = bSword ? 0 : 8 - (aw >> 1);
  m_nAtkOffY = m_nBaseAtkOffY = bSword ? 0 : 8 - (ah >> 1);
  m_nAtkW = m_nBaseAtkW = aw;
  m_nAtkH = m_nBaseAtkH = ah;
  SetScale(m_Shot.m_nSize, 1);

  m_dX = spawn.nX;
  ClampX();
  m_dY = spawn.nY;
  ClampY(2);

  const double m = g_FrameScale;
  m_dVx = spawn.dVx / m;
  m_dVy = spawn.dVy / m;
  if (m_Shot.m_bAccelerate) {
    m_bAccel = 1;
    m_dAccel = (m_Shot.m_nAccel + m_Shot.m_nAccelPerLevel * m_nLevel) * 0.1 / m;
    AlignAcceleration(m_dPushX, m_dPushY, spawn.dVx, spawn.dVy);
  } else {
    m_bAccel = 0;
    m_dAccel = m_dPushX = m_dPushY = 0.0;
  }
  m_dStepX = m_dVelY = 0.0;
  m_bScrollSync = m_Shot.m_bScrollSync;
  if (m_Shot.m_bTimeLimit) m_nLifeLeft = ShotTrunc(static_cast<double>(spawn.nLife) * g_SubSteps * 6);
  if (m_Shot.m_bRangeLimit) {
    const double d = std::max(0, spawn.nRange * 16 - m_nHitW);
    const double sp = std::fabs(spawn.dSpeed / m);
    if (d > 0 && sp > 0) {
      m_nRangeLeft = ShotTrunc(d / sp);
    } else {
      m_nRangeLeft = ShotTrunc(m);
      if (ShotTrunc(m * sp) > m_nHitW) m_nRangeLeft = ShotTrunc(m_nHitW / sp);
    }
    if (m_nRangeLeft < m) {
      // The range ends within a frame: cover it in exactly one frame at reduced speed.
      const double sum = std::fabs(spawn.dVx) + std::fabs(spawn.dVy);
      if (sum > 0) {
        m_dVx = spawn.dVx * (d / m) / sum;
        m_dVy = spawn.dVy * (d / m) / sum;
      }
      m_nRangeLeft = ShotTrunc(m);
    }
  }
  m_nStepCount = m_nSwordEntry = m_nTurnStep = m_nHomingEnd = m_bSteerDone = 0;
  m_pTarget = shooter.m_pTarget;
}

int cShot::Update() {
  if (!m_bIsShot) return UpdateSword();
  const cStageScene& scene = TheStage();
  double& dx = m_dStepX;
  double& dy = m_dVelY;
  const bool bFlying = m_bFlying != 0;
  if (g_System.m_bScrollMoveRule || !m_bScrollSync) {
    dx = 0.0;
    if (bFlying) dy = 0.0;
  } else {
    dx = scene.m_ScrollX.m_bAtLimit ? 0.0 : scene.m_ScrollX.m_dSpeed;
    if (bFlying) dy = scene.m_ScrollY.m_bAtLimit ? 0.0 : scene.m_ScrollY.m_dSpeed;
  }
  Steer();
  if (m_bAccel) {
    m_dVx += m_dPushX;
    if (m_bFlying) {
      m_dVy += m_dPushY;
    } else {
      dy += m_dPushY;
    }
  }
  dx += m_dVx;
  if (m_bFlying) dy += m_dVy;
  if (m_Shot.m_bTimeLimit) {
    if (m_nLifeLeft <= 0) return 1;
    --m_nLifeLeft;
  }
  if (dx != 0) m_nFacing = dx > 0 ? 1 : 0;
  if (m_Shot.m_bRangeLimit) {
    if (m_nRangeLeft > 0) {
      --m_nRangeLeft;
    } else if (!m_Shot.m_bStopAtLimit) {
      return 1;
    } else {
      // Held where the range ended: no own velocity and no steering any more.
      m_dVx = m_dVy = 0.0;
      m_Shot.m_nMotion = STEER_NONE;
      if (m_bScrollSync) {
        if (!scene.m_ScrollX.m_bAtLimit) dx = scene.m_ScrollX.m_dSpeed;
        if (m_bFlying && !scene.m_ScrollY.m_bAtLimit) dy = scene.m_ScrollY.m_dSpeed;
      } else {
        dx = dy = 0.0;
      }
    }
  }
  return 0;
}

int cShot::UpdateSword() {
  cActor* pOwner = FindCharaById(m_nOwnerId);
  if (!pOwner) return 1;
  const cStageScene& scene = TheStage();
  pOwner->CalcScreenRect();
  const int sx = ShotTrunc(scene.m_ScrollX.m_dPos);
  const int sy = ShotTrunc(scene.m_ScrollY.m_dPos);
  const int L = pOwner->m_ScreenRect.left + sx;
  const int T = pOwner->m_ScreenRect.top + sy;
  const int R = pOwner->m_ScreenRect.right + sx;
  const int B = pOwner->m_ScreenRect.bottom + sy;
  const int W = pOwner->m_nWidth;
  const int H = pOwner->m_nHeight;
  const bool bLeft = pOwner->m_nFacing == 0;
  m_nFacing = pOwner->m_nFacing;

  const int nType = m_Shot.m_nMotion;
  const cEdSwordEntry& e = SwordEntry(nType, m_nSwordEntry);
  const int s = m_Shot.m_nSize;
  if (m_nStepCount == 0) {
    m_nWidth = m_nHitW = m_nAtkW = e.m_nWidth * s;
    m_nHeight = m_nHitH = m_nAtkH = e.m_nHeight * s;
    m_nBaseWidth = m_nBaseHitW = m_nBaseAtkW = e.m_nWidth;
    m_nBaseHeight = m_nBaseHitH = m_nBaseAtkH = e.m_nHeight;
  }
  const int w = m_nWidth;
  const int h = m_nHeight;
  switch (e.m_nPosition) {
    case SWORD_IN_FRONT:
      m_dX = bLeft ? L - w : R + 1;
      m_dY = T + (H >> 1) - (h >> 1);
      break;
    case SWORD_BEHIND:
      m_nFacing = m_nFacing ? 0 : 1;
      m_dX = bLeft ? R + 1 : L - w;
      m_dY = T + (H >> 1) - (h >> 1);
      break;
    case SWORD_ABOVE:
      m_dX = L + (W >> 1) - (w >> 1);
      m_dY = T - h;
      break;
    case SWORD_BELOW:
      m_dX = L + (W >> 1) - (w >> 1);
      m_dY = B + 1;
      break;
    default: break;
  }
  const double dx = static_cast<double>(e.m_nOffsetX) * s;
  const double dy = static_cast<double>(e.m_nOffsetY) * s;
  m_dX += !bLeft && e.m_bMirrorX ? -dx : dx;
  m_dY += !bLeft && e.m_bMirrorY ? -dy : dy;
  ClampX();
  ClampY(2);

  ++m_nStepCount;
  if (m_nStepCount > static_cast<double>(e.m_nTime) * g_SubSteps * 6) {
    m_nStepCount = 0;
    ++m_nSwordEntry;
    if (m_nSwordEntry >= g_Database.m_SwordTypes[static_cast<std::int8_t>(nType)].m_Entries.Size()) return 1;
  }
  return 0;
}

void cShot::MoveX() {
  if (m_dPushX != 0) m_dStepX += m_dPushX;
  if (m_dStepX == 0) return;
  m_dStepX = std::clamp(m_dStepX, -g_MaxSpeed, g_MaxSpeed);
  m_dX += m_dStepX;
  ClampX();
}

void cShot::MoveY() {
  if (m_dPushY != 0) m_dVelY += m_dPushY;
  if (m_dVelY == 0) return;
  StepY(2);
  ClampY(2);
}

int cShot::ClampX() { return cGameObject::ClampX(2) == 3 ? 3 : 0; }

int cShot::TouchesBlock() const {
  if (m_Shot.m_nBlockMode == SHOT_PASSES_BLOCKS) return 0;
  const cStageScene& scene = TheStage();
  const int nShift = scene.m_ScrollX.m_nShift;
  auto Touches = [&](int c, int r) { return g_BlockMap[c + (r << nShift)].GetHitKind(m_nSide) != 0; };
  if (m_nHitW <= BLOCK_SIZE) {
    return Touches(m_nCellLeft, m_nCellTop) || Touches(m_nCellLeft, m_nCellBottom) ||
                   Touches(m_nCellRight, m_nCellTop) || Touches(m_nCellRight, m_nCellBottom)
               ? 1
               : 0;
  }
  const int x = ShotTrunc(m_dX);
  const int y = ShotTrunc(m_dY);
  // Samples every 32 pixels, the last one on the far edge.
  for (int dy = 0;; dy += BLOCK_SIZE) {
    const int yy = std::min(dy, m_nHitH - 1);
    for (int dx = 0;; dx += BLOCK_SIZE) {
      const int xx = std::min(dx, m_nHitW - 1);
      if (Touches((x + xx) >> BLOCK_SHIFT, (y + yy) >> BLOCK_SHIFT)) return 1;
      if (xx >= m_nHitW - 1) break;
    }
    if (yy >= m_nHitH - 1) break;
  }
  return 0;
}

void cShot::AlignAcceleration(double& ax, double& ay, double vx, double vy) const {
  auto P = [](double v) { return v / g_FrameScale * 0.016666666666666666; };
  if (vx == 0 && vy == 0) {
    ax = ay = 0.0;
  } else if (vx == 0) {
    ax = 0.0;
    ay = vy > 0 ? P(m_dAccel) : -P(m_dAccel);
  } else if (vy == 0) {
    ay = 0.0;
    ax = vx > 0 ? P(m_dAccel) : -P(m_dAccel);
  } else {
    const double l = std::sqrt(vx * vx + vy * vy);
    ax = P(vx / l * m_dAccel);
    ay = P(vy / l * m_dAccel);
  }
}

void cShot::Draw(DDSURFACEDATA* lpSD, int bFrozen) {
  if (m_Shot.m_bInvisible) return;
  const int x = m_ScreenRect.left;
  const int y = m_ScreenRect.top;
  if (!m_bIsShot) {
    cStageScene& scene = TheStage();
    const int t = static_cast<std::int8_t>(m_Shot.m_nMotion);
    const cEdSwordEntry& e = SwordEntry(t, m_nSwordEntry);
    if (m_Shot.m_nSize <= 1) {
      DDBlt(lpSD, x, y, m_nWidth, m_nHeight, &scene.m_SwordSurfaces[m_nFacing + 4 * t], e.m_nSrcX, e.m_nSrcY, 1);
    } else {
      DDStretchBlt(lpSD, x, y, m_nWidth, m_nHeight, &scene.m_SwordSurfaces[m_nFacing + 4 * t + 2], e.m_nSrcX, e.m_nSrcY,
                   m_nBaseWidth, m_nBaseHeight, 1);
    }
    return;
  }
  const int nPattern = bFrozen ? m_Anime.GetPattern() : m_Anime.Tick();
  const int g = m_nGraphic;
  const bool bStretched = m_Shot.m_nSize > 1;
  DDSURFACEDATA* src = &g_SurfaceData[ChooseSheetVariant(SHOT_SHEET + m_nFacing, bStretched ? 1 : 0)];
  // The sheet lays the graphics out in 30 rows of 4 column pairs, a pair per graphic.
  const int sx = g / 30 * 32 + nPattern * 16;
  const int sy = g % 30 * 16;
  if (!bStretched) {
    DDBlt(lpSD, x, y, m_nWidth, m_nHeight, src, sx, sy, 1);
  } else {
    DDStretchBlt(lpSD, x, y, m_nWidth, m_nHeight, src, sx, sy, 16, 16, 1);
  }
}

// ---- the scene's lists ----

cShot& cStageScene::AddShot(const cShot& shot) {
  m_Shots.push_back(shot);
  cShot& copy = m_Shots.back();
  m_SideShots[copy.m_Shot.m_nLayer].push_back(&copy);
  return copy;
}

void cStageScene::SweepShots() {
  m_Shots.remove_if([](const cShot& s) { return s.m_bRemoved != 0; });
}

void cStageScene::ShotPass() {
  for (auto it = m_Shots.begin(); it != m_Shots.end();) {
    cShot& s = *it;
    bool bGone = s.Update() != 0;
    if (!bGone) {
      s.ApplyGravityUnlessFlying();
      s.MoveY();
      s.MoveX();
      if (m_nSubStep == 1 && s.m_bIsShot) { bGone = s.IsOutsideEraseRange(g_Stage.m_Params[s.m_nKind == 0 ? 3 : 4]); }
      if (!bGone) bGone = s.TouchesBlock() != 0;
    }
    if (bGone) {
      m_SideShots[s.m_Shot.m_nLayer].remove(&s);
      it = m_Shots.erase(it);
    } else {
      ++it;
    }
  }
}

void cStageScene::DrawShots(DDSURFACEDATA* lpSD, int nLayer, int bFrozen) {
  for (cShot& s : m_Shots) {
    if ((nLayer != -1 && s.m_Shot.m_nSetting19 != nLayer) || !s.IsOnScreen()) continue;
    s.CalcScreenRect();
    s.Draw(lpSD, bFrozen);
  }
}
