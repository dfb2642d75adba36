#include "stage/FlowHooks.h"

namespace flowhook {

void (*g_pfnTriggerProbe)(cActor& actor, int nTrigger) = nullptr;
bool (*g_pfnConditionProbe)(const cVector<cEdCondition>& conditions, int nRule, cActor& subject) = nullptr;

void FireTrigger(cActor& actor, int nTrigger) {
  if (g_pfnTriggerProbe) g_pfnTriggerProbe(actor, nTrigger);
}

bool ConditionsHold(const cVector<cEdCondition>& conditions, int nRule, cActor& subject) {
  return g_pfnConditionProbe ? g_pfnConditionProbe(conditions, nRule, subject) : false;
}

}  // namespace flowhook
