#include "stage/Player.h"

#include <algorithm>

#include "base/Screen.h"
#include "gamedata/EditLabels.h"
#include "gamedata/Stage.h"
#include "stage/ActorPhysics.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

namespace {

// The view centred on the player's box, inside the scroll limits (at the minimum on a
// stage narrower than the view).
void Follow(cScrollAxis& axis, double pos, int nSize) {
  if (axis.m_bAuto) return;
  axis.m_dPos = pos - ((axis.m_nView >> 1) - (nSize >> 1));
  axis.Clamp();
}

// A box of w x h centred in the cell, relative to the body box at (nOffX, nOffY).
void CentreBox(cHitBox& box, int w, int h, int nOffX, int nOffY) {
  box.m_nOffX = box.m_nBaseOffX = 16 - (w >> 1) - nOffX;
  box.m_nOffY = box.m_nBaseOffY = 16 - (h >> 1) - nOffY;
  box.m_nW = box.m_nBaseW = w;
  box.m_nH = box.m_nBaseH = h;
}

void ScaleBox(cHitBox& box, int s) {
  box.m_nOffX = box.m_nBaseOffX * s;
  box.m_nOffY = box.m_nBaseOffY * s;
  box.m_nW = box.m_nBaseW * s;
  box.m_nH = box.m_nBaseH * s;
}

}  // namespace

cVector<cPlayer> g_Players;

void cPlayer::ScaleHitBoxes(int nScale) {
  for (cHitBox* box : {&m_BoxA, &m_BoxB, &m_BoxC}) ScaleBox(*box, nScale);
}

void cPlayer::UpdateHitBoxX() {
  for (cHitBox* box : {&m_BoxA, &m_BoxB, &m_BoxC}) box->UpdateX(m_dX);
}

void cPlayer::UpdateHitBoxY() {
  for (cHitBox* box : {&m_BoxA, &m_BoxB, &m_BoxC}) box->UpdateY(m_dY);
}

void cPlayer::Init(int nSerial, cEdChara& def, double x, double y) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  InitForSpawn(&def, x, y, 0);
  const int fly = m_bFlying ? 1 : 0;
  const int w = g_Stage.m_PlayerBoxA[2 * fly];
  const int h = g_Stage.m_PlayerBoxA[2 * fly + 1];
  const int nOffY = g_Stage.m_PlayerBoxAAnchor[fly] ? BLOCK_SIZE - h : (BLOCK_SIZE - h) >> 1;
  cGameObject::Init(nSerial, def.m_nOperator, def.m_nPad, def.m_nPassNumber, def.m_nImage, nullptr, 0,
                    (BLOCK_SIZE - w) >> 1, nOffY, w, h, BLOCK_SIZE, BLOCK_SIZE, 1, 0, 0);
  m_pPad = &g_Pads[def.m_nPad];
  SetFlyMode(def.m_nFlying, 0);
  SetScale(def.m_nScale, 1);
  m_dJumpUnit = 4.0 / g_FrameScale;
  m_nFacing = m_nPrevFacing = def.m_nFacing;
  m_bJumpBlocked = 0;
  m_nJumpHold = 0;
  m_bJumpReady = 1;
  m_bOnNoJumpBlock = m_nFootKind = m_nFootSteps = m_nItemBlockCooldown = 0;
  m_dFootFactor = 0.0;
  BuildDebugBoxes();
  m_TouchedItems.clear();
  BuildFlows(m_Def.m_Flows, m_nFacing, 0, -1);
}

void cPlayer::SetFlyMode(int nMode, int bRescale) {
  m_Def.m_nFlying = static_cast<std::uint8_t>(nMode);
  const std::int32_t bWasFlying = m_bFlying;
  cGameObject::SetFlyMode(nMode);
  if (m_bFlying != bWasFlying) {
    m_nBlockGraceSteps = 2;
    if (!m_bFlying) m_dVelY = m_dStepX = m_dPushY = m_dPushX = 0.0;
  }
  const int fly = m_bFlying ? 1 : 0;
  const cEdStage& st = g_Stage;
  const int w = st.m_PlayerBoxA[2 * fly];
  const int h = st.m_PlayerBoxA[2 * fly + 1];
  m_nHitW = m_nBaseHitW = w;
  m_nHitH = m_nBaseHitH = h;
  m_nHitOffX = m_nBaseHitOffX = (BLOCK_SIZE - w) >> 1;
  m_nHitOffY = m_nBaseHitOffY = st.m_PlayerBoxAAnchor[fly] ? BLOCK_SIZE - h : (BLOCK_SIZE - h) >> 1;
  m_nWidth = m_nHeight = m_nBaseWidth = m_nBaseHeight = BLOCK_SIZE;
  switch (m_Def.m_nBlockBox) {
    case BLOCK_BOX_CHARA_HIT:
      HitBoxCentre(st.m_PlayerBoxBAnchor[fly], st.m_PlayerBoxB[2 * fly], st.m_PlayerBoxB[2 * fly + 1]);
      break;
    case BLOCK_BOX_SHOT_HIT: HitBoxCentre(0, st.m_PlayerBoxC[0], st.m_PlayerBoxC[1]); break;
    case BLOCK_BOX_SHOT_ATTACK: HitBoxCentre(0, st.m_CharaShotAttack[0], st.m_CharaShotAttack[1]); break;
    case BLOCK_BOX_CELL: HitBoxCentre(0, BLOCK_SIZE, BLOCK_SIZE); break;
    default: break;
  }
  CentreBox(m_BoxB, st.m_PlayerBoxC[0], st.m_PlayerBoxC[1], m_nHitOffX, m_nHitOffY);
  CentreBox(m_BoxC, st.m_PlayerBoxD[0], st.m_PlayerBoxD[1], m_nHitOffX, m_nHitOffY);
  if (bRescale) {
    const int s = m_Def.m_nScale;
    m_nHitW *= s;
    m_nHitH *= s;
    m_nHitOffX *= s;
    m_nHitOffY *= s;
    m_nWidth *= s;
    m_nHeight *= s;
    ScaleHitBoxes(s);
  }
  BuildDebugBoxes();
}

void cPlayer::BuildDebugBoxes() {
  // Shown in the project's order body, A, B, C; listed body, C, A, B.
  struct Source {
    int nBox, nShow, w, h;
  };
  const Source sources[] = {{0, 0, m_nHitW, m_nHitH},
                            {2, 3, m_BoxC.m_nW, m_BoxC.m_nH},
                            {1, 1, m_BoxA.m_nW, m_BoxA.m_nH},
                            {3, 2, m_BoxB.m_nW, m_BoxB.m_nH}};
  m_DebugBoxes.clear();
  for (const Source& s : sources) {
    cDebugBox box;
    box.m_nBox = s.nBox;
    box.m_nMode = g_Stage.m_PlayerBoxShow[s.nShow];
    box.m_nColour = 208 + 4 * g_Stage.m_PlayerBoxColor[s.nShow];
    box.m_nW = s.w;
    box.m_nH = s.h;
    m_DebugBoxes.push_back(box);
  }
  std::stable_sort(m_DebugBoxes.begin(), m_DebugBoxes.end(), [](const cDebugBox& a, const cDebugBox& b) {
    return static_cast<std::int64_t>(a.m_nW) * a.m_nH > static_cast<std::int64_t>(b.m_nW) * b.m_nH;
  });
}

void cPlayer::CalcScreenRect() {
  cGameObject::CalcScreenRect();
  const cStageScene& scene = TheStage();
  const auto trunc = [](double d) { return static_cast<std::int32_t>(d); };
  if (scene.m_ScrollX.m_bAuto) {
    m_ScreenRect.left = trunc(m_dX) - trunc(scene.m_ScrollX.m_dPos) - m_nHitOffX;
    m_ScreenRect.right = m_ScreenRect.left + m_nWidth - 1;
  }
  if (scene.m_ScrollY.m_bAuto) {
    m_ScreenRect.top = trunc(m_dY) - trunc(scene.m_ScrollY.m_dPos) - m_nHitOffY;
    m_ScreenRect.bottom = m_ScreenRect.top + m_nHeight - 1;
  }
}

int cPlayer::SyncX() {
  Follow(TheStage().m_ScrollX, m_dX, m_nHitW);
  return ClampX(m_bFlying ? 0 : 1);
}

int cPlayer::SyncY() {
  Follow(TheStage().m_ScrollY, m_dY, m_nHitH);
  return ClampY(m_bFlying ? 0 : 1);
}

int cPlayer::MoveX() {
  if (m_dKnockX != 0) {
    m_dStepX = m_dKnockX;
  } else if (m_dPushX != 0) {
    ApplyFriction(m_dPushX, m_bBrakeX);
    // A speed-change block adds to or takes from the walk, never turning it round.
    if (m_nFootSteps != 0 && m_nFootKind == 3) {
      const double f = PerSecondToPerStep(m_dJumpUnit) * (m_dFootFactor - 1);
      const double before = m_dPushX;
      m_dPushX += before > 0 ? f : -f;
      if ((before > 0 && m_dPushX < 0) || (before < 0 && m_dPushX > 0)) m_dPushX = 0.0;
    }
    m_dStepX += m_dPushX;
  }
  m_dStepX = std::clamp(m_dStepX, -g_MaxSpeed, g_MaxSpeed);
  m_dX += m_dStepX;
  SyncX();
  return 0;
}

// A walking player below the stage or the map reports 7: it fell out.
int cPlayer::MoveY() {
  ApplyKnockBackY();
  if (m_dKnockY == 0 && m_bFlying) {
    ApplyFriction(m_dPushY, m_bBrakeY);
    m_dVelY += m_dPushY;
  }
  const int nCode = StepY(m_bFlying ? 0 : 2);
  SyncY();
  if (!m_bFlying && (nCode == 5 || nCode == 6)) return 7;
  return nCode;
}

bool IsPlayerObject(const cActor& a) {
  return std::any_of(g_Players.begin(), g_Players.end(), [&a](const cPlayer& p) { return &p == &a; });
}
