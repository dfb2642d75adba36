#include "stage/StageStubs.h"

namespace stagestub {

cCalls g_Calls;
int g_nEndRequest = 0;

void PlayCommandSound(cActor&, cCommandRuntime&) { ++g_Calls.nCommandSounds; }

int GiveItem(cItem&, int) { return 0; }

int StageEndRequested() { return g_nEndRequest; }

void EnterGameEnd() { ++g_Calls.nGameEnds; }

}  // namespace stagestub
