#include "platform/fs.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

namespace stdfs = std::filesystem;

TEST(FsCopy, CopiesTreeAndRefusesAnExistingTarget) {
  test_support::TempDir dir;
  const stdfs::path root = dir.path();
  stdfs::create_directories(root / "Src/a/b");
  stdfs::create_directories(root / "Src/empty");
  ASSERT_TRUE(plat::fs::writeFileAtomic(plat::fs::fromNative((root / "Src/a/b/f.dat").string()), "deep"));
  ASSERT_TRUE(plat::fs::writeFileAtomic(plat::fs::fromNative((root / "Src/top.dat").string()), "top"));
  const std::string from = plat::fs::fromNative((root / "src").string());  // found whatever the case
  const std::string to = plat::fs::fromNative((root / "Dst").string()) + "\\";

  ASSERT_TRUE(plat::fs::copyTree(from, to));
  EXPECT_EQ(plat::fs::readFile(to + "a\\b\\f.dat"), "deep");
  EXPECT_EQ(plat::fs::readFile(to + "top.dat"), "top");
  EXPECT_TRUE(stdfs::is_directory(root / "Dst/empty"));

  EXPECT_FALSE(plat::fs::copyTree(from, to));  // exists
  EXPECT_FALSE(plat::fs::copyTree(plat::fs::fromNative((root / "none").string()), to + "x"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : stdfs::directory_iterator(root)) ++entries;
  EXPECT_EQ(entries, 2);  // Src and Dst, no temporary folder left
}

}  // namespace
