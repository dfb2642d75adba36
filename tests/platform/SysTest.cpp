#include "platform/sys.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "test_support/TempDir.h"

namespace {

// Sets environment variables for one test and restores them afterwards.
class EnvGuard {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~EnvGuard() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
      else ::unsetenv(it->first.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Sys, LaunchParamsComeFromArgumentsAndEnvironment) {
  EnvGuard env;
  env.Set("PELLMOOR_SHOW_COMMAND", "5");
  env.Set("PELLMOOR_HEADLESS", "1");
  env.Set("PELLMOOR_DEBUG_LOG", "0");
  env.Set("PELLMOOR_EDITOR_LINK", "/tmp/editor.sock");
  env.Set("PELLMOOR_UI_SCRIPT", "yes,no");
  env.Set("PELLMOOR_LOCK_DIR", nullptr);
  env.Set("XDG_RUNTIME_DIR", "/run/user/1");
  char a0[] = "player", a1[] = "data\\stg4\\My", a2[] = "Stage.stg4_001";
  char* argv[] = {a0, a1, a2, nullptr};
  plat::sys::LaunchParams p = plat::sys::readLaunchParams(3, argv);
  EXPECT_EQ(p.commandLine, "data\\stg4\\My Stage.stg4_001");
  EXPECT_EQ(p.showCommand, 5);
  EXPECT_TRUE(p.headless);
  EXPECT_FALSE(p.debugLog);
  EXPECT_EQ(p.editorLink, "/tmp/editor.sock");
  EXPECT_EQ(p.uiScript, "yes,no");
  EXPECT_EQ(p.lockDir, "/run/user/1");

  env.Set("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(plat::sys::readLaunchParams(1, argv).lockDir, "/tmp");
  env.Set("PELLMOOR_LOCK_DIR", "/tmp/own");
  env.Set("PELLMOOR_SHOW_COMMAND", nullptr);
  p = plat::sys::readLaunchParams(1, argv);
  EXPECT_EQ(p.lockDir, "/tmp/own");
  EXPECT_EQ(p.showCommand, 1);
  EXPECT_EQ(p.commandLine, "");
}

// The stage file comes in the terminal's UTF-8 and a native path; the game gets its own
// form: Shift-JIS with '\' (a trail byte 0x5C of a double-byte character kept as it is).
TEST(Sys, CommandLineStageNameBecomesTheProgramsPathForm) {
  char a0[] = "player", a1[] = "/home/u/\xE3\x82\xB9\xE3\x83\x86\xE3\x83\xBC\xE3\x82\xB8/\xE8\xA1\xA8.stg4";
  char* argv[] = {a0, a1, nullptr};
  // ステージ and 表 (whose second byte is 0x5C).
  EXPECT_EQ(plat::sys::readLaunchParams(2, argv).commandLine,
            "\\home\\u\\\x83X\x83"
            "e\x81[\x83W\\\x95\\.stg4");
}

TEST(Sys, MsvcRandRepeatsTheOriginalSequence) {
  plat::sys::MsvcRand r;  // seed 1 by default, as the C runtime starts
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int e : expected) EXPECT_EQ(r.next(), e);
  r.seed(1);
  EXPECT_EQ(r.next(), 41);
  r.seed(0xFFFFFFFFu);
  for (int i = 0; i < 1000; ++i) {
    int v = r.next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 32767);
  }
}

TEST(Sys, EditorLinkSendsOneDatagramOrLosesTheNotice) {
  test_support::TempDir dir;
  std::string path = dir.path() + "/editor.sock";
  EXPECT_FALSE(plat::sys::EditorLink("").notify(1, 1, 7));
  EXPECT_FALSE(plat::sys::EditorLink(path).notify(1, 1, 7));  // nobody listens

  int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_TRUE(plat::sys::EditorLink(path).notify(0, -1, 0x01020304));
  unsigned char buf[64];
  ssize_t n = ::recv(fd, buf, sizeof buf, 0);
  ASSERT_EQ(n, 16);
  const unsigned char expected[16] = {0, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1};
  EXPECT_EQ(std::memcmp(buf, expected, 16), 0);
  ::close(fd);
}

}  // namespace
