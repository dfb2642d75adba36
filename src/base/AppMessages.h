// The program's own window messages: what the game thread asks of the window thread
// (dialogs, sound and music, surface restoring; sent, so the answer is the handler's),
// and the navigation keys the keyboard hook hands to a dialog.
#pragma once
#include <cstdint>

#include "platform/winnum.h"

namespace appmsg {
enum : std::uint32_t {
  NameEntry = plat::wm::User + 1,          // the ranking's name entry dialog
  StageFileDialog = plat::wm::User + 2,    // choose a stage file to play
  ReplayFileDialog = plat::wm::User + 3,   // choose a replay to play
  ReplaySaveDialog = plat::wm::User + 4,   // save a replay; w: 0 the current log, 1 the previous one
  PlaySound = plat::wm::User + 5,          // w: entry of the sound table
  PlayMusic = plat::wm::User + 6,          // w: a MusicTrack; l: the stage's music number
  RestoreSurfaces = plat::wm::User + 100,  // the display was lost: restore what is drawn on
  HookNavKey = plat::wm::User + 1000,      // posted to a dialog: w the virtual key, l the key's lParam
};

// The music tracks of PlayMusic; the stage's track plays the music number it is given
// (0 stops), the others the project's music for that screen.
enum MusicTrack : std::uintptr_t {
  MusicTitle = 0,
  MusicWorldMap = 1,  // the world map and its menu
  MusicStageSelect = 2,
  MusicOptions = 3,
  MusicStage = 4,
};
}  // namespace appmsg
