// The input of one stage attempt, recorded frame by frame while replays are recorded and
// fed back into pad 0 when a replay plays: two run-length streams of 16-bit words (the
// direction word and the button word) and the random seed of the attempt.
//
// A replay file ("user_data\rpl4\*.rpl4_513") is: u32 version | the stage as the stage
// file holds it (its start state with the palette and placed objects of play) | the key
// log | the play record at the attempt's start (files above version 172).
//
// Key-log body: u32 1 | i32 seed | u32 0 | u32 nA + nA u16 directions | u32 nB + nB u16
// buttons | u32 nA + nA u32 direction runs | u32 nB + nB u32 button runs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Vector.h"
#include "gamedata/Record.h"

class cEdStage;
class cPlayRecord;

class cKeyLog : public cRecord {
 public:
  cKeyLog() = default;
  cKeyLog(const cKeyLog& other) : cRecord(other) { *this = other; }
  // The streams and the seed; the playback position stays.
  cKeyLog& operator=(const cKeyLog& other);

  cVector<std::uint16_t> m_DirValues;     // successive different direction words
  cVector<std::uint16_t> m_ButtonValues;  // successive different button words
  cVector<std::uint32_t> m_DirRuns;       // frames each direction word lasted
  cVector<std::uint32_t> m_ButtonRuns;
  std::int32_t m_nRandomSeed = 0;
  // Playback position, not saved: entry of each stream and frames played of it.
  std::int32_t m_nDirIndex = 0;
  std::int32_t m_nButtonIndex = 0;
  std::uint32_t m_nDirCount = 0;
  std::uint32_t m_nButtonCount = 0;

  void BindFields(std::uint32_t nVersion) override;
  // A log whose run lists do not match its value lists does not load.
  void Load(cDataReader& in) override;
  void Save(cDataWriter& out) override;

  // Seed 0, empty streams, playback from the start.
  void Clear();
  void Rewind();
  void RecordFrame(std::uint16_t wDirection, std::uint16_t wButtons);
  // 1 when the log has ended (nothing written), else 0 and the frame's words.
  int PlayFrame(std::uint16_t* pDirection, std::uint16_t* pButtons);

  // 1 when the file was written (through a temporary file), 0 otherwise.
  int SaveReplay(std::string_view path, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord);
  // 1 when the file was read whole into this log, the stage (which takes the file's
  // path as its own), its start snapshot and the play record; 0 otherwise, after the
  // report, and none of them changed.
  int LoadReplay(std::string_view path, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord);
  // The same for a replay file's bytes already opened.
  int LoadReplayFrom(cDataReader& in, cEdStage& stage, cEdStage& startStage, cPlayRecord& playRecord);
};

extern cKeyLog g_KeyLog;      // the attempt being played
extern cKeyLog g_PrevKeyLog;  // the attempt before it
// Frames until an empty log may be refused with a sound again (F1 and F2 share it).
extern std::int32_t g_nReplayRefuseWait;

// "rpl4_513": the extension of replay files of this data version.
std::string ReplayExtension();
// The name proposed for a replay of the stage with this ranking key ("" for none): the
// key's name with the replay extension and the first free "_ij" (i, j 0 to 8) in
// "user_data\rpl4\", "_88" when all are taken; without its folder.
std::string MakeReplayDefaultName(std::string_view stageKey);
// The save dialog of a replay with that name proposed (window thread); true and the
// path when one was chosen.
bool ChooseReplaySavePath(std::string& path, std::string_view stageKey);

// F1 saves the attempt being played, F2 the one before, while replays are recorded
// (game thread). 1 when a save was asked for this frame.
int CheckReplaySaveKeys();
// The open dialog of a replay file through the main window (game thread); true when a
// replay was loaded.
int OpenReplayDialog();
