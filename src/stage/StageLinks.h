// What stage play asks of the front end, which lies above it: the shared menu cursor and
// the menu helpers, the restart of a free-play stage file and the rankings of the stage.
// Start-up fills these in; a link left empty does nothing (the restart then reports
// success).
#pragma once
#include <functional>

#include "base/Vector.h"

class cPad;

struct cStageLinks {
  std::function<void()> resetMenuCursor;           // cMenuCursor::Reset on g_MenuCursor
  std::function<bool()> restartFreeStage;          // StartStageFile (the stage file last loaded, 0)
  std::function<void()> loadStageRankings;         // cRankingSet::LoadFile (game mode, stage name)
  std::function<void(int nRow)> setMenuCursorRow;  // the row of g_MenuCursor's top state
  // A frame of a sub-loop on its own thread: the frame clock, lost surfaces restored
  // (false when they cannot be) and the pads polled; then the picture presented.
  std::function<bool(cVector<cPad>& pads)> beginSubLoopFrame;
  std::function<void()> presentSubLoopFrame;
  // The menus of the stage scene on the shared cursor: its top state's row is set, a
  // grid move with the pad answers the new row and the cursor sprite's place, and the
  // cursor sound and the box of system texts are the front end's own.
  std::function<void(int nRow)> setMenuRow;
  std::function<void(const cPad& pad, int x0, int y0, int nPitchY, int nRows, int& nRow, int& x, int& y)> moveMenuRows;
  std::function<void(const cPad& pad, int nAxes, int nSound)> playCursorSound;
  std::function<void(int x, int y, int nFirst, int nCount, int bWithCursor)> drawMenuList;
};
extern cStageLinks g_StageLinks;
