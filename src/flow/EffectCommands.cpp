// Commands that show something over the stage: an effect animation at a place, a
// character effect on the actor, a full-screen effect, a picture, and the screen colour.
// The effect and the picture can hold the game until they are over.
#include <cmath>

#include "base/Log.h"
#include "base/Screen.h"
#include "flow/CommandBody.h"
#include "flow/CommandTables.h"
#include "gamedata/CommandParams.h"
#include "gamedata/Database.h"
#include "gfx/DDInit.h"
#include "gfx/DDSurface.h"
#include "stage/Actor.h"
#include "stage/Player.h"
#include "stage/StageScene.h"
#include "stage/SubLoops.h"

namespace {

// n percent of a size, rounded half away from zero.
int Percent(int nPercent, int nSize) { return static_cast<int>(std::round(nPercent * nSize * 0.01)); }

// Halts the game while the armed wait runs its frames.
void HoldGame(cStageScene& scene) { RunMessageWait(scene); }

}  // namespace

void EffectPlacement(double& x, double& y, int w, int h, const cActor& actor, int nPlacement, int nCellsX, int nCellsY,
                     int nDotsX, int nDotsY) {
  const cStageScene& scene = TheStage();
  const double sx = scene.m_ScrollX.m_dPos;
  const double sy = scene.m_ScrollY.m_dPos;
  switch (nPlacement) {
    case PICTURE_AT_SCREEN_CENTRE:
      x = sx + VIEW_WIDTH / 2 - (w >> 1) + nDotsX;
      y = sy + VIEW_HEIGHT / 2 - (h >> 1) + nDotsY;
      break;
    case PICTURE_AT_CHARA:
    case PICTURE_AT_HERO: {
      const cActor& a = nPlacement == PICTURE_AT_CHARA ? static_cast<const cActor&>(actor) : g_Players[0];
      x = a.ScreenCentreX() + sx - (w >> 1) + nDotsX;
      y = a.ScreenCentreY() + sy - (h >> 1) + nDotsY;
      break;
    }
    case PICTURE_AT_SCREEN_CELL:
      x = nCellsX * BLOCK_SIZE + sx + nDotsX;
      y = nCellsY * BLOCK_SIZE + sy + nDotsY;
      break;
    case PICTURE_AT_STAGE_CELL:
      x = (nCellsX + scene.m_ScrollX.m_nMargin) * BLOCK_SIZE + nDotsX;
      y = (nCellsY + scene.m_ScrollY.m_nMargin) * BLOCK_SIZE + nDotsY;
      break;
    default: break;
  }
}

void CmdRunEffect(cActor& actor, const cEdCommand& command) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return;
  const int nIndex = static_cast<std::int16_t>(CommandParam(command, P_EFFECT_INDEX));
  if (nIndex == 0) {
    pScene->m_Effects.clear();
    return;
  }
  if (g_Database.m_Effects.empty()) return;
  const cEdEffect& effect = g_Database.m_Effects[nIndex];
  const int w = Percent(CommandParam(command, P_EFFECT_PERCENT), effect.m_nCellWidth);
  const int h = Percent(CommandParam(command, P_EFFECT_PERCENT), effect.m_nCellHeight);
  double x = 0.0, y = 0.0;
  EffectPlacement(x, y, w, h, actor, CommandParam(command, P_EFFECT_PLACE), CommandParam(command, P_EFFECT_BLOCK_X),
                  CommandParam(command, P_EFFECT_BLOCK_Y), CommandParam(command, P_EFFECT_PIXEL_X),
                  CommandParam(command, P_EFFECT_PIXEL_Y));
  const int bHalting = CommandParam(command, P_EFFECT_HALTING);
  pScene->m_Effects.emplace_back(nIndex, x, y, w, h, bHalting);
  if (!bHalting) return;
  int nFrames = 0;
  for (const cEdEffectFrame& f : effect.m_Frames) nFrames += f.m_nTime * 6;
  pScene->m_Wait.Start(WAIT_EFFECT, 0, nFrames, 0);
  HoldGame(*pScene);
}

void CmdRunCharaEffect(cActor& actor, const cEdCommand& command) {
  actor.m_CharaEffect.Start(static_cast<std::int16_t>(CommandParam(command, P_RUN_EFFECT_INDEX)),
                            CommandParam(command, P_RUN_EFFECT_MODE), CommandParam(command, P_RUN_EFFECT_LOOP));
}

void CmdRunScreenEffect(cActor&, const cEdCommand& command) {
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed))
    pScene->m_ScreenEffect.Start(static_cast<std::int16_t>(CommandParam(command, P_RUN_EFFECT_INDEX)),
                                 CommandParam(command, P_RUN_EFFECT_MODE), CommandParam(command, P_RUN_EFFECT_LOOP));
}

void CmdShowPicture(cActor& actor, const cEdCommand& command) {
  cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed);
  if (!pScene) return;
  const int nIndex = static_cast<std::int16_t>(CommandParam(command, P_PICTURE_INDEX));
  if (nIndex == 0) {
    pScene->ReleasePictures();
    return;
  }
  if (g_Database.m_Pictures.empty()) return;
  const cEdPicture& picture = g_Database.m_Pictures[nIndex];
  DDSURFACEDATA& surface = g_PictureSurfaces.emplace_back();
  DDSURFACEINFO& info = g_PictureSurfaceInfos.emplace_back();
  info.Set(picture.m_strFile, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0);
  const std::int32_t code =
      DDCreateSurfaceFromFile(&surface, info.szFileName, 1, g_DDState.nBpp, 1, 0, 0, 0, 0, 0, false);
  if (!DDCheckLoadError(code)) {
    // A missing bitmap costs the picture, not the game.
    ReportPrintfDebug("%s 読み込み失敗！", info.szFileName.c_str());
    DDReleaseSurface(&surface);
    g_PictureSurfaces.pop_back();
    g_PictureSurfaceInfos.pop_back();
    return;
  }
  const int nPercent = CommandParam(command, P_PICTURE_PERCENT);
  const int w = Percent(nPercent, surface.nWidth);
  const int h = Percent(nPercent, surface.nHeight);
  double x = 0.0, y = 0.0;
  EffectPlacement(x, y, w, h, actor, CommandParam(command, P_PICTURE_PLACE), CommandParam(command, P_PICTURE_BLOCK_X),
                  CommandParam(command, P_PICTURE_BLOCK_Y), CommandParam(command, P_PICTURE_PIXEL_X),
                  CommandParam(command, P_PICTURE_PIXEL_Y));
  const int nMode = CommandParam(command, P_PICTURE_MODE);
  const int nFrames = CommandParam(command, P_PICTURE_TIME) * 6;
  const int bHalting = CommandParam(command, P_PICTURE_HALTING);
  const int nLayer = CommandParam(command, P_PICTURE_LAYER);
  const int nId = pScene->m_Pictures.emplace_back(nIndex, x, y, w, h, nLayer, nPercent, nMode, nFrames, bHalting).m_nId;
  if (!bHalting) return;
  if (nMode == SHOW_UNTIL_KEY) {
    pScene->m_Wait.Start(WAIT_PICTURE, 1, 0, 0);
  } else if (nMode == SHOW_FOR_TIME) {
    pScene->m_Wait.Start(WAIT_PICTURE, 0, nFrames, 0);
  }
  HoldGame(*pScene);
  // Exactly the picture the game stood for goes again, whatever else came and went.
  pScene->RemovePicture(nId);
}

void CmdChangeScreenColor(cActor&, const cEdCommand& command) {
  if (cStageScene* pScene = g_StageScene.load(std::memory_order_relaxed)) {
    auto p = [&](int n) { return CommandParam(command, n); };
    pScene->m_ScreenColor.Start(p(P_COLOR_RED), p(P_COLOR_GREEN), p(P_COLOR_BLUE), p(P_COLOR_STRENGTH),
                                p(P_COLOR_RETURN), p(P_COLOR_TIME), p(P_COLOR_FLASH), p(P_COLOR_COUNT));
  }
}

int ExecRunEffect(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdRunEffect>(actor, runtime); }
int ExecRunCharaEffect(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdRunCharaEffect>(actor, runtime); }
int ExecRunScreenEffect(cActor& actor, cCommandRuntime& runtime) {
  return ExecBody<CmdRunScreenEffect>(actor, runtime);
}
int ExecShowPicture(cActor& actor, cCommandRuntime& runtime) { return ExecBody<CmdShowPicture>(actor, runtime); }
int ExecChangeScreenColor(cActor& actor, cCommandRuntime& runtime) {
  return ExecBody<CmdChangeScreenColor>(actor, runtime);
}
