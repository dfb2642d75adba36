// A replay of the user's folder that does not load: its box, then the title again,
// whose menu still answers; the session ends only when the user closes it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "e2e/SampleGameTest.h"
#include "platform/cp932.h"

namespace {

using DamagedReplayDrive = e2e::SampleGameTest;

TEST_F(DamagedReplayDrive, AReplayThatDoesNotLoadLeadsBackToTheTitle) {
  e2e::fs::create_directories(game_ / "user_data" / "rpl4");
  struct Case {
    const char* name;
    std::string bytes;
  };
  for (const Case& c : {Case{"Empty.rpl4_513", ""}, Case{"Junk.rpl4_513", std::string(40, '\x7f')}}) {
    SCOPED_TRACE(c.name);
    { std::ofstream(game_ / "user_data" / "rpl4" / c.name, std::ios::binary) << c.bytes; }
    // "リプレイ" is four rows down; chosen twice, as the title menu is back after the box.
    const std::string keys =
        "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 DOWN press 1\n68 Z press 1\n"
        "120 Z press 1\n";
    const std::string file = std::string("file=") + c.name;
    const e2e::DrivenRun run =
        e2e::RunDriven(game_, game_.parent_path() / c.name, keys,
                       {.quitAt = "200", .args = {}, .uiAnswers = {file, "ok", file, "ok"}, .env = {}});
    EXPECT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
    const std::vector<std::string> boxes = e2e::EventsStarting(run.trace, "box ");
    ASSERT_EQ(2u, boxes.size()) << run.stderrText;
    for (const std::string& box : boxes)
      EXPECT_NE(std::string::npos, box.find(plat::cp932::toUtf8("が読み込めません！"))) << box;
    EXPECT_TRUE(e2e::EventsStarting(run.trace, "stage start").empty());
    EXPECT_GE(e2e::FrameOf(run.trace, "quit 0"), 200);
  }
}

}  // namespace
