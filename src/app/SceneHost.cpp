#include "app/SceneHost.h"

#include <exception>
#include <new>
#include <vector>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "base/Log.h"
#include "base/Scene.h"
#include "app/SceneFactory.h"
#include "app/SystemIni.h"
#include "base/Timer.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBitmapCopy.h"
#include "gfx/DDInit.h"
#include "gfx/DDPresent.h"
#include "gfx/DDSurface.h"
#include "gfx/Font.h"
#include "platform/drive.h"
#include "platform/messaging.h"
#include "platform/thread.h"
#include "platform/trace.h"
#include "stage/StageScene.h"
#include "ui/KeyConfig.h"
#include "ui/Pad.h"

std::int32_t g_bFlipOff = 0;
cSceneHost g_SceneHost;

namespace {

// Brings back one surface that the display lost; its picture is read again from its file.
bool RestoreSurface(DDSURFACEDATA* sd) {
  plat::Surface* px = sd ? sd->Pixels() : nullptr;
  if (!px || !px->isLost()) return true;
  px->restore();
  if (sd->szFileName.empty() || sd->szFileName == "E") return true;
  return DDReloadBitmap(sd, g_DDState.nBpp);
}

}  // namespace

namespace {

void WaitFrameClock() {
  if (plat::drive::Fast()) {
    // A fast test run: the clock jumps to the frame's due time instead of waiting for
    // it, so every frame moves it on by exactly one period, vertical sync or not.
    plat::drive::AdvanceClock(FrameTimeLeft());
    LimitFrameRate(g_SceneManager.m_nFrameRate);
    return;
  }
  // The frame clock paces the game in every drawing mode: with vertical sync the display
  // only decides when a finished frame is shown, so a 144 Hz screen does not speed it up.
  if (!g_lpD3DData && !g_lpDDData) return;  // no graphics yet
  // The clock is read to the millisecond; sleeping until about 2 ms before the frame
  // is due and yielding after keeps the rhythm without burning a core.
  while (!LimitFrameRate(g_SceneManager.m_nFrameRate)) {
    std::uint32_t left = FrameTimeLeft();
    if (left > 2) plat::this_thread::sleepMs(left - 2);
    else plat::this_thread::yieldNow();
  }
}

std::int32_t g_TracedScene = -1;

}  // namespace

void WaitNextFrame() {
  WaitFrameClock();
  plat::drive::BeginFrame();
}

cSceneHost::~cSceneHost() { DeleteAllScenes(); }

std::unique_ptr<cScene>& cSceneHost::Slot(std::int32_t id) {
  switch (id) {
    case SCENE_TITLE: return m_lpTitle;
    case SCENE_WORLDMAP: return m_lpWorldMap;
    case SCENE_MAPMENU: return m_lpMapMenu;
    case SCENE_STAGESELECT: return m_lpStageSelect;
    case SCENE_STAGE: return m_lpStage;
    default: return m_lpOption;
  }
}

cScene* cSceneHost::Scene(std::int32_t id) const {
  if (id < SCENE_TITLE || id > SCENE_OPTION) return nullptr;
  return const_cast<cSceneHost*>(this)->Slot(id).get();
}

void cSceneHost::DeleteScene(std::int32_t id) {
  std::unique_ptr<cScene>& slot = Slot(id);
  if (!slot) return;
  // The window thread reads the stage scene's pointer: it goes before the object.
  if (id == SCENE_STAGE) g_StageScene.store(nullptr);
  slot.reset();
}

void cSceneHost::ChangeScene(std::int32_t id) {
  for (std::int32_t other : {SCENE_TITLE, SCENE_MAPMENU, SCENE_WORLDMAP, SCENE_STAGESELECT, SCENE_STAGE, SCENE_OPTION})
    if (other != id) DeleteScene(other);
  if (id < SCENE_TITLE || id > SCENE_OPTION) return;
  std::unique_ptr<cScene>& slot = Slot(id);
  if (slot) return;
  std::unique_ptr<cScene> scene;
  try {
    scene = (m_lpFactory ? m_lpFactory : &CreateScene)(id);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    return;
  }
  if (!scene) return;
  if (id == SCENE_STAGE) g_StageScene.store(dynamic_cast<cStageScene*>(scene.get()));
  slot = std::move(scene);
}

void cSceneHost::DeleteAllScenes() {
  for (std::int32_t id : {SCENE_TITLE, SCENE_WORLDMAP, SCENE_MAPMENU, SCENE_STAGESELECT, SCENE_OPTION, SCENE_STAGE})
    DeleteScene(id);
}

void cSceneHost::UpdateInput(cVector<cPad>& pads) {
  if (g_KeyConfig.m_nMode != 0) pads[0].PollPadConfigured(1, 60);
  else pads[0].PollPad(0, 3, 60);
}

int cSceneHost::RestoreLostSurfaces() {
  if (!g_lpDDData) return 1;  // only DirectDraw loses surfaces this way
  if (!DDIsPrimaryLost()) return 1;
  if (!DDRestore()) return 0;
  std::vector<DDSURFACEDATA*> owned;
  for (std::int32_t id : {SCENE_TITLE, SCENE_WORLDMAP, SCENE_MAPMENU, SCENE_STAGESELECT, SCENE_OPTION, SCENE_STAGE})
    if (cScene* s = Scene(id)) s->CollectSurfaces(owned);
  for (DDSURFACEDATA* sd : owned)
    if (!RestoreSurface(sd)) return 0;
  for (int i = 0; i < DIGIT_SURFACE_COUNT; ++i) {
    plat::Surface* px = g_DigitSurfaces[i].Pixels();
    if (!px || !px->isLost()) continue;
    px->restore();
    if (!DrawDigits(&g_DigitSurfaces[i], &g_Fonts[i])) return 0;
  }
  return 1;
}

void cSceneHost::PresentFrame() {
  if (g_lpD3DData) {
    // A lost device is reset by the window thread that made it, while this one waits.
    if (!DDPresent()) plat::send(g_hWnd.load(), plat::Msg{appmsg::RestoreSurfaces, 0, 0});
    return;
  }
  if (!g_lpDDData) return;
  // Above 60 frames a second the display's rhythm is not waited for.
  const bool fast = g_StageScene.load() != nullptr && LoadedStageFrameRate() > 60;
  if (g_DDState.bWindowed) {
    if (!fast) DDWaitForVerticalBlank();
    DDBltBackBufferToPrimary();
  } else if (g_bFlipOff || fast) {
    DDBltBackBufferToPrimary();
  } else {
    DDFlip();
  }
}

int cSceneHost::StepFrame() {
  WaitNextFrame();
  StartTimer();
  if (g_lpDDData && !RestoreLostSurfaces()) return 0;
  UpdateInput(g_Pads);
  if (plat::trace::Enabled() && g_SceneManager.m_nScene != g_TracedScene) {
    plat::trace::Line("scene %d -> %d", g_TracedScene, g_SceneManager.m_nScene);
    g_TracedScene = g_SceneManager.m_nScene;
  }
  try {
    ChangeScene(g_SceneManager.m_nScene);
  } catch (const std::exception& e) { FatalLog(g_hWnd.load(), "%s", e.what()); }
  if (cScene* scene = Scene(g_SceneManager.m_nScene)) scene->Run();
  const int fps = CountFps();
  const std::uint32_t work = ElapsedTime();
  if (g_SystemIni.m_nShowFps != 0) {
    m_FrameTimes[m_nFrameTimePos] = work;
    if (++m_nFrameTimePos >= 16) {
      m_nFrameTimePos = 0;
      std::uint32_t sum = 0;
      for (std::uint32_t t : m_FrameTimes) sum += t;
      m_nFrameTimeAverage = sum >> 4;
    }
    FontPrintfBox(&g_Fonts[1], &BackBuffer, 495, 463, 0, 0, "FPS%2d(%2d)", fps, static_cast<int>(m_nFrameTimeAverage));
  }
  PresentFrame();
  m_nFramesStepped.fetch_add(1);
  return 1;
}
