#include "core/SceneManager.h"

#include "core/Timer.h"
#include "platform/thread.h"

cSceneManager g_SceneManager;

void WaitNextFrame() {
  // The clock is read to the millisecond; sleeping until about 2 ms before the frame
  // is due and yielding after keeps the 16 ms rhythm without burning a core.
  while (!LimitFrameRate(g_SceneManager.m_nFrameRate)) {
    std::uint32_t left = FrameTimeLeft();
    if (left > 2) plat::this_thread::sleepMs(left - 2);
    else plat::this_thread::yieldNow();
  }
}

int cSceneManager::StepFrame() {
  WaitNextFrame();
  StartTimer();
  CountFps();
  ElapsedTime();
  m_nFramesStepped.fetch_add(1);
  return 1;
}
