#include "frontend/FreePlay.h"

#include "gamedata/Stage.h"
#include "gamedata/StageLoad.h"

int StartStageFile(std::string_view path, int mode) {
  // The play record of the new game (stage 1, part 1, the free-play lives) is set up by
  // the front end's records once they exist; the stage itself is ready here.
  return LoadStage(path, mode, &g_StartStage);
}
