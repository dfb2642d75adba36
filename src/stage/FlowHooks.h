// Where stage play hands over to the flow interpreter: the triggers it fires on an actor
// and the condition lists it asks about. Triggers start the actor's flows and
// condition lists are evaluated by the running stage (none: they never hold).
#pragma once
#include "base/Vector.h"

class cActor;
class cEdCondition;

// Trigger keys that hits and deaths fire.
enum : int {
  TRIGGER_DAMAGE = 1,  // "ダメージを受けた時"
  TRIGGER_IMPACT = 2,  // "衝撃を受けた時"
  TRIGGER_DEATH = 3,   // "死亡した時"
};

// Trigger key of an attack touching an actor.
enum : int {
  TRIGGER_SHOT_HIT = 7,  // "ショットに当たった時"
};

// Trigger keys that block contact fires.
enum : int {
  TRIGGER_BLOCK = 9,           // "ブロックに当たった時"
  TRIGGER_BLOCK_SIDES = 10,    // "自分の左右にブロックが当たった時"
  TRIGGER_BLOCK_LEFT = 11,     // "自分の左にブロックが当たった時"
  TRIGGER_BLOCK_RIGHT = 12,    // "自分の右にブロックが当たった時"
  TRIGGER_BLOCK_UP_DOWN = 13,  // "自分の上下にブロックが当たった時"
  TRIGGER_BLOCK_ABOVE = 14,    // "自分の上にブロックが当たった時"
  TRIGGER_BLOCK_BELOW = 15,    // "自分の下にブロックが当たった時"
};

namespace flowhook {

// Starts the actor's eligible flows of that trigger.
void FireTrigger(cActor& actor, int nTrigger);
// Whether the conditions hold for the subject, combined by rule (0 all, 1 any).
bool ConditionsHold(const cVector<cEdCondition>& conditions, int nRule, cActor& subject);

// Tests watch the calls through these; null watches nothing.
extern void (*g_pfnTriggerProbe)(cActor& actor, int nTrigger);
extern bool (*g_pfnConditionProbe)(const cVector<cEdCondition>& conditions, int nRule, cActor& subject);

}  // namespace flowhook
