#include "stage/StageStubs.h"

#include "gamedata/Command.h"
#include "sound/SoundTable.h"
#include "stage/FlowRuntime.h"
#include "stage/StageScene.h"

namespace stagestub {

cCalls g_Calls;
int g_nEndRequest = 0;

void PlayCommandSound(cActor&, cCommandRuntime& runtime) {
  ++g_Calls.nCommandSounds;
  if (runtime.m_pCommand) RequestSound(runtime.m_pCommand->m_nSound);
}

int StageEndRequested() {
  if (g_nEndRequest != 0) return g_nEndRequest;
  const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  return pScene ? pScene->m_nEndRequest : 0;
}

void EnterGameEnd() {
  ++g_Calls.nGameEnds;
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed)) pScene->EnterGameEnd();
}

}  // namespace stagestub
