#include "app/SceneFactory.h"

#include "app/SceneHost.h"
#include "frontend/MapMenuScene.h"
#include "frontend/OptionScene.h"
#include "frontend/StageSelectScene.h"
#include "frontend/TitleScene.h"
#include "frontend/WorldMapScene.h"
#include "gamedata/Stage.h"
#include "stage/StageScene.h"

std::unique_ptr<cScene> CreateScene(std::int32_t id) {
  switch (id) {
    case SCENE_STAGE: return std::make_unique<cStageScene>();
    case SCENE_TITLE: return std::make_unique<cTitleScene>();
    case SCENE_WORLDMAP: return std::make_unique<cWorldMapScene>();
    case SCENE_MAPMENU: return std::make_unique<cMapMenuScene>();
    case SCENE_STAGESELECT: return std::make_unique<cStageSelectScene>();
    case SCENE_OPTION: return std::make_unique<cOptionScene>();
    default: return nullptr;
  }
}

std::int32_t LoadedStageFrameRate() { return g_Stage.m_nFrameRate; }
