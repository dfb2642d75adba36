// The block-character pass of one sub-step: n walking characters, each standing on one
// of n block characters spread over a wide stage. The scans go by cell, so the time per
// walker stays flat as n grows instead of growing with n.
#include <benchmark/benchmark.h>

#include <memory>

#include "gamedata/Stage.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

void Place(cActor& a, double x, double y, int nKind) {
  a.Init(1, nKind, 0, 0, 0, nullptr, 0, 0, 0, 32, 32, 32, 32, 0, 0, 0);
  a.m_dX = x;
  a.m_dY = y;
  a.ClampX(2);
  a.ClampY(2);
  a.SavePos();
}

void BM_BlockCharaPass(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  g_Stage.m_dGravity = 0.4;
  g_Stage.SetHitLevel(1);
  auto scene = std::make_unique<cStageScene>();
  g_StageScene = scene.get();
  const int nWidth = 40 + n * 3;
  scene->m_ScrollX.SetMapGeometry(0, nWidth, (nWidth + 20) * 32 - 640);
  scene->m_ScrollY.SetMapGeometry(1, 15, 35 * 32 - 640);
  cEdStage stage;
  stage.m_nWidth = nWidth;
  stage.m_nHeight = 15;
  scene->BuildBlockMap(stage);
  g_Players.assign(1, cPlayer{});
  g_Charas.clear();
  for (int i = 0; i < n; ++i) {
    cChara& b = g_Charas.emplace_back();
    Place(b, 320 + 96.0 * i, 320 + 32 * 8, 1);
    b.m_Def.m_bBlockChara = 1;
    b.m_bExists = 1;
    b.m_nSerial = i + 1;
  }
  for (int i = 0; i < n; ++i) {
    cChara& w = g_Charas.emplace_back();
    Place(w, 320 + 96.0 * i, 320 + 32 * 7 + 2, 1);  // two pixels into its platform
    w.m_bExists = 1;
    w.m_nSerial = n + i + 1;
  }
  for (auto _ : state) {
    ++scene->m_nStepCount;
    for (cChara& c : g_Charas) {
      if (c.m_Def.m_bBlockChara) continue;
      c.m_dY = 320 + 32 * 7 + 2;
      c.ClampY(2);
      benchmark::DoNotOptimize(scene->BlockCharaPass(c));
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
  g_Charas.clear();
  g_Players.clear();
  g_BlockMap.clear();
  g_StageScene = nullptr;
}
BENCHMARK(BM_BlockCharaPass)->Arg(8)->Arg(64)->Arg(256);

}  // namespace
