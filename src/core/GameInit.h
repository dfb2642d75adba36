// Start-up and shutdown of the game on the window thread.
#pragma once
#include <string>

// True when the game can start; every failure has reported itself.
bool InitGame(const std::string& commandLine, int showCommand);
// Releases what InitGame made; tolerates a start-up that failed at any step.
void UnInitGame();
