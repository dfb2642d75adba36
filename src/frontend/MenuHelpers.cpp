#include "frontend/MenuHelpers.h"

#include "gamedata/System.h"
#include "sound/SoundTable.h"
#include "ui/Pad.h"

void PlayCursorSound(const cPad& pad, int nAxes, int nSound) {
  const std::uint16_t dir = pad.m_wDirection;
  // The cursor's sound is played here directly, not through the main window: a menu
  // frame must not wait for the window thread.
  if ((nAxes & 1) && (dir & (cPad::DirLeft | cPad::DirRight))) DS_Play(&g_SoundTable[nSound], 0);
  if ((nAxes & 2) && (dir & (cPad::DirUp | cPad::DirDown))) DS_Play(&g_SoundTable[nSound], 0);
}

int CountRankedQuantities(int nMode) { return g_System.CountRankedQuantities(nMode); }
