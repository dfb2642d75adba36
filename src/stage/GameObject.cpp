#include "stage/GameObject.h"

#include "gamedata/EditLabels.h"

cGameObject::cGameObject() = default;
cGameObject::~cGameObject() = default;

void cGameObject::CopyBase(const cGameObject& other) { cGameObject::operator=(other); }

void cGameObject::SetScale(int nNew, int nOld) {
  if (nNew == nOld) return;
  m_nHitW = nNew * m_nBaseHitW;
  m_nHitH = nNew * m_nBaseHitH;
  m_nHitOffX = nNew * m_nBaseHitOffX;
  m_nHitOffY = nNew * m_nBaseHitOffY;
  m_nWidth = nNew * m_nBaseWidth;
  m_nHeight = nNew * m_nBaseHeight;
  KeepPlaceOnScale(nNew, nOld);
  ScaleHitBoxes(nNew);
}

void cGameObject::ScaleHitBoxes(int) {}
void cGameObject::KeepFootOnScale(int, int) {}
void cGameObject::UpdateHitBoxX() {}
void cGameObject::UpdateHitBoxY() {}
void cGameObject::SetPos(int, int) {}
void cGameObject::SetPosStopMove(int, int, cCommandRuntime&) {}
void cGameObject::SetCenterX(int) {}
void cGameObject::SetCenterXStopMove(int, cCommandRuntime&) {}
void cGameObject::SetCenterY(int) {}
void cGameObject::SetCenterYStopMove(int, cCommandRuntime&) {}

void cGameObject::Init(int nSerial, int nKind, int nPadIndex, int nSide, int nGraphic, const ANIMESTEP* const* pTable,
                       int nSequence, int nHitOffX, int nHitOffY, int nHitW, int nHitH, int nWidth, int nHeight,
                       int nFacing, int nFlyMode, int nLevel) {
  m_nSerial = nSerial;
  m_nKind = nKind;
  m_nPadIndex = nPadIndex;
  m_nSide = nSide;
  m_nGraphic = nGraphic;
  m_nHitOffX = m_nBaseHitOffX = nHitOffX;
  m_nHitOffY = m_nBaseHitOffY = nHitOffY;
  m_nHitW = m_nBaseHitW = nHitW;
  m_nHitH = m_nBaseHitH = nHitH;
  m_nWidth = m_nBaseWidth = nWidth;
  m_nHeight = m_nBaseHeight = nHeight;
  m_nFacing = nFacing;
  m_nLevel = static_cast<std::int16_t>(nLevel);
  m_nLifeSteps = UNLIMITED_LIFE;
  m_dStepX = m_dVelY = m_dPushX = m_dPushY = 0.0;
  m_bExists = m_bOnScreen = 0;
  if (pTable) {
    m_Anime.Load(pTable);
    m_Anime.Start(nSequence, 1);
  }
  SetFlyMode(nFlyMode);
}

void cGameObject::SetFlyMode(int nMode) {
  switch (nMode) {
    // clang-format off
    case FLYING_OFF: m_bFlying = 0; m_nBlockContact = 1; break;
    case FLYING_THROUGH_BLOCKS: m_bFlying = 1; m_nBlockContact = 0; break;
    case FLYING_MEETS_BLOCKS: m_bFlying = 1; m_nBlockContact = 1; break;
    case FLYING_DIES_ON_BLOCKS: m_bFlying = 1; m_nBlockContact = 2; break;
    // clang-format on
    default: break;
  }
}

void cGameObject::KeepPlaceOnScale(int nNew, int nOld) {
  if (nNew == nOld) return;
  KeepCentreXOnScale(nNew, nOld);
  KeepFootOnScale(nNew, nOld);
}

void cGameObject::KeepCentreXOnScale(int nNew, int nOld) {
  if (nNew == nOld) return;
  m_dX -= (nNew - nOld) * (m_nBaseHitW >> 1);
  ClampX(2);
}
