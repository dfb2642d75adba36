// The stage scene's pause menu, continue menu and game over through the player binary:
// key scripts on the fast clock, read back from the trace. Story mode runs on the
// sample's world map with its first stage replaced by a tiny stage whose time limit
// kills the hero after 3 seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/SampleGameTest.h"
#include "e2e/TinyStage.h"
#include "gamedata/Command.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Flow.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "gamedata/WorldMap.h"
#include "platform/bmp.h"
#include "platform/fs.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

// The events of the trace that tell the road through the stage scene: scene switches,
// stage starts and phases, deaths and the end.
std::vector<std::string> Road(const std::vector<std::string>& trace) {
  std::vector<std::string> out;
  for (const std::string& event : e2e::TraceEvents(trace))
    for (const char* prefix : {"scene ", "stage start", "stage phase", "hero dead", "quit"})
      if (event.rfind(prefix, 0) == 0) {
        // The stage file's path is the test's own folder.
        out.push_back(event.rfind("stage start", 0) == 0 ? "stage start" : event);
        break;
      }
  return out;
}

// The play-frame numbers of the "play" lines, with the game frame of each.
struct PlayAt {
  int frame;  // game frame
  int play;   // play frame
};
std::vector<PlayAt> Plays(const std::vector<std::string>& trace) {
  std::vector<PlayAt> out;
  for (const std::string& line : trace) {
    const std::size_t sp = line.find(' ');
    if (line.compare(sp + 1, 5, "play ") == 0)
      out.push_back({std::atoi(line.c_str()), std::atoi(line.c_str() + sp + 6)});
  }
  return out;
}

// The sounds played in the game frames from..to, as "<frame> sound <n>".
std::vector<std::string> Sounds(const std::vector<std::string>& trace, int from, int to) {
  std::vector<std::string> out;
  for (const std::string& line : trace) {
    const int frame = std::atoi(line.c_str());
    if (frame < from || frame > to || line.find(" sound ") == std::string::npos) continue;
    out.push_back(line.substr(0, line.find(" vol")));
  }
  return out;
}

class StageMenusDrive : public e2e::SampleGameTest {
 protected:
  // The map's first stage: a floor, the hero, and a time limit of 3 seconds.
  void WriteTimedStage() {
    ASSERT_TRUE(e2e::WriteTinyStage(game_, "Stage01-1", [](cEdStage& s, const e2e::StageParts& p) {
      s.m_bTimeLimit = 1;
      s.m_nTimeLimit = 3;
      for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
      s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
    }));
  }

  // Story mode with limited lives, with or without the continue menu after a miss; the
  // first map point leads into its stage without asking, so a return to the map that
  // forgot where the hero came from would lead him in again at once.
  void SetUpStory(int nStartLives, int bContinueMenu) {
    const std::string system = plat::fs::fromNative((game_ / "data" / "System.dat").string());
    cEdSystem sys;
    ASSERT_EQ(1, sys.LoadFromFile(system));
    sys.m_UnlimitedLives[GAME_MODE_STORY] = 0;
    sys.m_StartLives[GAME_MODE_STORY] = nStartLives;
    sys.m_bStoryContinueOnMiss = bContinueMenu;
    ASSERT_EQ(1, sys.SaveToFile(system));
    const std::string worldMap = plat::fs::fromNative((game_ / "data" / "WorldMap.dat").string());
    cEdWorldMap map;
    ASSERT_EQ(1, map.LoadFromFile(worldMap));
    ASSERT_FALSE(map.m_Points.empty());
    map.m_Points[0].m_Entries[0].m_bAskFirst = 0;
    ASSERT_EQ(1, map.SaveToFile(worldMap));
  }

  // A stage whose hero stands on a goal at once: the goal adds 350 to the score and
  // clears the stage; the project's extra life every 100 points and 5 start lives in free
  // play.
  void WriteGoalStage(const std::string& name) {
    ASSERT_TRUE(e2e::WriteGoalStage(game_, name, 350, {}, [](cEdSystem& sys) {
      sys.m_bExtend = 1;
      sys.m_nExtendScore = 100;
      sys.m_UnlimitedLives[GAME_MODE_FREE] = 0;
      sys.m_StartLives[GAME_MODE_FREE] = 5;
    }));
  }

  e2e::DrivenRun Run(const std::string& keys, int quitAt, std::vector<std::string> args = {}) {
    e2e::DrivenRun run = e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run" + std::to_string(++runs_)), keys,
                                        {.quitAt = quitAt > 0 ? std::to_string(quitAt) : std::string(),
                                         .args = std::move(args),
                                         .uiAnswers = {},
                                         .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
    EXPECT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
    EXPECT_EQ(run.stderrText.find("Sanitizer"), std::string::npos) << run.stderrText;
    return run;
  }

  int runs_ = 0;
};

// Start lives 2: one life is played, one is in reserve. The first miss retries the stage
// and takes the reserve; the second is game over, and the confirm button leads to the
// title.
TEST_F(StageMenusDrive, TheLastLifeLostEndsInGameOverAndTheTitle) {
  WriteTimedStage();
  SetUpStory(2, 0);
  const e2e::DrivenRun run = Run("60 Z press 1\n900 Z press 1\n", 1000);
  const std::vector<std::string> expected = {
      "scene -1 -> 0",      "scene 0 -> 1",       "scene 1 -> 4",       "stage start",        "stage phase 0 -> 1",
      "stage phase 1 -> 2", "hero dead",          "stage start",        "stage phase 2 -> 1", "stage phase 1 -> 2",
      "hero dead",          "stage phase 2 -> 6", "stage phase 6 -> 7", "scene 4 -> 0",       "quit 0"};
  EXPECT_EQ(expected, Road(run.trace));
  // The game over waits for the key, whatever the time.
  EXPECT_EQ(900, e2e::FrameOf(run.trace, "stage phase 6 -> 7"));
  // Each life lasts the 3 seconds of the limit: the hero dies in play frame 180.
  std::vector<int> deaths;
  int nPlay = 0;
  for (const std::string& line : run.trace) {
    const std::string event = line.substr(line.find(' ') + 1);
    if (event.rfind("play ", 0) == 0) nPlay = std::atoi(event.c_str() + 5);
    if (event == "hero dead") deaths.push_back(nPlay);
  }
  EXPECT_EQ((std::vector<int>{180, 180}), deaths);
}

// With the continue menu: the first miss offers it, "continue" retries; the second miss
// offers it again and "back to the map" ends on the map, which does not lead the hero
// into the stage again.
TEST_F(StageMenusDrive, TheContinueMenuRetriesOrGivesUpForTheMap) {
  WriteTimedStage();
  SetUpStory(3, 1);
  const e2e::DrivenRun first = Run("60 Z press 1\n", 700);
  const int nMenu = e2e::FrameOf(first.trace, "stage phase 2 -> 5");
  ASSERT_GT(nMenu, 0);
  // The menu stands as long as nothing is chosen.
  EXPECT_EQ(-1, e2e::FrameOf(first.trace, "stage phase 5 -> 1"));

  const int nContinue = nMenu + 20;
  const std::string keys = "60 Z press 1\n" + std::to_string(nContinue) + " Z press 1\n";
  const e2e::DrivenRun second = Run(keys, nContinue + 600);
  const int nMenu2 = [&] {
    int n = -1;
    for (const std::string& line : second.trace)
      if (line.substr(line.find(' ') + 1) == "stage phase 2 -> 5") n = std::atoi(line.c_str());
    return n;
  }();
  ASSERT_GT(nMenu2, nContinue);
  const int nDown = nMenu2 + 20, nGiveUp = nMenu2 + 30;
  const e2e::DrivenRun run =
      Run(keys + std::to_string(nDown) + " DOWN press 1\n" + std::to_string(nGiveUp) + " Z press 1\n", nGiveUp + 200);
  const std::vector<std::string> expected = {
      "scene -1 -> 0",      "scene 0 -> 1",       "scene 1 -> 4",       "stage start",
      "stage phase 0 -> 1", "stage phase 1 -> 2", "hero dead",          "stage phase 2 -> 5",
      "stage start",        "stage phase 5 -> 1", "stage phase 1 -> 2", "hero dead",
      "stage phase 2 -> 5", "stage phase 5 -> 7", "scene 4 -> 1",       "quit 0"};
  EXPECT_EQ(expected, Road(run.trace));
  EXPECT_EQ(nContinue, e2e::FrameOf(run.trace, "stage phase 5 -> 1"));
  // The cursor's sound for the move, the confirm for the choice.
  EXPECT_EQ((std::vector<std::string>{std::to_string(nDown) + " sound 0", std::to_string(nGiveUp) + " sound 1"}),
            Sounds(run.trace, nDown, nGiveUp));
}

// The pause menu of a test play (free play: three rows, the cursor on "resume"): each
// way out, with the play-frame count standing while the menu is shown.
TEST_F(StageMenusDrive, ThePauseMenuStopsThePlayAndLeavesByEachOfItsRows) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Pause", [](cEdStage& s, const e2e::StageParts& p) {
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
  }));
  const std::vector<std::string> args = {"data\\stg4\\Pause.stg4"};
  constexpr int PAUSE_AT = 100, CHOOSE_AT = 140;
  struct Case {
    const char* name;
    std::string keys;  // at CHOOSE_AT and after
    std::string sound;
    std::string phase;  // the phase change at CHOOSE_AT
    int nNextPlay;      // the play frame after the menu; 0 when the program ends
  };
  const std::string at = std::to_string(CHOOSE_AT);
  const std::vector<Case> cases = {
      {"resume", at + " Z press 1\n", "sound 1", "stage phase 3 -> 2", -1},
      {"cancel", at + " X press 1\n", "sound 2", "stage phase 3 -> 2", -1},
      {"retry", std::to_string(CHOOSE_AT - 5) + " DOWN press 1\n" + at + " Z press 1\n", "sound 1",
       "stage phase 3 -> 1", 1},
      {"end", std::to_string(CHOOSE_AT - 5) + " UP press 1\n" + at + " Z press 1\n", "sound 1", "stage phase 3 -> 7",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const e2e::DrivenRun run = Run(std::to_string(PAUSE_AT) + " SPACE press 1\n" + c.keys, 260, args);
    EXPECT_EQ(PAUSE_AT, e2e::FrameOf(run.trace, "stage phase 2 -> 3"));
    EXPECT_EQ(CHOOSE_AT, e2e::FrameOf(run.trace, c.phase));
    const std::vector<std::string> sounds = Sounds(run.trace, PAUSE_AT, CHOOSE_AT);
    ASSERT_FALSE(sounds.empty());
    EXPECT_EQ(std::to_string(PAUSE_AT) + " sound 4", sounds.front());
    EXPECT_EQ(at + " " + c.sound, sounds.back());
    // No play frame while the menu is shown; the count goes on where it stood.
    int nBefore = 0, nAfter = 0;
    for (const PlayAt& p : Plays(run.trace)) {
      EXPECT_FALSE(p.frame >= PAUSE_AT && p.frame <= CHOOSE_AT) << p.frame;
      if (p.frame < PAUSE_AT) nBefore = p.play;
      if (p.frame > CHOOSE_AT && nAfter == 0) nAfter = p.play;
    }
    ASSERT_GT(nBefore, 0);
    if (c.nNextPlay < 0) {
      EXPECT_EQ(nBefore + 1, nAfter);
    } else {
      EXPECT_EQ(c.nNextPlay, nAfter);
    }
    // Ending the game of a test play closes the program rather than showing the title.
    if (c.nNextPlay == 0) {
      EXPECT_GE(e2e::FrameOf(run.trace, "quit 0"), CHOOSE_AT);
      EXPECT_EQ(-1, e2e::FrameOf(run.trace, "scene 4 -> 0"));
    }
  }
}

// In story mode a stage never cleared has the two-row pause menu: down from "resume"
// wraps to "end the game", which leads to the title.
TEST_F(StageMenusDrive, AStoryStageNotClearedBeforeOffersNoRetry) {
  WriteTimedStage();
  SetUpStory(3, 1);
  const e2e::DrivenRun probe = Run("60 Z press 1\n", 300);
  const int nPlay = e2e::FrameOf(probe.trace, "stage phase 1 -> 2");
  ASSERT_GT(nPlay, 0);
  const int nPause = nPlay + 30;
  const e2e::DrivenRun run =
      Run("60 Z press 1\n" + std::to_string(nPause) + " SPACE press 1\n" + std::to_string(nPause + 10) +
              " DOWN press 1\n" + std::to_string(nPause + 20) + " Z press 1\n",
          nPause + 100);
  EXPECT_EQ(nPause, e2e::FrameOf(run.trace, "stage phase 2 -> 3"));
  EXPECT_EQ(nPause + 20, e2e::FrameOf(run.trace, "stage phase 3 -> 7"));
  EXPECT_LT(nPause + 20, e2e::FrameOf(run.trace, "scene 4 -> 0"));
}

// The pause menu is drawn over the frozen stage: the box of its three rows centred on
// x 320 (the widest text "しゅうりょう" has 6 characters, plus the cursor's column: 112
// pixels, so x 264) at y 272, and the cursor sprite of the accessory sheet on "resume".
TEST_F(StageMenusDrive, ThePauseMenuShowsItsCursorOnResume) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Pause", [](cEdStage& s, const e2e::StageParts& p) {
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
  }));
  const fs::path frames = fs::path(tmp_.path()) / "frames";
  fs::create_directories(frames);
  const e2e::DrivenRun run = e2e::RunDriven(game_, fs::path(tmp_.path()) / "dump", "100 SPACE press 1\n",
                                            {.quitAt = "110",
                                             .args = {"data\\stg4\\Pause.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_FRAME_DUMP", frames.string()}}});
  ASSERT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
  const auto shown = plat::bmp::load(plat::fs::fromNative((frames / "frame_000105.bmp").string()));
  const auto sheet = plat::bmp::load(plat::fs::fromNative((game_ / "bmp" / "Accessory.bmp").string()));
  ASSERT_TRUE(shown && sheet);
  const std::uint32_t clear = sheet->rgbAt(0, 64);  // the sheet's transparent colour
  int opaque = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t sprite = sheet->rgbAt(64 + x, y);
      if (sprite == clear) continue;
      ++opaque;
      EXPECT_EQ(sprite, shown->rgbAt(264 + x, 288 + y)) << x << "," << y;
    }
  EXPECT_GT(opaque, 20);
}

// A close request while the pause menu is shown ends the program at once.
TEST_F(StageMenusDrive, ACloseDuringThePauseMenuEndsTheProgram) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Pause", [](cEdStage& s, const e2e::StageParts& p) {
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(e2e::CharaAt(p.hero, 5, 12));
  }));
  const e2e::DrivenRun run = Run("100 SPACE press 1\n", 130, {"data\\stg4\\Pause.stg4"});
  EXPECT_EQ(100, e2e::FrameOf(run.trace, "stage phase 2 -> 3"));
  // The close is served while the game thread goes on: a few frames may pass.
  EXPECT_GE(e2e::FrameOf(run.trace, "quit 0"), 130);
}

// A close during the first of two game waits of a flow: the second is never started and
// the program ends.
TEST_F(StageMenusDrive, ACloseDuringConsecutiveWaitsEndsTheProgram) {
  ASSERT_TRUE(e2e::WriteTinyStage(game_, "Waits", [](cEdStage& s, const e2e::StageParts& p) {
    cEdChara hero = e2e::CharaAt(p.hero, 5, 12);
    cEdFlow flow;
    flow.m_nTrigger = 0;
    for (int i = 0; i < 2; ++i) {
      cEdCommand wait;
      wait.m_nType = CMD_GAME_WAIT;
      wait.m_Params.push_back(10000);  // 1000 seconds
      flow.m_Commands.push_back(wait);
    }
    hero.m_Flows.push_back(flow);
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    s.m_Charas.push_back(hero);
  }));
  const e2e::DrivenRun run = Run("", 150, {"data\\stg4\\Waits.stg4"});
  EXPECT_EQ(1u, Plays(run.trace).size());
}

// A close during the first of the three extra-life pauses of a stage's end: the other
// two pauses are never started and the program ends from the result phase.
TEST_F(StageMenusDrive, ACloseDuringTheFirstOfThreeExtraLifePausesEndsTheProgram) {
  WriteGoalStage("Extend");
  // Free play of the stage file from the title, where lives count.
  const std::string keys = "60 DOWN press 1\n62 DOWN press 1\n64 DOWN press 1\n66 Z press 1\n";
  const std::vector<std::string> answers = {"file=Extend.stg4_001"};
  auto run = [&](int quitAt) {
    e2e::DrivenRun r = e2e::RunDriven(game_, fs::path(tmp_.path()) / ("run" + std::to_string(++runs_)), keys,
                                      {.quitAt = std::to_string(quitAt), .args = {}, .uiAnswers = answers, .env = {}});
    EXPECT_EQ(r.exitCode.value_or(-1), 0) << r.stderrText;
    return r;
  };
  const e2e::DrivenRun probe = run(400);
  const int nFirst = e2e::FrameOf(probe.trace, "extra life lives 5");
  ASSERT_GT(nFirst, 0) << probe.stderrText;
  ASSERT_EQ(3, static_cast<int>(std::count_if(probe.trace.begin(), probe.trace.end(), [](const std::string& l) {
              return l.find(" extra life ") != std::string::npos;
            })));

  const e2e::DrivenRun closed = run(nFirst + 10);
  // The lives are still counted, but without their pauses: the first is cut short and
  // the other two come in one frame.
  const int nSecond = e2e::FrameOf(closed.trace, "extra life lives 6");
  ASSERT_GE(nSecond, nFirst + 10);
  EXPECT_LT(nSecond, nFirst + 30);
  EXPECT_EQ(nSecond, e2e::FrameOf(closed.trace, "extra life lives 7"));
  EXPECT_GE(e2e::FrameOf(closed.trace, "quit 0"), nSecond);
}

// A close while the ranking tables are shown over the result ends the program.
TEST_F(StageMenusDrive, ACloseDuringTheRankingDisplayEndsTheProgram) {
  WriteGoalStage("Rank");
  const std::vector<std::string> args = {"data\\stg4\\Rank.stg4"};
  const e2e::DrivenRun probe = Run("", 150, args);
  const int nEnd = e2e::FrameOf(probe.trace, "stage phase 2 -> 4");
  ASSERT_GT(nEnd, 0) << probe.stderrText;
  const int nEntry = nEnd + 60;
  const e2e::DrivenRun run =
      e2e::RunDriven(game_, fs::path(tmp_.path()) / "ranking", std::to_string(nEntry) + " F3 press 1\n",
                     {.quitAt = std::to_string(nEntry + 20), .args = args, .uiAnswers = {"text=ABC+ok"}, .env = {}});
  EXPECT_EQ(run.exitCode.value_or(-1), 0) << run.stderrText;
  EXPECT_EQ(nEntry, e2e::FrameOf(run.trace, "dialog 102  -> 1"));
  EXPECT_GE(e2e::FrameOf(run.trace, "quit 0"), nEntry + 20);
}

}  // namespace
