// The game folder may sit wherever the user keeps files: in folders named with characters
// Shift-JIS cannot write, or so deep that its full paths pass 259 bytes. From there the
// player starts, test-plays a stage, and saves a replay that it then plays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

e2e::DriveOptions Drive(int quitAt, std::vector<std::string> args = {}, std::vector<std::string> answers = {}) {
  e2e::DriveOptions o;
  o.quitAt = std::to_string(quitAt);
  o.args = std::move(args);
  o.uiAnswers = std::move(answers);
  return o;
}

class GameFolderPath : public ::testing::TestWithParam<std::string> {
 protected:
  // A fresh sample in the folder named by the parameter (below the test's own), its first
  // start's "data\" made.
  fs::path MakeGame() {
    const fs::path folder = fs::path(tmp_.path()) / GetParam();
    fs::create_directories(folder);
    const fs::path game = e2e::FreshSampleCopy(folder);
    if (!game.empty()) e2e::CopyDefaultToData(game);
    return game;
  }
  fs::path Work(const char* name) const { return fs::path(tmp_.path()) / "work" / name; }

  test_support::TempDir tmp_;
};

TEST_P(GameFolderPath, StartsTestPlaysAndSavesAndPlaysAReplay) {
  const fs::path game = MakeGame();
  ASSERT_FALSE(game.empty());
  SCOPED_TRACE(game.string() + " (" + std::to_string(game.string().size()) + " bytes)");

  // The title, then the close: the report log lies in the game folder.
  const e2e::DrivenRun start = e2e::RunDriven(game, Work("start"), "", Drive(120));
  EXPECT_EQ(std::optional<int>(0), start.exitCode) << start.stderrText;
  EXPECT_EQ(0u, e2e::ReadLogUtf8(game / "Report_Game.txt").find("App : ver 513\n"));
  EXPECT_EQ(std::string::npos, start.stderrText.find("[message box]")) << start.stderrText;

  // A stage named on the command line is test-played to its clear.
  ASSERT_TRUE(e2e::WriteGoalStage(game, "Goal-1", 300));
  const e2e::DrivenRun test = e2e::RunDriven(game, Work("test"), "", Drive(300, {"data\\stg4\\Goal-1.stg4"}));
  EXPECT_EQ(std::optional<int>(0), test.exitCode) << test.stderrText;
  EXPECT_GT(e2e::FrameStarting(test.trace, "stage start data/stg4/Goal-1.stg4_001"), 0) << test.stderrText;
  EXPECT_GT(e2e::FrameStarting(test.trace, "stage end clear"), 0) << test.stderrText;

  // The first challenge stage cleared, F1 saves its replay under a name chosen in the
  // chooser, which hands back the full path.
  ASSERT_TRUE(e2e::WriteGoalStage(game, "c01-1", 300));
  const std::string toStage = "60 DOWN press 1\n62 DOWN press 1\n64 Z press 1\n150 Z press 1\n";
  const e2e::DrivenRun probe = e2e::RunDriven(game, Work("probe"), toStage, Drive(300));
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const e2e::DrivenRun saved = e2e::RunDriven(game, Work("save"), toStage + std::to_string(nEnd + 70) + " F1 press 1\n",
                                              Drive(nEnd + 120, {}, {"file=Mine.rpl4_513"}));
  EXPECT_EQ(std::optional<int>(0), saved.exitCode) << saved.stderrText;
  const fs::path replay = game / "user_data" / "rpl4" / "Mine.rpl4_513";
  EXPECT_EQ(nEnd + 70, e2e::FrameStarting(saved.trace, "write " + replay.string() + " ok")) << saved.stderrText;
  ASSERT_TRUE(fs::is_regular_file(replay));

  // "リプレイ" from the title plays it from the same full path.
  const std::string toReplay = "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 DOWN press 1\n68 Z press 1\n";
  const e2e::DrivenRun played = e2e::RunDriven(game, Work("replay"), toReplay, Drive(400, {}, {"file=Mine.rpl4_513"}));
  EXPECT_EQ(std::optional<int>(0), played.exitCode) << played.stderrText;
  const std::vector<std::string> starts = e2e::EventsStarting(played.trace, "stage start ");
  ASSERT_EQ(1u, starts.size()) << played.stderrText;
  EXPECT_NE(std::string::npos, starts[0].find("/user_data/rpl4/Mine.rpl4_513 mode 3")) << starts[0];
  EXPECT_GT(e2e::FrameStarting(played.trace, "stage end clear"), 0) << played.stderrText;
  EXPECT_EQ(std::string::npos, played.stderrText.find("[message box]")) << played.stderrText;
}

// Folders named with é, ü and a Hangul syllable; and a folder 260 bytes deep, so that
// every full path of the game passes 259 bytes.
std::string DeepFolder() {
  std::string path = "deep";
  while (path.size() < 260) path += "/" + std::string(60, 'd');
  return path;
}

INSTANTIATE_TEST_SUITE_P(Folders, GameFolderPath,
                         ::testing::Values(U8(u8"jos\u00e9/\u00fcber/\ud55c\uae00"), DeepFolder()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.index == 0 ? std::string("NamedOutsideShiftJis") : std::string("Deep");
                         });

// Starts from folders named in the ways users name them: each reaches its title and ends
// with exit 0 and no box.
TEST(GameFolderNames, TheGameStartsFromEach) {
  const std::string names[] = {
      U8(u8"Jos\u00e9"),          U8(u8"T\u00e9l\u00e9chargements"), U8(u8"\u00dcber Spiele"),
      U8(u8"\uac8c\uc784"),       U8(u8"\u6e38\u620f\u76ee\u5f55"),  "my games",
      U8(u8"Caf\u00e9 \u2116 2"), U8(u8"\u30b2\u30fc\u30e0 \u30bd"),
  };
  test_support::TempDir tmp;
  int n = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const fs::path folder = fs::path(tmp.path()) / std::to_string(n) / name;
    fs::create_directories(folder);
    const fs::path game = e2e::FreshSampleCopy(folder);
    ASSERT_FALSE(game.empty());
    e2e::CopyDefaultToData(game);
    const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "work" / std::to_string(n++), "", Drive(90));
    EXPECT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
    EXPECT_GT(e2e::FrameStarting(run.trace, "scene -1 -> "), -1) << run.stderrText;
    EXPECT_EQ(std::string::npos, run.stderrText.find("[message box]")) << run.stderrText;
    EXPECT_TRUE(fs::is_regular_file(game / "Report_Game.txt"));
  }
}

}  // namespace
