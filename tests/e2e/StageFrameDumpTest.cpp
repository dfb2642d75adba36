// The sample stage drawn twice from the start on the fast clock: every dumped frame of
// the two runs is the same picture, byte for byte.
#include <gtest/gtest.h>

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
  int frames = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(dumps[0])) {
    const fs::path other = dumps[1] / e.path().filename();
    ASSERT_TRUE(fs::exists(other)) << e.path().filename();
    EXPECT_TRUE(ReadBytes(e.path()) == ReadBytes(other)) << e.path().filename();
    ++frames;
  }
  // The fade-in, the caption and some 60 frames of play.
  EXPECT_GE(frames, 150);
}

}  // namespace
