// The set-up of a large running stage, as a retry runs it: a 200 x 200 stage full of
// blocks with 1,000 placed characters (two flows each) and 100 items. Goal: under 50 ms
// and under 64 MB of peak memory for the whole process. Beside it the largest stage the
// set-up accepts, 1000 x 1000 full of blocks with the hero alone: under 200 ms, with a
// block map under 32 MB.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

void FillLargeStage(cEdStage& s) {
  s.Reset();
  s.m_nWidth = 200;
  s.m_nHeight = 200;
  s.m_nExtentX = (200 + 20) * 32 - 640;
  s.m_nExtentY = (200 + 20) * 32 - 640;
  s.m_Blocks.reserve(200 * 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      cEdBlock& b = s.m_Blocks.emplace_back();
      b.m_nImage = static_cast<std::int16_t>(1 + (x + y) % 7);
      b.m_nHit = 1;
      b.m_nX = static_cast<std::int16_t>(x);
      b.m_nY = static_cast<std::int16_t>(y);
    }
  }
  for (int i = 0; i < 1000; ++i) {
    cEdChara& c = s.m_Charas.emplace_back();
    c.Reset();
    c.m_nOperator = i == 0 ? 0 : 1;
    c.m_nPassNumber = i == 0 ? 0 : 1;
    c.m_nImage = 1;
    c.m_nCarriedItem = -1;
    c.m_nX = static_cast<std::int16_t>(i % 200);
    c.m_nY = static_cast<std::int16_t>(i / 5);
    for (int f = 0; f < 2; ++f) {
      cEdFlow& flow = c.m_Flows.emplace_back();
      cEdCommand& move = flow.m_Commands.emplace_back();
      move.m_nType = CMD_MOVE_STRAIGHT;
      move.NewMove();
      cEdCommand& jump = flow.m_Commands.emplace_back();
      jump.m_nType = CMD_JUMP;
    }
  }
  for (int i = 0; i < 100; ++i) {
    cEdItem& item = s.m_Items.emplace_back();
    item.Reset();
    item.m_nX = static_cast<std::int16_t>(2 * i);
    item.m_nY = 150;
  }
}

// Peak resident memory of the process in MB.
double PeakMegabytes() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0.0;
}

// Sets the filled stage up once as its first start, then times the retry's set-up.
void TimeRetrySetups(benchmark::State& state) {
  g_StartStage.MakeStartSnapshot(g_Stage);
  auto scene = std::make_unique<cStageScene>();
  g_StageScene = scene.get();
  scene->SetStage(SET_STAGE_MUSIC_RESTART);
  for (auto _ : state) {
    scene->SetStage(SET_STAGE_RESTART);
    benchmark::DoNotOptimize(g_BlockMap.data());
  }
}

void ClearStagePlay() {
  g_Charas.clear();
  g_Items.clear();
  g_Players.clear();
  g_BlockMap.clear();
  g_StageScene = nullptr;
}

void BM_StageSetup(benchmark::State& state) {
  FillLargeStage(g_Stage);
  TimeRetrySetups(state);
  state.counters["characters"] = static_cast<double>(g_Charas.size());
  state.counters["map_cells"] = static_cast<double>(g_BlockMap.size());
  state.counters["peak_MB"] = PeakMegabytes();
  state.counters["goal_ms"] = 50;
  state.counters["goal_MB"] = 64;
  ClearStagePlay();
}
BENCHMARK(BM_StageSetup)->Unit(benchmark::kMillisecond);

void FillLargestStage(cEdStage& s) {
  s.Reset();
  s.m_nWidth = MAX_STAGE_CELLS;
  s.m_nHeight = MAX_STAGE_CELLS;
  s.m_nExtentX = (MAX_STAGE_CELLS + 20) * 32 - 640;
  s.m_nExtentY = (MAX_STAGE_CELLS + 20) * 32 - 640;
  s.m_Blocks.reserve(static_cast<std::size_t>(MAX_STAGE_CELLS) * MAX_STAGE_CELLS);
  for (int y = 0; y < MAX_STAGE_CELLS; ++y) {
    for (int x = 0; x < MAX_STAGE_CELLS; ++x) {
      cEdBlock& b = s.m_Blocks.emplace_back();
      b.m_nImage = static_cast<std::int16_t>(1 + (x + y) % 7);
      b.m_nHit = 1;
      b.m_nX = static_cast<std::int16_t>(x);
      b.m_nY = static_cast<std::int16_t>(y);
    }
  }
  cEdChara& hero = s.m_Charas.emplace_back();
  hero.Reset();
  hero.m_nOperator = 0;
  hero.m_nImage = 1;
  hero.m_nCarriedItem = -1;
}

void BM_LargestStageSetup(benchmark::State& state) {
  FillLargestStage(g_Stage);
  TimeRetrySetups(state);
  state.counters["map_cells"] = static_cast<double>(g_BlockMap.size());
  state.counters["map_MB"] = static_cast<double>(g_BlockMap.size() * sizeof(cMapBlock)) / (1024.0 * 1024.0);
  state.counters["goal_ms"] = 200;
  state.counters["goal_map_MB"] = 32;
  ClearStagePlay();
  g_Stage.Reset();
  g_Stage.m_Blocks.clear();
  g_Stage.m_Charas.clear();
}
BENCHMARK(BM_LargestStageSetup)->Unit(benchmark::kMillisecond);

}  // namespace
