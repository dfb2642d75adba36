// Item command lists: the runner that carries out an item's commands on the player, and
// the command that gives the player an item from a palette. Items may give items; a
// chain of lists nested too deep is cut off with one report line and play goes on.
#include "base/Log.h"
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "gamedata/CommandParams.h"
#include "gamedata/DataRefs.h"
#include "gamedata/Palette.h"
#include "gamedata/Stage.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

// Lists run from inside lists nest no deeper.
constexpr int kMaxItemNesting = 16;
int g_nItemNesting = 0;
// Set when a chain reached the cap: every list of that chain stops, so that a list that
// gives itself twice does not branch out under the cap.
bool g_bItemChainCut = false;

}  // namespace

int cPlayer::RunItemCommands(const cVector<cEdCommand>& commands) {
  if (g_nItemNesting >= kMaxItemNesting) {
    if (!g_bItemChainCut)
      ReportPrintfDebug("アイテムの取得の入れ子が %d 段を超えたため、アイテムのコマンドを打ち切ります",
                        kMaxItemNesting);
    g_bItemChainCut = true;
    return 0;
  }
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed)) pScene->m_bItemMessageOpen = 0;
  ++g_nItemNesting;
  int nResult = 0;
  for (int i = 0; i < commands.Size() && !g_bItemChainCut; ++i) {
    const int nType = commands[i].m_nType;
    int r = 0;
    if (nType >= 0 && nType < ITEM_COMMAND_TYPE_COUNT && g_ItemCommandExecutors[nType])
      r = g_ItemCommandExecutors[nType](*this, commands[i]);
    if (m_nHp < 1) {
      nResult = 2;
      break;
    }
    if (r != 0) {
      nResult = r;
      break;
    }
  }
  if (--g_nItemNesting == 0) g_bItemChainCut = false;
  if (nResult == 0 && m_nHp < 1) nResult = 2;
  return nResult;
}

void CmdGetItem(cActor&, const cEdCommand& command) {
  const cVector<cEdItem>* pItems = nullptr;
  switch (CommandParam(command, P_GET_ITEM_PALETTE)) {
    case PALETTE_COMMON: pItems = &g_CommonPalette.m_Items; break;
    case PALETTE_STAGE: pItems = &g_Stage.m_Palette.m_Items; break;
    default: return;  // no other palette
  }
  if (g_Players.empty()) return;
  const int nResult = g_Players[0].RunItemCommands((*pItems)[CommandParam(command, P_GET_ITEM_ITEM)].m_Commands);
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed)) pScene->m_nEndRequest = nResult;
}

int ExecGetItem(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdGetItem>(actor, runtime); }
