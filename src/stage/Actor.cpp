#include "stage/Actor.h"

#include <utility>

#include "base/Screen.h"
#include "gamedata/System.h"
#include "stage/ActorPhysics.h"
#include "stage/FlowRuntime.h"
#include "stage/ObjectGeometry.h"
#include "stage/Player.h"
#include "stage/Shot.h"

cActor::cActor() = default;

cActor::cActor(const cActor& other) : cGameObject(other), cActorFields(other) {
  m_bMoveCancelled = 0;
  m_AimingShots.clear();  // the shots aim at the original, not at this copy
  RelinkFlows();
}

cActor& cActor::operator=(const cActor& other) {
  if (this != &other) cActor::CopyFrom(other);
  return *this;
}

cActor::~cActor() {
  for (cShot* s : m_AimingShots)
    if (s->m_pTarget == this) s->m_pTarget = nullptr;
}

void cActor::CopyFrom(const cActor& other) {
  if (this == &other) return;
  CopyBase(other);
  const std::int32_t bMoveCancelled = m_bMoveCancelled;
  // The shots aimed at this actor stay aimed at it: they point at this address.
  cVector<cShot*> aiming = std::move(m_AimingShots);
  static_cast<cActorFields&>(*this) = static_cast<const cActorFields&>(other);
  m_AimingShots = std::move(aiming);
  m_bMoveCancelled = bMoveCancelled;
  RelinkFlows();
}

cItem* cActor::GetHeldItem() { return nullptr; }
int cActor::SyncX() { return 0; }
int cActor::SyncY() { return 0; }
int cActor::MoveX() { return 0; }
int cActor::MoveY() { return 0; }
// The base update is the flow pass; the actor classes add their physics around it.
int cActor::Update(int bDeathPass) { return RunFlowPass(bDeathPass); }
int cActor::Jump(cCommandRuntime&) { return 0; }

void cActor::RelinkFlows() {
  cVector<cEdFlow>& flows = m_Def.m_Flows;
  for (int i = 0; i < m_FlowRuntimes.Size(); ++i) {
    cFlowRuntime& runtime = m_FlowRuntimes[i];
    cEdFlow& flow = flows[i];
    runtime.m_nIndex = i;
    runtime.m_pFlow = &flow;
    runtime.m_KeyConditions.clear();
    for (cEdKeyCondition& key : flow.m_KeyConditions) runtime.m_KeyConditions.push_back(&key);
    for (int j = 0; j < runtime.m_Commands.Size(); ++j) runtime.m_Commands[j].m_pCommand = &flow.m_Commands[j];
  }
}

void cActor::KeepFootOnScale(int nNew, int nOld) {
  const int d = nNew - nOld;
  if (g_System.m_bKeepFootOnScale) {
    m_dY -= m_nBaseHitH * d;
  } else {
    m_dY -= (m_nBaseHeight - m_nBaseHitOffY) * d;
  }
  SyncY();
}

// The target is a coordinate in the frame of m_ScreenRect as of its last update.
void cActor::SetCenterX(int x) {
  const int c = ScreenCentreX();
  m_dX += x - c;
  SyncX();
}

void cActor::SetCenterY(int y) {
  const int c = ScreenCentreY();
  m_dY += y - c;
  SyncY();
}

void cActor::SetPos(int x, int y) {
  SetCenterX(x);
  SetCenterY(y);
}

void cActor::SetPosStopMove(int x, int y, cCommandRuntime& runtime) {
  SetPos(x, y);
  runtime.StopMovement();
}

void cActor::SetCenterXStopMove(int x, cCommandRuntime& runtime) {
  SetCenterX(x);
  runtime.StopMovement();
}

void cActor::SetCenterYStopMove(int y, cCommandRuntime& runtime) {
  SetCenterY(y);
  runtime.StopMovement();
}

void cActor::HitBoxCentre(int bAlignBottom, int w, int h) {
  m_BoxA.m_nOffX = m_BoxA.m_nBaseOffX = BLOCK_SIZE / 2 - m_nHitOffX - (w >> 1);
  m_BoxA.m_nOffY = m_BoxA.m_nBaseOffY =
      bAlignBottom ? BLOCK_SIZE - m_nHitOffY - h : BLOCK_SIZE / 2 - m_nHitOffY - (h >> 1);
  m_BoxA.m_nW = m_BoxA.m_nBaseW = w;
  m_BoxA.m_nH = m_BoxA.m_nBaseH = h;
}

void cActor::InitForSpawn(const cEdChara* pDef, double x, double y, std::int16_t nLevel) {
  m_nLevel = nLevel;
  m_Targeters.clear();
  m_AimingShots.clear();

  // Every actor starts aimed at the player. Only the player enters its own list: the
  // spawners copy this temporary object into the scene's lists, so an entry for it
  // would point at nothing.
  cPlayer& player = g_Players[0];
  m_pTarget = &player;
  if (!IdListContains(player.m_Targeters, &player)) player.m_Targeters.push_back(&player);

  m_nFlowSerial = 0;
  m_SwitchBusy.assign(27, 0);
  m_SwitchEnded.assign(27, 0);
  m_SwitchStarted.assign(27, 0);
  m_bSwitchEnded = m_bFlowDeleted = 0;

  m_dSpawnX = x;
  m_dSpawnY = y;

  m_dKnockX = m_dKnockY = m_dPrevKnockY = 0.0;
  m_bKnocked = 0;
  m_bMoveCancelled = 0;
  m_bJumpRising = m_bJumping = m_bJumpBlocked = m_bNoJump = 0;
  m_nAirSteps = 0;
  m_pFootBlock = m_pLastFootBlock = m_pPrevFootBlock = nullptr;
  m_nBlockGraceSteps = 0;
  m_bDead = 0;
  m_bContactLeft = m_bContactRight = m_bContactUp = m_bContactDown = 0;
  m_bPushedByBlockChara = m_bOnBlockChara = 0;
  m_nCarrierSerial = 0;
  m_nLastBlockSide = -1;
  m_bAirborne = 1;
  m_nHp = m_nSp = 0;
  m_HpGauge = cGauge{};
  m_SpGauge = cGauge{};

  m_Variables.assign(9, 0);

  if (pDef) {
    m_Def = *pDef;
    m_nHp = m_Def.m_nMaxHP;
    m_nSp = m_Def.m_nMaxSP;
  }

  m_bScrollSync = m_Def.m_bAutoScrollSync;
  m_bVanished = 0;
  m_nSightPx = HblToDot(static_cast<std::int8_t>(m_Def.m_nSightRange));
  m_dBrake = SpeedToDot(m_Def.m_nStopEase);

  m_CharaEffect = cCharaEffectState{};
  if (m_Def.m_nCharaEffect != 0)
    m_CharaEffect.Start(m_Def.m_nCharaEffect, m_Def.m_nCharaEffectParamA, m_Def.m_nCharaEffectParamB);

  m_nInvincibleSteps = 0;
  m_HitMemory.clear();

  ApplyBasicAnimeSet(m_Def.m_nAnimeSet, 1);

  m_FlowAnimes.clear();
}
