// The scene manager: one call of StepFrame is one frame of the game on the game thread.
// For now it keeps the frame clock only; scenes and presenting come with their modules.
#pragma once
#include <atomic>
#include <cstdint>

class cSceneManager {
 public:
  // One frame: waits for the frame clock, then the frame's work. 1 after a frame.
  int StepFrame();

  std::int32_t m_nScene = 0;
  std::int32_t m_nNextScene = 0;
  std::int32_t m_nPrevScene = 0;
  std::int32_t m_nFrameRate = 0;  // frames per second; 60 from start-up
  std::int32_t m_nFadeSpeed = 0;
  std::int32_t m_nMenuChoice = 0;  // the title-menu item that started the game (5: options)
  std::atomic<std::uint32_t> m_nFramesStepped{0};  // frames made since start (diagnostics)
};

extern cSceneManager g_SceneManager;

// Blocks until the frame clock allows the next frame.
void WaitNextFrame();
