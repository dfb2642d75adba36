// Minimal scenes for the six scene ids until the real title, world map, map menu,
// stage select, stage play and option scenes exist. Each follows the scene protocol and
// the neighbours' interface (menu scenes filter pad 0 and ask for their music; stage
// play keeps the close flag and the frame rate) but draws nothing and stays where it is.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

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

// The stage-play scene's interface as the rest of the program sees it.
class cStageScene : public cScene {
 public:
  cStageScene();
  void Run() override;
  void FadeIn() override;
  void FadeOut() override;
  // One play frame: the close flag first.
  void Play();

  // Set by the main window on a close request while a message of stage play waits.
  std::atomic<std::int32_t> m_bQuit{0};
  // The name of the current ranking entry (up to three characters).
  std::string m_strRankName;
  cVector<void (cStageScene::*)()> m_Phases;
};

// The scene object of an id (0 to 5), or null.
std::unique_ptr<cScene> CreateScene(std::int32_t id);
// The frame rate of the loaded stage (60 while no stage is loaded).
std::int32_t LoadedStageFrameRate();
