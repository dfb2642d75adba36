// Where stage play hands over to the flow interpreter: the triggers it fires on an actor
// and the condition lists it asks about. Triggers start the actor's flows and
// condition lists are evaluated by the running stage (none: they never hold).
#pragma once
#include "base/Vector.h"
#include "gamedata/Vocabulary.h"

class cActor;
class cEdCondition;

namespace flowhook {

// Starts the actor's eligible flows of that trigger.
void FireTrigger(cActor& actor, int nTrigger);
// Whether the conditions hold for the subject, combined by rule (eConditionRule).
bool ConditionsHold(const cVector<cEdCondition>& conditions, int nRule, cActor& subject);

// Tests watch the calls through these; null watches nothing.
extern void (*g_pfnTriggerProbe)(cActor& actor, int nTrigger);
extern bool (*g_pfnConditionProbe)(const cVector<cEdCondition>& conditions, int nRule, cActor& subject);

}  // namespace flowhook
