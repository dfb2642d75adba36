// The play trace: lines by frame reach the file when the next frame begins, texts stay
// on one line, user-file writes report how they ended, and nothing is written while
// the trace is off.
#include "platform/trace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Trace : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = tmp_.path() + "/trace.txt";
    ASSERT_TRUE(plat::trace::Open(path_, false, nullptr));
  }
  void TearDown() override { plat::trace::Close(); }

  test_support::TempDir tmp_;
  std::string path_;
};

TEST_F(Trace, LinesCarryTheirFrameAndReachTheFileWhenTheNextFrameBegins) {
  EXPECT_TRUE(plat::trace::Enabled());
  EXPECT_FALSE(plat::trace::FramesEnabled());
  plat::trace::Line("box %s -> %d", "start", 1);
  plat::trace::SetFrame(1);
  plat::trace::Line("scene %d -> %d", -1, 0);
  plat::trace::Line("play %d x %.17g", 3, 0.1);
  EXPECT_EQ("0 box start -> 1\n", Slurp(path_));
  plat::trace::SetFrame(2);
  EXPECT_EQ("0 box start -> 1\n1 scene -1 -> 0\n1 play 3 x 0.10000000000000001\n", Slurp(path_));
  plat::trace::Line("quit %d", 0);
  plat::trace::Close();
  plat::trace::Line("sound %d", 1);  // after the end: dropped
  EXPECT_FALSE(plat::trace::Enabled());
  EXPECT_EQ("0 box start -> 1\n1 scene -1 -> 0\n1 play 3 x 0.10000000000000001\n2 quit 0\n", Slurp(path_));
}

TEST_F(Trace, TextsAreUtf8OnOneLineAndPathsUseSlashes) {
  // "エラー" in CP932, a line break and a tab.
  EXPECT_EQ("\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\\nA\\tB\\\\C\\x01",
            plat::trace::Text("\x83\x47\x83\x89\x81\x5B\nA\tB\\C\x01"));
  EXPECT_EQ("user_data/Option.dat", plat::trace::Path("user_data\\Option.dat"));
  // A trail byte 0x5C of a double-byte character is no separator: "表" is 0x95 0x5C.
  EXPECT_EQ("bgm/\xE8\xA1\xA8.mid", plat::trace::Path("bgm\\\x95\x5C.mid"));
}

TEST_F(Trace, UserFileWritesReportHowTheyEnded) {
  const std::string folder = plat::fs::fromNative(tmp_.path());
  ASSERT_TRUE(plat::fs::writeFileAtomic(folder + "\\Option.dat", "abc"));
  ASSERT_FALSE(plat::fs::writeFileAtomic(folder + "\\missing\\Option.dat", "abc"));
  plat::trace::Close();
  EXPECT_EQ("0 write " + tmp_.path() + "/Option.dat ok\n0 write " + tmp_.path() +
                "/missing/Option.dat failed create: No such file or directory\n",
            Slurp(path_));
}

TEST(TraceOff, WritesNothingAndAFileThatCannotBeMadeIsRefused) {
  test_support::TempDir tmp;
  ASSERT_FALSE(plat::trace::Enabled());
  plat::trace::Line("scene %d -> %d", 0, 5);
  plat::trace::SetFrame(7);
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
  std::string why;
  EXPECT_FALSE(plat::trace::Open(tmp.path() + "/no/such/folder/trace.txt", false, &why));
  EXPECT_EQ("No such file or directory", why);
  EXPECT_FALSE(plat::trace::Enabled());
}

}  // namespace
