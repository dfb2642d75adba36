// Commands that act within one step: status arithmetic, animations over the actor,
// background layers, sounds, the stage music and lines of code. Each body works on the
// command definition alone, so that item lists can run it too.
#include "flow/CodeLanguage.h"
#include "flow/CommandTables.h"
#include "flow/StatusEngine.h"
#include "gamedata/RunTimeTables.h"
#include "gamedata/Stage.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"
#include "stage/StageScene.h"

namespace {

// Parameter n, or 0 where a damaged command lacks it.
std::int32_t Param(const cEdCommand& command, int n) {
  return n < command.m_Params.Size() ? command.m_Params[n] : 0;
}

}  // namespace

void CmdRunAnime(cActor& actor, const cEdCommand& command) {
  if (g_AnimeFrameTables.empty()) return;
  const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  const cFlowRuntime* pFlow = pScene ? pScene->m_pCurFlow : nullptr;
  cFlowAnime& a = actor.m_FlowAnimes.emplace_front();
  a.m_Anime.m_Sequences.push_back(g_AnimeFrameTables[Param(command, 0)]);
  // Started outside any flow (an item's list), it belongs to none.
  a.m_nFlowSerial = pFlow ? pFlow->m_nSerial : -1;
  a.m_Anime.Start(0, 1);
}

void CmdChangeBackground(cActor&, const cEdCommand& command) {
  cVector<cEdBackground>& layers = g_Stage.m_Backgrounds;
  const auto nLayer = static_cast<std::uint32_t>(Param(command, 0)) - 1u;
  if (nLayer >= static_cast<std::uint32_t>(layers.Size())) return;
  std::int32_t& bVisible = layers[static_cast<int>(nLayer)].m_bVisible;
  switch (Param(command, 1)) {
    case 0: bVisible = 1; break;
    case 1: bVisible = 0; break;
    case 2: bVisible = bVisible ? 0 : 1; break;
    default: break;
  }
}

void CmdPlaySound(cActor& actor, const cEdCommand& command) {
  if (command.m_bSoundOnScreen && !actor.m_bOnScreen) return;
  RequestSound(static_cast<std::int16_t>(Param(command, 0)));
}

void CmdPlayBgm(cActor&, const cEdCommand& command) {
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed))
    pScene->RequestBgm(Param(command, 0), Param(command, 1));
}

void CmdRunCode(cActor& actor, const cEdCommand& command) { RunCode(command.m_strText, actor); }

namespace {

template <void (*Body)(cActor&, const cEdCommand&)>
int Exec(cActor& actor, cCommandRuntime& runtime) {
  if (runtime.m_pCommand) Body(actor, *runtime.m_pCommand);
  return 0;
}

}  // namespace

int ExecStatusOperation(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdStatusOperation>(actor, runtime); }
int ExecRunAnime(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdRunAnime>(actor, runtime); }
int ExecChangeBackground(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdChangeBackground>(actor, runtime); }
int ExecPlaySound(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdPlaySound>(actor, runtime); }
int ExecPlayBgm(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdPlayBgm>(actor, runtime); }
int ExecRunCode(cActor& actor, cCommandRuntime& runtime) { return Exec<CmdRunCode>(actor, runtime); }
