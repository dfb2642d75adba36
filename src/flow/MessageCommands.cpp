// Commands that hold the game inside a flow's step: the game wait (the stage stands for
// a time) and the message (a text window, which can hold the game until the key or its
// time). While they hold, the message-wait sub-loop draws the frozen stage.
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "gamedata/CommandParams.h"
#include "stage/Actor.h"
#include "stage/StageScene.h"
#include "stage/Player.h"
#include "stage/SubLoops.h"
#include "sound/SoundTable.h"

void CmdGameWait(cActor&, const cEdCommand& command) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return;
  const int nFrames = CommandParam(command, P_GAME_WAIT_TIME) * 6;
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

namespace {

constexpr int SOUND_MESSAGE = 11;

}  // namespace

void CmdMessage(cActor& actor, const cEdCommand& command, int bContinued) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene || pScene->m_bQuit.load()) return;
  const int nPlacement = CommandParam(command, P_MESSAGE_PLACE);
  std::int32_t nAnchor = 0;
  if (nPlacement >= PLACE_ABOVE_SELF && nPlacement <= PLACE_ON_SELF) nAnchor = actor.m_nSerial;
  if (nPlacement >= PLACE_ABOVE_HERO && nPlacement <= PLACE_ON_HERO) nAnchor = g_Players[0].m_nSerial;
  const int nMode = CommandParam(command, P_MESSAGE_MODE);
  const int nFrames = CommandParam(command, P_MESSAGE_TIME) * 6;
  const int bHalting = CommandParam(command, P_MESSAGE_HALTING);
  auto p = [&](int n) { return CommandParam(command, n); };
  const int nId =
      pScene->m_Popups
          .emplace_back(POPUP_TEXT, command.m_strText, 0, 0, 0, nPlacement, p(P_MESSAGE_BLOCK_X), p(P_MESSAGE_BLOCK_Y),
                        p(P_MESSAGE_PIXEL_X), p(P_MESSAGE_PIXEL_Y), p(P_MESSAGE_KEEP_INSIDE), nMode, nFrames, bHalting,
                        nAnchor, bContinued, p(P_MESSAGE_ESCAPES))
          .m_nId;
  if (!bHalting) return;  // stage play draws it and ends it
  if (nMode == SHOW_UNTIL_KEY) {
    pScene->m_Wait.Start(WAIT_MESSAGE, 1, 0, bContinued);
    if (!bContinued) RequestSystemSound(SOUND_MESSAGE);
  } else if (nMode == SHOW_FOR_TIME) {
    pScene->m_Wait.Start(WAIT_MESSAGE, 0, nFrames, bContinued);
  }
  RunMessageWait(*pScene);
  // Exactly this message goes, with its own surface, whatever else came and went.
  RemovePopup(pScene->m_Popups, nId);
}

int ExecMessage(cActor& actor, cCommandRuntime& runtime) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene || !runtime.m_pCommand) return 0;
  const int bContinued = pScene->m_pCurFlow ? pScene->m_pCurFlow->m_bMessageContinue : 0;
  CmdMessage(actor, *runtime.m_pCommand, bContinued);
  return 0;
}
