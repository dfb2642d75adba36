// The private requests for dialogs that the game thread sends to the main window: the
// name entry (WM_USER+1), the stage file (WM_USER+2), the replay file (WM_USER+3) and
// the replay save (WM_USER+4). The window thread serves them; the sender clears the
// request's done flag, sends, and polls the flag until it is set.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<std::int32_t> g_bNameDone;      // the name entry is finished
extern std::atomic<std::int32_t> g_bDialogDone;    // a file request is finished
extern std::atomic<std::int32_t> g_bDialogResult;  // 1 a file was chosen, 0 cancelled

// The sender's side: clears the flag, sends the message to the main window and waits
// (a checkpoint every millisecond) until the flag is set. Returns what the send returned.
std::intptr_t SendDialogRequest(std::uint32_t message, std::uintptr_t wParam, std::atomic<std::int32_t>& done);

// The window thread's side (called by the main window's procedure).
std::intptr_t ServeNameEntryRequest();
std::intptr_t ServeStageFileRequest();
std::intptr_t ServeReplayFileRequest();
std::intptr_t ServeReplaySaveRequest(std::uintptr_t which);  // 0 current key log, 1 previous
