// Starts of the player binary on a user's machine as it may be: a read-only default
// folder, pipes where the logs go, no usable lock folder, a disk that takes no more.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <array>
#include <fstream>
#include <map>
#include <string>

#include "e2e/PlayerProcess.h"
#include "platform/cp932.h"
#include "test_support/EditorListener.h"
#include "test_support/TempDir.h"

namespace {

using e2e::fs::path;

std::string U8(const char* cp932) { return plat::cp932::toUtf8(cp932); }

class UserMachineStart : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = e2e::FreshSampleCopy(tmp_.path());
    ASSERT_FALSE(game_.empty()) << "the sample project could not be made";
  }
  path Work(const char* name) const { return path(tmp_.path()) / name; }

  // Runs until the title shows frames, then closes it as the user does; the exit code.
  static std::optional<int> RunAndClose(e2e::PlayerProcess& player) {
    if (!player.WaitForFrames(10, 60000)) return player.Wait(1000);
    player.RequestClose();
    return player.Wait(30000);
  }

  test_support::TempDir tmp_;
  path game_;
};

TEST_F(UserMachineStart, AReadOnlyDefaultFolderIsCopiedToADataFolderTheUserMayWrite) {
  const auto defaults = e2e::Snapshot(game_ / "default");
  e2e::fs::permissions(game_ / "default", e2e::fs::perms::owner_read | e2e::fs::perms::owner_exec |
                                              e2e::fs::perms::group_read | e2e::fs::perms::group_exec);
  e2e::PlayerProcess player(game_, Work("work"), {.args = {}, .uiAnswers = {"yes"}, .env = {}});
  EXPECT_EQ(std::optional<int>(0), RunAndClose(player)) << player.Stderr();
  EXPECT_EQ(defaults, e2e::Snapshot(game_ / "data"));
  struct stat st {};
  ASSERT_EQ(0, ::stat((game_ / "data").c_str(), &st));
  EXPECT_EQ(0550u | S_IWUSR, st.st_mode & 07777u) << "default's mode with the owner's write bit";
}

TEST_F(UserMachineStart, APipeInPlaceOfALogNeverHoldsTheStart) {
  e2e::CopyDefaultToData(game_);
  struct Case {
    const char* file;
    const char* debugLog;
    int exitCode;
    bool box;  // the report log's refusal
  };
  for (const Case& c : {Case{"Report_Game.txt", "0", 1, true}, Case{"EC_Game.txt", "1", 0, false}}) {
    SCOPED_TRACE(c.file);
    const path fifo = game_ / c.file;
    e2e::fs::remove(fifo);
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0644));
    e2e::PlayerProcess player(game_, Work(c.file),
                              {.args = {}, .uiAnswers = {"ok"}, .env = {{"PELLMOOR_DEBUG_LOG", c.debugLog}}});
    EXPECT_EQ(std::optional<int>(c.exitCode), RunAndClose(player)) << player.Stderr();
    const bool refused = player.Stderr().find(U8("を作成できません！")) != std::string::npos;
    EXPECT_EQ(c.box, refused) << player.Stderr();
    EXPECT_TRUE(e2e::fs::is_fifo(fifo)) << "the pipe is left as it was";
    e2e::fs::remove(fifo);
  }
}

TEST_F(UserMachineStart, WithoutALockFolderTheGameFolderHoldsTheLockAndASecondStartLeavesTheSavesAlone) {
  e2e::CopyDefaultToData(game_);
  const std::map<std::string, std::string> noLockFolder{{"PELLMOOR_LOCK_DIR", Work("missing").string()}};
  e2e::fs::create_directories(game_ / "user_data");
  const path stale = game_ / "user_data" / ".~pellmoor-stale1";
  { std::ofstream(stale) << "left by a crash"; }

  e2e::PlayerProcess first(game_, Work("first"), {.args = {}, .uiAnswers = {}, .env = noLockFolder});
  ASSERT_TRUE(first.WaitForFrames(10, 60000)) << first.Stderr();
  EXPECT_FALSE(e2e::fs::exists(stale)) << "the holder of the lock clears what a crash left";

  // A save of the running game in flight.
  const path inFlight = game_ / "user_data" / ".~pellmoor-save42";
  { std::ofstream(inFlight) << "being written"; }
  e2e::PlayerProcess second(game_, Work("second"), {.args = {}, .uiAnswers = {"ok"}, .env = noLockFolder});
  EXPECT_EQ(std::optional<int>(1), second.Wait(30000)) << second.Stderr();
  EXPECT_NE(std::string::npos, second.Stderr().find(U8("既に起動しています"))) << second.Stderr();
  EXPECT_TRUE(e2e::fs::exists(inFlight));

  first.RequestClose();
  EXPECT_EQ(std::optional<int>(0), first.Wait(30000));
}

// A close signal sent as the player is launched (held back by the launcher's signal mask
// until the program takes it) is the user's close: the game closes in order as soon as
// it has a window, and the editor hears of it.
TEST_F(UserMachineStart, ACloseSignalSentAtTheLaunchClosesTheGame) {
  e2e::CopyDefaultToData(game_);
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig);
    const path work = Work(sig == SIGTERM ? "term" : "int");
    e2e::fs::create_directories(work);
    test_support::EditorListener editor((work / "editor.sock").string());
    ASSERT_TRUE(editor.bound());
    e2e::PlayerProcess player(
        game_, work,
        {.args = {},
         .uiAnswers = {},
         .env = {{"PELLMOOR_SHOW_COMMAND", "5"}, {"PELLMOOR_EDITOR_LINK", (work / "editor.sock").string()}},
         .fileSizeLimit = -1,
         .closeSignalsBlocked = true});
    player.Signal(sig);
    EXPECT_EQ(std::optional<int>(0), player.Wait(30000)) << player.Stderr();
    const auto notices = editor.Notices();
    ASSERT_EQ(2u, notices.size());
    EXPECT_EQ(1u, notices[0][0]);                                       // started
    EXPECT_EQ((std::array<std::uint32_t, 4>{0, 4, 1, 0}), notices[1]);  // ended normally
  }
}

// The user closes the game's window while the first-start question or the start-up
// dialog waits: nothing is copied, no error follows, and the end is a success.
TEST_F(UserMachineStart, ACloseWhileStartUpAsksEndsTheStartQuietly) {
  struct Case {
    const char* what;
    bool withData;
    const char* ini;
  };
  for (const Case& c : {Case{"first-start question", false, nullptr},
                        Case{"start-up dialog", true, "Direct3D=2\nWindowMode=1\nBpp=0\nVSync=1\nShowFps=0\nExit\n"}}) {
    SCOPED_TRACE(c.what);
    const path game = Work(c.what) / "game";
    ASSERT_TRUE(e2e::fs::create_directories(game));
    e2e::fs::copy(game_, game, e2e::fs::copy_options::recursive);
    if (c.withData) e2e::CopyDefaultToData(game);
    if (c.ini) std::ofstream(game / "System.ini", std::ios::binary | std::ios::trunc) << c.ini;
    e2e::PlayerProcess player(game, Work(c.what) / "work", {.args = {}, .uiAnswers = {"quit"}, .env = {}});
    EXPECT_EQ(std::optional<int>(0), player.Wait(30000)) << player.Stderr();
    EXPECT_EQ(c.withData, e2e::fs::exists(game / "data"));
    for (const auto& entry : e2e::fs::directory_iterator(game))
      EXPECT_NE(0u, entry.path().filename().string().rfind(".~pellmoor-", 0)) << "no half copy: " << entry.path();
    const std::string err = player.Stderr();
    EXPECT_EQ(std::string::npos, err.find(U8("エラー"))) << err;
    EXPECT_EQ(std::string::npos, e2e::ReadLogUtf8(game / "Report_Game.txt").find(U8("失敗")));
  }
}

TEST_F(UserMachineStart, AFatalStartErrorIsShownWhenTheDiskTakesNoMoreLog) {
  e2e::CopyDefaultToData(game_);
  { std::ofstream(game_ / "data" / "System.dat", std::ios::binary | std::ios::trunc) << "junk"; }
  // The report log fills up within its system lines; the box's line on standard error fits.
  e2e::PlayerProcess player(
      game_, Work("work"),
      {.args = {}, .uiAnswers = {"ok"}, .env = {{"PELLMOOR_DEBUG_LOG", "0"}}, .fileSizeLimit = 128});
  EXPECT_EQ(std::optional<int>(1), player.Wait(30000));
  // The log keeps the program's own path form; the box shows the user's, with '/'.
  EXPECT_EQ(std::string::npos,
            e2e::ReadLogUtf8(game_ / "Report_Game.txt").find(U8("data\\System.dat の読み込みに失敗…")))
      << "the log could not take it";
  const std::string error = U8("data/System.dat の読み込みに失敗…");
  EXPECT_NE(std::string::npos, player.Stderr().find("[message box] " + U8("エラー") + ": " + error)) << player.Stderr();
}

}  // namespace
