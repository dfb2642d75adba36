// The item command "フローの変更": flows added to the player, put in place of a group or
// removed. While the player's own flows run, the change waits for the end of its flow
// pass, since the flow vectors must not change under the pass.
#include "flow/CommandTables.h"
#include "gamedata/Command.h"
#include "gamedata/CommandParams.h"
#include "gamedata/EditLabels.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

int CmdChangeFlows(cActor& actor, const cEdCommand& command, int bImmediate) {
  const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!bImmediate && !g_Players.empty() && &actor == &g_Players[0] && pScene && pScene->m_pCurActor == &actor) {
    g_Players[0].m_PendingFlowChanges.push_back(command);
    return 0;
  }
  const int nMode = command.m_Params.Size() > P_FLOW_CHANGE_MODE ? command.m_Params[P_FLOW_CHANGE_MODE] : -1;
  const int nID = command.m_Params.Size() > P_FLOW_CHANGE_ID ? command.m_Params[P_FLOW_CHANGE_ID] : 0;
  int nIndex = -1;
  switch (nMode) {
    case FLOW_CHANGE_ADD: break;
    case FLOW_CHANGE_REPLACE: nIndex = actor.DeleteFlowsOfGroup(nID); break;
    case FLOW_CHANGE_REMOVE: return actor.DeleteFlowsOfGroup(nID);
    default: return 0;
  }
  return actor.BuildFlows(command.m_Flows, actor.m_Def.m_nFacing, 1, nIndex);
}

int ItemExecChangeFlows(cPlayer& player, const cEdCommand& command) {
  CmdChangeFlows(player, command, 0);
  return 0;
}

void cPlayer::ApplyPendingFlowChanges() {
  if (m_PendingFlowChanges.empty()) return;
  const cVector<cEdCommand> pending = std::move(m_PendingFlowChanges);
  m_PendingFlowChanges.clear();
  for (const cEdCommand& c : pending) CmdChangeFlows(*this, c, 1);
}
