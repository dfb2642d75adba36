// The sample stage drawn twice from the start on the fast clock: every dumped frame of
// the two runs is the same picture, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/PlayerProcess.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(StageFrameDump, TheSampleStageDrawsTheSameFramesInTwoRuns) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  fs::path dumps[2];
  for (int run = 0; run < 2; ++run) {
    dumps[run] = fs::path(tmp.path()) / ("dump" + std::to_string(run));
    fs::create_directories(dumps[run]);
    const e2e::DrivenRun r =
        e2e::RunDriven(game, fs::path(tmp.path()) / ("run" + std::to_string(run)), "",
                       {.quitAt = "160", .args = {"data\\stg4\\Stage01-1.stg4"}, .uiAnswers = {},
                        .env = {{"PELLMOOR_FRAME_DUMP", dumps[run].string()}}});
    ASSERT_TRUE(r.exitCode.has_value()) << r.stderrText;
  }
  // The fade-in, the caption and some 60 frames of play; the last frames before the
  // close may differ in number.
  for (int n = 1; n <= 150; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.bmp", n);
    ASSERT_TRUE(fs::exists(dumps[0] / name) && fs::exists(dumps[1] / name)) << name;
    EXPECT_TRUE(ReadBytes(dumps[0] / name) == ReadBytes(dumps[1] / name)) << name;
  }
}

}  // namespace
