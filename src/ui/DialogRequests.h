// The dialog requests the game thread sends to the main window (appmsg::NameEntry to
// ReplaySaveDialog): the work done for them on the window thread, and the flags their
// senders wait on. A sender sets the request's done flag to 0, sends the message, and waits until the
// flag is 1; a file request's result says whether a file was chosen.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

extern std::atomic<std::int32_t> g_bNameDone;
extern std::atomic<std::int32_t> g_bDialogDone;
extern std::atomic<std::int32_t> g_bDialogResult;

// appmsg::NameEntry: the name-entry dialog, with every worker thread held meanwhile.
void OnNameEntryRequest();

// What is done with a chosen file; false when it fails (a stage file then closes the game).
using ChosenFileAction = std::function<bool(const std::string& path)>;
// appmsg::StageFileDialog: a stage file to start (StartStageFile (path, 0)); an empty action starts
// nothing.
void OnStageFileRequest(const ChosenFileAction& start);
// appmsg::ReplayFileDialog: a replay to load (cKeyLog::LoadReplay, which also makes the replay's path
// the current stage-file name). A replay that does not load answers 0, as a cancel does.
void OnReplayFileRequest(const ChosenFileAction& load);
// appmsg::ReplaySaveDialog: where to save a replay (ChooseReplaySavePath; by default the save dialog
// with an empty proposed name), then the save of key log `which` (0 the current, 1 the
// previous one). A failed save does not close the game: the save reports it.
using ChooseSavePath = std::function<std::int32_t(std::string& path)>;
using SaveReplay = std::function<bool(std::uintptr_t which, const std::string& path)>;
void OnReplaySaveRequest(std::uintptr_t which, const ChooseSavePath& choose, const SaveReplay& save);
