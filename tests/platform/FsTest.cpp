#include "platform/fs.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "test_support/TempDir.h"

namespace {

namespace stdfs = std::filesystem;

// "ソ" and "表" end in the byte 0x5C, the same as the path separator.
const std::string kSo = "\x83\x5C";
const std::string kHyo = "\x95\x5C";

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

void WriteNative(const std::string& path, const std::string& bytes) {
  stdfs::create_directories(stdfs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Fs, NativeFormKeepsTrailBytesThatLookLikeSeparators) {
  EXPECT_EQ(plat::fs::toNative("data\\" + kSo + "\\" + kHyo + ".dat"), U8(u8"data/ソ/表.dat"));
  EXPECT_EQ(plat::fs::toNative("\\home\\x"), "/home/x");
  EXPECT_EQ(plat::fs::fromNative(U8(u8"/tmp/ソ/表.dat")), "\\tmp\\" + kSo + "\\" + kHyo + ".dat");
}

// Names from the file system that Shift-JIS cannot write come back byte for byte: accents,
// Hangul, a character whose Shift-JIS code reads back as another one, a backslash inside
// a name, and bytes that are not UTF-8.
TEST(Fs, NativeNamesOutsideShiftJisComeBackWhole) {
  const std::string names[] = {
      U8(u8"/home/josé/Über/한/Report_Game.txt"),
      U8(u8"/t/〜¥/‖"),       // wave dash, yen sign, double vertical line
      U8(u8"/t/a\\b/c"),      // a backslash is part of the name "a\b"
      "/t/caf\xE9/\xFF\x80",  // Latin-1 bytes
      U8(u8"/t/😀.dat"),       // outside the basic plane
  };
  for (const std::string& native : names) {
    const std::string program = plat::fs::fromNative(native);
    EXPECT_EQ(program.find('?'), std::string::npos) << native;
    EXPECT_EQ(plat::fs::toNative(program), native);
  }
  // The backslash of a name is no separator of the program form.
  const std::string withBackslash = plat::fs::fromNative(U8(u8"/t/a\\b/c"));
  EXPECT_EQ(std::count(withBackslash.begin(), withBackslash.end(), '\\'), 3);
  // Shift-JIS text is unchanged; a name that has a code keeps it.
  EXPECT_EQ(plat::fs::fromNative(U8(u8"/表/～")), "\\" + kHyo + "\\\x81\x60");
}

TEST(Fs, AGameFolderNamedOutsideShiftJisIsUsedThroughItsFullPath) {
  test_support::TempDir dir;
  const std::string folder = dir.path() + U8(u8"/josé/Über/한");
  WriteNative(folder + "/data/System.dat", "sys");
  const std::string root = plat::fs::fromNative(folder);
  EXPECT_EQ(plat::fs::resolve(root + "\\DATA\\system.dat").value_or("?"), folder + "/data/System.dat");
  EXPECT_EQ(plat::fs::readFile(root + "\\data\\System.dat").value_or("?"), "sys");
  ASSERT_TRUE(plat::fs::writeFileAtomic(root + "\\data\\new.dat", "new"));
  EXPECT_TRUE(stdfs::is_regular_file(folder + "/data/new.dat"));
  ASSERT_TRUE(plat::fs::createTextFile(root + "\\Report_Game.txt"));
  EXPECT_TRUE(plat::fs::appendTextLine(root + "\\Report_Game.txt", "x"));
  EXPECT_TRUE(stdfs::is_regular_file(folder + "/Report_Game.txt"));
  // Shown to the user with '/', the 0x5C ending a double-byte character kept.
  EXPECT_EQ(plat::fs::withSlashes("\\a\\" + kSo + "\\b"), "/a/" + kSo + "/b");
}

TEST(Fs, ASavedFileKeepsItsMode) {
  test_support::TempDir dir;
  const std::string root = plat::fs::fromNative(dir.path());
  auto modeOf = [&](const char* name) {
    struct stat st {};
    ::stat((dir.path() + "/" + name).c_str(), &st);
    return st.st_mode & 07777;
  };
  for (mode_t mode : {0600, 0640, 0664}) {
    WriteNative(dir.path() + "/kept.dat", "old");
    ASSERT_EQ(::chmod((dir.path() + "/kept.dat").c_str(), mode), 0);
    ASSERT_TRUE(plat::fs::writeFileAtomic(root + "\\kept.dat", "new"));
    EXPECT_EQ(modeOf("kept.dat"), mode);
    EXPECT_EQ(plat::fs::readFile(root + "\\kept.dat").value_or("?"), "new");
  }
  ASSERT_TRUE(plat::fs::writeFileAtomic(root + "\\fresh.dat", "x"));
  EXPECT_EQ(modeOf("fresh.dat"), 0644u);
}

TEST(Fs, IsRelativeAndAbsolute) {
  struct Case {
    std::string path;
    bool relative;
  };
  const Case cases[] = {{"\\x", false}, {"C:\\x", false}, {"c:x", false}, {"\\\\srv\\share", false},
                        {"x", true},    {"..\\x", true},  {".\\x", true}, {"", true}};
  for (const Case& c : cases) EXPECT_EQ(plat::fs::isRelative(c.path), c.relative) << c.path;

  struct Abs {
    std::string in, out;
  };
  const Abs abs[] = {{"\\a\\b\\..\\c", "\\a\\c"},
                     {"\\a\\.\\b\\", "\\a\\b"},
                     {"\\..\\a", "\\a"},
                     {"C:\\a\\..\\b", "C:\\b"},
                     {"\\" + kSo + "\\..\\x", "\\x"}};
  for (const Abs& a : abs) EXPECT_EQ(plat::fs::absolute(a.in).value_or("?"), a.out) << a.in;

  auto cwd = plat::fs::currentDirectory();
  ASSERT_TRUE(cwd);
  EXPECT_EQ(plat::fs::absolute("x\\..\\y.txt").value_or("?"), *cwd + "\\y.txt");
}

TEST(Fs, RelativeFollowsTheComponentsOfBothPaths) {
  struct Case {
    std::string from, to;
    std::optional<std::string> out;
  };
  const Case cases[] = {
      {"\\a\\b", "\\a\\b\\c.txt", ".\\c.txt"},
      {"\\a\\b", "\\a\\b\\d\\e.txt", ".\\d\\e.txt"},
      {"\\a\\b", "\\a\\c\\f.txt", "..\\c\\f.txt"},
      {"\\a\\b\\c", "\\a\\x", "..\\..\\x"},
      {"\\a\\b", "\\A\\B\\f", ".\\f"},       // names compare without case
      {"\\a\\bc", "\\a\\b\\f", "..\\b\\f"},  // whole components, not text prefixes
      {"\\" + kSo, "\\" + kSo + "\\f", ".\\f"},
      {"\\a", "C:\\a\\f", std::nullopt},  // different roots
      {"a", "\\a\\f", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::fs::relative(c.from, c.to), c.out) << c.from << " -> " << c.to;
}

TEST(Fs, ResolveMatchesCaseAndBothNameEncodings) {
  test_support::TempDir dir;
  WriteNative(dir.path() + "/Data/Stg4/Test.stg4_001", "x");
  WriteNative(dir.path() + U8(u8"/bmp/表.bmp"), "y");
  std::string root = plat::fs::fromNative(dir.path());
  EXPECT_EQ(plat::fs::resolve(root + "\\data\\STG4\\test.STG4_001").value_or("?"),
            dir.path() + "/Data/Stg4/Test.stg4_001");
  EXPECT_EQ(plat::fs::readFile(root + "\\BMP\\" + kHyo + ".BMP").value_or("?"), "y");
  EXPECT_FALSE(plat::fs::exists(root + "\\data\\stg4\\Test.stg4_002"));
}

TEST(Fs, CopyTreeAndRemoveTree) {
  test_support::TempDir dir;
  WriteNative(dir.path() + "/default/database/Sound.dat", std::string("\0\1\2", 3));
  WriteNative(dir.path() + "/default/System.dat", "sys");
  std::string root = plat::fs::fromNative(dir.path());
  ASSERT_TRUE(plat::fs::copyTree(root + "\\default", root + "\\data"));
  EXPECT_EQ(plat::fs::readFile(root + "\\data\\database\\Sound.dat").value_or("?"), std::string("\0\1\2", 3));
  EXPECT_EQ(plat::fs::readFile(root + "\\data\\System.dat").value_or("?"), "sys");
  EXPECT_FALSE(plat::fs::copyTree(root + "\\missing", root + "\\other"));
  ASSERT_TRUE(plat::fs::removeTree(root + "\\data"));
  EXPECT_FALSE(plat::fs::exists(root + "\\data"));
  EXPECT_TRUE(plat::fs::exists(root + "\\default\\System.dat"));
  EXPECT_FALSE(plat::fs::removeTree(root + "\\data"));
}

TEST(Fs, FreeBytes) {
  test_support::TempDir dir;
  EXPECT_GT(plat::fs::freeBytes(plat::fs::fromNative(dir.path())), 0);
  EXPECT_EQ(plat::fs::freeBytes(plat::fs::fromNative(dir.path()) + "\\missing"), 0);
}

TEST(Fs, LogLinesEndInCrLfAndNeedAnExistingFile) {
  test_support::TempDir dir;
  std::string log = plat::fs::fromNative(dir.path()) + "\\log.txt";
  EXPECT_FALSE(plat::fs::appendTextLine(log, "x"));
  ASSERT_TRUE(plat::fs::createTextFile(log));
  ASSERT_TRUE(plat::fs::appendTextLine(log, "a\nb"));
  ASSERT_TRUE(plat::fs::appendTextLine(log, "100%"));
  EXPECT_EQ(plat::fs::readFile(log).value_or("?"), "a\r\nb\r\n100%\r\n");
}

TEST(Fs, OnlyRegularFilesAreReadAndReadsHaveACap) {
  test_support::TempDir dir;
  const std::string root = plat::fs::fromNative(dir.path());
  // A FIFO with no writer would block an ordinary open for ever; a link to a device
  // would read without end.
  ASSERT_EQ(::mkfifo((dir.path() + "/fifo.dat").c_str(), 0600), 0);
  stdfs::create_symlink("/dev/zero", dir.path() + "/zero.dat");
  stdfs::create_directory(dir.path() + "/folder.dat");
  WriteNative(dir.path() + "/good.dat", "12345678");
  stdfs::create_symlink(dir.path() + "/good.dat", dir.path() + "/link.dat");
  for (const char* name : {"fifo.dat", "zero.dat", "folder.dat"}) {
    EXPECT_EQ(plat::fs::open(root + "\\" + name, "rb"), nullptr) << name;
    EXPECT_FALSE(plat::fs::readFile(root + "\\" + name)) << name;
  }
  EXPECT_EQ(plat::fs::readFile(root + "\\link.dat").value_or("?"), "12345678");  // a link to a file is a file
  EXPECT_EQ(plat::fs::readFile(root + "\\good.dat", 8).value_or("?"), "12345678");
  EXPECT_FALSE(plat::fs::readFile(root + "\\good.dat", 7));
  // Writing modes still open what they are given.
  std::FILE* f = plat::fs::open(root + "\\good.dat", "rb+");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
}

TEST(Fs, InstanceLockAdmitsOneHolderAtATime) {
  test_support::TempDir dir;
  using R = plat::fs::InstanceLock::Result;
  const std::string name = "\x83\x51\x81\x5B\x83\x80";  // "ゲーム"
  {
    std::optional<plat::fs::InstanceLock> first, second;
    EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), name, first), R::Acquired);
    EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), name, second), R::AlreadyRunning);
    EXPECT_FALSE(second.has_value());
    EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), "other", second), R::Acquired);
  }
  std::optional<plat::fs::InstanceLock> again;
  EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), name, again), R::Acquired);
  again.reset();
  EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path() + "/missing", name, again), R::Unavailable);

  // A holder that dies leaves nothing behind.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::optional<plat::fs::InstanceLock> held;
    bool ok = plat::fs::InstanceLock::acquireIn(dir.path(), name, held) == R::Acquired;
    char c = ok ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    for (;;) ::pause();
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), name, again), R::AlreadyRunning);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(plat::fs::InstanceLock::acquireIn(dir.path(), name, again), R::Acquired);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
