// Stand-ins for the operations of stage play and of other parts of the flow interpreter
// that the status engine and the code language call before those parts exist. Each
// does the least that keeps the callers' behaviour right; the real operations replace
// them one by one.
#pragma once
#include <cstdint>

class cActor;
class cStageScene;

namespace flowstub {

// HP change of an actor: a rise is cut to the room below the maximum, the result kept in
// 0..maximum; an unforced loss is refused while the actor is invincible. 1 when the HP
// has reached 0.
int ChangeHp(cActor& actor, int nDelta, bool bForced, bool bGauge);
// SP change: a rise cut to the room below the maximum, the result kept in 0..maximum.
void ChangeSp(cActor& actor, int nDelta, bool bGauge);
// The HP and SP gauges shown after a change of nDelta.
void StartHpGauge(cActor& actor, int nDelta);
void StartSpGauge(cActor& actor, int nDelta);
// Whether the actor is invincible now (its invincibility status or a running period).
bool IsInvincible(const cActor& actor);
// Rebuilds the darkness mask around the player after a change of its sight.
void MakeSightMask(cStageScene& scene);

// Tests count the mask rebuilds.
extern int g_nSightMaskBuilds;

}  // namespace flowstub
