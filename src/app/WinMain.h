// Process entry: the body of main() on the window thread, from the first step to the
// exit code, and the game thread's procedure.
#pragma once
#include <string>

// Reads the launch parameters, runs WinMain and shuts the window system down. A test
// drive (key script, trace, ...) that cannot start ends it before anything else with
// kDriveRefusedExitCode and the reason on standard error.
int PlayerMain(int argc, char** argv);
inline constexpr int kDriveRefusedExitCode = 2;
// 1 when start-up fails (a second instance too), otherwise the exit code of the quit
// that ended the loop.
int WinMain(const std::string& commandLine, int showCommand);
// The game thread: steps frames while the application is active until it is told to
// quit. Returns 1.
unsigned GameLoop(void* arg);
