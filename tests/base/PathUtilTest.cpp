#include "base/PathUtil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

const std::string kHyo = "\x95\x5C";  // "表": its second byte is 0x5C

TEST(PathUtil, ExtensionsOfTheFileName) {
  struct Case {
    std::string path;
    const char* ext;
    int ok;
    std::string out;
  };
  const Case change[] = {
      {"Test.stg4_001", "stg4", 1, "Test.stg4"},          {"Test.stg4_001", nullptr, 1, "Test"},
      {"data\\stg4\\a.b.c", "x", 1, "data\\stg4\\a.b.x"}, {"NoDot", "stg4", 0, "NoDot"},
      {".\\data\\noext", "stg4", 0, ".\\data\\noext"},  // a dot in a folder is no extension
  };
  for (const Case& c : change) {
    std::string out = "junk";
    EXPECT_EQ(ChangeExtension(out, c.path, c.ext), c.ok) << c.path;
    EXPECT_EQ(out, c.out) << c.path;
  }
  std::string ext = "keep";
  EXPECT_EQ(GetExtension(ext, "x.rpl4_513"), 1);
  EXPECT_EQ(ext, "rpl4_513");
  ext = "keep";
  EXPECT_EQ(GetExtension(ext, "dir.d\\noext"), 0);
  EXPECT_EQ(ext, "keep");

  std::string out;
  EXPECT_EQ(AddNumberSuffix(out, "data\\x.ext", 1, 2), 1);
  EXPECT_EQ(out, "data\\x_12.ext");
  EXPECT_EQ(AddNumberSuffix(out, "x", 1, 2), 0);
  EXPECT_EQ(AddNumberSuffix(out, "x." + std::string(31, 'e'), 0, 0), 1);
  EXPECT_EQ(AddNumberSuffix(out, "x." + std::string(32, 'e'), 0, 0), 0);  // past its slot
}

TEST(PathUtil, StripDirectorySkipsTrailBytes) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"data\\stg4\\a.stg4", "a.stg4"},
      {"noslash", "noslash"},
      {"dir\\" + kHyo + "x.txt", kHyo + "x.txt"},  // keeps the character that ends in 0x5C
      {kHyo + "\\file", "file"},
      {"\x83\x95\\file", "file"},  // 83 95 is one character; the 0x5C after it separates
      {"dir\\", ""},
      {"../../x.", "x."},  // '/' separates too
      {"a\\b/c.e", "c.e"},
  };
  for (const Case& c : cases) {
    std::string p = c.in;
    StripDirectory(p);
    EXPECT_EQ(p, c.out) << c.in;
  }
}

TEST(PathUtil, AbsoluteAndRelativeToTheCurrentDirectory) {
  auto cwd = plat::fs::currentDirectory();
  ASSERT_TRUE(cwd);
  std::string p = "Report_Game.txt";
  EXPECT_EQ(MakeAbsolutePath(p), 1);
  EXPECT_EQ(p, *cwd + "\\Report_Game.txt");
  p = "\\already\\absolute";
  EXPECT_EQ(MakeAbsolutePath(p), 1);
  EXPECT_EQ(p, "\\already\\absolute");

  struct Case {
    std::string in;
    int ok;
    std::string out;
  };
  std::string parent = *plat::fs::absolute(*cwd + "\\..");
  const Case cases[] = {
      {*cwd + "\\data\\stg4\\a.stg4_001", 1, ".\\data\\stg4\\a.stg4_001"},
      {parent + "\\sibling\\x", 1, "..\\sibling\\x"},
      {"data\\x", 1, "data\\x"},
      {"C:\\x", 0, "C:\\x"},
  };
  for (const Case& c : cases) {
    std::string q = c.in;
    EXPECT_EQ(MakeRelativePath(q), c.ok) << c.in;
    EXPECT_EQ(q, c.out) << c.in;
  }
}

TEST(PathUtil, FindNewestNumberedFileTakesTheHighestNumber) {
  test_support::TempDir dir;
  std::filesystem::create_directories(dir.path() + "/data/stg4");
  for (const char* n : {"Test.stg4_001", "Test.stg4_003", "Other.stg4_999"})
    std::ofstream(dir.path() + "/data/stg4/" + n) << "x";
  std::string stg = plat::fs::fromNative(dir.path()) + "\\data\\stg4\\";

  std::string out = "unchanged";
  EXPECT_EQ(FindNewestNumberedFile(out, stg + "Test.stg4_001", "stg4"), 1);
  EXPECT_EQ(out, stg + "Test.stg4_003");
  EXPECT_EQ(FindNewestNumberedFile(out, stg + "test.STG4", "stg4"), 1);  // case-insensitive lookup
  EXPECT_EQ(out, stg + "test.stg4_003");
  out = "unchanged";
  EXPECT_EQ(FindNewestNumberedFile(out, stg + "Missing.stg4_001", "stg4"), 0);
  EXPECT_EQ(out, "unchanged");
}

}  // namespace
