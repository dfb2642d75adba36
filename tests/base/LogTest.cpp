#include "base/Log.h"

#include <gtest/gtest.h>

#include "test_support/LogCapture.h"

namespace {

using LogTest = test_support::LogCapture;

TEST_F(LogTest, ReportIsCreatedEmptyAndTakesCrLfLines) {
  ASSERT_TRUE(plat::fs::writeFileAtomic(root_ + "\\Report_Game.txt", "from the last run"));
  ASSERT_EQ(OpenReport(root_ + "\\Report_Game.txt"), 1);
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(ReportPrintf("App : ver %s", "513"), 1);
  EXPECT_EQ(ReportPrintf("a\nb"), 1);
  EXPECT_EQ(Report(), "App : ver 513\r\na\r\nb\r\n");
}

TEST_F(LogTest, AReportThatCannotBeWrittenLosesTheLinesButStillShowsTheError) {
  EXPECT_EQ(OpenReport(root_ + "\\missing\\Report_Game.txt"), 0);
  EXPECT_EQ(ReportPrintf("x"), 0);
  EXPECT_EQ(ReportPrintfDebug("y"), 0);
  EXPECT_EQ(ReportError("z"), 0);
  // A full disk must not hide an error from the user: the box comes all the same.
  auto shown = plat::box_script::shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].textCp932, "z");
  EXPECT_EQ(Debug(), "<none>");  // nothing went to the debug log either
}

TEST_F(LogTest, DebugLogTruncatesOnItsFirstWriteThenAppends) {
  ASSERT_TRUE(plat::fs::writeFileAtomic(root_ + "\\EC_Game.txt", "stale"));
  SetDebugLog(1, root_ + "\\other.txt");
  SetDebugLog(1, root_ + "\\EC_Game.txt");
  DebugLog("one");
  DebugPrintf("%d%%", 2);
  DebugLogError("three");
  EXPECT_EQ(Debug(), "one\r\n2%\r\nthree\r\n");
  SetDebugLog(0, root_ + "\\EC_Game.txt");
  DebugLog("off");
  DebugPrintf("off");
  EXPECT_EQ(Debug(), "one\r\n2%\r\nthree\r\n");
}

TEST_F(LogTest, ReportErrorWritesBothLogsAndShowsTheTextUnformattedAgain) {
  // A file name with '%' must come through unchanged in all three places.
  EXPECT_EQ(ReportError("%s の読み込みに失敗…", "data\\100%d.dat"), 1);
  const std::string line = "data\\100%d.dat の読み込みに失敗…";
  EXPECT_EQ(Report(), line + "\r\n");
  EXPECT_EQ(Debug(), line + "\r\n");
  auto shown = plat::box_script::shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].textCp932, "data/100%d.dat の読み込みに失敗…");  // the box shows the path with '/'
  EXPECT_EQ(shown[0].captionCp932, "エラー");
  EXPECT_EQ(shown[0].buttons, plat::mb::Ok);
  EXPECT_EQ(ReportPrintfDebug("%s", "50%s"), 1);
  EXPECT_EQ(Debug(), line + "\r\n50%s\r\n");
  EXPECT_EQ(closes_, 0);
}

TEST_F(LogTest, BoxesAndCloseRequests) {
  struct Case {
    const char* what;
    void (*call)();
    int boxes, closes;
  };
  const Case cases[] = {
      {"FatalLog posts a close also while the debug log is off",
       [] {
         SetDebugLog(0, "EC_Game.txt");
         FatalLog(0, "%s", "thrown");
       },
       0, 1},
      {"OutOfMemory", [] { OutOfMemory(); }, 1, 1},
      {"DebugErrorBoxPrintf while the debug log is off",
       [] {
         SetDebugLog(0, "EC_Game.txt");
         EXPECT_EQ(DebugErrorBoxPrintf("%d", 1), 0);
       },
       0, 0},
      {"DebugErrorBoxPrintf while it is on", [] { DebugErrorBoxPrintf("%d", 1); }, 1, 0},
      {"ErrorBoxPrintf", [] { ErrorBoxPrintf("n=%d", 3); }, 1, 0},
  };
  for (const Case& c : cases) {
    plat::box_script::reset();
    closes_ = 0;
    SetDebugLog(1, root_ + "\\EC_Game.txt");
    c.call();
    EXPECT_EQ(static_cast<int>(plat::box_script::shown().size()), c.boxes) << c.what;
    EXPECT_EQ(closes_, c.closes) << c.what;
  }
  OutOfMemory();
  EXPECT_EQ(plat::box_script::shown().back().textCp932, "メモリが不足しています！");
}

TEST_F(LogTest, FullScreenBoxesGoThroughTheGraphicsRoute) {
  static int routed = 0;
  SetFullScreenBoxRoute([](std::string_view text, std::string_view caption, int) {
    ++routed;
    EXPECT_EQ(text, "t");
    EXPECT_EQ(caption, "エラー");
    return 1;
  });
  EXPECT_EQ(ErrorBox("t"), 1);
  SetFullScreenBoxRoute(nullptr);
  EXPECT_EQ(routed, 1);
  EXPECT_TRUE(plat::box_script::shown().empty());
  EXPECT_EQ(ErrorBox("t"), plat::answer::Ok);
  EXPECT_EQ(plat::box_script::shown().size(), 1u);
}

TEST_F(LogTest, FormatStringGrowsPastItsBuffer) {
  std::string out;
  std::string big(6000, 'x');
  FormatString(out, "[%s]", big.c_str());
  EXPECT_EQ(out, "[" + big + "]");
}

}  // namespace
