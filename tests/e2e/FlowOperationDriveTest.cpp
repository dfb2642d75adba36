// The flow operation through the binary: a character of ten flows whose first flow
// pauses, ends, starts, deletes, stops and resumes the others by ID, all at once and by
// itself, read from the trace. Each of the other flows takes its own power of two off
// the hero's SP in every step it runs, so the SP lost in a frame names the flows that ran.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/PlayerProcess.h"
#include "e2e/TinyStage.h"
#include "gamedata/Vocabulary.h"
#include "test_support/TempDir.h"

namespace {

namespace fs = e2e::fs;

enum Operation { START = 0, END = 1, PAUSE = 2, RESUME = 3, DELETE = 4, STOP = 5 };
enum Which { THIS_FLOW = 0, ALL_OTHERS = 1, BY_ID = 2 };
enum Id { NO_ID = 0, ID_A = 1, ID_B, ID_C, ID_D, ID_E };
constexpr int TRIGGER_ALWAYS = 0;
constexpr int TRIGGER_BY_OPERATION = 19;

cEdCommand Command(int type, int time, std::vector<std::int32_t> params = {}) {
  cEdCommand c;
  c.m_nType = static_cast<std::int8_t>(type);
  c.m_nTime = static_cast<std::int16_t>(time);
  for (std::int32_t p : params) c.m_Params.push_back(p);
  c.Normalize();
  return c;
}

cEdCommand Operate(int nOperation, int nWhich, int nId = 0) { return Command(CMD_FLOW, 0, {nOperation, nWhich, nId}); }

cEdCommand Parallel(cEdCommand c) {
  c.m_bParallel = 1;
  return c;
}

// One step that takes 2^bit off the hero's SP.
cEdCommand Tick(int bit) {
  cEdCommand c = Command(CMD_CODE, 0);
  c.m_strText = "pl.sp = pl.sp - " + std::to_string(1 << bit);
  return c;
}

cEdFlow Flow(int nTrigger, int nId, std::vector<cEdCommand> commands) {
  cEdFlow f;
  f.m_nTrigger = static_cast<std::int8_t>(nTrigger);
  f.m_nID = static_cast<std::int8_t>(nId);
  for (cEdCommand& c : commands) f.m_Commands.push_back(c);
  return f;
}

// The first flow's operations, one every 31 steps: a wait of half a second (30 steps)
// and the operation's own step, so operation m runs in play frame 31 (m + 1).
struct Step {
  int operation, which, id;
};
constexpr Step SCHEDULE[] = {
    {PAUSE, BY_ID, ID_A}, {END, BY_ID, ID_B},    {START, BY_ID, ID_C},   {DELETE, BY_ID, ID_D},
    {STOP, BY_ID, ID_E},  {RESUME, BY_ID, ID_A}, {PAUSE, ALL_OTHERS, 0}, {RESUME, ALL_OTHERS, 0},
    {START, BY_ID, ID_E}, {START, BY_ID, ID_C},  {PAUSE, BY_ID, NO_ID},
};
constexpr int OPERATIONS = sizeof(SCHEDULE) / sizeof(SCHEDULE[0]);
int FrameOf(int m) { return 31 * (m + 1); }

std::vector<cEdFlow> TenFlows() {
  std::vector<cEdCommand> control;
  for (const Step& s : SCHEDULE) {
    control.push_back(Command(CMD_WAIT, 5));
    control.push_back(Operate(s.operation, s.which, s.id));
  }
  control.push_back(Command(CMD_WAIT, 30000));
  return {
      Flow(TRIGGER_ALWAYS, NO_ID, control),
      Flow(TRIGGER_ALWAYS, ID_A, {Tick(0)}),
      Flow(TRIGGER_ALWAYS, ID_A, {Tick(1)}),
      Flow(TRIGGER_ALWAYS, ID_B, {Tick(2)}),
      Flow(TRIGGER_BY_OPERATION, ID_C, {Tick(3)}),
      Flow(TRIGGER_ALWAYS, ID_D, {Tick(4)}),
      Flow(TRIGGER_ALWAYS, ID_E, {Tick(5)}),
      Flow(TRIGGER_ALWAYS, NO_ID, {Tick(6)}),
      // Stops itself for ever in its second step.
      Flow(TRIGGER_ALWAYS, NO_ID, {Tick(7), Operate(STOP, THIS_FLOW)}),
      // A resume of itself does not cut its step short: the tick beside it runs at once.
      Flow(TRIGGER_ALWAYS, NO_ID, {Parallel(Operate(RESUME, THIS_FLOW)), Tick(8)}),
  };
}

// The flows that run their tick in play frame n, from the table of operations: a pause
// holds a flow until its resume; an end lets a flow that runs always start again in the
// next frame; a start runs a flow once, even one no trigger starts; a deleted flow still
// finishes the step it is in; a flow stopped for ever stays stopped, whatever follows; and
// ID 0 names no flow.
int ExpectedTicks(int n) {
  auto at = [](int m) { return FrameOf(m); };
  const bool bAllPaused = n >= at(6) && n < at(7);
  int mask = 0;
  if ((n < at(0) || n >= at(5)) && !bAllPaused) mask |= 1 << 0 | 1 << 1;
  if (n != at(1) && !bAllPaused) mask |= 1 << 2;
  if (n == at(2) || n == at(9)) mask |= 1 << 3;
  if (n <= at(3)) mask |= 1 << 4;
  if (n < at(4)) mask |= 1 << 5;
  if (!bAllPaused) mask |= 1 << 6 | 1 << 8;
  if (n == 1) mask |= 1 << 7;
  return mask;
}

TEST(FlowOperationDrive, TenFlowsOfACharacterFollowTheOperationsOfItsFirstFlow) {
  test_support::TempDir tmp;
  const fs::path game = e2e::FreshSampleCopy(tmp.path());
  ASSERT_FALSE(game.empty()) << "the sample project could not be made";
  e2e::CopyDefaultToData(game);
  ASSERT_TRUE(e2e::WriteTinyStage(game, "Flows", [&](cEdStage& s, const e2e::StageParts& p) {
    s.m_nHitLevel = 1;
    for (int x = 0; x < 20; ++x) s.m_Blocks.push_back(e2e::BlockAt(p.block, x, 13));
    cEdChara hero = p.hero;
    hero.m_nMaxSP = 999999;  // starts full
    hero.m_Flows.clear();
    s.m_Charas.push_back(e2e::CharaAt(hero, 2, 12));
    cEdChara turret = p.walker;
    turret.m_nBodyPower = 0;
    turret.m_Flows.clear();
    for (const cEdFlow& f : TenFlows()) turret.m_Flows.push_back(f);
    s.m_Charas.push_back(e2e::CharaAt(turret, 10, 12));
    // Another character stops the flows of ID A for ever in every step: of its own
    // flows, for it has none of that ID; the turret's are not its to steer.
    cEdChara other = p.walker;
    other.m_nBodyPower = 0;
    other.m_Flows.clear();
    other.m_Flows.push_back(Flow(TRIGGER_ALWAYS, NO_ID, {Operate(STOP, BY_ID, ID_A)}));
    s.m_Charas.push_back(e2e::CharaAt(other, 15, 12));
  }));

  const int nLast = FrameOf(OPERATIONS - 1) + 30;
  const e2e::DrivenRun run = e2e::RunDriven(game, fs::path(tmp.path()) / "run", "",
                                            {.quitAt = std::to_string(nLast + 60),
                                             .args = {"data\\stg4\\Flows.stg4"},
                                             .uiAnswers = {},
                                             .env = {{"PELLMOOR_TRACE_FRAMES", "1"}}});
  ASSERT_TRUE(run.exitCode.has_value()) << run.stderrText;
  EXPECT_EQ(*run.exitCode, 0) << run.stderrText;

  std::vector<long> sp;  // sp[n - 1]: the hero's SP as play frame n begins
  for (const std::string& e : e2e::TraceEvents(run.trace)) {
    if (e.rfind("play ", 0) != 0) continue;
    ASSERT_EQ(std::atoi(e.c_str() + 5), static_cast<int>(sp.size()) + 1) << e;
    sp.push_back(std::atol(e.c_str() + e.find(" sp ") + 4));
  }
  ASSERT_GT(static_cast<int>(sp.size()), nLast);
  EXPECT_EQ(sp[0], 999999);
  for (int n = 1; n <= nLast; ++n) EXPECT_EQ(sp[n - 1] - sp[n], ExpectedTicks(n)) << "play frame " << n;
}

}  // namespace
