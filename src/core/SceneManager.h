// The scene manager: the six scenes by id, the values that outlive a scene, and the
// frame. One call of StepFrame on the game thread is one frame of the game: wait for the
// frame clock, recover lost surfaces, poll pad 0, switch scene when asked, run the
// current scene, measure and show the frame rate, present the picture.
//
// WaitNextFrame, PresentFrame, RestoreLostSurfaces and UpdateInput also run on stage
// play's sub-loop threads while the game thread waits for them.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "core/Vector.h"

class cScene;
class cPad;

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
  using Factory = std::unique_ptr<cScene> (*)(std::int32_t id);

  cSceneManager() = default;
  cSceneManager(const cSceneManager&) = delete;
  cSceneManager& operator=(const cSceneManager&) = delete;
  ~cSceneManager();

  // One frame. 1 after a frame, 0 when lost surfaces cannot be restored.
  int StepFrame();
  // Makes sure that scene id exists and no other does; an id outside 0 to 5 deletes all.
  void ChangeScene(std::int32_t id);
  void DeleteAllScenes();
  // The scene of an id, or null.
  cScene* Scene(std::int32_t id) const;

  void PresentFrame();
  // 1 when nothing was lost or everything came back, 0 when something cannot be restored.
  int RestoreLostSurfaces();
  // Polls entry 0 of the pads by the key configuration.
  void UpdateInput(cVector<cPad>& pads);

  // Scene slots, in this order: title, world map, map menu, stage select, options,
  // stage play.
  std::unique_ptr<cScene> m_lpTitle;
  std::unique_ptr<cScene> m_lpWorldMap;
  std::unique_ptr<cScene> m_lpMapMenu;
  std::unique_ptr<cScene> m_lpStageSelect;
  std::unique_ptr<cScene> m_lpOption;
  std::unique_ptr<cScene> m_lpStage;
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
  // The frame-rate display: work times of the last 16 frames (ms), the write position
  // and the shown average.
  std::uint32_t m_FrameTimes[16] = {};
  std::int32_t m_nFrameTimePos = 0;
  std::uint32_t m_nFrameTimeAverage = 0;
  std::atomic<std::uint32_t> m_nFramesStepped{0};  // frames made since start (diagnostics)
  // Makes the scene objects; the game's scenes unless a test puts its own.
  Factory m_lpFactory = nullptr;

 private:
  std::unique_ptr<cScene>& Slot(std::int32_t id);
  void DeleteScene(std::int32_t id);
};

extern cSceneManager g_SceneManager;
// Set by start-up under DirectDraw full screen: present by copying instead of flipping.
extern std::int32_t g_bFlipOff;

// Blocks until the frame clock allows the next frame.
void WaitNextFrame();
