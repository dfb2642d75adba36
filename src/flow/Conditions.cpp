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
  if (nRule == 0) {
    for (const cEdCondition& c : conditions)
      if (!CheckCondition(c, actor)) return false;
    return true;
  }
  if (nRule == 1) {
    for (const cEdCondition& c : conditions)
      if (CheckCondition(c, actor)) return true;
    return false;
  }
  return false;
}

bool cStageScene::CheckCondition(const cEdCondition& c, cActor& actor) {
  switch (c.m_nKind) {
    case 1: return CompareByOp(g_PlayRecord.m_CommonVariables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case 2: return CompareByOp(m_StageVariables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case 3: return CompareByOp(actor.m_Variables[c.m_nIndex], c.m_nValue, c.m_nCompare);
    case 4: return EvalStatusCondition(c, actor);
    case 5: return actor.CheckFlagCondition(c);
    case 6: return actor.CheckPositionCondition(c);
    case 7: return actor.CheckDistanceCondition(c);
    default: return false;
  }
}

bool cActor::CheckFlagCondition(const cEdCondition& c) {
  if (c.m_nWhose == OWNER_SYSTEM) {
    if (c.m_nStatus == 0) return CompareByOp(AutoScrollOn(0), c.m_nIndex, c.m_nCompare);
    if (c.m_nStatus == 1) return CompareByOp(AutoScrollOn(1), c.m_nIndex, c.m_nCompare);
    return false;
  }
  const cActor* pSubject = c.m_nWhose == OWNER_TARGET ? m_pTarget : this;
  if (!pSubject) return false;
  const cEdChara& d = pSubject->m_Def;
  int nValue;
  switch (c.m_nStatus) {
    case 1: nValue = d.m_bTransparent; break;     // "透明"
    case 2: nValue = d.m_bFixedFacing; break;     // "向き固定"
    case 3: nValue = d.m_nFlying; break;          // "飛行"
    case 4: nValue = d.m_nInvincible; break;      // "無敵"
    case 5: nValue = d.m_nScale; break;           // "巨大化"
    case 6: nValue = d.m_bAutoScrollSync; break;  // "オートスクロールとシンクロ"
    default: return false;
  }
  return CompareByOp(nValue, c.m_nIndex, c.m_nCompare);
}

bool cActor::CheckPositionCondition(const cEdCondition& c) {
  const cActor* pSubject = c.m_nWhose == OWNER_TARGET ? m_pTarget : this;
  if (!pSubject) return false;
  bool bResult;
  switch (c.m_nStatus) {
    case 0: bResult = pSubject->m_nFacing == 0; break;
    case 1: bResult = pSubject->m_nFacing == 1; break;
    case 2:
      bResult = !pSubject->m_bFlying &&
                (pSubject->m_bOnBlockChara || (!pSubject->m_bAirborne && !pSubject->m_bJumping));
      break;
    case 3: bResult = pSubject->m_nKind == 1 ? pSubject->m_bOnScreen != 0 : pSubject->IsOnScreen(); break;
    default: return false;
  }
  return c.m_nCompare == 1 ? !bResult : bResult;
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
    case 0:
      bIn = IsInRangeX(m_ScreenRect.left, m_nWidth, hero.m_ScreenRect.left, hero.m_ScreenRect.right, hero.m_nHitOffX,
                       d, d, 1);
      break;
    case 1:
    case 2: {
      const bool bAhead = (c.m_nAxis == 1) == bLeft;  // the span extends toward smaller x
      bIn = IsInRangeX(m_ScreenRect.left, m_nWidth, hero.m_ScreenRect.left, hero.m_ScreenRect.right, hero.m_nHitOffX,
                       bAhead ? d : 0, bAhead ? 0 : d, 0);
      break;
    }
    case 3:
      bIn = IsInRangeX(m_ScreenRect.top, m_nHeight, hero.m_ScreenRect.top, hero.m_ScreenRect.bottom, hero.m_nHitOffY,
                       d, d, 1);
      break;
    case 4:
    case 5: {
      const bool bAhead = (c.m_nAxis == 4) == bLeft;
      bIn = IsInRangeX(m_ScreenRect.top, m_nHeight, hero.m_ScreenRect.top, hero.m_ScreenRect.bottom, hero.m_nHitOffY,
                       bAhead ? d : 0, bAhead ? 0 : d, 0);
      break;
    }
    case 6: {
      const double dx = (m_dX + (m_nWidth / 2)) - (hero.m_dX + (hero.m_nWidth / 2));
      const double dy = (m_dY + (m_nHeight / 2)) - (hero.m_dY + (hero.m_nHeight / 2));
      bIn = d >= 0 && dx * dx + dy * dy <= static_cast<double>(d) * d;
      break;
    }
    default: bIn = false; break;
  }
  if (c.m_nCompare == 0) return bIn;
  if (c.m_nCompare == 1) return !bIn;
  return false;
}
