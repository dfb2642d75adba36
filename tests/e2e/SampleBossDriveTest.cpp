// The sample's boss hall test-played by a hero that stays in one place firing upward: at
// the start by the left wall, or at the right wall. Wherever it stands still, an attack
// of the boss reaches it and it loses HP long before the boss could fall.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

struct Spot {
  const char* name;
  const char* keys;  // play begins at frame 91
};
void PrintTo(const Spot& spot, std::ostream* os) { *os << spot.name; }

class SampleBossDrive : public ::testing::TestWithParam<Spot> {};

TEST_P(SampleBossDrive, AHeroStandingStillFiringUpTakesAHit) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  const std::string keys = GetParam().keys;
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", keys,
                                            {.quitAt = "800",
                                             .args = {"data\\stg4\\Stage04-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0) << run.stderrText;

  int hpAtStart = -1, hpLeast = -1, frames = 0;
  for (const std::string& e : e2e::TraceEvents(run.trace)) {
    if (e == "hero dead") break;
    if (e.rfind("play ", 0) != 0) continue;
    const int hp = std::atoi(std::strstr(e.c_str(), " hp ") + 4);
    if (hpAtStart < 0) hpAtStart = hp;
    hpLeast = hpLeast < 0 ? hp : std::min(hpLeast, hp);
    ++frames;
  }
  // The boss takes far longer than these frames to shoot down from below.
  EXPECT_GT(frames, 300);
  EXPECT_EQ(hpAtStart, 3);
  EXPECT_LT(hpLeast, 3) << "no attack reached the hero";
}

INSTANTIATE_TEST_SUITE_P(Spots, SampleBossDrive,
                         ::testing::Values(Spot{"AtTheStart", "80 UP down\n90 X down\n"},
                                           Spot{"AtTheRightWall",
                                                "60 RIGHT down\n80 UP down\n90 X down\n300 RIGHT up\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
