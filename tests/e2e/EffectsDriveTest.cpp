// The halting commands through the player binary: a character's flow that stops the game
// for a while, and a close request while it stands. Headless, on the fast clock.
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

// The drive frames of the play lines, in order.
std::vector<int> PlayFrames(const std::vector<std::string>& trace) {
  std::vector<int> out;
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (line.compare(sp + 1, 5, "play ") == 0) out.push_back(std::stoi(line));
  }
  return out;
}

TEST(EffectsDrive, AGameWaitStandsThePlayForItsFrames) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty());
  e2e::CopyDefaultToData(game);
  // 10 tenths: 60 frames.
  ASSERT_TRUE(e2e::GiveHeroFlow(game, {e2e::MakeCommand(CMD_GAME_WAIT, 0, {10})}));
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "",
                                            {.quitAt = "260",
                                             .args = {"data\\stg4\\Stage01-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0);
  const std::vector<int> frames = PlayFrames(run.trace);
  ASSERT_GE(frames.size(), 3u);
  // The wait starts in the first play frame: its loop shows 60 frozen frames and ends at
  // the test of the 61st, then that play frame is drawn; the second play frame follows.
  EXPECT_EQ(frames[1] - frames[0], 62);
  for (std::size_t i = 2; i < frames.size(); ++i) EXPECT_EQ(frames[i] - frames[i - 1], 1) << i;
}

TEST(EffectsDrive, ACloseDuringAGameWaitEndsThePlayerAtOnce) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty());
  e2e::CopyDefaultToData(game);
  // A wait of 1000 seconds, closed while it stands.
  ASSERT_TRUE(e2e::GiveHeroFlow(game, {e2e::MakeCommand(CMD_GAME_WAIT, 0, {10000})}));
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "",
                                            {.quitAt = "150",
                                             .args = {"data\\stg4\\Stage01-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0);
  // The close came inside the wait: one play frame, no other.
  EXPECT_EQ(PlayFrames(run.trace).size(), 1u);
}

}  // namespace
