// The open and save file dialogs, and the three calls the game makes of them: a stage
// file, a replay file, and where to save a replay.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "platform/messaging.h"

// Flags of the file dialogs (the Windows flag bits).
enum : std::uint32_t {
  OFN_OVERWRITEPROMPT = 0x2,
  OFN_HIDEREADONLY = 0x4,
  OFN_NOCHANGEDIR = 0x8,
  OFN_ENABLEHOOK = 0x20,
  OFN_ALLOWMULTISELECT = 0x200,
  OFN_FILEMUSTEXIST = 0x1000,
  OFN_NONETWORKBUTTON = 0x20000,
  OFN_EXPLORER = 0x80000,
};

// A filter is a description and a pattern, each ended by a zero byte, and a zero byte
// after the pattern ("Desc\0*.a;*.b\0\0").
//
// OpenFileDialog: 1 with the chosen file's path (absolute) in buffer, 0 when the user
// cancels. With a list (which must be empty) the chosen files are also appended to it.
// The path may be longer than bufferSize: no file is refused for the depth of its folder.
std::int32_t OpenFileDialog(plat::WindowToken owner, std::string& buffer, std::int32_t bufferSize,
                            std::string_view initialDir, std::string_view title, std::string_view filter,
                            std::string_view defaultExt, std::int32_t multiSelect, cVector<std::string>* list);
// SaveFileDialog: keep 0 clears the buffer first, otherwise its text is the proposed
// name. 1 with the chosen path in buffer, or 0. Outside Direct3D an existing file is
// overwritten only after the user agrees.
std::int32_t SaveFileDialog(plat::WindowToken owner, std::string& buffer, std::string_view initialDir,
                            std::string_view title, std::string_view filter, std::string_view defaultExt,
                            std::int32_t keep);
// Reads a dialog's result buffer of zero-ended strings (up to an empty one or size
// bytes): the folder (or the one full path), then file names. Appends "folder\name" for
// each name, or the full path when no name follows.
void AppendChosenFiles(const std::string& buffer, std::size_t size, cVector<std::string>* list);

// The game's calls, each between DDSetDialogMode (1) and (0):
// a stage file from "data\stg4\" (stage files and replays);
std::int32_t ChooseStageFile(std::string& path);
// a replay from "user_data\rpl4";
std::int32_t ChooseReplayFile(std::string& path);
// where to save a replay, in "user_data\rpl4\", the buffer's text proposed as the name.
std::int32_t ChooseReplaySaveFile(std::string& buffer);
