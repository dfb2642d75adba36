// Commands that hold the game inside a flow's step: the game wait (the stage stands for
// a time) and the message (a text window, which can hold the game until the key or its
// time). While they hold, the message-wait sub-loop draws the frozen stage.
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "stage/Actor.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"

void CmdGameWait(cActor&, const cEdCommand& command) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return;
  const int nFrames = CommandParam(command, 0) * 6;
  // An invisible timer stands in the popup list while the game waits.
  const int nId = pScene->m_Popups
                      .emplace_back(POPUP_TIMER, std::string_view(), 0, 0, 0, PLACE_SCREEN_CENTRE, 0, 0, 0, 0, 0,
                                    SHOW_FOR_TIME, nFrames, 1, 0, 0, 0)
                      .m_nId;
  pScene->m_Wait = cMessageWait{};
  pScene->m_Wait.m_nMode = WAIT_GAME;
  pScene->m_Wait.m_nFrames = nFrames;
  RunMessageWait(*pScene);
  RemovePopup(pScene->m_Popups, nId);
}

int ExecGameWait(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdGameWait>(actor, runtime); }
