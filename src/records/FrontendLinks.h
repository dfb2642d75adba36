// What the player records read of the game's running state and which window-thread
// services they ask for. Start-up fills these in from the scene manager, the start-up
// flags and the dialog requests; a link left empty reads as 0 and does nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct cFrontendLinks {
  std::function<int()> gameMode;  // cSceneManager::m_nGameMode: 0 story, 1 challenge, 2 free, 3 replay
  std::function<int()> testPlay;  // g_bTestPlay
  // The game thread's request to the main window (appmsg::ReplayFileDialog, ReplaySaveDialog): clears the
  // done flag, sends, waits for the flag and answers g_bDialogResult.
  std::function<int(std::uint32_t message, std::uintptr_t wParam)> dialogRequest;
  // The save dialog of a replay file on the window thread (in "user_data\rpl4\", the
  // replay filter, an overwrite question): path's text is the name proposed; true and
  // the chosen path when a file was chosen.
  std::function<bool(std::string& path)> replaySaveDialog;
};
extern cFrontendLinks g_FrontendLinks;

int CurrentGameMode();
int IsTestPlay();
