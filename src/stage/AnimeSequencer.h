// The pattern-animation player of stage play: numbered sequences of steps, each a
// pattern shown for a number of ticks, closed by a code step that says what follows
// the last one (hold, loop, jump to another sequence, or end). The owner ticks it once
// per displayed frame and draws the pattern it reports.
#pragma once
#include <cstdint>

#include "base/Vector.h"
#include "stage/RunTimeTables.h"

// Code steps; they stand only after a sequence's last pattern step. Any other negative
// pattern ends the sequence (the tables use ANIME_CODE_END, -4).
enum : std::int32_t { ANIME_CODE_HOLD = -1, ANIME_CODE_JUMP = -3 };

class cAnimeSequencer {
 public:
  cVector<cVector<ANIMESTEP>> m_Sequences;  // the sequence number is the index
  std::int32_t m_nSequence = 0;
  std::int32_t m_nFrame = 0;  // step within the current sequence
  std::int32_t m_nTick = 0;   // ticks spent in the current step

  // No sequences; counters 0.
  void Clear();
  // Replaces the sequences by a constant frame table: pointers to sequences, ended by a
  // null pointer; each sequence's steps end with (and include) its first negative
  // pattern. Only the low byte of a step's lock counts. A null table changes nothing.
  void Load(const ANIMESTEP* const* pTable);
  // Starts sequence s at its first step; refused (0) while the current step is locked,
  // unless forced. 1 when started.
  int Start(int s, int bForce);
  // As Start, but the sequence already current goes on untouched (1).
  int Change(int s, int bForce);
  // One tick; the pattern (or end code) now current. 0 for an empty sequencer; a
  // sequence without frames, or a sequence number the sequencer lacks, reports
  // ANIME_CODE_END (ended, drawn as nothing).
  int Tick();
  // The current step's pattern, without advancing (the same answers as Tick).
  int GetPattern();
  // n ticks at once, whole steps skipped together; stops where the sequence ends.
  void Advance(std::int64_t n);
  // The first locking step of sequence s lasts n ticks longer.
  void LengthenFirstLocked(int s, std::int64_t n);

 private:
  bool HasSequence() const { return m_nSequence >= 0 && m_nSequence < m_Sequences.Size(); }
  // The current sequence exists and has no frames (its first step is already a code):
  // it is over before it begins.
  bool IsFrameless() const {
    return m_nSequence >= 0 && m_nSequence < m_Sequences.Size() &&
           (m_Sequences[m_nSequence].empty() || m_Sequences[m_nSequence][0].nPattern < 0);
  }
  ANIMESTEP& Current() { return m_Sequences[m_nSequence][m_nFrame]; }
};
