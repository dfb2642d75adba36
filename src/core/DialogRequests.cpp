#include "core/DialogRequests.h"

#include "core/AppGlobals.h"
#include "core/WinMain.h"
#include "gfx/DDPresent.h"
#include "platform/messaging.h"
#include "platform/thread.h"

std::atomic<std::int32_t> g_bNameDone{0};
std::atomic<std::int32_t> g_bDialogDone{0};
std::atomic<std::int32_t> g_bDialogResult{0};

namespace {

// Stand-ins until the dialogs exist: the name entry changes nothing and every file
// dialog is cancelled. The dialog work puts the real dialogs in their place.
void RunNameEntryDialog() {}
bool ChooseStageFile() { return false; }
bool ChooseReplayFile() { return false; }
bool ChooseReplaySavePath() { return false; }

void FinishFileRequest(std::int32_t result) {
  g_bDialogResult.store(result);
  g_bDialogDone.store(1);
}

}  // namespace

std::intptr_t SendDialogRequest(std::uint32_t message, std::uintptr_t wParam, std::atomic<std::int32_t>& done) {
  done.store(0);
  const std::intptr_t r = plat::send(g_hWnd.load(), plat::Msg{message, wParam, 0});
  while (!done.load()) plat::this_thread::sleepMs(1);
  return r;
}

std::intptr_t ServeNameEntryRequest() {
  DDSetDialogMode(true);
  // The modal dialog runs alone: every worker, the sender included, is held.
  SuspendAllThreads();
  RunNameEntryDialog();
  DDSetDialogMode(false);
  ResumeAllThreads();
  g_bNameDone.store(1);
  return 0;
}

std::intptr_t ServeStageFileRequest() {
  DDSetDialogMode(true);
  const bool chosen = ChooseStageFile();
  DDSetDialogMode(false);
  FinishFileRequest(chosen ? 1 : 0);
  return 0;
}

std::intptr_t ServeReplayFileRequest() {
  DDSetDialogMode(true);
  const bool chosen = ChooseReplayFile();
  DDSetDialogMode(false);
  FinishFileRequest(chosen ? 1 : 0);
  return 0;
}

std::intptr_t ServeReplaySaveRequest(std::uintptr_t) {
  const bool chosen = ChooseReplaySavePath();
  FinishFileRequest(chosen ? 1 : 0);
  return 0;
}
