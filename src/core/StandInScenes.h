// Minimal scenes for the menu scene ids whose real scene does not exist yet (world map, map menu,
// stage select); the title and options are cTitleScene and cOptionScene. Each follows the scene protocol and the
// neighbours' interface (pad 0 filtered, its music asked for) but draws nothing and
// stays where it is. Stage play (id 4) is cStageScene of stage/StageScene.h.
#pragma once
#include <cstdint>
#include <memory>

#include "core/Scene.h"

// A menu scene (ids 0 to 3 and 5): fade-in, a phase that waits, fade-out.
class cStandInMenuScene : public cScene {
 public:
  explicit cStandInMenuScene(std::int32_t id);
  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Stay() {}

  std::int32_t m_nId;
  cVector<void (cStandInMenuScene::*)()> m_Phases;
};

// The scene object of an id (0 to 5), or null.
std::unique_ptr<cScene> CreateScene(std::int32_t id);
// The frame rate of the loaded stage.
std::int32_t LoadedStageFrameRate();
