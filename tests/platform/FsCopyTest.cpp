#include "platform/fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

TEST(FsCopy, TheCopyHasTheSourceFoldersMode) {
  test_support::TempDir dir;
  const stdfs::path root = dir.path();
  stdfs::create_directories(root / "default");
  stdfs::permissions(root / "default", stdfs::perms::owner_all | stdfs::perms::group_read | stdfs::perms::group_exec |
                                           stdfs::perms::others_read | stdfs::perms::others_exec);
  ASSERT_TRUE(plat::fs::copyTree(plat::fs::fromNative((root / "default").string()),
                                 plat::fs::fromNative((root / "data").string())));
  EXPECT_EQ(stdfs::status(root / "data").permissions(), stdfs::status(root / "default").permissions());
}

TEST(FsCopy, TemporariesMatchNoFilterAndStaleOnesGoAtStart) {
  test_support::TempDir dir;
  const stdfs::path root = dir.path();
  const std::string folder = plat::fs::fromNative(root.string());
  // While a write is open its temporary holds nothing of the target's name.
  plat::fs::AtomicFile file;
  ASSERT_NE(file.open(folder + "\\x.rpl4_513"), nullptr);
  std::vector<std::string> names;
  for (const auto& e : stdfs::directory_iterator(root)) names.push_back(e.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind(plat::fs::kTempPrefix, 0), 0u) << names[0];
  EXPECT_EQ(names[0].find("rpl4"), std::string::npos) << names[0];
  file.abort();

  // What interrupted writes and copies left, of this version and of earlier ones.
  std::ofstream(root / (std::string(plat::fs::kTempPrefix) + "Ab12Cd")) << "half";
  std::ofstream(root / "Story01.dat.tmp-Ab12Cd") << "half";
  stdfs::create_directories(root / "data.part-XyZ123/stg4");
  std::ofstream(root / "data.part-XyZ123/stg4/a.stg4_001") << "half";
  // Names of the user's that only look alike.
  for (const char* keep : {"Story01.dat", "a.part-1.stg4", "x.tmp-12", ".tmp-Ab12Cd"})
    std::ofstream(root / keep) << "mine";
  EXPECT_EQ(plat::fs::removeStaleTemporaries(folder), 3);
  names.clear();
  for (const auto& e : stdfs::directory_iterator(root)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".tmp-Ab12Cd", "Story01.dat", "a.part-1.stg4", "x.tmp-12"}));
}

}  // namespace
