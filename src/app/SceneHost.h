// The scene host: the six scene objects by id and the frame. One call of StepFrame on the
// game thread is one frame of the game: wait for the frame clock, recover lost surfaces,
// poll pad 0, switch to the scene g_SceneManager asks for, run the current scene, measure
// and show the frame rate, present the picture.
//
// WaitNextFrame, PresentFrame, RestoreLostSurfaces and UpdateInput also run on stage
// play's sub-loop threads while the game thread waits for them.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "base/SceneManager.h"
#include "base/Vector.h"

class cScene;
class cPad;

class cSceneHost {
 public:
  using Factory = std::unique_ptr<cScene> (*)(std::int32_t id);

  cSceneHost() = default;
  cSceneHost(const cSceneHost&) = delete;
  cSceneHost& operator=(const cSceneHost&) = delete;
  ~cSceneHost();

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

extern cSceneHost g_SceneHost;
// Set by start-up under DirectDraw full screen: present by copying instead of flipping.
extern std::int32_t g_bFlipOff;

// Blocks until the frame clock allows the next frame.
void WaitNextFrame();
