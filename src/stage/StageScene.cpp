#include "stage/StageScene.h"

#include <algorithm>

#include "core/AppGlobals.h"
#include "core/SceneManager.h"
#include "frontend/PlayRecord.h"
#include "platform/messaging.h"
#include "platform/winnum.h"
#include "stage/ActorPhysics.h"

std::atomic<cStageScene*> g_StageScene{nullptr};

std::int32_t g_bAutoScrollX = 0;
std::int32_t g_bAutoScrollY = 0;
std::int32_t g_nAutoScrollSpeedX = 0;
std::int32_t g_nAutoScrollSpeedY = 0;

cStageScene::cStageScene() : m_Phases{&cStageScene::FadeIn, &cStageScene::Play, &cStageScene::FadeOut} {
  m_SideActors.resize(SIDE_COUNT);
  m_StageVariables.assign(STAGE_VARIABLE_COUNT, 0);
  // A new stage scene plays no stage music yet: its first stage always asks for its own.
  g_PlayRecord.m_nStageBgm = 0;
  m_nPhase = -1;
}

void cStageScene::Run() { RunPhases(*this, m_Phases); }

void cStageScene::FadeIn() { m_nPhase = 1; }

void cStageScene::Play() {
  if (m_bQuit.load()) PostCloseRequest();
}

std::intptr_t cStageScene::RequestBgm(int nBgm, int bLoop) {
  g_PlayRecord.m_bStageBgmLoop = bLoop;
  return plat::send(g_hWnd.load(), plat::Msg{plat::wm::User + 6, 4, nBgm});
}

void cStageScene::FadeOut() {
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
  g_SceneManager.m_nPrevScene = SCENE_STAGE;
  g_SceneManager.m_nFrameRate = 60;
  m_nPhase = -1;
}

void cScrollAxis::SetAutoScroll(int bOn, int n) {
  if (!bOn) {
    m_dSpeed = 0.0;
    m_bAuto = 0;
    return;
  }
  m_dSpeed = n * 0.1 / g_FrameScale;
  m_bAuto = 1;
}

void cScrollAxis::SetMapGeometry(int nAxis, int nStageCells, int nFarExtent) {
  // A damaged file's size must not overflow; a map this large is refused when built.
  nStageCells = std::clamp(nStageCells, -20, 1 << 24);
  nFarExtent = std::clamp(nFarExtent, -(1 << 30), 1 << 30);
  m_nAxis = nAxis;
  m_nView = nAxis == 0 ? VIEW_WIDTH : VIEW_HEIGHT;
  m_nMargin = 10;
  m_nCells = nStageCells + 20;
  m_nFar = nFarExtent + 640;
  m_nStageStart = 320;
  m_nStageEnd = nStageCells + 10 < 0 ? 0 : (nStageCells + 10) * 32;
  if (nAxis == 0) {
    // The row stride is a power of two that holds the stage and both margins.
    m_nShift = 0;
    for (int n = nStageCells + 19; n > 0; n >>= 1) ++m_nShift;
    m_nStride = 1 << m_nShift;
  } else {
    m_nShift = 0;
    m_nStride = m_nCells;
  }
}
