// Stand-ins for the stage operations that damage and death reach but that are not in
// the player yet (item hand-over, the stage's end). Each does the least that
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
// 1 when a stage clear has been requested during this sub-step.
int StageEndRequested();
// Counts the call, then the scene's tally and game-end phase.
void EnterGameEnd();

// How often each ran since the last reset; tests read these.
struct cCalls {
  int nGameEnds = 0;
  int nCommandSounds = 0;
};
extern cCalls g_Calls;
// What StageEndRequested reports; tests set it.
extern int g_nEndRequest;

}  // namespace stagestub
