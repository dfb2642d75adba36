// The sample's second story stage test-played with a key script: the hero holds right from
// the start, runs into the walker that comes for it (one HP lost to the walker's body of
// power 1), walks on into the open pit and dies falling out of the stage.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

TEST(SampleStage2Drive, TheHeroMeetsTheWalkerThenFallsIntoThePit) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "100 RIGHT down\n",
                                            {.quitAt = "400",
                                             .args = {"data\\stg4\\Stage02-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0) << run.stderrText;

  // The first life only: until the first death, every play line and the death itself.
  int hpBeforeDeath = -1, hpAtStart = -1;
  double xAtDeath = 0;
  bool bDead = false, bFellOut = false;
  for (const std::string& e : e2e::TraceEvents(run.trace)) {
    if (e.rfind("play ", 0) == 0) {
      const int hp = std::atoi(std::strstr(e.c_str(), " hp ") + 4);
      if (hpAtStart < 0) hpAtStart = hp;
      hpBeforeDeath = hp;
      xAtDeath = std::strtod(std::strstr(e.c_str(), " x ") + 3, nullptr);
    } else if (e == "death label Dead 2") {
      bFellOut = true;
    } else if (e == "hero dead") {
      bDead = true;
      break;
    }
  }
  ASSERT_TRUE(bDead) << "the hero never died";
  EXPECT_TRUE(bFellOut) << "the hero did not die of a fall";
  EXPECT_EQ(hpAtStart, 3);
  EXPECT_EQ(hpBeforeDeath, 2);  // the walker's touch, and nothing else
  // In the pit: columns 14 and 15 of the stage behind its 10-column margin.
  EXPECT_GE(xAtDeath, (14 + 10) * 32 - 16);
  EXPECT_LT(xAtDeath, (16 + 10) * 32);
}

}  // namespace
