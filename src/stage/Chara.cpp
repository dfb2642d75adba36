#include "stage/Chara.h"

#include "base/Screen.h"
#include "gamedata/EditLabels.h"
#include "gamedata/Stage.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/StageScene.h"

cVectorList<cChara> g_Charas;

void cChara::ScaleHitBoxes(int s) {
  if (m_Def.m_bBlockChara) {
    for (cHitBox* box : {&m_BoxA, &m_BoxB}) {
      box->m_nOffX = box->m_nOffY = 0;
      box->m_nW = m_nHitW;
      box->m_nH = m_nHitH;
    }
    return;
  }
  for (cHitBox* box : {&m_BoxA, &m_BoxB}) {
    box->m_nOffX = box->m_nBaseOffX * s;
    box->m_nOffY = box->m_nBaseOffY * s;
    box->m_nW = box->m_nBaseW * s;
    box->m_nH = box->m_nBaseH * s;
  }
}

void cChara::UpdateHitBoxX() {
  m_BoxA.UpdateX(m_dX);
  m_BoxB.UpdateX(m_dX);
}

void cChara::UpdateHitBoxY() {
  m_BoxA.UpdateY(m_dY);
  m_BoxB.UpdateY(m_dY);
}

void cChara::Init(int nSerial, cEdChara& def, const cItem* pItem, double x, double y, int nLevel) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  InitForSpawn(&def, x, y, static_cast<std::int16_t>(nLevel));
  const cEdStage& st = g_Stage;
  const int fly = def.m_nFlying != 0 ? 1 : 0;
  int w = BLOCK_SIZE, h = BLOCK_SIZE, nOffX = 0, nOffY = 0;
  if (!def.m_bBlockChara) {
    w = st.m_CharaBoxA[2 * fly];
    h = st.m_CharaBoxA[2 * fly + 1];
    nOffX = (BLOCK_SIZE - w) >> 1;
    nOffY = st.m_CharaBoxAAnchor[fly] ? BLOCK_SIZE - h : (BLOCK_SIZE - h) >> 1;
  }
  cGameObject::Init(nSerial, def.m_nOperator, def.m_nPad, def.m_nPassNumber, def.m_nImage, nullptr, 0, nOffX, nOffY, w,
                    h, BLOCK_SIZE, BLOCK_SIZE, def.m_nFacing, def.m_nFlying, nLevel);
  if (def.m_bBlockChara) {
    m_BoxA = cHitBox();
    m_BoxB = cHitBox();
    m_BoxB.m_nW = m_BoxB.m_nBaseW = BLOCK_SIZE;
    m_BoxB.m_nH = m_BoxB.m_nBaseH = BLOCK_SIZE;
  } else {
    switch (def.m_nBlockBox) {
      case BLOCK_BOX_CHARA_HIT:
        HitBoxCentre(st.m_CharaBoxBAnchor[fly], st.m_CharaBoxB[2 * fly], st.m_CharaBoxB[2 * fly + 1]);
        break;
      case BLOCK_BOX_SHOT_HIT: HitBoxCentre(0, st.m_CharaBoxC[0], st.m_CharaBoxC[1]); break;
      case BLOCK_BOX_SHOT_ATTACK: HitBoxCentre(0, st.m_PlayerShotAttack[0], st.m_PlayerShotAttack[1]); break;
      case BLOCK_BOX_CELL: HitBoxCentre(0, m_nWidth, m_nHeight); break;
      default: break;
    }
    const int w2 = st.m_CharaBoxC[0];
    const int h2 = st.m_CharaBoxC[1];
    m_BoxB.m_nOffX = m_BoxB.m_nBaseOffX = 16 - (w2 >> 1) - nOffX;
    m_BoxB.m_nOffY = m_BoxB.m_nBaseOffY = 16 - (h2 >> 1) - nOffY;
    m_BoxB.m_nW = m_BoxB.m_nBaseW = w2;
    m_BoxB.m_nH = m_BoxB.m_nBaseH = h2;
  }
  SetScale(def.m_nScale, 1);
  m_bActive = 0;
  m_nItemBlink = 0;
  if (pItem) {
    m_Item = *pItem;
  } else {
    m_Item.m_nGraphic = 0;
  }
  switch (def.m_nActivationRange) {
    case ACTIVATE_ON_SCREEN: m_bIgnoreRangeX = m_bIgnoreRangeY = 0; break;
    case ACTIVATE_X_ON_SCREEN: m_bIgnoreRangeX = 0, m_bIgnoreRangeY = 1; break;
    case ACTIVATE_Y_ON_SCREEN: m_bIgnoreRangeX = 1, m_bIgnoreRangeY = 0; break;
    case ACTIVATE_ANYWHERE: m_bIgnoreRangeX = m_bIgnoreRangeY = 1; break;
    default: break;
  }
  m_bActivatedOnce = 0;
  m_Anime.Start(m_bFlying ? 0 : 1, 1);
  BuildFlows(m_Def.m_Flows, m_nFacing, 0, -1);
}

void cChara::PlaceAtTile(int nColumn, int nRow) {
  const cStageScene& scene = TheStage();
  m_dX = (nColumn + scene.m_ScrollX.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffX + 0.5;
  m_dY = (nRow + scene.m_ScrollY.m_nMargin) * BLOCK_SIZE + m_nBaseHitOffY;
  KeepPlaceOnScale(m_Def.m_nScale, 1);
  SyncX();
  SyncY();
}

int cChara::SyncX() { return ClampX(2); }
int cChara::SyncY() { return ClampY(2); }

// Limit code of the step; 3 (the left map edge) is reported as 4, leaving the stage.
int cChara::MoveX() {
  if (m_dKnockX != 0) {
    m_dStepX = m_dKnockX;
  } else if (m_dPushX != 0) {
    ApplyFriction(m_dPushX, m_bBrakeX);
    m_dStepX += m_dPushX;
  }
  const int nCode = StepX(2);
  SyncX();
  return nCode == 3 ? 4 : nCode;
}

// Limit code of the step; a flyer reports 3 and 6 as 8 (leaves), a walker 5 and 6 as 7
// (fell out: killed).
int cChara::MoveY() {
  ApplyKnockBackY();
  if (m_dKnockY == 0 && m_bFlying && m_dPushY != 0) {
    ApplyFriction(m_dPushY, m_bBrakeY);
    m_dVelY += m_dPushY;
  }
  const int nCode = StepY(2);
  SyncY();
  if (m_bFlying) return (nCode == 3 || nCode == 6) ? 8 : nCode;
  return (nCode == 5 || nCode == 6) ? 7 : nCode;
}

int cChara::Jump(cCommandRuntime& runtime) {
  for (std::int32_t b : {m_bAirborne, m_bJumpBlocked, m_bKnocked, m_bNoJump})
    if (b) return b;
  runtime.PlaySound();
  m_dVelY = runtime.m_dSpeed;
  m_bJumping = m_bJumpRising = 1;
  m_bOnBlockChara = 0;
  return 1;
}
