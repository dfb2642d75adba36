// Messages through the player binary: the hero's flow shows text windows that hold the
// game until the advance key, and a close request while one holds. Headless, on the
// fast clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

constexpr int SOUND_ADVANCE = 1;
constexpr int SOUND_MESSAGE = 11;
constexpr int SOUND_AFTER = 17;  // sound 1 of the database, as the flow's last command asks

// A message in the screen centre that holds the game until the advance key.
cEdCommand KeyMessage(const char* text) {
  return e2e::MakeCommand(CMD_MESSAGE, 0, {0, 0, 0, 0, 0, 1, 0, 0, 1, 0}, text);
}

int FrameOfLine(const std::string& line) { return std::stoi(line.substr(0, line.find(' '))); }

// The frames of the trace lines whose event starts with the prefix.
std::vector<int> FramesOf(const std::vector<std::string>& trace, const std::string& prefix) {
  std::vector<int> out;
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (line.compare(sp + 1, prefix.size(), prefix) == 0) out.push_back(FrameOfLine(line));
  }
  return out;
}
std::vector<int> SoundFrames(const std::vector<std::string>& trace, int n) {
  return FramesOf(trace, "sound " + std::to_string(n) + " ");
}

class MessageDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = e2e::FreshSampleCopy(tmp_.path());
    ASSERT_FALSE(game_.empty());
    e2e::CopyDefaultToData(game_);
    ASSERT_TRUE(
        e2e::GiveHeroFlow(game_, {KeyMessage("Hello"), KeyMessage("World"), e2e::MakeCommand(CMD_SOUND, 0, {1})}));
  }
  e2e::DrivenRun Run(const std::string& name, const std::string& keys, int nQuitAt) {
    return e2e::RunDriven(game_, fs::path(tmp_.path()) / name, keys,
                          {.quitAt = std::to_string(nQuitAt),
                           .args = {"data\\stg4\\Stage01-1.stg4"},
                           .uiAnswers = {},
                           .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  }

  test_support::TempDir tmp_;
  fs::path game_;
};

TEST_F(MessageDrive, ACloseWhileAMessageHoldsTheGameEndsTheProgram) {
  const e2e::DrivenRun run = Run("close", "", 200);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0);
  // The message opened in the first play frame with its sound and held until the close.
  const std::vector<int> plays = FramesOf(run.trace, "play ");
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(SoundFrames(run.trace, SOUND_MESSAGE), std::vector<int>{plays[0]});
  EXPECT_LT(plays[0], 200);
}

TEST_F(MessageDrive, AKeyMessageIgnoresTheKeyForTenFramesAndTheFlowGoesOnAfterIt) {
  // Where the first play frame falls: the message opens there and holds.
  const e2e::DrivenRun probe = Run("probe", "", 200);
  const std::vector<int> first = FramesOf(probe.trace, "play ");
  ASSERT_EQ(first.size(), 1u);
  const int f0 = first[0];

  // Frames f0+1 to f0+10 only count the delay: a press at f0+10 is lost. The press at
  // f0+14 closes the first window; the second continues it, so it has no sound and no
  // delay, and the press at f0+30 closes it. Then the flow plays its sound.
  const std::string keys = std::to_string(f0 + 10) + " Z press 1\n" + std::to_string(f0 + 14) + " Z press 1\n" +
                           std::to_string(f0 + 30) + " Z press 1\n";
  const e2e::DrivenRun run = Run("keys", keys, f0 + 80);
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0);
  EXPECT_EQ(SoundFrames(run.trace, SOUND_MESSAGE), std::vector<int>{f0});
  EXPECT_EQ(SoundFrames(run.trace, SOUND_ADVANCE), (std::vector<int>{f0 + 14, f0 + 30}));
  const std::vector<int> after = SoundFrames(run.trace, SOUND_AFTER);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_GE(after[0], f0 + 30);
  // No play frame while a window holds the game; afterwards one every frame.
  const std::vector<int> plays = FramesOf(run.trace, "play ");
  ASSERT_GE(plays.size(), 3u);
  EXPECT_EQ(plays[0], f0);
  for (std::size_t i = 1; i < plays.size(); ++i) {
    EXPECT_FALSE(plays[i] > f0 && plays[i] <= f0 + 30) << plays[i];
    if (i >= 2 && plays[i - 1] > f0 + 30) { EXPECT_EQ(plays[i] - plays[i - 1], 1) << i; }
  }
}

}  // namespace
