// One stage frame, its drawing and its logic apart. The picture at 32 bits: eight
// background layers (one opaque, seven keyed, three scrolling by themselves), a full
// screen of blocks, the status bar with every item and the time digits, with the actors
// and items of the sample stage (30 characters) or of a stress stage (100 characters, 300
// items), all on screen and animated. The logic: the sub-steps of a frame at hit-test
// level 10 on a stage the size of the sample's (40 x 15, a ground and walls), with the
// hero and 1 (the sample) or 100 (stress) walkers pacing the ground by their flows.
// Goals: under 1 ms a frame for the sample stage, 4 ms for the stress stage; with the
// sample's characters drawn through character effects and a full-screen effect, 2 ms.
#include <benchmark/benchmark.h>

#include "Baseline.h"
#include "StageBench.h"

#include <memory>

#include "gamedata/Database.h"
#include "stage/RunTimeTables.h"
#include "gamedata/Stage.h"
#include "gamedata/System.h"
#include "gfx/BmpTable.h"
#include "gfx/DDBlt.h"
#include "gfx/DDInit.h"
#include "gfx/DDPalette.h"
#include "gfx/DDSurface.h"
#include "platform/display.h"
#include "gamedata/Vocabulary.h"
#include "stage/ActorPhysics.h"
#include "stage/BlockMap.h"
#include "stage/Chara.h"
#include "stage/Item.h"
#include "stage/Player.h"
#include "stage/StageScene.h"

namespace {

constexpr int SHEETS[] = {2, 46, 49, 51, 4, 5, 40};
constexpr int WORK_B = 67;
constexpr int WORK_A = 68;

void MakeSheets() {
  for (int i = 0; i < 256; ++i) g_Palette[i] = PALETTEENTRY{std::uint8_t(i), std::uint8_t(255 - i), 7, 0};
  g_TransmitPixel = 0;
  for (int i = 0; i < 8; ++i) {
    DDSURFACEDATA* sd = &g_SurfaceData[55 + i];
    DDCreateSurface(sd, 640, 480, i == 0 ? 0 : 1, 0, 0, 0, false);
    for (int y = 0; y < 480; y += 8)
      for (int x = 0; x < 640; x += 8) DDFillRect(sd, x, y, 8, 8, (x + y + i) % 3 ? 0 : 20 + i);
    cEdBackground& layer = g_Stage.m_Backgrounds.emplace_back();
    layer.m_dScrollX = 0.1 * (i + 1);
    layer.m_bAutoX = i % 3 == 2;
    layer.m_dScrollX = layer.m_bAutoX ? 1.5 : layer.m_dScrollX;
  }
  const int sizes[][2] = {{480, 480}, {640, 20}, {128, 176}, {320, 192}, {320, 480}, {320, 480}, {256, 480}};
  for (int i = 0; i < 7; ++i) {
    DDSURFACEDATA* sd = &g_SurfaceData[SHEETS[i]];
    DDCreateSurface(sd, sizes[i][0], sizes[i][1], i == 1 ? 0 : 1, 0, 0, 0, false);
    for (int y = 0; y < sizes[i][1]; y += 4) DDFillRect(sd, 0, y, sizes[i][0], 2, 40 + y % 50);
  }
  g_System.m_HudItems.assign(5, cEdHudItem{});
  for (int i = 0; i < 5; ++i) {
    cEdHudItem& item = g_System.m_HudItems[i];
    item.m_bShow = 1;
    item.m_bIcon = 1;
    item.m_nWidth = 6;
  }
}

// Characters walking through four patterns and items, spread over the view at (x0, y0).
void PlaceObjects(int nCharas, int nItems, double x0, double y0) {
  for (int i = 0; i < nCharas; ++i) {
    cChara& c = g_Charas.emplace_back();
    c.cGameObject::Init(1, 1, 0, 1, i % 15, nullptr, 0, 0, 0, 32, 32, 32, 32, i % 2, 0, 0);
    c.m_Def.m_nImageSheet = 1;
    c.m_Def.m_nZ = static_cast<std::uint8_t>(i % 8);
    c.m_Anime.m_Sequences = {{{0, 8, 0}, {1, 8, 0}, {2, 8, 0}, {3, 8, 0}, {ANIME_CODE_LOOP, 0, 0}}};
    c.m_dX = x0 + 16 + (i * 53) % 600;
    c.m_dY = y0 + 24 + (i * 37) % 420;
    c.m_bOnScreen = 1;
  }
  for (int i = 0; i < nItems; ++i) {
    cItem& item = g_Items.emplace_back();
    cEdItem def;
    def.m_nImage = static_cast<std::int16_t>(i % 60);
    def.m_nGroup5 = static_cast<std::uint8_t>(i % 8);
    item.Init(1, def, 0);
    item.m_dX = x0 + (i * 29) % 620;
    item.m_dY = y0 + 20 + (i * 43) % 440;
    item.m_bOnScreen = 1;
  }
}

// The sample stage set up for drawing: its layers, blocks, status bar and nCharas
// characters and nItems items on screen.
std::unique_ptr<cStageScene> SetUpStage(int nCharas, int nItems) {
  DDUnInit();
  plat::display::resetForTests();
  plat::display::setDesktopDepthOverride(32);
  DDInit(0, 1, 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0);
  g_Stage.Reset();
  g_Stage.m_bStatusBar = 1;
  MakeSheets();
  auto scene = std::make_unique<cStageScene>();
  g_StageScene = scene.get();
  g_Players.resize(1);
  scene->m_ScrollX.SetMapGeometry(0, 60, 60 * 32);
  scene->m_ScrollY.SetMapGeometry(1, 30, 30 * 32);
  cEdStage stage;
  stage.m_nWidth = 60;
  stage.m_nHeight = 30;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      cEdBlock& b = stage.m_Blocks.emplace_back();
      b.m_nImage = static_cast<std::int16_t>(1 + (x + y) % 50);
      b.m_nLayer = static_cast<std::uint8_t>((x + y) % 5 == 0);
      b.m_nX = static_cast<std::int16_t>(x);
      b.m_nY = static_cast<std::int16_t>(y);
    }
  scene->BuildBlockMap(stage);
  scene->m_nTimeLeft = 300;
  g_Stage.m_bDrawByLayer = 1;
  PlaceObjects(nCharas, nItems, 330.5, 341.25);
  return scene;
}

// Frames of the scene until the state runs out, the objects scrolling with the view so
// that every one stays on screen; beside memcpy of one 32-bit screen (Baseline.h).
void DrawFrames(benchmark::State& state, cStageScene& scene) {
  double x = 330.5;
  bench::Measure(state, std::size_t{640} * 480 * 4, 0, [&] {
    scene.m_ScrollX.m_dPos = x;
    scene.m_ScrollY.m_dPos = 341.25;
    const double dx = x > 900 ? 330.5 - x : 3.25;
    x += dx;
    for (cChara& c : g_Charas) c.m_dX += dx;
    for (cItem& item : g_Items) item.m_dX += dx;
    scene.Draw(STAGE_DRAW_PLAYING | STAGE_DRAW_BOTTOM_TEXT);
  });
}

void TearDownStage(std::unique_ptr<cStageScene>& scene) {
  g_StageScene = nullptr;
  scene.reset();
  for (int i = 0; i < 8; ++i) DDReleaseSurface(&g_SurfaceData[55 + i]);
  for (int n : SHEETS) DDReleaseSurface(&g_SurfaceData[n]);
  g_Players.clear();
  g_Charas.clear();
  g_Items.clear();
  g_BlockMap.clear();
  DDUnInit();
}

void BM_StageFrame(benchmark::State& state) {
  auto scene = SetUpStage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  DrawFrames(state, *scene);
  state.counters["goal_ms"] = 1;
  TearDownStage(scene);
}
// (characters, items): the sample stage, then the stress stage.
BENCHMARK(BM_StageFrame)->Args({30, 0})->Args({100, 300})->ArgNames({"charas", "items"})->Unit(benchmark::kMicrosecond);

// The sample stage's frame with every one of its 30 characters drawn through a looping
// character effect (the kinds 1 to 16 in turn) and a full-screen effect of the kind
// given as the argument. Goal: under 2 ms a frame.
void BM_StageFrameWithEffects(benchmark::State& state) {
  auto scene = SetUpStage(30, 0);
  for (int n : {WORK_A, WORK_B}) DDCreateSurface(&g_SurfaceData[n], 640, 480, 1, 1, 1, 0, false);
  const cVector<cEdCharaEffect> charaEffects = g_Database.m_CharaEffects;
  const cVector<cEdScrEffect> scrEffects = g_Database.m_ScrEffects;
  g_Database.m_CharaEffects.resize(1);
  g_Database.m_CharaEffects[0].m_nKind = 0;
  for (int k = 1; k < CHARA_EFFECT_KIND_COUNT; ++k) {
    cEdCharaEffect& e = g_Database.m_CharaEffects.emplace_back();
    e.m_nKind = k;
    for (int i = 0; i < EFFECT_PARAM_COUNT; ++i) e.m_nParams[i] = g_CharaEffectParams[k][i].nDefault;
  }
  const int nScreenKind = static_cast<int>(state.range(0));
  g_Database.m_ScrEffects.resize(2);
  g_Database.m_ScrEffects[0].m_nKind = 0;
  g_Database.m_ScrEffects[1].m_nKind = nScreenKind;
  for (int i = 0; i < EFFECT_PARAM_COUNT; ++i)
    g_Database.m_ScrEffects[1].m_nParams[i] = g_ScrEffectParams[nScreenKind][i].nDefault;
  BuildDatabaseTables();
  int i = 0;
  for (cChara& c : g_Charas) c.m_CharaEffect.Start(1 + i++ % 16, EFFECT_RUN_ROUND_TRIP, 1);
  scene->m_ScreenEffect.Start(1, EFFECT_RUN_ROUND_TRIP, 1);
  DrawFrames(state, *scene);
  state.counters["goal_ms"] = 2;
  for (int n : {WORK_A, WORK_B}) DDReleaseSurface(&g_SurfaceData[n]);
  g_Database.m_CharaEffects = charaEffects;
  g_Database.m_ScrEffects = scrEffects;
  BuildDatabaseTables();
  TearDownStage(scene);
}
// Screen-effect kinds: 2 shake, 6 wave, 9 turn, 10 circle, 11 zoom, 12 lens, 13 mosaic.
// clang-format off
BENCHMARK(BM_StageFrameWithEffects)->Arg(2)->Arg(6)->Arg(9)->Arg(10)->Arg(11)->Arg(12)->Arg(13)->Unit(benchmark::kMicrosecond);
// clang-format on

// A walking body of 16 x 24 standing on the bottom of the cell whose top-left is map
// pixel (x, y).
void Stand(cActor& a, int nSerial, int nKind, double x, double y) {
  a.Init(nSerial, nKind, 0, nKind, 0, nullptr, 0, 8, 8, 16, 24, 32, 32, 0, 0, 0);
  a.m_Def.m_nScale = 1;
  a.m_Def.m_nMaxHP = a.m_nHp = 3;
  a.m_dX = x + 8;
  a.m_dY = y + 8;
  a.ClampX(2);
  a.ClampY(2);
}

// Walks the ground forward for five seconds, turning at walls and edges; again and again.
cEdFlow PaceFlow() {
  cEdFlow flow;
  flow.m_nTrigger = 0;
  cEdCommand move;
  move.m_nSet = 0;
  move.m_nType = CMD_MOVE_STRAIGHT + 1;
  move.m_nTime = 50;
  move.NewMove();
  move.m_pMove->m_nMode = 0;
  move.m_pMove->m_nDirection = 0;
  move.m_pMove->m_nTimingMode = 0;
  move.m_pMove->m_nSpeed = 10;
  move.Normalize();
  flow.m_Commands.push_back(move);
  return flow;
}

void BM_StageLogic(benchmark::State& state) {
  const int nWalkers = static_cast<int>(state.range(0));
  g_Stage.Reset();
  g_Stage.m_dGravity = 0.4;
  g_Stage.SetHitLevel(10);
  auto scene = MakeOpenStageScene(40, 15, 60 * 32 - 640, 35 * 32 - 640);
  cEdStage stage;
  stage.m_nWidth = 40;
  stage.m_nHeight = 15;
  auto block = [&](int x, int y) {
    cEdBlock& b = stage.m_Blocks.emplace_back();
    b.m_nImage = 1;
    b.m_nX = static_cast<std::int16_t>(x);
    b.m_nY = static_cast<std::int16_t>(y);
  };
  for (int x = 0; x < 40; ++x) {
    block(x, 13);
    block(x, 14);
  }
  for (int y = 10; y <= 12; ++y) {
    block(0, y);
    block(39, y);
  }
  scene->BuildBlockMap(stage);
  g_Players.clear();
  g_Players.resize(1);
  Stand(g_Players[0], 0, 0, (2 + 10) * 32, (12 + 10) * 32);
  scene->m_SideActors[0].push_back(&g_Players[0]);
  g_Charas.clear();
  for (int i = 0; i < nWalkers; ++i) {
    cChara& c = g_Charas.emplace_back();
    Stand(c, i + 1, 1, (1 + i % 37 + 10) * 32, (12 + 10) * 32);
    c.m_nSide = 1;
    c.m_nLifeSteps = UNLIMITED_LIFE;
    c.m_bExists = c.m_bActive = 1;
    c.m_Def.m_Flows.push_back(PaceFlow());
    c.BuildFlows(c.m_Def.m_Flows, 0, 0, -1);
    scene->m_SideActors[1].push_back(&c);
  }
  for (auto _ : state) {
    g_Players[0].ResetFlowTriggerFlags();
    for (cChara& c : g_Charas) c.ResetFlowTriggerFlags();
    scene->PlayLogic();
    benchmark::ClobberMemory();
  }
  state.counters["goal_ms"] = nWalkers > 1 ? 4 : 1;
  state.counters["walkers"] = static_cast<double>(g_Charas.size());
  g_StageScene = nullptr;
  scene.reset();
  g_Players.clear();
  g_Charas.clear();
  g_BlockMap.clear();
}
BENCHMARK(BM_StageLogic)->Arg(1)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
