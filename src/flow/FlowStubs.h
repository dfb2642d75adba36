// Stand-ins for the operations of stage play and of other parts of the flow interpreter
// that the status engine and the code language call before those parts exist. Each
// does the least that keeps the callers' behaviour right; the real operations replace
// them one by one.
#pragma once
#include <cstdint>

class cActor;
class cStageScene;

namespace flowstub {

// Whether the actor is invincible now (its invincibility status or a running period).
bool IsInvincible(const cActor& actor);
// Rebuilds the darkness mask around the player after a change of its sight.
void MakeSightMask(cStageScene& scene);

// Tests count the mask rebuilds.
extern int g_nSightMaskBuilds;

}  // namespace flowstub
