// The user's own files through the binary: options out of their ranges, the mode a saved
// file had, and a replay name that Shift-JIS cannot write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"

namespace {

namespace fs = e2e::fs;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string I32(std::int32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
  return out;
}

unsigned ModeOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class UserFileDrive : public e2e::SampleGameTest {
 protected:
  e2e::DrivenRun Run(const std::string& keys, int quitAt, std::vector<std::string> answers = {}) {
    e2e::DriveOptions o;
    o.quitAt = std::to_string(quitAt);
    o.uiAnswers = std::move(answers);
    return e2e::RunDriven(game_, fs::path(tmp_.path()) / ("work" + std::to_string(runs_++)), keys, o);
  }
  int runs_ = 0;
};

// A palette number past the 24 blend tables comes down to the last one: the 256-colour
// mode starts instead of failing on "hbt30.dat" at every start.
TEST_F(UserFileDrive, AnOptionPastItsRangeDoesNotShutA256ColourStartOut) {
  ASSERT_TRUE(e2e::WriteFile(game_ / "System.ini", "Direct3D=0\nWindowMode=0\nBpp=0\nVSync=1\nShowFps=0\nExit\n"));
  ASSERT_TRUE(e2e::WriteFile(game_ / "user_data" / "Option.dat", I32(513) + I32(4) + I32(30) + I32(1) + I32(7) +
                                                                     I32(0) + I32(1) + I32(4) + std::string("aaa", 4)));
  const e2e::DrivenRun run = Run("", 120);
  EXPECT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  EXPECT_GE(e2e::FrameStarting(run.trace, "scene -1 -> 0"), 0) << run.stderrText;
  EXPECT_EQ(std::string::npos, run.stderrText.find("[message box]")) << run.stderrText;
}

// The options scene left saves "Option.dat": the file keeps the mode the user gave it.
TEST_F(UserFileDrive, ASavedOptionFileKeepsItsMode) {
  const fs::path option = game_ / "user_data" / "Option.dat";
  ASSERT_TRUE(fs::is_regular_file(option));
  ASSERT_EQ(0, ::chmod(option.c_str(), 0600));
  const std::string keys =
      "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 DOWN press 1\n68 DOWN press 1\n"
      "70 Z press 1\n150 X press 1\n";
  const e2e::DrivenRun run = Run(keys, 260);
  EXPECT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  ASSERT_GT(e2e::FrameStarting(run.trace, "scene 0 -> 5"), 0) << run.stderrText;
  EXPECT_GT(e2e::FrameStarting(run.trace, "write user_data/Option.dat ok"), 0) << run.stderrText;
  EXPECT_EQ(0600u, ModeOf(option));
}

// A replay name typed with "é" is refused with a word on why; the name typed next saves.
TEST_F(UserFileDrive, AReplayNameOutsideShiftJisIsRefusedInTheChooser) {
  ASSERT_TRUE(e2e::WriteGoalStage(game_, "c01-1", 300));
  const std::string toStage = "60 DOWN press 1\n62 DOWN press 1\n64 Z press 1\n150 Z press 1\n";
  const int nEnd = e2e::FrameStarting(Run(toStage, 300).trace, "stage end clear");
  ASSERT_GT(nEnd, 0);
  const e2e::DrivenRun run = Run(toStage + std::to_string(nEnd + 70) + " F1 press 1\n", nEnd + 120,
                                 {"file=" + U8(u8"\u00e9t\u00e9.rpl4_513") + "+file=Summer.rpl4_513", "ok"});
  EXPECT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  EXPECT_EQ(nEnd + 70, e2e::FrameStarting(
                           run.trace, U8(u8"box 保存先のファイル選択 | ?t?.rpl4_513\\nこのファイル名には使えない文字")))
      << run.stderrText;
  EXPECT_EQ(nEnd + 70, e2e::FrameStarting(
                           run.trace, "write " + (game_ / "user_data" / "rpl4" / "Summer.rpl4_513").string() + " ok"));
  for (const auto& entry : fs::directory_iterator(game_ / "user_data" / "rpl4"))
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find('?')) << entry.path();
}

}  // namespace
