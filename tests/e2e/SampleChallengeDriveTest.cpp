// The sample's first challenge stage test-played with a key script: running right,
// firing ahead, up its steps of bricks, off the spring onto the shelf over the pit and
// along the belt to the goal, it is cleared on the first life.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

TEST(SampleChallengeDrive, TheFirstChallengeIsClearedUpTheStepsAndOverThePits) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  // Play begins at frame 91: right held throughout, a shot every 12 frames, three jumps
  // for the three steps.
  std::vector<std::pair<int, std::string>> events = {{80, "RIGHT down"}};
  for (int p = 0; p < 600; p += 12) events.push_back({90 + p, "X press 4"});
  for (int p : {27, 64, 107}) events.push_back({90 + p, "Z press 15"});
  std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string keys;
  for (const auto& [frame, event] : events) keys += std::to_string(frame) + " " + event + "\n";

  const e2e::DrivenRun run =
      e2e::RunDriven(game, fs::path(tmp.path()) / "run", keys,
                     {.quitAt = "800", .args = {"data\\stg4\\c01-1.stg4"}, .uiAnswers = {}, .env = {}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_TRUE(e2e::EventsStarting(run.trace, "hero dead").empty());
  const std::vector<std::string> ends = e2e::EventsStarting(run.trace, "stage end clear");
  EXPECT_EQ(ends.size(), 1u) << run.stderrText;
}

}  // namespace
