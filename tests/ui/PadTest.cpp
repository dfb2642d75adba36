#include "ui/Pad.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Frames = std::vector<std::pair<int, int>>;  // (frame, value) of the frames that pass

TEST(PadTest, DirectionNumberForEveryCombination) {
  // Left wins over right, up over down.
  const int expected[16] = {5, 4, 6, 4, 2, 1, 3, 1, 8, 7, 9, 7, 2, 1, 3, 1};
  cPad pad;
  for (int bits = 0; bits < 16; ++bits) {
    pad.m_wDirection = static_cast<std::uint16_t>(bits);
    EXPECT_EQ(DirectionToNumber(pad), expected[bits]) << "bits " << bits;
  }
}

TEST(PadTest, ConstructionAndClears) {
  ASSERT_EQ(g_Pads.Size(), 1);
  cPad pad;
  EXPECT_EQ(pad.m_nDirNumber, 0);
  EXPECT_EQ(pad.m_nRepeatInterval, 0u);
  ASSERT_EQ(pad.m_DirRuns.Size(), 10);
  ASSERT_EQ(pad.m_ButtonRuns.Size(), 9);
  for (const auto& runs : pad.m_DirRuns) EXPECT_EQ(runs, cVector<PADRUN>(32, PADRUN{0, 0}));
  pad.m_wDirection = 9;
  pad.m_wButtons = 3;
  pad.ClearDirection();
  EXPECT_EQ(pad.m_wDirection, 0);
  EXPECT_EQ(pad.m_nDirNumber, 5);
  EXPECT_EQ(pad.m_wButtons, 3);
  pad.ClearButtons();
  EXPECT_EQ(pad.m_wButtons, 0);
  pad.SetDefaultJoyButtons();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pad.m_wJoyButtonMask[i], 1 << i);
}

// Feeds one raw direction word per frame through the repeat filter and lists the frames
// on which something passes.
Frames RunRepeat(cPad& pad, int frames, const std::function<int(int)>& input) {
  Frames passed;
  for (int f = 0; f < frames; ++f) {
    pad.m_wDirection = static_cast<std::uint16_t>(input(f));
    pad.ApplyRepeat();
    if (pad.m_wDirection) passed.emplace_back(f, pad.m_wDirection);
  }
  return passed;
}

TEST(PadTest, DirectionRepeatTiming) {
  struct Case {
    const char* name;
    std::uint32_t delay, interval;
    int frames;
    std::function<int(int)> input;
    Frames expected;
  };
  const Case cases[] = {
      {"hold left", 18, 6, 40, [](int) { return 1; }, {{0, 1}, {18, 1}, {24, 1}, {30, 1}, {36, 1}}},
      // clang-format off
      {"left then right restarts", 18, 6, 36, [](int f) { return f < 10 ? 1 : 2; },
       // clang-format on
       {{0, 1}, {10, 2}, {28, 2}, {34, 2}}},
      {"release and press again", 18, 6, 30, [](int f) { return f == 5 ? 0 : 8; }, {{0, 8}, {6, 8}, {24, 8}}},
      {"axes count apart", 18, 6, 26, [](int f) { return f < 5 ? 4 : 5; }, {{0, 4}, {5, 1}, {18, 4}, {23, 1}, {24, 4}}},
      {"delay not a multiple", 20, 6, 31, [](int) { return 2; }, {{0, 2}, {24, 2}, {30, 2}}},
      {"no delay", 0, 3, 7, [](int) { return 8; }, {{0, 8}, {3, 8}, {6, 8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cPad pad;
    pad.SetRepeat(c.delay, c.interval);
    EXPECT_EQ(RunRepeat(pad, c.frames, c.input), c.expected);
  }
}

TEST(PadTest, RepeatKeepsRawHistoryAndNumberAndSurvivesZeroInterval) {
  cPad pad;  // repeat never set: interval 0 must not divide by zero
  EXPECT_EQ(RunRepeat(pad, 3, [](int) { return 1; }), (Frames{{0, 1}, {1, 1}, {2, 1}}));
  pad.SetRepeat(18, 6);
  pad.m_nDirNumber = 4;
  for (int bits : {2, 8, 1}) {
    pad.m_wDirection = static_cast<std::uint16_t>(bits);
    pad.ApplyRepeat();
  }
  pad.m_wDirection = 1;
  pad.ApplyRepeat();
  EXPECT_EQ(pad.m_wDirection, 0);        // filtered ...
  EXPECT_EQ(pad.m_wDirHistory, 0x2811);  // ... but the history keeps the raw bits
  EXPECT_EQ(pad.m_nDirNumber, 4);        // the number is not filtered
}

TEST(PadTest, PressOnce) {
  struct Case {
    const char* name;
    int mask;
    std::vector<int> in, out;
  };
  const Case cases[] = {
      {"held ten frames", 3, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"second button while first held", 3, {1, 3, 2, 0, 2, 2}, {1, 0, 0, 0, 2, 0}},
      {"both at once", 3, {3, 3, 0, 1}, {3, 0, 0, 1}},
      {"released one frame", 3, {1, 0, 1, 1}, {1, 0, 1, 0}},
      {"unmasked untouched", 3, {4, 4, 5, 5, 4}, {4, 4, 5, 4, 4}},
      {"mask 0 is all eight", 0, {128, 128, 0, 16}, {128, 0, 0, 16}},
      {"mask 15", 15, {8, 8, 24, 0, 16}, {8, 0, 16, 0, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cPad pad;
    std::vector<int> out;
    for (int b : c.in) {
      pad.m_wButtons = static_cast<std::uint16_t>(b);
      pad.PressOnce(c.mask);
      out.push_back(pad.m_wButtons);
    }
    EXPECT_EQ(out, c.out);
  }
}

TEST(PadTest, HistoryAnswersEveryFrameTheRingCovers) {
  // Runs of various lengths on both channels, compared with the plain list of pushes.
  cPad pad;
  pad.ClearHistory();
  std::vector<int> dirs, buttons;
  unsigned seed = 12345;
  for (int run = 0; run < 60; ++run) {
    seed = seed * 1103515245u + 12345u;
    const int length = 1 + static_cast<int>((seed >> 16) % 5);
    const int dir = static_cast<int>((seed >> 8) % 16), button = run % 3 == 0 ? 0 : 1 << (run % 8);
    for (int i = 0; i < length; ++i) {
      pad.m_wDirection = static_cast<std::uint16_t>(dir);
      pad.m_wButtons = static_cast<std::uint16_t>(button);
      pad.PushHistory();
      dirs.push_back(dir);
      buttons.push_back(button);
      for (int ago = 0; ago < 20 && ago < static_cast<int>(dirs.size()); ++ago) {
        ASSERT_EQ(pad.GetHistory(0, ago), dirs[dirs.size() - 1 - ago]) << "run " << run << " ago " << ago;
        ASSERT_EQ(pad.GetHistory(1, ago), buttons[buttons.size() - 1 - ago]) << "run " << run << " ago " << ago;
      }
    }
  }
}

TEST(PadTest, HistoryEdges) {
  cPad pad;
  // A button goes down: one frame back is the value before the press, until it has
  // been held for two frames.
  for (int b : {0, 0, 1}) {
    pad.m_wButtons = static_cast<std::uint16_t>(b);
    pad.PushHistory();
  }
  EXPECT_EQ(pad.GetHistory(1, 1), 0);
  pad.PushHistory();
  EXPECT_EQ(pad.GetHistory(1, 1), 1);
  EXPECT_EQ(pad.GetHistory(2, 0), 0);  // no such channel

  // Beyond the ring the oldest entry answers, not the newest.
  pad.ClearHistory();
  for (int v = 1; v <= 40; ++v) {
    pad.m_wDirection = static_cast<std::uint16_t>(v);
    pad.PushHistory();
  }
  EXPECT_EQ(pad.GetHistory(0, 31), 9);
  EXPECT_EQ(pad.GetHistory(0, 1000), 9);
  EXPECT_EQ(pad.GetHistory(0, INT_MAX), 9);

  // A run saturates instead of overflowing.
  pad.m_History[0][pad.m_nHistoryPos[0]].m_nRun = INT_MAX - 1;
  pad.PushHistory();
  pad.PushHistory();
  EXPECT_EQ(pad.m_History[0][pad.m_nHistoryPos[0]].m_nRun, INT_MAX);
  EXPECT_EQ(pad.GetHistory(0, 5000), 40);

  pad.ClearHistory();
  EXPECT_EQ(pad.m_nHistoryPos[0], 0);
  EXPECT_EQ(pad.m_History[1][5].m_nRun, 0);
  EXPECT_EQ(pad.GetHistory(0, 0), 0);
}

TEST(PadTest, CommandHistoryRuns) {
  cPad pad;
  pad.ResetCommandHistory();
  const PADRUN* storage = pad.m_DirRuns[1].data();
  struct Frame {
    int dir, buttons;
  };
  for (Frame f : {Frame{0, 0}, Frame{0, 0}, Frame{1, 1}, Frame{1, 3}, Frame{1, 2}, Frame{5, 0}, Frame{3, 0}}) {
    pad.m_wDirection = static_cast<std::uint16_t>(f.dir);
    pad.m_wButtons = static_cast<std::uint16_t>(f.buttons);
    pad.RecordCommandHistory();
  }
  auto front = [](const cVector<PADRUN>& runs, int n) { return std::vector<PADRUN>(runs.begin(), runs.begin() + n); };
  // Newest run first; runs start from {0, 0}.
  EXPECT_EQ(front(pad.m_DirRuns[0], 4), (std::vector<PADRUN>{{0, 5}, {1, 2}, {0, 0}, {0, 0}}));  // none
  EXPECT_EQ(front(pad.m_DirRuns[1], 4), (std::vector<PADRUN>{{0, 2}, {1, 3}, {0, 2}, {0, 0}}));  // left
  EXPECT_EQ(front(pad.m_DirRuns[5], 3), (std::vector<PADRUN>{{0, 1}, {1, 1}, {0, 5}}));          // up-left
  EXPECT_EQ(front(pad.m_DirRuns[2], 2), (std::vector<PADRUN>{{0, 7}, {0, 0}}));                  // right
  EXPECT_EQ(front(pad.m_DirRuns[9], 3), (std::vector<PADRUN>{{1, 5}, {0, 2}, {0, 0}}));          // any
  EXPECT_EQ(front(pad.m_ButtonRuns[0], 3), (std::vector<PADRUN>{{1, 2}, {0, 3}, {1, 2}}));       // none
  EXPECT_EQ(front(pad.m_ButtonRuns[1], 3), (std::vector<PADRUN>{{0, 3}, {1, 2}, {0, 2}}));       // button 1
  EXPECT_EQ(front(pad.m_ButtonRuns[2], 3), (std::vector<PADRUN>{{0, 2}, {1, 2}, {0, 3}}));       // button 2

  // Many changes: the lists keep 32 runs in the same storage, the oldest falling out.
  for (int i = 0; i < 100; ++i) {
    pad.m_wDirection = static_cast<std::uint16_t>(i % 2);
    pad.RecordCommandHistory();
  }
  for (const auto& runs : pad.m_DirRuns) EXPECT_EQ(runs.Size(), 32);
  for (const auto& runs : pad.m_ButtonRuns) EXPECT_EQ(runs.Size(), 32);
  EXPECT_EQ(pad.m_DirRuns[1].data(), storage);
  EXPECT_EQ(pad.m_DirRuns[1][31], (PADRUN{0, 1}));

  // A held state saturates.
  pad.m_DirRuns[1][0] = PADRUN{1, INT_MAX - 1};
  pad.m_wDirection = 1;
  pad.RecordCommandHistory();
  pad.RecordCommandHistory();
  EXPECT_EQ(pad.m_DirRuns[1][0], (PADRUN{1, INT_MAX}));

  // Reset brings every list of both sets back to 32 runs {0, 0}, whatever they held.
  pad.m_ButtonRuns[8].resize(3);
  pad.ResetCommandHistory();
  for (const auto& runs : pad.m_DirRuns) EXPECT_EQ(runs, cVector<PADRUN>(32, PADRUN{0, 0}));
  for (const auto& runs : pad.m_ButtonRuns) EXPECT_EQ(runs, cVector<PADRUN>(32, PADRUN{0, 0}));
}

}  // namespace
