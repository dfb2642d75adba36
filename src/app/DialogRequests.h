// The sender's side of the dialog requests the game thread sends to the main window
// (appmsg::NameEntry to ReplaySaveDialog); the window thread serves them through ui/DialogRequests.h.
#pragma once
#include <atomic>
#include <cstdint>

// Clears the flag, sends the message to the main window and waits (a checkpoint every
// millisecond) until the flag is set. Returns what the send returned.
std::intptr_t SendDialogRequest(std::uint32_t message, std::uintptr_t wParam, std::atomic<std::int32_t>& done);

// The player records' links to the game's running state and to the requests above.
// Installed once at start-up.
void InstallFrontendLinks();
