// The end of a stage played through the binary with a key script and the trace: the
// result and its confirm, extra lives, the ranking entry with a typed name, the story
// clear back on the map, and a replay saved at the end of a challenge stage and played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "gamedata/DataPaths.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "platform/fs.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

cEdCommand ItemCommand(int type, std::vector<std::int32_t> params) {
  cEdCommand c;
  c.m_nSet = 1;  // an item command
  c.m_nType = static_cast<std::int8_t>(type - ITEM_TYPE_OFFSET);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.Normalize();
  return c;
}

// The stage's score + n.
cEdCommand ScorePlus(int n) {
  std::vector<std::int32_t> p(18, 0);
  p[3] = 2;  // the system's value
  p[4] = 3;  // the score
  p[5] = 1;  // +
  p[7] = n;
  return ItemCommand(CMD_STATUS, p);
}

// The world is cleared: no next part.
cEdCommand ClearStage() { return ItemCommand(CMD_STAGE_CLEAR, {2, 0, 0, 0, 0}); }

// Game frame of the first event that starts with prefix; -1 when there is none.
int FrameOf(const std::vector<std::string>& trace, const std::string& prefix) {
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (sp != std::string::npos && line.compare(sp + 1, prefix.size(), prefix) == 0) return std::atoi(line.c_str());
  }
  return -1;
}

std::vector<std::string> EventsStarting(const std::vector<std::string>& trace, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& e : e2e::TraceEvents(trace))
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

class GameEndDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    game_ = e2e::FreshSampleCopy(tmp_.path());
    ASSERT_FALSE(game_.empty()) << "the sample project could not be made";
    e2e::CopyDefaultToData(game_);
  }
  // A stage on which the hero stands on a goal at once: it gives nScore and clears.
  // project changes the project's settings before they are saved with the stage.
  bool WriteGoalStage(const std::string& name, int nScore, const std::function<void(cEdStage&)>& stage = {},
                      const std::function<void(cEdSystem&)>& project = {}) {
    return e2e::WriteTinyStage(game_, name, [&](cEdStage& s, const e2e::StageParts& p) {
      s.m_nHitLevel = 1;
      s.m_bShowClear = 1;
      s.m_bNoResult = 0;
      s.m_RankFlags.assign(5, 1);
      for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
      s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
      cEdItem goal = e2e::ItemAt(p.coin, 5, 12);
      goal.m_Commands.clear();
      goal.m_Commands.push_back(ScorePlus(nScore));
      goal.m_Commands.push_back(ClearStage());
      s.m_Items.push_back(goal);
      if (stage) stage(s);
      if (project) {
        project(g_System);
        g_System.SaveToFile(g_PathTable[PATH_SYSTEM]);
      }
    });
  }
  e2e::DrivenRun Run(const std::vector<std::string>& args, const std::string& keys, int quitAt,
                     const std::vector<std::string>& answers = {}) {
    e2e::DrivenRun run = e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run" + std::to_string(++runs_)), keys,
                                        {.quitAt = std::to_string(quitAt), .args = args, .uiAnswers = answers,
                                         .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
    EXPECT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("Sanitizer"), std::string::npos) << run.stderrText;
    return run;
  }
  e2e::DrivenRun RunStage(const std::string& name, const std::string& keys, int quitAt,
                          const std::vector<std::string>& answers = {}) {
    return Run({"data\\stg4\\" + name + ".stg4"}, keys, quitAt, answers);
  }

  test_support::TempDir tmp_;
  fs::path game_;
  int runs_ = 0;
};

// With the clear caption the result can be left after 50 frames: a confirm before that
// does nothing, the one after leaves (a test play plays the same stage again).
TEST_F(GameEndDrive, TheResultIsLeftOnConfirmOnceTheCaptionHasRun) {
  ASSERT_TRUE(WriteGoalStage("Goal", 300));
  // Frames: the stage starts after its fade-in; the end comes in its first play frame.
  const e2e::DrivenRun probe = RunStage("Goal", "", 200);
  const int nEnd = FrameOf(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  EXPECT_EQ(std::vector<std::string>{"stage end clear frames 1 score 300 next 0"},
            EventsStarting(probe.trace, "stage end"));
  EXPECT_EQ(-1, FrameOf(probe.trace, "game end next"));

  const std::string keys = std::to_string(nEnd + 20) + " Z press 1\n" + std::to_string(nEnd + 60) + " Z press 1\n";
  const e2e::DrivenRun run = RunStage("Goal", keys, nEnd + 200);
  EXPECT_EQ(nEnd + 60, FrameOf(run.trace, "game end next scene 4"));
  EXPECT_EQ(nEnd + 60, FrameOf(run.trace, "sound 1 "));
  // The same stage starts again after the fade-out and clears again.
  std::vector<int> starts;
  for (const std::string& line : run.trace)
    if (line.find(" stage start ") != std::string::npos) starts.push_back(std::atoi(line.c_str()));
  ASSERT_EQ(2u, starts.size());
  EXPECT_GT(starts[1], nEnd + 60);
  EXPECT_EQ(2u, EventsStarting(run.trace, "stage end clear").size());
}

// A step of 100 crossed three times (50 + 300) gives three lives, each with its sound,
// up to 99.
TEST_F(GameEndDrive, ThreeScoreStepsGiveThreeLivesUpToTheCap) {
  for (int nStart : {5, 98}) {
    SCOPED_TRACE(nStart);
    ASSERT_TRUE(WriteGoalStage("Extend", 350, {}, [&](cEdSystem& sys) {
      sys.m_bExtend = 1;
      sys.m_nExtendScore = 100;
      sys.m_UnlimitedLives[GAME_MODE_FREE] = 0;
      sys.m_StartLives[GAME_MODE_FREE] = nStart;
    }));
    // Free play of the stage file from the title: lives count there (a test play has them
    // unlimited).
    const e2e::DrivenRun run = Run({}, "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 Z press 1\n", 400,
                                   {"file=Extend.stg4_001"});
    // The life in play is taken from the start lives at entry.
    const std::vector<std::string> expected =
        nStart == 5 ? std::vector<std::string>{"extra life lives 5", "extra life lives 6", "extra life lives 7"}
                    : std::vector<std::string>{"extra life lives 98", "extra life lives 99", "extra life lives 99"};
    EXPECT_EQ(expected, EventsStarting(run.trace, "extra life"));
    // Each stops the stage for 30 frames.
    std::vector<int> frames;
    for (const std::string& line : run.trace)
      if (line.find(" sound 15 ") != std::string::npos) frames.push_back(std::atoi(line.c_str()));
    ASSERT_EQ(3u, frames.size());
    EXPECT_GE(frames[1] - frames[0], 30);
    EXPECT_GE(frames[2] - frames[1], 30);
  }
}

}  // namespace
