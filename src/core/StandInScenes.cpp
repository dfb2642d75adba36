#include "core/StandInScenes.h"

#include "core/AppGlobals.h"
#include "core/SceneManager.h"
#include "frontend/MapMenuScene.h"
#include "frontend/OptionScene.h"
#include "frontend/StageSelectScene.h"
#include "frontend/TitleScene.h"
#include "platform/messaging.h"
#include "gamedata/Stage.h"
#include "stage/StageScene.h"
#include "ui/Pad.h"

namespace {

// Menu filter mask of pad 0 and music kind of each menu scene id (5 is options).
struct MenuTraits {
  int mask;
  int musicKind;
};
MenuTraits TraitsOf(std::int32_t id) {
  switch (id) {
    case SCENE_TITLE: return {3, 0};
    case SCENE_WORLDMAP: return {15, 1};
    case SCENE_MAPMENU: return {3, 1};
    case SCENE_STAGESELECT: return {15, 2};
    default: return {3, 3};
  }
}

}  // namespace

cStandInMenuScene::cStandInMenuScene(std::int32_t id)
    : m_nId(id), m_Phases{&cStandInMenuScene::FadeIn, &cStandInMenuScene::Stay, &cStandInMenuScene::FadeOut} {
  m_nPhase = -1;
}

void cStandInMenuScene::Run() {
  cPad& pad = g_Pads[0];
  pad.ApplyRepeat();
  pad.PressOnce(TraitsOf(m_nId).mask);
  RunPhases(*this, m_Phases);
}

void cStandInMenuScene::Init() {
  plat::send(g_hWnd.load(),
             plat::Msg{plat::wm::User + 6, static_cast<std::uintptr_t>(TraitsOf(m_nId).musicKind), 0});
}

void cStandInMenuScene::FadeIn() { m_nPhase = 1; }

void cStandInMenuScene::FadeOut() {
  g_SceneManager.m_nPrevScene = m_nId;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
}

std::unique_ptr<cScene> CreateScene(std::int32_t id) {
  switch (id) {
    case SCENE_STAGE: return std::make_unique<cStageScene>();
    case SCENE_TITLE: return std::make_unique<cTitleScene>();
    case SCENE_MAPMENU: return std::make_unique<cMapMenuScene>();
    case SCENE_STAGESELECT: return std::make_unique<cStageSelectScene>();
    case SCENE_WORLDMAP: return std::make_unique<cStandInMenuScene>(id);
    case SCENE_OPTION: return std::make_unique<cOptionScene>();
    default: return nullptr;
  }
}

std::int32_t LoadedStageFrameRate() { return g_Stage.m_nFrameRate; }
