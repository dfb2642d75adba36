// Loading a large stage: 200 x 200 placed blocks and 1,000 placed characters with flows,
// through LoadStage (file, end-code check, loader thread, start snapshot) and from memory.
#include <benchmark/benchmark.h>

#include "Baseline.h"

#include <filesystem>
#include <random>
#include <string>

#include "gamedata/StageLoad.h"
#include "gamedata/Stage.h"
#include "gamedata/Vocabulary.h"
#include "platform/fs.h"

namespace {

class cBenchRefs : public cDataRefs {
 public:
  int DatabaseSize(eDatabase) const override { return 8; }
};
const cBenchRefs g_Refs;

cEdStage LargeStage() {
  cEdStage s;
  s.m_nWidth = 200;
  s.m_nHeight = 200;
  s.m_Blocks.reserve(200 * 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      cEdBlock& b = s.m_Blocks.emplace_back();
      b.m_nImage = static_cast<std::int16_t>(1 + (x + y) % 7);
      b.m_nX = static_cast<std::int16_t>(x);
      b.m_nY = static_cast<std::int16_t>(y);
    }
  }
  for (int i = 0; i < 1000; ++i) {
    cEdChara& c = s.m_Charas.emplace_back();
    c.m_nOperator = i == 0 ? 0 : 1;
    c.m_nImage = 1;
    c.m_nX = static_cast<std::int16_t>(i % 200);
    c.m_nY = static_cast<std::int16_t>(i / 5);
    for (int f = 0; f < 2; ++f) {
      cEdFlow& flow = c.m_Flows.emplace_back();
      flow.m_Conditions.emplace_back().m_nKind = 4;
      cEdCommand& move = flow.m_Commands.emplace_back();
      move.m_nType = CMD_MOVE_STRAIGHT;
      move.NewMove();
      cEdCommand& jump = flow.m_Commands.emplace_back();
      jump.m_nType = CMD_JUMP;
    }
  }
  s.m_Items.resize(100);
  return s;
}

struct Fixture {
  Fixture() {
    SetDataRefs(&g_Refs);
    dir = std::filesystem::temp_directory_path() / ("bench_stage_load_" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir);
    old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    cEdStage s = LargeStage();
    cDataWriter out;
    out.WriteU32(g_nDataVersion);
    s.Save(out);
    bytes = out.Bytes();
    plat::fs::writeFileAtomic("Large.stg4_001", bytes);
  }
  ~Fixture() {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
    SetDataRefs(nullptr);
  }
  std::filesystem::path dir, old;
  std::string bytes;
};

void BM_LoadStage(benchmark::State& state) {
  Fixture f;
  // Beside memcpy of the file's bytes.
  bench::Measure(state, f.bytes.size(), 0, [&] {
    if (!LoadStage("Large.stg4", 1, &g_StartStage)) state.SkipWithError("load failed");
  });
  state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
}
BENCHMARK(BM_LoadStage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StageFromMemory(benchmark::State& state) {
  Fixture f;
  bench::Measure(state, f.bytes.size(), 0, [&] {
    std::unique_ptr<cDataReader> in = OpenLoadData(f.bytes);
    g_Stage.Load(*in);
    if (in->Failed()) state.SkipWithError("load failed");
  });
}
BENCHMARK(BM_StageFromMemory)->Unit(benchmark::kMillisecond);

}  // namespace
