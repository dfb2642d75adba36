// Process-wide values of the application core shared across threads.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/messaging.h"

// The main window: the target of every close request; 0 before it exists and after WM_DESTROY.
extern std::atomic<plat::WindowToken> g_hWnd;
// Written by the window thread on activation, read by every frame loop.
extern std::atomic<std::int32_t> g_bActive;
// 1 when started by the kit's editor (show command 5).
extern std::atomic<std::int32_t> g_bFromEditor;
// 1 while a stage file named at start is test-played.
extern std::int32_t g_bTestPlay;
// Set once InitGame has succeeded.
extern std::atomic<std::uint8_t> g_bInitDone;

// PostMessage(g_hWnd, WM_CLOSE): the program's one way to ask for an orderly close.
void PostCloseRequest();
