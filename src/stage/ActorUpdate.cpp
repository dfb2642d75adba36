// The once-a-step update of characters and the player (the automatic-scroll carry, the
// brakes, the flow pass and the idle animation), the player's jump by the key, the
// memory of the items it touches, and the hand-over of an item to the player.
#include <algorithm>
#include <cmath>

#include "gamedata/CommandParams.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "sound/SoundTable.h"
#include "stage/ActorPhysics.h"
#include "stage/Chara.h"
#include "stage/FlowRuntime.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "platform/trace.h"

namespace {

// What the automatic scroll gives an actor at the start of its step: its own step and,
// for a flyer, its vertical speed. bCarryAll is the project's carry setting as it applies
// to this kind of actor.
void CarryWithScroll(cActor& a, bool bCarryAll) {
  const cStageScene& scene = TheStage();
  if (bCarryAll || a.m_bScrollSync) {
    a.m_dStepX = scene.m_ScrollX.EffectiveSpeed();
    if (a.m_bFlying) a.m_dVelY = scene.m_ScrollY.EffectiveSpeed();
  } else {
    a.m_dStepX = 0.0;
    if (a.m_bFlying) a.m_dVelY = 0.0;
  }
}

// The state every step starts from: gravity on, brakes on, not moved yet.
void BeginStep(cActor& a) {
  a.m_bMoveCancelled = 0;
  a.m_bBrakeX = a.m_bBrakeY = 1;
  a.m_bMovedThisStep = 0;
  if (a.m_nBlockGraceSteps > 0) --a.m_nBlockGraceSteps;
}

// Nothing moved the actor: it shows its standing (or hovering) animation.
void ShowIdle(cActor& a) {
  if (!a.m_bMovedThisStep && a.m_dPushX == 0 && a.m_dPushY == 0) a.m_Anime.Change(a.m_bFlying ? 2 : 0, 1);
}

}  // namespace

int cChara::Update(int bDeathPass) {
  cStageScene& scene = TheStage();
  scene.m_pCurActor = this;
  scene.m_bStatusChanged = 0;
  // With the project's carry setting the view's motion is not added to characters.
  if (g_System.m_bScrollMoveRule) {
    m_dStepX = 0.0;
    if (m_bFlying) m_dVelY = 0.0;
  } else {
    CarryWithScroll(*this, false);
  }
  BeginStep(*this);
  if (RunFlowPass(bDeathPass)) return 1;
  ShowIdle(*this);
  return m_nHp <= 0 ? 1 : 0;
}

int cPlayer::Update(int bDeathPass) {
  cStageScene& scene = TheStage();
  scene.m_pCurActor = this;
  scene.m_bStatusChanged = 0;
  // With the project's carry setting a flying hero moves with the view; a walking one
  // is held by the screen's edge instead.
  if (g_System.m_bScrollMoveRule && !m_bFlying) {
    m_dStepX = 0.0;
  } else {
    CarryWithScroll(*this, g_System.m_bScrollMoveRule != 0);
  }
  BeginStep(*this);
  m_bJumpHandled = 0;
  if (RunFlowPass(bDeathPass)) return 1;
  ShowIdle(*this);
  if (!m_bJumpHandled) {
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bJumpBlocked = 0;
  }
  return m_nHp <= 0 ? 1 : 0;
}

int cPlayer::Jump(cCommandRuntime& runtime) {
  if (m_bFlying || m_bJumpHandled) return 0;
  const cEdCommand* pCommand = runtime.m_pCommand;
  if (!pCommand) return 0;
  auto param = [pCommand](int i) { return pCommand->m_Params.Size() > i ? pCommand->m_Params[i] : 0; };
  const int nMode = param(P_JUMP_MODE);
  cStageScene& scene = TheStage();
  bool bHeld = nMode == JUMP_FIXED;
  if (nMode == JUMP_BY_KEY || nMode == JUMP_BY_SPEED) {
    const cFlowRuntime* pFlow = scene.m_pCurFlow;
    bHeld =
        pFlow && !pFlow->m_KeyConditions.empty() && m_pPad && CheckKeyState(*m_pPad, *pFlow->m_KeyConditions.back());
  }
  if (nMode == JUMP_BY_SPEED) {
    const double s = g_FrameScale * 10;
    const double v = std::fabs(m_dPushX);
    const double fast = param(P_JUMP_FAST_SPEED) / s;
    const double slow = param(P_JUMP_SLOW_SPEED) / s;
    const int nHigh = static_cast<std::int8_t>(param(P_JUMP_HEIGHT));
    const int nLow = static_cast<std::int8_t>(param(P_JUMP_LOW_HEIGHT));
    int nHeight;
    if (v >= fast) {
      nHeight = nHigh;
    } else if (v <= slow) {
      nHeight = nLow;
    } else {
      nHeight = static_cast<int>((nHigh - nLow) * v / fast + nLow);
    }
    runtime.m_dSpeed = JumpSpeed(nHeight * 16.0);
  }
  if (bHeld && !m_bOnNoJumpBlock) {
    ++m_nJumpHold;
    const bool bRiding = m_bOnBlockChara != 0;
    if (m_nJumpHold >= runtime.m_nTotal && (!m_bJumpRising || bRiding) && m_bJumpReady && !m_bJumpBlocked &&
        (m_dVelY < 0 || bRiding)) {
      // Held to the apex: the rise is over and the key must be let go before the next.
      m_bJumpRising = 1;
      m_bJumpReady = 0;
    } else if (!m_bAirborne && m_nJumpHold <= g_SubSteps && (!m_bJumpRising || bRiding) && m_bJumpReady &&
               !m_bJumpBlocked && !m_bKnocked && !runtime.m_bStarted) {
      // Only a key that went down within the last frame starts a jump.
      m_bJumping = 1;
      if (!bRiding) {
        m_dVelY = runtime.m_dSpeed;
        runtime.m_bStarted = 1;
        runtime.PlaySound();
      } else if (scene.m_nSubStep == g_SubSteps) {
        // From a block character only in the frame's last sub-step, a little faster.
        m_bOnBlockChara = 0;
        m_dVelY = static_cast<float>(runtime.m_dSpeed * 1.02);
        runtime.m_bStarted = 1;
        runtime.PlaySound();
      }
    }
  } else {
    // Let go before the apex: the rise is cut short.
    if (m_nJumpHold > 0 && m_nJumpHold < runtime.m_nTotal && !m_bJumpRising && !m_bJumpBlocked && !m_bOnNoJumpBlock &&
        !m_bKnocked) {
      m_bOnBlockChara = 0;
      if (m_dVelY < 0) m_dVelY *= 0.3;
      m_bJumpRising = 1;
    }
    m_nJumpHold = 0;
    m_bJumpReady = 1;
    m_bJumpBlocked = 0;
  }
  if (IsSupported() && m_dVelY >= 0) {
    const cFlowRuntime* pFlow = scene.m_pCurFlow;
    const bool bKeys = pFlow && !pFlow->m_KeyConditions.empty();
    if (!bKeys || !bHeld) {
      m_nJumpHold = 0;
      m_bJumpReady = 1;
      m_bJumpBlocked = m_bKnocked = 0;
      runtime.m_bStarted = 0;
      if (bKeys) runtime.m_nRemaining = 0;
    }
  }
  m_bJumpHandled = 1;
  return 0;
}

bool cPlayer::IsNotTouching(std::int32_t nSerial) const {
  return std::find(m_TouchedItems.begin(), m_TouchedItems.end(), nSerial) == m_TouchedItems.end();
}

void cPlayer::ForgetItem(std::int32_t nSerial) { m_TouchedItems.remove(nSerial); }

int cStageScene::GiveItem(cItem* pItem, cPlayer& player) {
  if (!pItem || pItem->m_nGraphic == 0 || pItem->m_Def.m_nTakeMode == 2 || !pItem->m_bExists) return 0;
  if (pItem->m_Def.m_bShowOnTake)
    player.ShowItemIcon(pItem->m_Def.m_nImageSheet, pItem->m_Def.m_nImage, pItem->m_Def.m_nImageSub);
  if (plat::trace::Enabled()) plat::trace::Line("item %d taken", pItem->m_nSerial);
  RequestSound(pItem->m_Def.m_nTakeSound);
  return player.RunItemCommands(pItem->m_Def.m_Commands);
}
