// Commands that act within one step: status arithmetic, the state flags of an actor and
// the automatic scroll, graphics and animations of the actor, background layers, sounds,
// the stage music and lines of code. Each body works on the command definition alone,
// so that item lists can run it too.
#include <algorithm>

#include "flow/CodeLanguage.h"
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "flow/StatusEngine.h"
#include "stage/RunTimeTables.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Stage.h"
#include "sound/SoundTable.h"
#include "stage/Actor.h"
#include "stage/FlowRuntime.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

void CmdRunAnime(cActor& actor, const cEdCommand& command) {
  if (g_AnimeFrameTables.empty()) return;
  const cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  const cFlowRuntime* pFlow = pScene ? pScene->m_pCurFlow : nullptr;
  cFlowAnime& a = actor.m_FlowAnimes.emplace_front();
  a.m_Anime.m_Sequences.push_back(g_AnimeFrameTables[CommandParam(command, P_ANIME_INDEX)]);
  // Started outside any flow (an item's list), it belongs to none.
  a.m_nFlowSerial = pFlow ? pFlow->m_nSerial : -1;
  a.m_Anime.Start(0, 1);
}

void CmdChangeBackground(cActor&, const cEdCommand& command) {
  cVector<cEdBackground>& layers = g_Stage.m_Backgrounds;
  const auto nLayer = static_cast<std::uint32_t>(CommandParam(command, P_BACKGROUND_LAYER)) - 1u;
  if (nLayer >= static_cast<std::uint32_t>(layers.Size())) return;
  std::int32_t& bVisible = layers[static_cast<int>(nLayer)].m_bVisible;
  switch (CommandParam(command, P_BACKGROUND_VISIBILITY)) {
    case VISIBILITY_SHOW: bVisible = 1; break;
    case VISIBILITY_HIDE: bVisible = 0; break;
    case VISIBILITY_TOGGLE: bVisible = bVisible ? 0 : 1; break;
    default: break;
  }
}

void CmdPlaySound(cActor& actor, const cEdCommand& command) {
  if (command.m_bSoundOnScreen && !actor.m_bOnScreen) return;
  RequestSound(static_cast<std::int16_t>(CommandParam(command, P_SOUND_INDEX)));
}

void CmdPlayBgm(cActor&, const cEdCommand& command) {
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed))
    pScene->RequestBgm(CommandParam(command, P_BGM_INDEX), CommandParam(command, P_BGM_LOOP));
}

void CmdRunCode(cActor& actor, const cEdCommand& command) { RunCode(command.m_strText, actor); }

void CmdStatusOperation2(cActor& actor, const cEdCommand& command) {
  const int nWhose = CommandParam(command, P_STATUS2_WHOSE);
  const int nState = CommandParam(command, P_STATUS2_STATE);
  const std::int32_t n = CommandParam(command, P_STATUS2_VALUE);
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (nWhose == OWNER_SYSTEM) {
    if (!pScene) return;
    // The system's states are the scroll axes: 0 across, 1 down.
    if (nState == 0 || nState == 1) SetAutoScroll(nState, n, AutoScrollSpeed(nState));
    return;
  }
  cActor* a = OwnerActor(actor, nWhose);
  if (!a) return;
  const bool bHero = a->m_nKind == 0 && !g_Players.empty() && a == &g_Players[0];
  const auto byte = static_cast<std::uint8_t>(n);
  switch (nState) {
    case STATE_VANISH:
      if (a->m_nKind == 1) a->m_bVanished = 1;
      else if (a->m_nKind == 0) a->m_nHp = 0;
      if (a != &actor && pScene) pScene->m_bStatusChanged = 1;
      break;
    case STATE_TRANSPARENT: a->m_Def.m_bTransparent = byte; break;
    case STATE_FIXED_FACING: a->m_Def.m_bFixedFacing = byte; break;
    case STATE_FLIGHT:
      if (bHero) g_Players[0].SetFlyMode(n, 1);
      break;
    case STATE_INVINCIBLE: a->m_Def.m_nInvincible = byte; break;
    case STATE_GIANT: {
      // The giant scale runs from 1 to 10; other values would fold the boxes up.
      const int nScale = std::clamp(n, 1, 10);
      a->SetScale(nScale, a->m_Def.m_nScale);
      a->m_Def.m_nScale = static_cast<std::uint8_t>(nScale);
      if (bHero) g_Players[0].BuildDebugBoxes();
      break;
    }
    case STATE_SCROLL_SYNC:
      a->m_Def.m_bAutoScrollSync = byte;
      a->m_bScrollSync = byte;
      break;
    default: break;
  }
}

void CmdChangeGraphic(cActor& actor, const cEdCommand& command) {
  actor.m_Def.m_nImageSheet = static_cast<std::int8_t>(CommandParam(command, P_GRAPHIC_SHEET));
  actor.m_Def.m_nImage = static_cast<std::int16_t>(CommandParam(command, P_GRAPHIC_IMAGE));
  actor.m_nGraphic = actor.m_Def.m_nImage;
  actor.m_Def.m_nImageSub = static_cast<std::int16_t>(CommandParam(command, P_GRAPHIC_SUB));
}

void CmdChangeBasicAnimeSet(cActor& actor, const cEdCommand& command) {
  actor.ApplyBasicAnimeSet(static_cast<std::uint16_t>(CommandParam(command, P_ANIME_INDEX)), 0);
}

// clang-format off
int ExecStatusOperation(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdStatusOperation>(actor, runtime); }
int ExecStatusOperation2(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdStatusOperation2>(actor, runtime); }
// clang-format on
int ExecChangeGraphic(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdChangeGraphic>(actor, runtime); }
int ExecChangeBasicAnimeSet(cActor& actor, cCommandRuntime& runtime) {
  return ExecBody<CmdChangeBasicAnimeSet>(actor, runtime);
}
int ExecRunAnime(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdRunAnime>(actor, runtime); }
int ExecChangeBackground(cActor& actor, cCommandRuntime& runtime) {
  return ExecBody<CmdChangeBackground>(actor, runtime);
}
int ExecPlaySound(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdPlaySound>(actor, runtime); }
int ExecPlayBgm(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdPlayBgm>(actor, runtime); }
int ExecRunCode(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdRunCode>(actor, runtime); }
