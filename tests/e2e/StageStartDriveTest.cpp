// A stage test-played from the command line, headless on the fast clock: the trace
// shows the set-up, the captions' frames and the hero standing where it was placed with
// the view clamped around it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "platform/cp932.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

TEST(StageStartDrive, TheSampleStageStartsWithTheHeroOnTheGround) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "",
                                            {.quitAt = "140",
                                             .args = {"data\\stg4\\Stage01-1.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;

  int startFrame = -1, firstPlay = -1, plays = 0;
  std::string firstPlayLine;
  for (const std::string& line : run.trace) {
    const std::size_t sp = line.find(' ');
    const std::string event = line.substr(sp + 1);
    if (event.rfind("stage start ", 0) == 0 && startFrame < 0) {
      startFrame = std::stoi(line);
      EXPECT_NE(event.find("Stage01-1.stg4"), std::string::npos) << event;
      EXPECT_NE(event.find(" mode 2 part 1"), std::string::npos) << event;
    }
    if (event.rfind("play ", 0) == 0) {
      if (firstPlay < 0) {
        firstPlay = std::stoi(line);
        firstPlayLine = event;
      }
      ++plays;
    }
  }
  ASSERT_GE(startFrame, 1);
  // The fade-in (10 frames), then the stage caption for 79 frames: play begins 90
  // frames after the set-up.
  EXPECT_EQ(firstPlay, startFrame + 90);
  // The hero placed at cell (2, 12): its 16 x 24 body stands on the cell's bottom, on the
  // ground row 13 (map pixel 736); the view is held at the stage's start.
  EXPECT_EQ(firstPlayLine, "play 1 x 392.5 y 712 hp 3 sp 0 chars 1 items 6 shots 0 view 320 320");
  EXPECT_GT(plays, 10);
}

// A folder named for a test play, on the command line or as "FreeStage", is no stage:
// the report log says it could not be read and the title comes, as for a missing file.
TEST(StageStartDrive, AFolderNamedForATestPlayLeadsToTheTitle) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    const char* iniLine;
  };
  const Case cases[] = {{"command line", {"data\\stg4"}, ""}, {"System.ini", {}, "FreeStage=data\\stg4\n"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::TempDir tmp;
    const fs::path game = e2e::FreshSampleCopy(tmp.path());
    ASSERT_FALSE(game.empty()) << "the sample project could not be made";
    e2e::CopyDefaultToData(game);
    {
      std::ofstream ini(game / "System.ini", std::ios::binary);
      ini << "Direct3D=1\nWindowMode=1\nBpp=0\nVSync=1\nShowFps=0\n" << c.iniLine << "Exit\n";
    }
    const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "",
                                              {.quitAt = "30", .args = c.args, .uiAnswers = {}, .env = {}});
    ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
    EXPECT_EQ(0, *run.exitCode) << run.stderrText;
    const std::vector<std::string> events = e2e::TraceEvents(run.trace);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ("scene -1 -> 0", events.front());
    for (const std::string& e : events) EXPECT_NE(0u, e.rfind("stage start", 0)) << e;
    EXPECT_EQ(std::string::npos, run.stderrText.find("[message box]")) << run.stderrText;
    const std::string report = e2e::ReadLogUtf8(game / "Report_Game.txt");
    EXPECT_NE(std::string::npos, report.find(plat::cp932::toUtf8("「data\\stg4」の読み込みに失敗しました！") + "\n"))
        << report;
  }
}

}  // namespace
