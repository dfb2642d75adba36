// Stand-ins for the stage operations that damage and death reach but that are not in
// the player yet (effects, item hand-over, the stage's end). Each does the least that
// keeps the callers' results right, and records the call for tests.
#pragma once
#include <cstdint>

#include "stage/Box.h"

class cActor;
class cCommandRuntime;
class cItem;

namespace stagestub {

// The sound of the running command of a flow (its sound-database number).
void PlayCommandSound(cActor& actor, cCommandRuntime& runtime);
// A hit effect of the effect database at the hit actor, drawn from the attacker's box.
void AddHitEffect(int nEffect, const cBox& hitBox, const cBox& attackBox, int nScale);
// The character effect an actor runs after dying.
void StartCharaEffect(cActor& actor, int nEffect, int nParam, int nExtra);
// 1 when a stage clear has been requested during this sub-step.
int StageEndRequested();
// Counts the call, then the scene's tally and game-end phase.
void EnterGameEnd();

// How often each ran since the last reset; tests read these.
struct cCalls {
  int nHitEffects = 0;
  int nLastHitEffect = 0;
  int nCharaEffects = 0;
  int nLastCharaEffect = 0;
  int nGameEnds = 0;
  int nCommandSounds = 0;
};
extern cCalls g_Calls;
// What StageEndRequested reports; tests set it.
extern int g_nEndRequest;

}  // namespace stagestub
