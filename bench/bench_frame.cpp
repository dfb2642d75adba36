// The frame step's own cost around an empty scene without graphics, with the test drive
// off (a normal run) and with the trace on: what the drive adds to every frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/Scene.h"
#include "app/SceneHost.h"
#include "base/Timer.h"
#include "platform/drive.h"

namespace {

void FrameStep(benchmark::State& state) {
  plat::sys::LaunchParams launch;
  if (state.range(0)) launch.trace = "/dev/null";
  if (!plat::drive::Start(launch, nullptr)) {
    state.SkipWithError("the trace cannot be opened");
    return;
  }
  ResetTimers();
  g_SceneHost.m_lpFactory = [](std::int32_t) -> std::unique_ptr<cScene> { return std::make_unique<cScene>(); };
  g_SceneManager.m_nScene = SCENE_TITLE;
  g_SceneManager.m_nFrameRate = 0;
  for (auto _ : state) benchmark::DoNotOptimize(g_SceneHost.StepFrame());
  g_SceneHost.DeleteAllScenes();
  g_SceneHost.m_lpFactory = nullptr;
  plat::drive::Stop();
}
BENCHMARK(FrameStep)->ArgName("trace")->Arg(0)->Arg(1);

}  // namespace
