// Small records of the stage scene's state: the screen colour, the message wait, and
// the popups, effects and pictures on screen. Their run-time behaviour lives with the
// code that starts and draws them.
#pragma once
#include <cstdint>

#include "stage/EffectRun.h"
#include "stage/MessagePopup.h"
#include "stage/Picture.h"

// The colour laid over the screen by the screen-colour command.
struct cScreenColor {
  std::int32_t m_bShown = 0;  // the 8-bit path's switch
  std::uint8_t m_nRed = 0;
  std::uint8_t m_nGreen = 0;
  std::uint8_t m_nBlue = 0;
  std::int32_t m_nStrength = 0;  // percent
  std::int32_t m_bReturn = 0;
  std::int32_t m_nFrames = 0;  // duration
  std::int32_t m_bFlash = 0;
  std::int32_t m_nFlashCount = 0;
  std::int32_t m_bActive = 0;
  std::int32_t m_nCounter = 0;
  std::int32_t m_nFlashCounter = 0;
  std::int32_t m_nAlpha = 0;  // 0 the full colour, 255 none
  std::uint8_t m_nPrevRed = 0;
  std::uint8_t m_nPrevGreen = 0;
  std::uint8_t m_nPrevBlue = 0;
  std::int32_t m_nPrevStrength = 0;
  std::int32_t m_nPrevAlpha = 255;

  // Everything zero, no previous colour (alpha 255).
  void Clear() { *this = cScreenColor(); }
  // A new colour (duration in tenths of a second), or with bReturn the way back to the
  // previous one; a return while no colour is shown does nothing.
  void Start(int nRed, int nGreen, int nBlue, int nStrength, int bReturn, int nTenths, int bFlash, int nCount);
};

// The wait of a message: while it runs, play waits for a key or for its frames.
struct cMessageWait {
  std::int32_t m_nMode = 0;
  std::int32_t m_nKeyDelay = 0;  // frames before a key is accepted
  std::int32_t m_bWaitKey = 0;
  std::int32_t m_nFrames = 0;  // frames left
  std::int32_t m_nCounter = 0;

  // Arms the wait: a message that waits for the key and opens a new window ignores the
  // key for its first 10 frames.
  void Start(int nMode, int bWaitKey, int nFrames, int bContinued);
};

// Modes of the wait: what stands while it runs.
enum : std::int32_t { WAIT_GAME = 0, WAIT_MESSAGE = 1, WAIT_EFFECT = 2, WAIT_PICTURE = 3, WAIT_EXTRA_LIFE = 4 };
