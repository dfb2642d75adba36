#include "ui/DialogRequests.h"

#include <new>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "base/Thread.h"
#include "gfx/DDPresent.h"
#include "ui/FileDialog.h"
#include "ui/NameEntryDialog.h"

std::atomic<std::int32_t> g_bNameDone{0};
std::atomic<std::int32_t> g_bDialogDone{0};
std::atomic<std::int32_t> g_bDialogResult{0};

void OnNameEntryRequest() {
  DDSetDialogMode(true);
  SuspendAllThreads();
  cNameEntryDialog* dialog = new (std::nothrow) cNameEntryDialog();
  if (!dialog) {
    OutOfMemory();
  } else {
    // The dialog stores the name itself; its result is not needed here.
    dialog->DoModal(0);
    delete dialog;
  }
  DDSetDialogMode(false);
  ResumeAllThreads();
  g_bNameDone.store(1);
}

void OnStageFileRequest(const ChosenFileAction& start) {
  std::string path;
  const bool chosen = ChooseStageFile(path) != 0;
  // A chosen stage that does not start closes the game.
  if (chosen && start && !start(path)) PostCloseRequest();
  g_bDialogResult.store(chosen ? 1 : 0);
  g_bDialogDone.store(1);
}

void OnReplayFileRequest(const ChosenFileAction& load) {
  std::string path;
  // A replay that does not load has shown its box; the title stays, as after a cancel:
  // a damaged file in the user's replay folder never ends the session.
  const bool loaded = ChooseReplayFile(path) && (!load || load(path));
  g_bDialogResult.store(loaded ? 1 : 0);
  g_bDialogDone.store(1);
}

void OnReplaySaveRequest(std::uintptr_t which, const ChooseSavePath& choose, const SaveReplay& save) {
  std::string path;
  const std::int32_t chosen = choose ? choose(path) : ChooseReplaySaveFile(path);
  if (!chosen) {
    g_bDialogResult.store(0);
    g_bDialogDone.store(1);
    return;
  }
  // A replay that cannot be written is reported by the save; play goes on, so an
  // unsaved game is not lost with it.
  if (save) save(which, path);
  g_bDialogResult.store(1);
  g_bDialogDone.store(1);
}
