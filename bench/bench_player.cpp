// The whole player as the user starts it, in a fresh copy of the sample project, headless:
// - replay speed: a key-scripted test play of the first sample stage on the fast clock
//   (walking, jumping and firing); frames counted from the trace, the start-up taken out
//   by timing a short and a long run of the same script. Goal: at least 1,000 frames a second.
// - start-up: process start to the first presented frame (the title), the median of ten
//   whole-process runs. Goal: under 300 ms.
// - memory: the peak resident set of the long play, music and sounds loaded. Goal: under 150 MB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

double NowMs() {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A scratch folder holding a fresh sample project in game/ with its data in place, so that
// the player starts without asking; removed at the end of the program.
class Scratch {
 public:
  Scratch() {
    std::string tmpl = (fs::temp_directory_path() / "pellmoor-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return;
    root_ = tmpl;
    const fs::path pristine = root_ / "pristine";
    const std::string cmd = "\"" + (fs::path(PELLMOOR_BINARY_DIR) / "make-sample").string() + "\" \"" +
                            pristine.string() + "\" > /dev/null";
    if (std::system(cmd.c_str()) != 0) return;
    ok_ = true;
  }
  ~Scratch() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  bool Ok() const { return ok_; }
  // A fresh copy of the project under name, its "default\" copied to "data\".
  fs::path Game(const std::string& name) const {
    const fs::path game = root_ / name;
    std::error_code ec;
    fs::remove_all(game, ec);
    fs::copy(root_ / "pristine", game, fs::copy_options::recursive, ec);
    if (!ec) fs::copy(game / "default", game / "data", fs::copy_options::recursive, ec);
    return ec ? fs::path() : game;
  }
  fs::path Work(const std::string& name) const {
    const fs::path work = root_ / name;
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::create_directories(work / "lock", ec);
    return work;
  }

 private:
  fs::path root_;
  bool ok_ = false;
};

const Scratch& Project() {
  static const Scratch scratch;
  return scratch;
}

struct Run {
  std::optional<int> exitCode;
  double firstFrameMs = -1;  // start to the first dumped frame, when watched
  double wallMs = 0;         // start to end
  long peakKb = 0;           // the child's peak resident set
};

// Starts the player in game with env added to the headless environment and waits for its
// end. With a dump folder, the first frame is watched for and the player is closed then.
Run RunPlayer(const fs::path& game, const fs::path& work, std::map<std::string, std::string> env,
              const std::vector<std::string>& args, const fs::path& dump = {}) {
  std::map<std::string, std::string> all;
  for (char** e = environ; *e; ++e)
    if (const char* eq = std::strchr(*e, '=')) all[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
  all["PELLMOOR_HEADLESS"] = "1";
  all["SDL_VIDEODRIVER"] = "dummy";
  all["SDL_AUDIODRIVER"] = "dummy";
  all["PELLMOOR_LOCK_DIR"] = (work / "lock").string();
  all.erase("PELLMOOR_DEBUG_LOG");
  if (!dump.empty()) all["PELLMOOR_FRAME_DUMP"] = dump.string();
  for (auto& [k, v] : env) all[k] = v;
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : all) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings{(fs::path(PELLMOOR_BINARY_DIR) / "pellmoor-player").string()};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  Run run;
  const fs::path here = fs::current_path();
  fs::current_path(game);  // posix_spawn has no portable way to set the child's folder
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, (work / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const double t0 = NowMs();
  const int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  fs::current_path(here);
  if (err != 0) return run;

  int status = 0;
  rusage usage{};
  if (!dump.empty()) {
    // Polls the dump folder until the first frame's file is there (or the player ended).
    while (run.firstFrameMs < 0 && NowMs() - t0 < 30000) {
      std::error_code ec;
      if (fs::directory_iterator(dump, ec) != fs::directory_iterator()) run.firstFrameMs = NowMs() - t0;
      else if (::wait4(pid, &status, WNOHANG, &usage) == pid) {
        pid = -1;
        break;
      } else ::usleep(200);
    }
    if (pid > 0) ::kill(pid, SIGTERM);
  }
  if (pid > 0) {
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
      if (NowMs() - t0 > 60000) ::kill(pid, SIGKILL);
      ::usleep(500);
    }
  }
  run.wallMs = NowMs() - t0;
  run.peakKb = usage.ru_maxrss;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

// The frame of the trace's last line (the quit), 0 when there is none.
long LastTraceFrame(const fs::path& trace) {
  std::ifstream in(trace);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return std::atol(last.c_str());
}

// The test play: right held from frame 100, a jump every 40 frames and a shot every 15.
std::string PlayScript(int frames) {
  std::ostringstream s;
  s << "100 RIGHT down\n";
  for (int f = 110; f + 10 < frames; f += 5) {
    if (f % 40 == 30) s << f << " Z press 8\n";
    else if (f % 15 == 5) s << f << " X press 2\n";
  }
  return s.str();
}

struct Play {
  Run run;
  long frames = 0;
};

Play TestPlay(int frames) {
  const fs::path game = Project().Game("play"), work = Project().Work("play-work");
  { std::ofstream(work / "keys.txt") << PlayScript(frames); }
  Play play;
  play.run = RunPlayer(game, work,
                       {{"PELLMOOR_FAST", "1"},
                        {"PELLMOOR_KEY_SCRIPT", (work / "keys.txt").string()},
                        {"PELLMOOR_TRACE", (work / "trace.txt").string()},
                        {"PELLMOOR_QUIT_AT", std::to_string(frames)}},
                       {"data\\stg4\\Stage01-1.stg4"});
  play.frames = LastTraceFrame(work / "trace.txt");
  return play;
}

void BM_ReplaySpeed(benchmark::State& state) {
  if (!Project().Ok()) return state.SkipWithError("the sample project could not be made");
  constexpr int kShort = 300, kLong = 6300;
  double fps = 0, peakMb = 0;
  for (auto _ : state) {
    const Play a = TestPlay(kShort), b = TestPlay(kLong);
    if (a.run.exitCode != 0 || b.run.exitCode != 0 || b.frames <= a.frames)
      return state.SkipWithError("the test play did not end by its quit frame");
    const double ms = std::max(b.run.wallMs - a.run.wallMs, 1.0);
    state.SetIterationTime(ms / 1000.0);
    fps = static_cast<double>(b.frames - a.frames) * 1000.0 / ms;
    peakMb = std::max(peakMb, static_cast<double>(b.run.peakKb) / 1024.0);
  }
  state.counters["fps"] = fps;
  state.counters["goal_fps"] = 1000;
  state.counters["peak_MB"] = peakMb;
  state.counters["goal_peak_MB"] = 150;
}
BENCHMARK(BM_ReplaySpeed)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StartUpToFirstFrame(benchmark::State& state) {
  if (!Project().Ok()) return state.SkipWithError("the sample project could not be made");
  std::vector<double> times;
  for (auto _ : state) {
    const fs::path game = Project().Game("start"), work = Project().Work("start-work");
    const Run run = RunPlayer(game, work, {}, {}, work / "frames");
    if (run.firstFrameMs < 0) return state.SkipWithError("the player showed no frame");
    times.push_back(run.firstFrameMs);
    state.SetIterationTime(run.firstFrameMs / 1000.0);
  }
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  state.counters["median_ms"] = times[times.size() / 2];
  state.counters["goal_ms"] = 300;
}
BENCHMARK(BM_StartUpToFirstFrame)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
