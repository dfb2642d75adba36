// The player driven by key scripts alone, headless and on the fast clock, in a copy of
// the sample project: the trace tells what it did at which frame, the files it wrote
// read back with the game's own records, and bad key scripts are refused before the
// player starts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "gamedata/Option.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// Master volume by step of the sound-volume option, in hundredths of a decibel.
constexpr int kVolume[11] = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};

// The lines appear in this order (others may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
  std::size_t at = 0;
  for (const std::string& w : wanted) {
    while (at < lines.size() && lines[at] != w) ++at;
    if (at == lines.size()) {
      std::string all;
      for (const std::string& l : lines) all += l + "\n";
      return ::testing::AssertionFailure() << "missing or out of order: " << w << "\nin\n" << all;
    }
    ++at;
  }
  return ::testing::AssertionSuccess();
}

int Count(const std::vector<std::string>& lines, const std::string& prefix) {
  int n = 0;
  for (const std::string& l : lines) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

class Drive : public e2e::SampleGameTest {
 protected:
  // Runs the player on the fast clock with a key script until it ends by itself.
  e2e::DrivenRun Start(const std::string& keyScript, const std::string& quitAt = "") {
    return e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run" + std::to_string(++runs_)), keyScript,
                          {.quitAt = quitAt, .args = {}, .uiAnswers = {}, .env = {}});
  }

  cOption ReadOptions() {
    cOption option;
    const std::string path = plat::fs::fromNative((game_ / "user_data" / "Option.dat").string());
    EXPECT_EQ(1, option.LoadFromFile(path));
    return option;
  }

  int runs_ = 0;
};

TEST_F(Drive, OptionsEditedByKeysAreSavedAndInEffectAtTheNextStart) {
  const cOption before = ReadOptions();
  const int v0 = before.m_nSoundVolume;
  ASSERT_TRUE(before.m_bMusic != 0 && v0 >= 2) << "the sample starts with music on and a volume above 1";
  const std::string vol0 = " vol " + std::to_string(kVolume[v0]);
  const std::string vol2 = " vol " + std::to_string(kVolume[v0 - 2]);

  const e2e::DrivenRun run = Start(
      "# title: up twice from the first item wraps to \"オプション\"\n"
      "60 UP press 1\n62 UP press 1\n64 Z press 1\n"
      "# options: music (row 1) up from ON wraps to OFF\n"
      "150 DOWN press 1\n152 Z press 1\n154 UP press 1\n156 Z press 1\n"
      "# sound volume (row 2) two steps down, then cancel leaves the scene\n"
      "158 DOWN press 1\n160 Z press 1\n162 DOWN press 1\n164 DOWN press 1\n166 Z press 1\n168 X press 1\n",
      "260");
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  RecordProperty("fast_run_ms", static_cast<int>(run.wallMs));
  std::printf("title -> options -> title, 260 frames on the fast clock: %ld ms\n", run.wallMs);

  // Sounds come in the frames their keys went down.
  EXPECT_TRUE(InOrder(run.trace, {"1 scene -1 -> 0", "1 bgm play bgm/Title.mid loop 1", "60 sound 0" + vol0,
                                  "62 sound 0" + vol0, "64 sound 1" + vol0}));
  EXPECT_TRUE(InOrder(e2e::TraceEvents(run.trace),
                      {"scene 0 -> 5", "bgm play bgm/Option.mid loop 1", "sound 0" + vol0, "sound 1" + vol0,
                       "sound 0" + vol0, "sound 1" + vol0, "sound 0" + vol0, "sound 1" + vol0}));
  // The volume changes with each step of the value.
  EXPECT_TRUE(InOrder(run.trace, {"162 sound 0 vol " + std::to_string(kVolume[v0 - 1]), "164 sound 0" + vol2,
                                  "166 sound 1" + vol2, "168 sound 2" + vol2}));
  // Leaving: music off releases the player, the options are written, the title follows
  // in silence until the close request.
  EXPECT_TRUE(InOrder(e2e::TraceEvents(run.trace),
                      {"sound 2" + vol2, "bgm stop", "write user_data/Option.dat ok", "scene 5 -> 0", "quit 0"}));
  EXPECT_EQ(2, Count(e2e::TraceEvents(run.trace), "bgm play"));
  ASSERT_FALSE(run.trace.empty());
  EXPECT_GE(std::stoi(run.trace.back()), 260) << run.trace.back();

  const cOption after = ReadOptions();
  EXPECT_EQ(0, after.m_bMusic);
  EXPECT_EQ(v0 - 2, after.m_nSoundVolume);
  EXPECT_EQ(before.m_nPalette, after.m_nPalette);
  EXPECT_EQ(before.m_nRankMode, after.m_nRankMode);
  EXPECT_EQ(before.m_strRankName, after.m_strRankName);

  // The next start: no music, and the cursor sounds at the new volume.
  const e2e::DrivenRun second = Start("60 DOWN press 1\n", "80");
  ASSERT_EQ(std::optional<int>(0), second.exitCode) << second.stderrText;
  EXPECT_TRUE(InOrder(second.trace, {"1 scene -1 -> 0", "60 sound 0" + vol2}));
  EXPECT_EQ(0, Count(e2e::TraceEvents(second.trace), "bgm"));
  EXPECT_EQ(0, Count(e2e::TraceEvents(second.trace), "write"));
}

TEST_F(Drive, AnEmptySlotOfTheContinueListIsRefusedAndCancelReturnsToTheMenu) {
  ASSERT_FALSE(fs::exists(game_ / "user_data" / "story" / "Story01.dat"));
  const e2e::DrivenRun run = Start(
      "60 DOWN press 1\n"  // "つづきから"
      "62 Z press 1\n"
      "64 Z press 1\n"  // slot 1, empty
      "66 X press 1\n"
      "68 DOWN press 1\n",  // the title menu again
      "90");
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  EXPECT_TRUE(InOrder(e2e::TraceEvents(run.trace), {"scene -1 -> 0"}));
  const std::vector<std::string> sounds = {"60 sound 0", "62 sound 1", "64 sound 3", "66 sound 2", "68 sound 0"};
  std::vector<std::string> played;
  for (const std::string& l : run.trace)
    if (l.find(" sound ") != std::string::npos) played.push_back(l.substr(0, l.find(" vol")));
  EXPECT_EQ(sounds, played);
  EXPECT_EQ(1, Count(e2e::TraceEvents(run.trace), "scene"));
  EXPECT_EQ(0, Count(e2e::TraceEvents(run.trace), "write"));
}

TEST_F(Drive, TheExitItemClosesThePlayerWithCodeZero) {
  const std::string vol = " vol " + std::to_string(kVolume[ReadOptions().m_nSoundVolume]);
  const e2e::DrivenRun run = Start("60 UP press 1\n62 Z press 1\n");  // up from the first item: "しゅうりょう"
  ASSERT_EQ(std::optional<int>(0), run.exitCode) << run.stderrText;
  const std::vector<std::string> expected = {
      "scene -1 -> 0", "bgm play bgm/Title.mid loop 1", "sound 0" + vol, "sound 1" + vol, "bgm stop", "quit 0"};
  EXPECT_EQ(expected, e2e::TraceEvents(run.trace));
  EXPECT_TRUE(InOrder(run.trace, {"60 sound 0" + vol, "62 sound 1" + vol}));
}

TEST_F(Drive, ABadKeyScriptIsRefusedWithItsLineBeforeThePlayerStarts) {
  struct Case {
    const char* script;
    const char* reason;
  };
  const Case cases[] = {
      {"# keys\n10 Z down\n12 ZED down\n", ", line 3: unknown key \"ZED\""},
      {"10 Z down\n20 Z up\n15 X down\n", ", line 3: frame 15 comes before frame 20 of an earlier line"},
  };
  for (const Case& c : cases) {
    const e2e::DrivenRun run = Start(c.script);
    EXPECT_EQ(std::optional<int>(2), run.exitCode) << c.script;
    EXPECT_NE(std::string::npos, run.stderrText.find(c.reason)) << run.stderrText;
    EXPECT_NE(std::string::npos, run.stderrText.find("PELLMOOR_KEY_SCRIPT=")) << run.stderrText;
    EXPECT_TRUE(run.trace.empty()) << "no trace is started";
    EXPECT_FALSE(fs::exists(game_ / "Report_Game.txt")) << "the player did not start";
  }
}

}  // namespace
