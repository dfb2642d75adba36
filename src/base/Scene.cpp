#include "base/Scene.h"

#include <exception>

#include "base/AppGlobals.h"
#include "base/Log.h"

cScene::~cScene() = default;
void cScene::Run() {}
void cScene::Init() {}
void cScene::FadeIn() {}
void cScene::FadeOut() {}
void cScene::CollectSurfaces(std::vector<DDSURFACEDATA*>&) {}

void cScene::InitCatchingFaults() {
  // A fault of the set-up closes the game in order; the text is logged as it stands.
  try {
    Init();
  } catch (const std::exception& e) { FatalLog(g_hWnd.load(), "%s", e.what()); }
}
