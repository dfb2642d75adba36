#include "stage/StageStubs.h"

namespace stagestub {

cCalls g_Calls;
int g_nEndRequest = 0;

void PlayCommandSound(cActor&, cCommandRuntime&) { ++g_Calls.nCommandSounds; }

void AddHitEffect(int nEffect, const cBox&, const cBox&, int) {
  ++g_Calls.nHitEffects;
  g_Calls.nLastHitEffect = nEffect;
}

void StartCharaEffect(cActor&, int nEffect, int, int) {
  ++g_Calls.nCharaEffects;
  g_Calls.nLastCharaEffect = nEffect;
}

int GiveItem(cItem&, int) { return 0; }

void ShowItemIcon(int, int, int) { ++g_Calls.nItemIcons; }

int StageEndRequested() { return g_nEndRequest; }

void EnterGameEnd() { ++g_Calls.nGameEnds; }

}  // namespace stagestub
