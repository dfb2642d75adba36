// Every figure beside memcpy of the same bytes, measured in the same run, and beside its
// goal: the counter memcpy_us is the time of memcpy of the bytes an iteration draws,
// x_memcpy the iteration's time over it, goal_memcpy the largest ratio allowed (absent
// where none is set).
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace bench {

// Processor seconds of the process: on a shared, busy machine the time a figure and its
// baseline were given, not the time they waited (<chrono> carries a literal the build's
// character set lacks).
inline double Now() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The time of memcpy of `bytes` between two warm buffers: the median of a batch of
// runs, each long enough for the clock's microsecond steps.
inline double MemcpySeconds(std::size_t bytes) {
  bytes = std::max<std::size_t>(bytes, 1);
  std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
  const int reps = static_cast<int>(std::clamp<std::size_t>((std::size_t{1} << 25) / bytes, 4, 1 << 16));
  std::vector<double> runs;
  for (int i = 0; i < 15; ++i) {
    const double t0 = Now();
    for (int r = 0; r < reps; ++r) {
      std::memcpy(b.data(), a.data(), bytes);
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
    }
    runs.push_back((Now() - t0) / reps);
  }
  std::nth_element(runs.begin(), runs.begin() + 7, runs.end());
  return runs[7];
}

// Times the state's loop around fn; sets the bytes processed and the counters of the
// figure beside memcpy of the same bytes, measured just before.
template <class Fn>
double Measure(benchmark::State& state, std::size_t bytes, double goal, Fn&& fn) {
  const double copy = MemcpySeconds(bytes);
  const double t0 = Now();
  for (auto _ : state) {
    fn();
    benchmark::ClobberMemory();
  }
  const double each = (Now() - t0) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["memcpy_us"] = copy * 1e6;
  state.counters["x_memcpy"] = each / copy;
  if (goal > 0) state.counters["goal_memcpy"] = goal;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
  return each;
}

}  // namespace bench
