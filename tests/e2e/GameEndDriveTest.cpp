// The end of a stage played through the binary with a key script and the trace: the
// result and its confirm, extra lives, the ranking entry with a typed name, the story
// clear back on the map, and a replay saved at the end of a challenge stage and played.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "platform/fs.h"
#include "records/PlayRecord.h"
#include "records/Ranking.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// The speed of the view's automatic horizontal scrolling + n (tenths of a pixel a frame).
cEdCommand ScrollSpeedPlus(int n) {
  std::vector<std::int32_t> p(18, 0);
  p[3] = 2;  // the system's value
  p[4] = 1;  // the horizontal scroll speed
  p[5] = 1;  // +
  p[7] = n;
  return e2e::ItemCommand(CMD_STATUS, p);
}

// Game frames of every "stage start".
std::vector<int> StartFrames(const std::vector<std::string>& trace) {
  std::vector<int> out;
  for (const std::string& line : trace)
    if (line.find(" stage start ") != std::string::npos) out.push_back(std::atoi(line.c_str()));
  return out;
}

class GameEndDrive : public e2e::SampleGameTest {
 protected:
  // The shared goal stage at hit-test level 1.
  bool WriteGoalStage(const std::string& name, int nScore, const std::function<void(cEdStage&)>& stage = {},
                      const std::function<void(cEdSystem&)>& project = {}) {
    return e2e::WriteGoalStage(
        game_, name, nScore,
        [&](cEdStage& s) {
          s.m_nHitLevel = 1;
          if (stage) stage(s);
        },
        project);
  }
  // Forty cells wide, its view set to scroll by itself at speed 0; a coin at cell 8 on
  // the hero's way sets the speed to 10, so the stage's own settings change in play. The
  // goal lies at cell 14.
  bool WriteScrollStage(const std::string& name) {
    return WriteGoalStage(name, 300, [](cEdStage& s) {
      e2e::MakeAutoScrolling(s, 40, 0);
      const cEdBlock floor = s.m_Blocks[0];
      for (int x = 20; x < 40; ++x) {
        s.m_Blocks.push_back(floor);
        s.m_Blocks.back().m_nX = x;
      }
      cEdItem& goal = s.m_Items[0];
      goal.m_nX = 14;
      cEdItem coin = goal;
      coin.m_nX = 8;
      coin.m_Commands.clear();
      coin.m_Commands.push_back(ScrollSpeedPlus(10));
      s.m_Items.push_back(coin);
    });
  }
  e2e::DrivenRun Run(const std::vector<std::string>& args, const std::string& keys, int quitAt,
                     const std::vector<std::string>& answers = {}) {
    e2e::DrivenRun run = e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run" + std::to_string(++runs_)), keys,
                                        {.quitAt = std::to_string(quitAt),
                                         .args = args,
                                         .uiAnswers = answers,
                                         .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
    EXPECT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("Sanitizer"), std::string::npos) << run.stderrText;
    return run;
  }
  e2e::DrivenRun RunStage(const std::string& name, const std::string& keys, int quitAt,
                          const std::vector<std::string>& answers = {}) {
    return Run({"data\\stg4\\" + name + ".stg4"}, keys, quitAt, answers);
  }

  int runs_ = 0;
};

// The stage ends in game frame E; the game end counts from the frame after. With the clear
// caption (4 a frame up to 200) the result can be left from frame E + 51; a confirm before
// does nothing. Without it, from E + 2. The automatic end leaves by itself at that moment.
// A test play then plays the same stage again.
TEST_F(GameEndDrive, TheResultIsLeftOnConfirmOnceTheCaptionHasRun) {
  ASSERT_TRUE(WriteGoalStage("Goal", 300));
  const e2e::DrivenRun probe = RunStage("Goal", "", 200);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  EXPECT_EQ(std::vector<std::string>{"stage end clear frames 1 score 300 next 0"},
            e2e::EventsStarting(probe.trace, "stage end"));
  EXPECT_EQ(-1, e2e::FrameStarting(probe.trace, "game end next"));

  struct Case {
    int bCaption, bAutoEnd;
    std::vector<int> presses;  // frames after E
    int nLeaves;               // frame after E; -1 it stays
  };
  const Case cases[] = {{1, 0, {20, 50, 52}, 52}, {0, 0, {1}, -1}, {0, 0, {2}, 2}, {1, 1, {}, 51}, {0, 1, {}, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "caption " << c.bCaption << " auto " << c.bAutoEnd);
    ASSERT_TRUE(WriteGoalStage("Goal", 300, [&](cEdStage& s) {
      s.m_bShowClear = c.bCaption;
      s.m_bAutoEnd = c.bAutoEnd;
    }));
    std::string keys;
    for (int f : c.presses) keys += std::to_string(nEnd + f) + " Z press 1\n";
    const e2e::DrivenRun run = RunStage("Goal", keys, nEnd + 200);
    if (c.nLeaves < 0) {
      EXPECT_EQ(-1, e2e::FrameStarting(run.trace, "game end next"));
      continue;
    }
    EXPECT_EQ(nEnd + c.nLeaves, e2e::FrameStarting(run.trace, "game end next scene 4"));
    // The confirm sound only for a confirm.
    EXPECT_EQ(c.bAutoEnd ? -1 : nEnd + c.nLeaves, e2e::FrameStarting(run.trace, "sound 1 "));
    std::vector<int> starts;
    for (const std::string& line : run.trace)
      if (line.find(" stage start ") != std::string::npos) starts.push_back(std::atoi(line.c_str()));
    ASSERT_GE(starts.size(), 2u);
    EXPECT_GT(starts[1], nEnd + c.nLeaves);
  }
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
    const e2e::DrivenRun run =
        Run({}, "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 Z press 1\n", 400, {"file=Extend.stg4_001"});
    // The life in play is taken from the start lives at entry.
    const std::vector<std::string> expected =
        nStart == 5 ? std::vector<std::string>{"extra life lives 5", "extra life lives 6", "extra life lives 7"}
                    : std::vector<std::string>{"extra life lives 98", "extra life lives 99", "extra life lives 99"};
    EXPECT_EQ(expected, e2e::EventsStarting(run.trace, "extra life"));
    // Each freezes the stage for a timed wait of 30 frames: 30 frames drawn, and the wait
    // ends at the test of the 31st, where the next life comes.
    std::vector<int> frames;
    for (const std::string& line : run.trace)
      if (line.find(" extra life ") != std::string::npos) frames.push_back(std::atoi(line.c_str()));
    ASSERT_EQ(3u, frames.size());
    EXPECT_EQ(31, frames[1] - frames[0]);
    EXPECT_EQ(31, frames[2] - frames[1]);
    // No play frame runs while the stage is frozen: the play-frame counter stands.
    int nLastPlay = -1, nPlaysFrozen = 0;
    for (const std::string& line : run.trace) {
      if (line.find(" play ") == std::string::npos) continue;
      const int nFrame = std::atoi(line.c_str());
      if (nFrame <= frames[0]) nLastPlay = std::atoi(line.c_str() + line.find(" play ") + 6);
      else if (nFrame <= frames[2] + 31) ++nPlaysFrozen;
    }
    EXPECT_EQ(0, nPlaysFrozen);
    EXPECT_EQ(1, std::count(run.trace.begin(), run.trace.end(),
                            std::to_string(frames[0]) + " stage end clear frames " + std::to_string(nLastPlay) +
                                " score 350 next 0"));
  }
}

// Frames of every line with the event.
std::vector<int> FramesOf(const std::vector<std::string>& trace, const std::string& event) {
  std::vector<int> out;
  for (const std::string& line : trace)
    if (line.find(" " + event) != std::string::npos) out.push_back(std::atoi(line.c_str()));
  return out;
}

// A close request while the second of three extra lives holds the stage: the wait ends,
// the game closes with exit code 0 (a run that hangs is killed and has none), and no
// result is left nor the stage played again.
TEST_F(GameEndDrive, ACloseDuringTheSecondExtraLifeEndsTheGame) {
  ASSERT_TRUE(WriteGoalStage("Extend", 350, {}, [&](cEdSystem& sys) {
    sys.m_bExtend = 1;
    sys.m_nExtendScore = 100;
    sys.m_UnlimitedLives[GAME_MODE_FREE] = 0;
    sys.m_StartLives[GAME_MODE_FREE] = 5;
  }));
  const std::string keys = "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 Z press 1\n";
  const e2e::DrivenRun full = Run({}, keys, 400, {"file=Extend.stg4_001"});
  const std::vector<int> lives = FramesOf(full.trace, "sound 15 ");
  ASSERT_EQ(3u, lives.size()) << full.stderrText;
  // The request comes 5 frames into the second one's 30-frame wait.
  const int nRequest = lives[1] + 5;
  ASSERT_LT(nRequest, lives[2]);
  const e2e::DrivenRun closed = Run({}, keys, nRequest, {"file=Extend.stg4_001"});
  ASSERT_TRUE(closed.exitCode.has_value());
  const int nQuit = e2e::FrameStarting(closed.trace, "quit 0");
  EXPECT_GE(nQuit, nRequest);
  // Up to the request the run is the same as the full one.
  const std::vector<int> closedLives = FramesOf(closed.trace, "sound 15 ");
  ASSERT_GE(closedLives.size(), 2u);
  EXPECT_EQ(lives[1], closedLives[1]);
  EXPECT_EQ(-1, e2e::FrameStarting(closed.trace, "game end next"));
  EXPECT_EQ(1u, StartFrames(closed.trace).size());
}

// F3 during the result asks for the name (typed "ABC"); the results go into the stage's
// rankings at their places, the tables show until confirm, and the file keeps them.
TEST_F(GameEndDrive, ARankingEntryWithATypedNameIsKeptAtItsPlace) {
  ASSERT_TRUE(WriteGoalStage("Rank", 300));
  // Rankings from an earlier game: scores 500 and 200.
  {
    cRankingSet before;
    before.m_Tables[0].Insert("old", 500);
    before.m_Tables[0].Insert("low", 200);
    fs::create_directories(game_ / "user_data" / "free");
    ASSERT_EQ(1, before.SaveToFile(plat::fs::fromNative((game_ / "user_data" / "free" / "Rank.rkg").string())));
  }
  const e2e::DrivenRun probe = RunStage("Rank", "", 150);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const std::string keys = std::to_string(nEnd + 60) + " F3 press 1\n" + std::to_string(nEnd + 80) + " V press 1\n" +
                           std::to_string(nEnd + 90) + " Z press 1\n" + std::to_string(nEnd + 120) + " Z press 1\n";
  const e2e::DrivenRun run = RunStage("Rank", keys, nEnd + 200, {"text=ABC+ok"});
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "dialog 102"));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "ranking entry ABC"));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "sound 16 "));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "write user_data/free/Rank.rkg ok"));
  // The view key turns to the next table; the display ends on the first confirm, the
  // result on the second.
  EXPECT_EQ(nEnd + 80, e2e::FrameStarting(run.trace, "sound 6 "));
  EXPECT_EQ(nEnd + 120, e2e::FrameStarting(run.trace, "game end next scene 4"));

  cRankingSet after;
  ASSERT_EQ(1, after.LoadFromFile(plat::fs::fromNative((game_ / "user_data" / "free" / "Rank.rkg").string())));
  ASSERT_EQ(5, after.m_Tables.Size());
  const cRankingTable& score = after.m_Tables[0];
  ASSERT_EQ(RANKING_ENTRY_COUNT, score.m_Entries.Size());
  EXPECT_EQ("old", score.m_Entries[0].m_strName);
  EXPECT_EQ("ABC", score.m_Entries[1].m_strName);
  EXPECT_EQ(300, score.m_Entries[1].m_nValue);
  EXPECT_EQ("low", score.m_Entries[2].m_strName);
  // Every other quantity had an empty table: the name heads each.
  for (int t = 1; t < 5; ++t) {
    EXPECT_EQ(1, after.m_Tables[t].m_Entries[0].m_bUsed) << t;
    EXPECT_EQ("ABC", after.m_Tables[t].m_Entries[0].m_strName) << t;
  }
}

// A close request while the rankings are shown after the entry ends the game with exit
// code 0; the entry made is kept.
TEST_F(GameEndDrive, ACloseWhileTheRankingsAreShownEndsTheGame) {
  ASSERT_TRUE(WriteGoalStage("Rank", 300));
  const e2e::DrivenRun probe = RunStage("Rank", "", 150);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const e2e::DrivenRun run = RunStage("Rank", std::to_string(nEnd + 60) + " F3 press 1\n", nEnd + 75, {"text=ABC+ok"});
  ASSERT_TRUE(run.exitCode.has_value());
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "write user_data/free/Rank.rkg ok"));
  EXPECT_GE(e2e::FrameStarting(run.trace, "quit 0"), nEnd + 75);
  EXPECT_EQ(-1, e2e::FrameStarting(run.trace, "game end next"));
}

// Registration mode 2: F3 does nothing; the confirm that leaves the result asks for the
// name first, and the result is left as the ranking display ends.
TEST_F(GameEndDrive, RegistrationOnConfirmAsksForTheNameAsTheResultIsLeft) {
  ASSERT_TRUE(WriteGoalStage("Rank2", 300));
  cOption option;
  option.m_nRankMode = 2;
  fs::create_directories(game_ / "user_data");
  ASSERT_EQ(1, option.SaveToFile(plat::fs::fromNative((game_ / "user_data" / "Option.dat").string())));
  const e2e::DrivenRun probe = RunStage("Rank2", "", 150);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const std::string keys = std::to_string(nEnd + 30) + " F3 press 1\n" + std::to_string(nEnd + 60) + " Z press 1\n" +
                           std::to_string(nEnd + 90) + " Z press 1\n";
  const e2e::DrivenRun run = RunStage("Rank2", keys, nEnd + 200, {"text=XYZ+ok"});
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "dialog 102"));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "ranking entry XYZ"));
  EXPECT_EQ(nEnd + 90, e2e::FrameStarting(run.trace, "game end next scene 4"));
  cRankingSet after;
  ASSERT_EQ(1, after.LoadFromFile(plat::fs::fromNative((game_ / "user_data" / "free" / "Rank2.rkg").string())));
  EXPECT_EQ("XYZ", after.m_Tables[0].m_Entries[0].m_strName);
}

// A story stage cleared: back on the world map with the stage's switch set, and the slot
// saved by itself because auto-save is on.
TEST_F(GameEndDrive, AStoryClearReturnsToTheMapWithTheSwitchSetAndTheSlotSaved) {
  ASSERT_TRUE(WriteGoalStage("Stage01-1", 300));
  const std::string menu =
      "60 Z press 1\n"                                                      // "はじめから"
      "170 X press 1\n"                                                     // the map menu
      "220 Z press 1\n230 DOWN press 1\n232 DOWN press 1\n240 Z press 1\n"  // "セーブ", slot 3
      "250 UP press 1\n260 Z press 1\n270 X press 1\n"                      // saved; back to the menu
      "280 DOWN press 1\n290 Z press 1\n300 UP press 1\n310 Z press 1\n"    // "オートセーブ" on
      "320 X press 1\n"                                                     // back to the map
      "380 Z press 1\n390 UP press 1\n400 Z press 1\n";                     // into the stage
  const e2e::DrivenRun probe = Run({}, menu, 600);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const fs::path slot = game_ / "user_data" / "story" / "Story03.dat";
  // The slot as auto-save was switched on (the file keeps the flag of before).
  cPlayRecord before;
  ASSERT_EQ(1, before.LoadFromFile(plat::fs::fromNative(slot.string())));

  const e2e::DrivenRun run = Run({}, menu + std::to_string(nEnd + 60) + " Z press 1\n", nEnd + 200);
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "game end next scene 1"));
  const int nMap = e2e::FrameStarting(run.trace, "scene 4 -> 1");
  ASSERT_GT(nMap, nEnd + 60);
  std::vector<int> writes;
  for (const std::string& line : run.trace)
    if (line.find(" write user_data/story/Story03.dat ok") != std::string::npos)
      writes.push_back(std::atoi(line.c_str()));
  EXPECT_EQ(nMap, writes.back());
  cPlayRecord saved;
  ASSERT_EQ(1, saved.LoadFromFile(plat::fs::fromNative(slot.string())));
  EXPECT_EQ(1, saved.m_bAutoSave);
  const int nStage = saved.m_nStage;
  ASSERT_GE(nStage, 0);
  ASSERT_LT(nStage, saved.m_Switches.Size());
  ASSERT_LT(nStage, before.m_Switches.Size());
  EXPECT_EQ(0, before.m_Switches[nStage]);
  EXPECT_EQ(1, saved.m_Switches[nStage]);
  EXPECT_EQ(300, saved.m_nTotalScore);
  EXPECT_EQ(1, saved.m_nPart);
}

bool IsPlayEvent(const std::string& e) {
  return e.rfind("play ", 0) == 0 || e.rfind("stage end", 0) == 0 || e.rfind("item ", 0) == 0;
}

// The events of a play that must repeat in its replay: every play frame with the hero's
// position and the view, the items taken, and the end.
std::vector<std::string> PlayEvents(const std::vector<std::string>& trace) {
  std::vector<std::string> out;
  for (const std::string& e : e2e::TraceEvents(trace))
    if (IsPlayEvent(e)) out.push_back(e);
  return out;
}

// The same, one list for each start of the stage.
std::vector<std::vector<std::string>> PlayEventsByStart(const std::vector<std::string>& trace) {
  std::vector<std::vector<std::string>> out;
  for (const std::string& e : e2e::TraceEvents(trace)) {
    if (e.rfind("stage start ", 0) == 0) out.emplace_back();
    else if (!out.empty() && IsPlayEvent(e)) out.back().push_back(e);
  }
  return out;
}

// Keys that walk the hero right from 10 frames after the stage start, with a jump.
std::string WalkKeys(int nStart) {
  return std::to_string(nStart + 10) + " RIGHT down\n" + std::to_string(nStart + 30) + " X press 3\n";
}

// The view's left edge in the first and in the last play frame of a play.
std::pair<double, double> ViewXFirstAndLast(const std::vector<std::string>& events) {
  std::vector<double> xs;
  for (const std::string& e : events) {
    const std::size_t at = e.find(" view ");
    if (e.rfind("play ", 0) == 0 && at != std::string::npos) xs.push_back(std::strtod(e.c_str() + at + 6, nullptr));
  }
  if (xs.empty()) return {0.0, 0.0};
  return {xs.front(), xs.back()};
}

// A numbered stage in test play is played again after its result: the coin's change of
// the scrolling is undone, so the same keys give the same play.
TEST_F(GameEndDrive, ATestPlayPlayedAgainStartsFromTheStagesOwnSettings) {
  ASSERT_TRUE(WriteScrollStage("Scroll-1"));
  const std::vector<std::string> args = {"data\\stg4\\Scroll-1.stg4"};
  const e2e::DrivenRun probe = Run(args, "", 100);
  const std::vector<int> starts = StartFrames(probe.trace);
  ASSERT_EQ(1u, starts.size()) << probe.stderrText;
  const std::string keys = WalkKeys(starts[0]);
  const e2e::DrivenRun first = Run(args, keys, starts[0] + 300);
  const int nEnd = e2e::FrameStarting(first.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << first.stderrText;
  const std::string again =
      keys + std::to_string(nEnd + 5) + " RIGHT up\n" + std::to_string(nEnd + 60) + " Z press 1\n";
  const e2e::DrivenRun probe2 = Run(args, again, nEnd + 200);
  const std::vector<int> starts2 = StartFrames(probe2.trace);
  ASSERT_EQ(2u, starts2.size()) << probe2.stderrText;
  const e2e::DrivenRun twice = Run(args, again + WalkKeys(starts2[1]), starts2[1] + nEnd - starts[0] + 60);
  const std::vector<std::vector<std::string>> plays = PlayEventsByStart(twice.trace);
  ASSERT_EQ(2u, plays.size());
  ASSERT_GT(plays[0].size(), 30u);
  // The coin did set the view moving in the first play.
  const auto [fromX, toX] = ViewXFirstAndLast(plays[0]);
  EXPECT_GT(toX, fromX);
  EXPECT_EQ(plays[0], plays[1]);
}

// A numbered stage in test play starts every play afresh from its file, with a new play
// record: its goal adds 100 to the common variable V0, then V0 to the stage's score, so
// each play scores 100 (a play record carried over would give 200, then 300).
TEST_F(GameEndDrive, EveryPlayOfANumberedTestPlayStartsWithANewPlayRecord) {
  ASSERT_TRUE(WriteGoalStage("Count-1", 0, [](cEdStage& s) {
    s.m_bShowClear = 0;
    s.m_bAutoEnd = 1;  // the result leaves by itself, and the stage is played again
    std::vector<std::int32_t> add(18, 0);
    add[0] = 1;  // a variable: common, V0
    add[5] = 1;  // +
    add[7] = 100;
    std::vector<std::int32_t> score(18, 0);
    score[3] = 2;  // the system's value
    score[4] = 3;  // the score
    score[5] = 1;  // +
    score[6] = 3;  // a variable's value: common, V0
    cEdItem& goal = s.m_Items[0];
    goal.m_Commands.clear();
    goal.m_Commands.push_back(e2e::ItemCommand(CMD_STATUS, add));
    goal.m_Commands.push_back(e2e::ItemCommand(CMD_STATUS, score));
    goal.m_Commands.push_back(e2e::ClearStage());
  }));
  const e2e::DrivenRun run = RunStage("Count-1", "", 300);
  const std::vector<std::string> ends = e2e::EventsStarting(run.trace, "stage end");
  ASSERT_GE(ends.size(), 3u) << run.stderrText;
  for (const std::string& end : ends) EXPECT_EQ("stage end clear frames 1 score 100 next 0", end);
}

// F1 at the end of a challenge stage saves the replay; "リプレイ" from the title plays it
// to the same frames, positions and score, and once more from the replay's own result,
// with the coin's change of the scrolling undone.
TEST_F(GameEndDrive, AReplaySavedAtTheEndOfAChallengeStagePlaysTheSameGame) {
  ASSERT_TRUE(WriteScrollStage("c01-1"));
  const std::string toStage =
      "60 DOWN press 1\n62 DOWN press 1\n64 Z press 1\n"  // "チャレンジ"
      "150 Z press 1\n";                                  // stage 1
  const e2e::DrivenRun probe = Run({}, toStage, 400);
  const int nStart = e2e::FrameStarting(probe.trace, "stage start");
  ASSERT_GT(nStart, 0) << probe.stderrText;

  const int n = nStart + 10;
  const std::string walk = toStage + std::to_string(n) + " RIGHT down\n" + std::to_string(n + 20) + " X press 3\n";
  const e2e::DrivenRun walked = Run({}, walk, n + 300);
  const int nEnd = e2e::FrameStarting(walked.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << walked.stderrText;
  const std::string save = walk + std::to_string(nEnd + 5) + " RIGHT up\n" + std::to_string(nEnd + 70) +
                           " F1 press 1\n" + std::to_string(nEnd + 100) + " Z press 1\n";
  const e2e::DrivenRun recorded = Run({}, save, nEnd + 200, {"file=Mine.rpl4_513"});
  int nWritten = -1;
  for (const std::string& line : recorded.trace)
    if (line.find(" write ") != std::string::npos && line.find("/user_data/rpl4/Mine.rpl4_513 ok") != std::string::npos)
      nWritten = std::atoi(line.c_str());
  EXPECT_EQ(nEnd + 70, nWritten);
  EXPECT_EQ(nEnd + 100, e2e::FrameStarting(recorded.trace, "game end next scene 3"));
  EXPECT_EQ(nEnd + 100, e2e::FrameStarting(recorded.trace, "write user_data/challenge/Challenge.dat ok"));
  const std::vector<std::string> played = PlayEvents(recorded.trace);
  ASSERT_GT(played.size(), 30u);
  const auto [fromX, toX] = ViewXFirstAndLast(played);
  EXPECT_GT(toX, fromX);
  ASSERT_EQ(1u, e2e::EventsStarting(recorded.trace, "stage end").size());
  // The end counts the play frames: the last one is the frame that cleared.
  const std::vector<std::string> plays = e2e::EventsStarting(recorded.trace, "play ");
  ASSERT_FALSE(plays.empty());
  const std::string nLast = plays.back().substr(5, plays.back().find(' ', 5) - 5);
  EXPECT_EQ(1u, e2e::EventsStarting(recorded.trace, "stage end clear frames " + nLast + " score 300 ").size());

  // "リプレイ": four rows down. Confirmed at its end, the replay plays once more, the same.
  const std::string toReplay = "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 DOWN press 1\n68 Z press 1\n";
  const e2e::DrivenRun first = Run({}, toReplay, 500, {"file=Mine.rpl4_513"});
  const int nReplayEnd = e2e::FrameStarting(first.trace, "stage end");
  ASSERT_GT(nReplayEnd, 0) << first.stderrText;
  EXPECT_EQ(played, PlayEvents(first.trace));
  const e2e::DrivenRun twice =
      Run({}, toReplay + std::to_string(nReplayEnd + 60) + " Z press 1\n", nReplayEnd + 400, {"file=Mine.rpl4_513"});
  std::vector<std::string> both = played;
  both.insert(both.end(), played.begin(), played.end());
  EXPECT_EQ(both, PlayEvents(twice.trace));
}

// A replay that cannot be written (its name in the game folder is longer than a project's
// name may be) is refused with its sound, and the game end goes on.
TEST_F(GameEndDrive, AReplayThatCannotBeWrittenIsRefusedAndPlayGoesOn) {
  ASSERT_TRUE(WriteGoalStage("c01-1", 300));
  const std::string toStage = "60 DOWN press 1\n62 DOWN press 1\n64 Z press 1\n150 Z press 1\n";
  const e2e::DrivenRun probe = Run({}, toStage, 300);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const e2e::DrivenRun run =
      Run({}, toStage + std::to_string(nEnd + 70) + " F1 press 1\n" + std::to_string(nEnd + 100) + " Z press 1\n",
          nEnd + 200, {"file=" + std::string(240, 'r') + ".rpl4_513"});
  EXPECT_EQ(nEnd + 70, e2e::FrameStarting(run.trace, "sound 3 "));
  EXPECT_NE(std::string::npos, e2e::ReadLogUtf8(game_ / "Report_Game.txt").find(".rpl4_513"));
  EXPECT_EQ(nEnd + 100, e2e::FrameStarting(run.trace, "game end next scene 3"));
}

// A ranking that cannot be written (a folder has taken its file's name): the refusal
// sound and a box that names the file and the reason, and the game end goes on.
TEST_F(GameEndDrive, ARankingThatCannotBeSavedIsToldWithItsFileAndReason) {
  ASSERT_TRUE(WriteGoalStage("Rank", 300));
  fs::create_directories(game_ / "user_data" / "free" / "Rank.rkg");
  const e2e::DrivenRun probe = RunStage("Rank", "", 150);
  const int nEnd = e2e::FrameStarting(probe.trace, "stage end clear");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const std::string keys = std::to_string(nEnd + 60) + " F3 press 1\n" + std::to_string(nEnd + 90) + " Z press 1\n" +
                           std::to_string(nEnd + 120) + " Z press 1\n";
  const e2e::DrivenRun run = RunStage("Rank", keys, nEnd + 200, {"text=ABC+ok", "ok"});
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "ranking entry ABC"));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "write user_data/free/Rank.rkg failed"));
  EXPECT_EQ(nEnd + 60, e2e::FrameStarting(run.trace, "sound 3 "));
  const std::vector<std::string> boxes = e2e::EventsStarting(run.trace, "box ");
  ASSERT_EQ(1u, boxes.size()) << run.stderrText;
  EXPECT_NE(std::string::npos, boxes[0].find("Rank.rkg")) << boxes[0];
  EXPECT_NE(std::string::npos, boxes[0].find(std::strerror(EISDIR))) << boxes[0];
  EXPECT_EQ(nEnd + 120, e2e::FrameStarting(run.trace, "game end next scene 4"));
}

}  // namespace
