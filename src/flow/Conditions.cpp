#include "flow/Conditions.h"

#include "flow/StatusEngine.h"
#include "records/PlayRecord.h"
#include "gamedata/Condition.h"
#include "gamedata/Flow.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

int CompareByOp(int a, int b, int nOperator) {
  switch (nOperator) {
    case COMPARE_EQUAL: return a == b;
    case COMPARE_NOT_EQUAL: return a != b;
    case COMPARE_AT_LEAST: return a >= b;
    case COMPARE_AT_MOST: return a <= b;
    case COMPARE_ABOVE: return a > b;
    case COMPARE_BELOW: return a < b;
    default: return 0;
  }
}

bool cStageScene::CheckFlowConditions(cFlowRuntime& runtime, cActor& actor) {
  const cEdFlow* pFlow = runtime.m_pFlow;
  if (!pFlow || pFlow->m_Conditions.empty()) return true;
  if (pFlow->m_bLatchConditions && runtime.m_bCondLatch) return true;
  if (!CheckConditionList(pFlow->m_Conditions, pFlow->m_nConditionRule, actor)) return false;
  // Latched whatever the flow's setting: only the setting decides whether it is read.
  runtime.m_bCondLatch = 1;
  return true;
}

bool cStageScene::CheckConditionList(const cVector<cEdCondition>& conditions, int nRule, cActor& actor) {
  if (conditions.empty()) return true;
  if (nRule == COND_RULE_ALL) {
    for (const cEdCondition& c : conditions)
      if (!CheckCondition(c, actor)) return false;
    return true;
  }
  if (nRule == COND_RULE_ANY) {
    for (const cEdCondition& c : conditions)
      if (CheckCondition(c, actor)) return true;
    return false;
  }
  return false;
}

bool cStageScene::CheckCondition(const cEdCondition& c, cActor& actor) {
  switch (c.m_nKind) {
    case COND_COMMON_VARIABLE: return CompareByOp(g_PlayRecord.m_CommonVariables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case COND_STAGE_VARIABLE: return CompareByOp(m_StageVariables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case COND_CHARA_VARIABLE: return CompareByOp(actor.m_Variables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case COND_STATUS: return EvalStatusCondition(c, actor);
    case COND_STATE: return actor.CheckFlagCondition(c);
    case COND_POSITION: return actor.CheckPositionCondition(c);
    case COND_DISTANCE: return actor.CheckDistanceCondition(c);
    default: return false;
  }
}

bool cActor::CheckFlagCondition(const cEdCondition& c) {
  if (c.m_nWhose == OWNER_SYSTEM) {
    // The system's states are the scroll axes: 0 across, 1 down.
    if (c.m_nStatus == 0) return CompareByOp(AutoScrollOn(0), c.m_nIndex, c.m_nCompare);
    if (c.m_nStatus == 1) return CompareByOp(AutoScrollOn(1), c.m_nIndex, c.m_nCompare);
    return false;
  }
  const cActor* pSubject = c.m_nWhose == OWNER_TARGET ? m_pTarget : this;
  if (!pSubject) return false;
  const cEdChara& d = pSubject->m_Def;
  int nValue;
  switch (c.m_nStatus) {
    case STATE_TRANSPARENT: nValue = d.m_bTransparent; break;
    case STATE_FIXED_FACING: nValue = d.m_bFixedFacing; break;
    case STATE_FLIGHT: nValue = d.m_nFlying; break;
    case STATE_INVINCIBLE: nValue = d.m_nInvincible; break;
    case STATE_GIANT: nValue = d.m_nScale; break;
    case STATE_SCROLL_SYNC: nValue = d.m_bAutoScrollSync; break;
    default: return false;
  }
  return CompareByOp(nValue, c.m_nIndex, c.m_nCompare);
}

bool cActor::CheckPositionCondition(const cEdCondition& c) {
  const cActor* pSubject = c.m_nWhose == OWNER_TARGET ? m_pTarget : this;
  if (!pSubject) return false;
  bool bResult;
  switch (c.m_nStatus) {
    case POSITION_FACING_LEFT: bResult = pSubject->m_nFacing == 0; break;
    case POSITION_FACING_RIGHT: bResult = pSubject->m_nFacing == 1; break;
    case POSITION_ON_BLOCK:
      bResult =
          !pSubject->m_bFlying && (pSubject->m_bOnBlockChara || (!pSubject->m_bAirborne && !pSubject->m_bJumping));
      break;
    case POSITION_ON_SCREEN:
      bResult = pSubject->m_nKind == 1 ? pSubject->m_bOnScreen != 0 : pSubject->IsOnScreen();
      break;
    default: return false;
  }
  return c.m_nCompare == NEGATION_IS_NOT ? !bResult : bResult;
}

bool cActor::CheckDistanceCondition(const cEdCondition& c) {
  if (g_Players.empty()) return false;
  cPlayer& hero = g_Players[0];
  const int d = c.m_nValue * 16;
  CalcScreenRect();
  hero.CalcScreenRect();
  const bool bLeft = m_nFacing == 0;
  bool bIn;
  switch (c.m_nAxis) {
    case AXIS_ACROSS:
      bIn = IsInRangeX(m_ScreenRect.left, m_nWidth, hero.m_ScreenRect.left, hero.m_ScreenRect.right, hero.m_nHitOffX, d,
                       d, 1);
      break;
    case AXIS_AHEAD:
    case AXIS_BEHIND: {
      const bool bAhead = (c.m_nAxis == AXIS_AHEAD) == bLeft;  // the span extends toward smaller x
      bIn = IsInRangeX(m_ScreenRect.left, m_nWidth, hero.m_ScreenRect.left, hero.m_ScreenRect.right, hero.m_nHitOffX,
                       bAhead ? d : 0, bAhead ? 0 : d, 0);
      break;
    }
    case AXIS_UP_DOWN:
      bIn = IsInRangeX(m_ScreenRect.top, m_nHeight, hero.m_ScreenRect.top, hero.m_ScreenRect.bottom, hero.m_nHitOffY, d,
                       d, 1);
      break;
    case AXIS_AHEAD_Y:
    case AXIS_BEHIND_Y: {
      const bool bAhead = (c.m_nAxis == AXIS_AHEAD_Y) == bLeft;
      bIn = IsInRangeX(m_ScreenRect.top, m_nHeight, hero.m_ScreenRect.top, hero.m_ScreenRect.bottom, hero.m_nHitOffY,
                       bAhead ? d : 0, bAhead ? 0 : d, 0);
      break;
    }
    case AXIS_CIRCLE: {
      const double dx = (m_dX + (m_nWidth / 2)) - (hero.m_dX + (hero.m_nWidth / 2));
      const double dy = (m_dY + (m_nHeight / 2)) - (hero.m_dY + (hero.m_nHeight / 2));
      bIn = d >= 0 && dx * dx + dy * dy <= static_cast<double>(d) * d;
      break;
    }
    default: bIn = false; break;
  }
  if (c.m_nCompare == DISTANCE_WITHIN) return bIn;
  if (c.m_nCompare == DISTANCE_OUTSIDE) return !bIn;
  return false;
}
