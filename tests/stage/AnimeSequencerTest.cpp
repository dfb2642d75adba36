#include <gtest/gtest.h>

#include <vector>

#include "stage/AnimeSequencer.h"
#include "test_support/LogCapture.h"

namespace {

// Ticks n times and returns every reported pattern.
std::vector<int> TickRun(cAnimeSequencer& a, int n) {
  std::vector<int> out;
  for (int i = 0; i < n; ++i) out.push_back(a.Tick());
  return out;
}

std::vector<int> Repeat(int value, int n) { return std::vector<int>(static_cast<std::size_t>(n), value); }

std::vector<int> Concat(std::initializer_list<std::vector<int>> parts) {
  std::vector<int> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const ANIMESTEP kLoop[] = {{0, 8, 0}, {1, 8, 0}, {-2, 0, 0}};
const ANIMESTEP kEnd[] = {{0, 7, 0}, {1, 7, 0}, {2, 7, 0}, {-4, 0, 0}};
const ANIMESTEP kHold[] = {{5, 3, 0}, {-1, 0, 0}};
const ANIMESTEP kShortTicks[] = {{3, 0, 0}, {4, 1, 0}, {-2, 0, 0}};
const ANIMESTEP kJump[] = {{7, 2, 0}, {-3, 2, 0}};
const ANIMESTEP kOther[] = {{9, 4, 0}, {-2, 0, 0}};
const ANIMESTEP kTarget[] = {{20, 3, 0}, {21, 3, 0}, {-1, 0, 0}};
const ANIMESTEP kLocked[] = {{10, 5, 1}, {11, 5, 0}, {-2, 0, 0}};
const ANIMESTEP kCodeOnly[] = {{-4, 0, 0}};
const ANIMESTEP kWideFlag[] = {{6, 2, 256}, {6, 2, 257}, {-2, 0, 0x1FF}};

struct SequenceCase {
  const char* name;
  std::vector<const ANIMESTEP*> table;  // without the closing null
  int start;
  std::vector<int> expected;  // patterns reported by the ticks after Start(start, 1)
};

class AnimeSequencerTest : public test_support::LogCapture {};

TEST_F(AnimeSequencerTest, TicksFollowStepLengthsAndEndCodes) {
  const SequenceCase cases[] = {
      // A step of d ticks shows for d ticks; the loop code goes back to the first step.
      {"loop", {kLoop}, 0, Concat({Repeat(0, 7), Repeat(1, 8), Repeat(0, 8), Repeat(1, 1)})},
      // The end code is reported by the tick that reaches it.
      {"end", {kEnd}, 0, Concat({Repeat(0, 6), Repeat(1, 7), Repeat(2, 7), {-4}})},
      // A hold re-enters the last step every time it runs out.
      {"hold", {kHold}, 0, Repeat(5, 12)},
      // Ticks 0 and 1 both last a single tick.
      {"single ticks", {kShortTicks}, 0, {4, 3, 4, 3, 4}},
      // A jump starts the named sequence in the tick that reaches it.
      {"jump", {kJump, kOther, kTarget}, 0, Concat({{7}, Repeat(20, 3), Repeat(21, 7)})},
  };
  for (const SequenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<const ANIMESTEP*> table = c.table;
    table.push_back(nullptr);
    cAnimeSequencer a;
    a.Load(table.data());
    ASSERT_EQ(a.m_Sequences.Size(), static_cast<int>(c.table.size()));
    EXPECT_EQ(a.Start(c.start, 1), 1);
    EXPECT_EQ(TickRun(a, static_cast<int>(c.expected.size())), c.expected);
  }
  EXPECT_EQ(closes_, 0);
}

TEST_F(AnimeSequencerTest, EndCodeStaysReported) {
  const ANIMESTEP* table[] = {kEnd, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  a.Start(0, 1);
  for (int i = 0; i < 20; ++i) a.Tick();
  EXPECT_EQ(a.Tick(), -4);  // tick 21
  EXPECT_EQ(a.GetPattern(), -4);
  EXPECT_EQ(a.GetPattern(), -4);
  EXPECT_EQ(closes_, 0);
}

TEST_F(AnimeSequencerTest, LoadCountsStepsUpToTheCodeAndKeepsTheLowByteOfTheLock) {
  const ANIMESTEP* table[] = {kCodeOnly, kWideFlag, kHold, nullptr};
  cAnimeSequencer a;
  a.m_nSequence = 2;
  a.m_nFrame = 1;
  a.m_nTick = 5;
  a.Load(table);
  ASSERT_EQ(a.m_Sequences.Size(), 3);
  EXPECT_EQ(a.m_Sequences[0].Size(), 1);
  EXPECT_EQ(a.m_Sequences[1].Size(), 3);
  EXPECT_EQ(a.m_Sequences[2].Size(), 2);
  EXPECT_EQ(a.m_Sequences[1][0].bLock, 0);
  EXPECT_EQ(a.m_Sequences[1][1].bLock, 1);
  EXPECT_EQ(a.m_Sequences[1][2].bLock, 255);
  EXPECT_EQ(a.m_Sequences[1][2].nPattern, -2);
  EXPECT_EQ(a.m_nSequence, 0);
  EXPECT_EQ(a.m_nFrame, 0);
  EXPECT_EQ(a.m_nTick, 0);
  // A sequence that is only a code reports it at once.
  a.Start(0, 1);
  EXPECT_EQ(a.GetPattern(), -4);

  a.Load(nullptr);  // a null table changes nothing
  EXPECT_EQ(a.m_Sequences.Size(), 3);
}

TEST_F(AnimeSequencerTest, LockedStepRefusesUnforcedStartAndChange) {
  const ANIMESTEP* table[] = {kLocked, kLoop, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  a.Start(0, 1);
  a.Tick();
  a.Tick();
  EXPECT_EQ(a.Start(1, 0), 0);
  EXPECT_EQ(a.Change(1, 0), 0);
  EXPECT_EQ(a.m_nSequence, 0);
  EXPECT_EQ(a.m_nTick, 2);  // the old animation goes on
  EXPECT_EQ(a.Tick(), 10);

  EXPECT_EQ(a.Start(1, 1), 1);
  EXPECT_EQ(a.m_nSequence, 1);
  EXPECT_EQ(a.m_nFrame, 0);
  EXPECT_EQ(a.m_nTick, 0);

  // The unlocked second step of sequence 0 takes an unforced start.
  a.Start(0, 1);
  for (int i = 0; i < 5; ++i) a.Tick();
  EXPECT_EQ(a.GetPattern(), 11);
  EXPECT_EQ(a.Start(1, 0), 1);
}

TEST_F(AnimeSequencerTest, ChangeToTheRunningSequenceKeepsStepAndTick) {
  const ANIMESTEP* table[] = {kLoop, kOther, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  a.Start(0, 1);
  for (int i = 0; i < 10; ++i) a.Tick();
  EXPECT_EQ(a.Change(0, 0), 1);
  EXPECT_EQ(a.m_nFrame, 1);
  EXPECT_EQ(a.m_nTick, 2);
  EXPECT_EQ(a.Change(1, 0), 1);
  EXPECT_EQ(a.m_nSequence, 1);
  EXPECT_EQ(a.m_nFrame, 0);
  EXPECT_EQ(a.m_nTick, 0);
}

TEST_F(AnimeSequencerTest, EmptySequencerTicksZeroAndClearEmpties) {
  cAnimeSequencer a;
  EXPECT_EQ(a.Tick(), 0);
  EXPECT_EQ(a.m_nTick, 0);
  const ANIMESTEP* table[] = {kLoop, nullptr};
  a.Load(table);
  a.Start(0, 1);
  a.Tick();
  a.Clear();
  EXPECT_TRUE(a.m_Sequences.empty());
  EXPECT_EQ(a.m_nTick, 0);
  EXPECT_EQ(a.Tick(), 0);
}

TEST_F(AnimeSequencerTest, AnAnimationWithoutFramesDrawsNothingAndHasEnded) {
  // A database animation without frames becomes a sequence of its loop code alone.
  const ANIMESTEP kNoFrames[] = {{-2, 0, 1}};
  const ANIMESTEP* table[] = {kLoop, kNoFrames, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  EXPECT_EQ(a.Start(1, 0), 1);
  EXPECT_EQ(TickRun(a, 3), Repeat(ANIME_CODE_END, 3));
  EXPECT_EQ(a.GetPattern(), ANIME_CODE_END);
  a.Advance(100);
  a.m_Sequences[1].clear();
  EXPECT_EQ(a.Tick(), ANIME_CODE_END);
  EXPECT_EQ(a.Start(0, 0), 1);
  EXPECT_EQ(a.Tick(), 0);
  EXPECT_EQ(closes_, 0);
}

TEST_F(AnimeSequencerTest, CopyOwnsItsSequences) {
  const ANIMESTEP* table[] = {kLoop, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  cAnimeSequencer b = a;
  a.m_Sequences[0][0].nPattern = 99;
  EXPECT_EQ(b.m_Sequences[0][0].nPattern, 0);
}

TEST_F(AnimeSequencerTest, JumpToAMissingSequenceIsAnIndexErrorThatClosesTheGame) {
  const ANIMESTEP kBadJump[] = {{1, 1, 0}, {-3, 7, 0}};
  const ANIMESTEP* table[] = {kBadJump, nullptr};
  cAnimeSequencer a;
  a.Load(table);
  a.Start(0, 1);
  EXPECT_EQ(a.Tick(), 1);  // element 0 of the sequence list stands in
  EXPECT_GE(closes_, 1);
  EXPECT_NE(Report().find("err V[7] ( 1 ,"), std::string::npos);
}

}  // namespace
