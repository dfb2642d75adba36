// A death with lives left sets the stage up again: played through the binary with the
// trace, the second life starts from the stage file's own settings, not from what play
// changed, and draws the same random numbers as the first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "flow/StatusEngine.h"
#include "gamedata/DataPaths.h"
#include "gamedata/System.h"
#include "gamedata/Vocabulary.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

constexpr int MOVE_RIGHT = 3;
constexpr int COMPARE_AT_LEAST = 2;

cEdCommand Command(int type, int time) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  c.Normalize();
  return c;
}

cEdCommand Code(const std::string& text) {
  cEdCommand c = Command(CMD_CODE, 0);
  c.m_strText = text;
  return c;
}

// One step of a straight move to the right, 3 pixels a frame.
cEdCommand StepRight() {
  cEdCommand c;
  c.m_nType = CMD_MOVE_STRAIGHT;
  c.m_nTime = 0;
  c.NewMove();
  c.m_pMove->m_nDirection = MOVE_RIGHT;
  c.m_pMove->m_nSpeed = 30;
  c.Normalize();
  return c;
}

// A step right in every frame in which the hero's HP (3) is at least a random number
// from 1 to 6: the random generator decides about half of the frames.
cEdFlow RandomWalk() {
  cEdFlow flow;
  flow.m_nTrigger = 0;
  cEdCondition c;
  c.m_nKind = 4;
  c.m_nSubject = 0;
  c.m_nWhose = OWNER_SELF;
  c.m_nStatus = STATUS_HP;
  c.m_nOperandKind = 1;
  c.m_nRandomMin = 1;
  c.m_nRandomMax = 6;
  c.m_nCompare = COMPARE_AT_LEAST;
  flow.m_Conditions.push_back(c);
  flow.m_Commands.push_back(StepRight());
  return flow;
}

// After a second of play the flow switches the stage's automatic scrolling to 10 tenths
// of a pixel a frame: a stage setting that play changes and the view shows.
cEdFlow LateScroll() {
  cEdFlow flow;
  flow.m_nTrigger = 0;
  flow.m_Commands.push_back(Command(CMD_WAIT, 10));
  flow.m_Commands.push_back(Code("scrlx = 10"));
  flow.m_Commands.push_back(Command(CMD_WAIT, 30000));
  return flow;
}

// The play lines of each life, without their game frame: "play <n> x .. view <x> <y>".
std::vector<std::vector<std::string>> PlayLinesByLife(const std::vector<std::string>& trace) {
  std::vector<std::vector<std::string>> lives;
  for (const std::string& event : e2e::TraceEvents(trace)) {
    if (event.rfind("stage start ", 0) == 0) lives.emplace_back();
    else if (event.rfind("play ", 0) == 0 && !lives.empty()) lives.back().push_back(event);
  }
  return lives;
}

double Field(const std::string& line, const char* name) {
  const std::string tag = std::string(" ") + name + " ";
  return std::strtod(line.c_str() + line.find(tag) + tag.size(), nullptr);
}

// A time limit of 2 kills the hero in play frame 120 of every life; test play has lives
// without end, so each death sets the stage up again.
TEST(RetryDrive, ARetryRestoresTheStageSettingsAndRepeatsTheRandomSequence) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  bool bSystemSaved = false;
  ASSERT_TRUE(e2e::WriteTinyStage(game, "Retry", [&](cEdStage& s, const e2e::StageParts& p) {
    // Without replay recording the seed stays from one set-up to the next.
    g_System.m_bRecordReplay = 0;
    bSystemSaved = g_System.SaveToFile(g_PathTable[PATH_SYSTEM]) != 0;
    s.m_nHitLevel = 1;
    s.m_bTimeLimit = 1;
    s.m_nTimeLimit = 2;
    e2e::MakeAutoScrolling(s, 40, 0);
    for (int x = 0; x < 40; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    cEdChara hero = p.hero;
    hero.m_Flows.clear();
    hero.m_Flows.push_back(RandomWalk());
    hero.m_Flows.push_back(LateScroll());
    s.m_Charas.push_back(e2e::CharaAt(hero, 8, 12));
  }));
  ASSERT_TRUE(bSystemSaved);

  const e2e::DrivenRun run = e2e::RunDriven(
      game, fs::path(tmp.path()) / "run", "",
      {.quitAt = "600", .args = {"data\\stg4\\Retry.stg4"}, .uiAnswers = {}, .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0) << run.stderrText;

  const std::vector<std::vector<std::string>> lives = PlayLinesByLife(run.trace);
  ASSERT_GE(lives.size(), 2u) << "no set-up after the death";
  const std::vector<std::string>& first = lives[0];
  const std::vector<std::string>& second = lives[1];
  ASSERT_GT(first.size(), 120u);
  ASSERT_GE(second.size(), 120u);
  // Each set-up names the same stage, the death comes between them.
  std::vector<std::string> starts;
  for (const std::string& e : e2e::TraceEvents(run.trace))
    if (e.rfind("stage start ", 0) == 0 || e == "hero dead") starts.push_back(e);
  ASSERT_GE(starts.size(), 3u);
  EXPECT_EQ(starts[1], "hero dead");
  EXPECT_EQ(starts[2], starts[0]);

  // The first life: the random steps move the hero in some frames and not in others, and
  // the scrolling switched on in play frame 61 has moved the view.
  int nMoves = 0, nStays = 0;
  for (int i = 1; i < 120; ++i) (Field(first[i], "x") > Field(first[i - 1], "x") ? nMoves : nStays)++;
  EXPECT_GT(nMoves, 20);
  EXPECT_GT(nStays, 20);
  EXPECT_EQ(Field(first[60], "view"), Field(first[0], "view"));
  EXPECT_GT(Field(first[119], "view"), Field(first[0], "view") + 40);

  // The second life repeats the first line for line: the same random steps, and the view
  // standing still until the flow switches the scrolling on again.
  for (std::size_t i = 0; i < 120; ++i) EXPECT_EQ(second[i], first[i]) << "play frame " << i + 1;
}

}  // namespace
