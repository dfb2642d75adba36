// The values of the scene manager that outlive a scene: which scene runs and which comes
// next, the menu choice and game mode that led there, and the frame rate and fade speed
// every scene uses. Scenes and stage play read and set them; the application's scene
// host (app/SceneHost.h) owns the scene objects and switches them by these values.
#pragma once
#include <cstdint>

// Scene ids.
enum : std::int32_t {
  SCENE_TITLE = 0,
  SCENE_WORLDMAP = 1,
  SCENE_MAPMENU = 2,
  SCENE_STAGESELECT = 3,
  SCENE_STAGE = 4,
  SCENE_OPTION = 5,
};

class cSceneManager {
 public:
  std::int32_t m_nScene = 0;
  std::int32_t m_nNextScene = 0;
  std::int32_t m_nPrevScene = 0;
  std::int32_t m_nMenuChoice = 0;  // 0 new game .. 6 exit; 3 for a test play
  std::int32_t m_nGameMode = 0;    // 0 story, 1 challenge, 2 free play, 3 replay
  std::int32_t m_nStageCursor = 0;
  std::int32_t m_nStageScroll = 0;
  std::int32_t m_bModeRanks = 0;
  std::int32_t m_nFrameRate = 0;  // frames per second; 60 from start-up
  std::int32_t m_nFadeSpeed = 0;
};

extern cSceneManager g_SceneManager;
