// Start-up and shutdown of the game on the window thread: InitGame runs after the main
// window exists and before the game thread starts; UnInitGame after the message loop
// has ended, and also after a start-up that failed half-way.
#pragma once
#include <cstdint>
#include <string>

struct SYSTEMINIDATA;

// Whether this start holds the single-instance lock; without it InitGame leaves the
// temporaries it finds alone (another instance may be writing them).
extern bool g_bSoleInstance;

// True when the game can start (with the title, or with the test play of a stage file);
// every failure has reported itself.
bool InitGame(const std::string& commandLine, int showCommand);
// Whether InitGame ended because the user closed the game window while a question of
// start-up (the first-start question, the start-up dialog, a box) waited.
bool StartClosedByUser();
// Releases what InitGame made; tolerates a start-up that failed at any step.
void UnInitGame();

// The links of the layers below to the game's state and the window thread's services
// (front end, stage play, music requests); start-up installs them, then checks them.
void InstallLinks();

// Start-up's palette and transparent colour, from the first bitmap of the fixed table
// or, for the key, the project's own colour; false (reported) when that bitmap fails.
bool SetUpPaletteAndTransparency();

// The screen mode of the settings: the window-mode flag, bits per pixel and vertical
// sync that the graphics start with, or the message that refuses the combination.
struct SCREENMODE {
  std::int32_t bWindowMode = 0;
  std::int32_t nBpp = 0;
  std::int32_t nVSync = 0;
  const char* lpszError = nullptr;  // null when allowed
};
// colorMode: the project's colour mode (0: 256-colour palette); desktopBpp: the depth
// of the desktop; vistaOrLater: the answer of IsOsVersionAtLeast (6, 0).
SCREENMODE ChooseScreenMode(const SYSTEMINIDATA& ini, std::int32_t colorMode, std::int32_t desktopBpp,
                            bool vistaOrLater);
