// Which objects take part in a logic sub-step, and what the block under the player's
// feet does to it.
#include <algorithm>
#include <cstdint>

#include "base/Screen.h"
#include "gamedata/Item.h"
#include "sound/SoundTable.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/FlowHooks.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int SPRING_SOUND = 10;

// Special kinds of a block's floor effect.
enum : int {
  FLOOR_SPRING = 1,
  FLOOR_NO_JUMP = 2,
  FLOOR_SPEED = 3,
  FLOOR_MOVE_LEFT = 4,
  FLOOR_MOVE_RIGHT = 5,
};

// Appearance conditions: none, or met once with the once flag, or met now. A success
// latches even without the once flag, which alone decides whether the latch is read.
template <class Latch>
bool Appears(const cVector<cEdCondition>& conditions, int nRule, int bOnce, Latch& latch, cActor& subject) {
  if (conditions.empty()) return true;
  if (bOnce && latch) return true;
  if (!flowhook::ConditionsHold(conditions, nRule, subject)) return false;
  latch = 1;
  return true;
}

// The group a character wakes and listens to; a number outside the table (a damaged
// file) belongs to no group.
bool GroupIndex(const cChara& c, int& nGroup) {
  nGroup = c.m_Def.m_nActivationGroup;
  return c.m_Def.m_bActivationGroup && nGroup >= 0 && nGroup < ACTIVATION_GROUP_COUNT;
}

// The cell covered by an actor that it collides with.
bool Covers(cActor& a, int nCell, const cBox& cellBox) {
  if (g_BlockMap[nCell].GetHitKind(a.m_nSide) == 0) return false;
  return cBox{a.m_dX, a.m_dY, a.m_dRight, a.m_dBottom}.Overlaps(cellBox);
}

}  // namespace

int cChara::CheckActivationRange(cVector<std::uint8_t>& groups) {
  if (!IsOnScreenAxes(m_bIgnoreRangeX, m_bIgnoreRangeY)) {
    m_bInRange = 0;
    return 0;
  }
  m_bInRange = 1;
  int nGroup = 0;
  if (GroupIndex(*this, nGroup)) groups[nGroup] = 1;
  return 1;
}

int cChara::CheckActivation(const cVector<std::uint8_t>& groups) {
  int nGroup = 0;
  const bool bWoken = GroupIndex(*this, nGroup) && groups[nGroup] != 0;
  // A walker keeps running through a jump, and through a fall once it has run.
  const bool bInAir = !m_bFlying && (m_bJumping || (m_bActivatedOnce && m_bAirborne));
  if (!m_bInRange && !bWoken && !bInAir) return 0;
  m_bActivatedOnce = 1;
  if (m_Def.m_nActivationRule == 1) m_bIgnoreRangeX = m_bIgnoreRangeY = 1;
  CalcScreenRect();
  return 1;
}

bool cStageScene::CheckCharaCondition(cChara& chara) {
  const cEdChara& d = chara.m_Def;
  return Appears(d.m_Conditions, d.m_nConditionRule, d.m_bLatchConditions, chara.m_bAppeared, chara);
}

bool cStageScene::CheckItemCondition(cItem& item) {
  const cEdItem& d = item.m_Def;
  return Appears(d.m_Conditions, d.m_nConditionRule, d.m_bLatchConditions, item.m_bAppeared, g_Players[0]);
}

void cStageScene::ActivateObjects() {
  for (cPlayer& p : g_Players) {
    p.m_bExists = 1;
    p.m_bOnScreen = 1;
  }
  std::fill(m_GroupAwake.begin(), m_GroupAwake.end(), std::uint8_t{0});
  if (m_GroupAwake.Size() != ACTIVATION_GROUP_COUNT) m_GroupAwake.assign(ACTIVATION_GROUP_COUNT, 0);
  for (cChara& c : g_Charas) {
    if (CheckCharaCondition(c)) {
      c.m_bExists = 1;
      c.m_bOnScreen = c.IsOnScreen() ? 1 : 0;
      c.CheckActivationRange(m_GroupAwake);
    } else {
      c.m_bExists = 0;
      c.m_bOnScreen = 0;
    }
  }
  // A second pass, so that a character later in the list wakes a group for an earlier one.
  for (cChara& c : g_Charas) c.m_bActive = c.m_bExists && c.CheckActivation(m_GroupAwake) ? 1 : 0;
  for (cItem& item : g_Items) {
    const bool bOn = CheckItemCondition(item);
    item.m_bExists = bOn ? 1 : 0;
    item.m_bOnScreen = bOn && item.IsOnScreen() ? 1 : 0;
  }
  for (cShot& s : m_Shots) {
    s.m_bExists = 1;
    s.m_bOnScreen = s.IsOnScreen() ? 1 : 0;
  }
}

int cStageScene::GraceCoveredActors(int nCell, int nColumn, int nRow, int bKeepOffPlayer, int bKeepOffCharas) {
  const cBox cell{double{BLOCK_SIZE} * nColumn, double{BLOCK_SIZE} * nRow, double{BLOCK_SIZE} * (nColumn + 1) - 0.1,
                  double{BLOCK_SIZE} * (nRow + 1) - 0.1};
  for (cPlayer& p : g_Players) {
    if (p.m_bDead || !Covers(p, nCell, cell)) continue;
    p.m_nBlockGraceSteps = 2;
    if (bKeepOffPlayer) return 1;
  }
  for (cChara& c : g_Charas) {
    if (c.m_bDead || c.m_bRemoved || !c.m_bExists || !Covers(c, nCell, cell)) continue;
    c.m_nBlockGraceSteps = 2;
    if (bKeepOffCharas) return 1;
  }
  return 0;
}

int cStageScene::ApplyFootBlock(cPlayer& player) {
  if (player.m_bFlying) return OUTCOME_GO_ON;
  cMapBlock* pBlock = player.m_pFootBlock;
  if (pBlock && player.m_nFootSteps == 0 && pBlock->GetHitKind(player.m_nSide) != 0) {
    const cEdBlock& block = pBlock->Block();
    const int nKind = block.m_nEffect;
    switch (nKind) {
      case FLOOR_SPRING:
        RequestSystemSound(SPRING_SOUND);
        player.m_dVelY = player.JumpSpeedForHeight(static_cast<std::int8_t>(block.m_nEffectValue & 0xFF));
        player.m_bJumping = player.m_bJumpRising = 1;
        player.m_nJumpHold = 0;
        break;
      case FLOOR_SPEED:
        player.m_nFootKind = nKind;
        player.m_dFootFactor = block.m_nEffectValue * 0.01;
        player.m_nFootSteps = g_SubSteps;
        break;
      case FLOOR_MOVE_LEFT:
      case FLOOR_MOVE_RIGHT:
        player.m_nFootKind = nKind;
        player.m_dFootFactor = block.m_nEffectValue * 0.1 / g_FrameScale;
        player.m_nFootSteps = g_SubSteps;
        break;
      default: break;
    }
    player.m_bOnNoJumpBlock = nKind == FLOOR_NO_JUMP ? 1 : 0;
  }
  if (player.m_nFootSteps != 0) {
    switch (player.m_nFootKind) {
      case FLOOR_SPEED: player.m_dStepX *= player.m_dFootFactor; break;
      case FLOOR_MOVE_LEFT:
        player.m_dStepX -= player.m_dFootFactor;
        if (player.m_dPushX > 0) player.m_dPushX = 0.0;
        break;
      case FLOOR_MOVE_RIGHT:
        player.m_dStepX += player.m_dFootFactor;
        if (player.m_dPushX < 0) player.m_dPushX = 0.0;
        break;
      default: break;
    }
    // Pressed onto the floor at the end, so that the next landing test finds the block.
    if (--player.m_nFootSteps == 0 && player.m_dVelY >= 0) player.m_dVelY += 1.0;
  }
  return OUTCOME_GO_ON;
}

int cStageScene::ApplyItemBlock(cPlayer& player) {
  if (player.m_bFlying) return OUTCOME_GO_ON;
  cMapBlock* pBlock = player.m_pFootBlock;
  bool bGiven = false;
  if (pBlock && player.m_nItemBlockCooldown == 0 && pBlock->GetHitKind(player.m_nSide) != 0 &&
      pBlock->Block().m_nItemPalette != 0) {
    const cEdBlock& block = pBlock->Block();
    if (cEdItem* pDef = GetItemDef(static_cast<std::int8_t>(block.m_nItemPalette), block.m_nItemIndex)) {
      cItem item;
      item.Init(0, *pDef, 0);
      item.m_bExists = 1;
      const int r = GiveItem(&item, player);
      if (r != OUTCOME_GO_ON) return r;
      player.m_nItemBlockCooldown = g_SubSteps * 60;
      bGiven = true;
    }
  }
  if (player.m_nItemBlockCooldown != 0) {
    if (player.m_bAirborne) {
      player.m_nItemBlockCooldown = 0;
    } else {
      player.m_nItemBlockCooldown = std::max(player.m_nItemBlockCooldown - 1, 0);
      // Stepping onto another block ends the wait at once.
      if (player.m_pFootBlock && player.m_pLastFootBlock != player.m_pPrevFootBlock && !bGiven) {
        player.m_nItemBlockCooldown = 0;
        if (player.m_dVelY >= 0) player.m_dVelY += 1.0;
      }
    }
  }
  return OUTCOME_GO_ON;
}
