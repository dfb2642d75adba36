// The sample stage drawn twice from the start on the fast clock: every dumped frame of
// the two runs is the same picture, byte for byte. A stage with a character and an item
// against the same stage without them: both are drawn from the stage's first frame on.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"
#include "platform/bmp.h"
#include "platform/fs.h"
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
    const e2e::DrivenRun r = e2e::RunDriven(game, fs::path(tmp.path()) / ("run" + std::to_string(run)), "",
                                            {.quitAt = "160",
                                             .args = {"data\\stg4\\Stage01-1.stg4"},
                                             .uiAnswers = {},
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

class StageFrames : public e2e::SampleGameTest {
 protected:
  struct Run {
    std::vector<std::string> trace;
    fs::path frames;
  };
  // The stage test-played to the close request at frame 120, its frames dumped.
  Run Play(const std::string& stage) {
    Run run;
    run.frames = fs::path(tmp_.path()) / ("frames_" + stage);
    fs::create_directories(run.frames);
    const e2e::DrivenRun r = e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run_" + stage), "",
                                            {.quitAt = "120",
                                             .args = {"data\\stg4\\" + stage + ".stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_FRAME_DUMP", run.frames.string()}}});
    EXPECT_EQ(r.exitCode.value_or(-1), 0) << r.stderrText;
    run.trace = r.trace;
    return run;
  }
  static std::optional<plat::bmp::Bitmap> FrameAt(const Run& run, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.bmp", frame);
    return plat::bmp::load(plat::fs::fromNative((run.frames / name).string()));
  }
  // Pixels of the 32 x 32 screen cell (cx, cy) that differ between two frames.
  static int DifferingIn(const plat::bmp::Bitmap& a, const plat::bmp::Bitmap& b, int cx, int cy) {
    int n = 0;
    for (int y = 32 * cy; y < 32 * cy + 32; ++y)
      for (int x = 32 * cx; x < 32 * cx + 32; ++x) n += a.rgbAt(x, y) != b.rgbAt(x, y);
    return n;
  }
};

// The walker at cell (12, 12) and the coin at (8, 12) of a 20 x 15 stage whose view stands
// at its top-left corner, so stage cell (x, y) is screen cell (x, y); the hero at (3, 12).
TEST_F(StageFrames, ACharacterAndAnItemShowFromTheFadeInOn) {
  const auto write = [&](const std::string& name, bool bObjects) {
    return e2e::WriteTinyStage(game_, name, [&](cEdStage& s, const e2e::StageParts& p) {
      s.m_bShowStart1 = 1;  // the stage caption
      for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
      s.m_Charas.push_back(e2e::CharaAt(p.hero, 3, 12));
      if (!bObjects) return;
      s.m_Charas.push_back(e2e::CharaAt(p.walker, 12, 12));
      s.m_Items.push_back(e2e::ItemAt(p.coin, 8, 12));
    });
  };
  ASSERT_TRUE(write("With", true));
  ASSERT_TRUE(write("Without", false));
  const Run with = Play("With");
  const Run without = Play("Without");
  const int nCaption = e2e::FrameOf(with.trace, "stage phase 0 -> 1");
  ASSERT_GT(nCaption, 1);
  ASSERT_EQ(nCaption, e2e::FrameOf(without.trace, "stage phase 0 -> 1"));
  ASSERT_LT(nCaption + 10, e2e::FrameOf(with.trace, "stage phase 1 -> 2"));
  // Frame 1 is the black start of the fade-in, frame 2 its first picture; then the last
  // fade-in frame and two caption frames.
  for (int frame : {2, nCaption - 1, nCaption + 1, nCaption + 10}) {
    SCOPED_TRACE(frame);
    const auto a = FrameAt(with, frame);
    const auto b = FrameAt(without, frame);
    ASSERT_TRUE(a && b);
    EXPECT_GT(DifferingIn(*a, *b, 12, 12), 32) << "the walker";
    EXPECT_GT(DifferingIn(*a, *b, 8, 12), 32) << "the coin";
    EXPECT_EQ(DifferingIn(*a, *b, 3, 12), 0) << "the hero";
  }
}

}  // namespace
