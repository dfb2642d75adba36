// Saves that the game makes by itself (the story slot after a stage, the rankings, a
// replay after its file was chosen) and that fail: the player must not play on
// believing the game saved.
#pragma once
#include <string_view>

enum class AutoSave { StorySlot, Ranking, Replay };

// The refusal sound, and a box naming the file and the system's reason for the calling
// thread's last failed write; the box once a session for each kind of save and reason.
// The report line is the caller's.
void TellFailedSave(AutoSave kind, std::string_view path);

// Tests: every kind shows its box again.
void ResetFailedSaveNotices();
