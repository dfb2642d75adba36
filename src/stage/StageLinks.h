// What stage play asks of the front end, which lies above it: the shared menu cursor,
// the restart of a free-play stage file and the rankings of the stage. Start-up fills
// these in; a link left empty does nothing (the restart then reports success).
#pragma once
#include <functional>

#include "base/Vector.h"

class cPad;

struct cStageLinks {
  std::function<void()> resetMenuCursor;    // cMenuCursor::Reset on g_MenuCursor
  std::function<bool()> restartFreeStage;   // StartStageFile (the stage file last loaded, 0)
  std::function<void()> loadStageRankings;  // cRankingSet::LoadFile (game mode, stage name)
  std::function<void(int nRow)> setMenuCursorRow;  // the row of g_MenuCursor's top state
  // A frame of a sub-loop on its own thread: the frame clock, lost surfaces restored
  // (false when they cannot be) and the pads polled; then the picture presented.
  std::function<bool(cVector<cPad>& pads)> beginSubLoopFrame;
  std::function<void()> presentSubLoopFrame;
};
extern cStageLinks g_StageLinks;
