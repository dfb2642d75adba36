// The shot work of one displayed frame at hit-test level 10 (ten logic sub-steps): 500
// shots in flight, half of them clashing, over 100 characters of another side; each
// sub-step runs the shot pass, the attacks against the actors and the clashes. Shots
// that leave are fired again, so that 500 stay in flight. Goal: well under the 4 ms of a
// whole stress frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "gamedata/Stage.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Player.h"
#include "stage/Shot.h"
#include "stage/StageScene.h"
#include "StageBench.h"

namespace {

constexpr int CHARAS = 100;
constexpr int SHOTS = 500;

void Fire(cStageScene& scene, cActor& shooter, int n) {
  cEdShot p;
  p.m_bHitsShots = static_cast<std::uint8_t>(n % 2);
  p.m_nShotStrength = static_cast<std::uint8_t>(n % 7);
  SHOTSPAWN rec;
  const double a = n * 0.7;
  rec.nX = 400 + (n * 37) % 1200;
  rec.nY = 330 + (n * 53) % 380;
  rec.dVx = 4 * std::cos(a);
  rec.dVy = 4 * std::sin(a);
  rec.dSpeed = 4;
  cShot s;
  s.Init(scene.m_nNextShotId++, shooter, CMD_SHOT, p, rec);
  scene.AddShot(s);
}

void BM_StageShots(benchmark::State& state) {
  g_Stage.Reset();
  g_Stage.m_dGravity = 0.4;
  g_Stage.SetHitLevel(10);
  for (std::int32_t* pair : {g_Stage.m_PlayerShotSize, g_Stage.m_PlayerShotAttack}) pair[0] = pair[1] = 16;
  auto scene = MakeOpenStageScene(60, 15, 80 * 32 - 640, 35 * 32 - 640);
  cEdStage stage;
  stage.m_nWidth = 60;
  stage.m_nHeight = 15;
  for (int x = 0; x < 60; ++x) {
    cEdBlock& b = stage.m_Blocks.emplace_back();
    b.m_nImage = 1;
    b.m_nX = static_cast<std::int16_t>(x);
    b.m_nY = 14;
  }
  scene->BuildBlockMap(stage);
  g_Players.clear();
  g_Players.resize(1);
  cPlayer& hero = g_Players[0];
  hero.cGameObject::Init(0, 0, 0, 0, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 0, 0, 0);
  g_Charas.clear();
  for (int i = 0; i < CHARAS; ++i) {
    cChara& c = g_Charas.emplace_back();
    c.cGameObject::Init(i + 1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 0, 0, 0);
    c.m_dX = 400 + (i * 97) % 1200;
    c.m_dY = 340 + (i * 31) % 360;
    c.m_BoxB.m_nW = c.m_BoxB.m_nH = 30;
    c.ClampX(2);
    c.ClampY(2);
    c.m_bExists = 1;
    scene->m_SideActors[1].push_back(&c);
  }
  int n = 0;
  for (; n < SHOTS; ++n) Fire(*scene, hero, n);
  for (auto _ : state) {
    for (int i = 1; i <= g_SubSteps; ++i) {
      scene->m_nSubStep = i;
      scene->ShotPass();
      scene->HitShotsOnActors();
      scene->ClashShots();
    }
    while (scene->m_Shots.Size() < SHOTS) Fire(*scene, hero, n++);
    benchmark::ClobberMemory();
  }
  state.counters["goal_ms"] = 4;
  state.counters["shots"] = SHOTS;
  state.counters["charas"] = CHARAS;
  g_StageScene = nullptr;
  scene.reset();
  g_Players.clear();
  g_Charas.clear();
  g_BlockMap.clear();
}
BENCHMARK(BM_StageShots)->Unit(benchmark::kMicrosecond);

}  // namespace
