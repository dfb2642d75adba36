#include "stage/FlowHooks.h"

#include "stage/Actor.h"
#include "stage/StageScene.h"

namespace flowhook {

void (*g_pfnTriggerProbe)(cActor& actor, int nTrigger) = nullptr;
bool (*g_pfnConditionProbe)(const cVector<cEdCondition>& conditions, int nRule, cActor& subject) = nullptr;

void FireTrigger(cActor& actor, int nTrigger) {
  if (g_pfnTriggerProbe) g_pfnTriggerProbe(actor, nTrigger);
  else actor.FireFlowTrigger(nTrigger);
}

bool ConditionsHold(const cVector<cEdCondition>& conditions, int nRule, cActor& subject) {
  if (g_pfnConditionProbe) return g_pfnConditionProbe(conditions, nRule, subject);
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  return pScene && pScene->CheckConditionList(conditions, nRule, subject);
}

}  // namespace flowhook
