// Errors that end the game: the close that follows a box the user was shown.
#pragma once
#include <atomic>
#include <cstdint>

// 0, or 1 once PostFailureClose was called: the status the main window's end quits with.
extern std::atomic<std::int32_t> g_nExitStatus;
// The close request after an error the user has been shown: the process then ends with
// exit status 1 instead of 0.
void PostFailureClose();
