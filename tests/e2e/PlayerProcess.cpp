#include "e2e/PlayerProcess.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <time.h>

#include "platform/cp932.h"
#include "test_support/SampleProject.h"

extern char** environ;

namespace e2e {
namespace {

long long NowMs() {
  timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000); }

const fs::path kPlayer = fs::path(PELLMOOR_BINARY_DIR) / "pellmoor-player";
}  // namespace

fs::path FreshSampleCopy(const fs::path& into) {
  const fs::path game = into / "game";
  return test_support::CopySampleProject(game, false) ? game : fs::path();
}

void CopyDefaultToData(const fs::path& game) { fs::copy(game / "default", game / "data", fs::copy_options::recursive); }

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return !out.fail();
}

std::string ReadLogUtf8(const fs::path& p) {
  std::string text = plat::cp932::toUtf8(ReadFile(p));
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    const std::string rel = fs::relative(it->path(), root).string();
    if (rel == "Report_Game.txt" || rel == "EC_Game.txt") continue;
    files[rel] = ReadFile(it->path());
  }
  return files;
}

PlayerProcess::PlayerProcess(const fs::path& game, const fs::path& work, const Options& options)
    : frames_(work / "frames"), stderrPath_(work / "stderr.txt") {
  fs::create_directories(frames_);
  fs::create_directories(work / "lock");

  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq) env[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
  }
  env["PELLMOOR_HEADLESS"] = "1";
  env["SDL_VIDEODRIVER"] = "dummy";
  env["SDL_AUDIODRIVER"] = "dummy";
  env["PELLMOOR_LOCK_DIR"] = (work / "lock").string();
  env["PELLMOOR_FRAME_DUMP"] = frames_.string();
  env["PELLMOOR_DEBUG_LOG"] = "1";
  std::string answers;
  for (const std::string& a : options.uiAnswers) answers += (answers.empty() ? "" : ",") + a;
  env["PELLMOOR_UI_SCRIPT"] = answers;
  for (const auto& [key, value] : options.env) env[key] = value;

  std::vector<std::string> envStrings;
  for (const auto& [key, value] : env) envStrings.push_back(key + "=" + value);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string program = kPlayer.string();
  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  const std::string gameDir = game.string();
  const std::string errPath = stderrPath_.string();

  startedMs_ = NowMs();
  const long sizeLimit = options.fileSizeLimit;
  // Blocked before the fork, so that the child has the mask from its first instruction;
  // the mask outlives exec, and a close signal sent at once waits for the program.
  sigset_t closeSignals, oldMask;
  sigemptyset(&closeSignals);
  sigaddset(&closeSignals, SIGTERM);
  sigaddset(&closeSignals, SIGINT);
  if (options.closeSignalsBlocked) ::pthread_sigmask(SIG_BLOCK, &closeSignals, &oldMask);
  pid_ = ::fork();
  if (pid_ != 0 && options.closeSignalsBlocked) ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
  if (pid_ == 0) {
    if (sizeLimit >= 0) {
      // A write past the limit fails (EFBIG) as on a full disk instead of ending the process.
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(sizeLimit), static_cast<rlim_t>(sizeLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    int fd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) ::dup2(fd, 2);
    if (::chdir(gameDir.c_str()) != 0) ::_exit(126);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  started_ok_ = pid_ > 0;
}

PlayerProcess::~PlayerProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

int PlayerProcess::FramesShown() const {
  int n = 0;
  std::error_code ec;
  for (auto it = fs::directory_iterator(frames_, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) ++n;
  if (n > 0 && !firstFrameMs_) { firstFrameMs_ = static_cast<long>(NowMs() - startedMs_); }
  return n;
}

bool PlayerProcess::Ended() {
  if (pid_ <= 0) return true;
  int status = 0;
  const pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == 0) return false;
  pid_ = -1;
  if (r > 0 && WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
  return true;
}

bool PlayerProcess::WaitForFrames(int n, int timeoutMs) {
  const long long until = NowMs() + timeoutMs;
  while (NowMs() < until) {
    if (FramesShown() >= n) return true;
    if (Ended()) return false;
    SleepMs(1);
  }
  return false;
}

std::optional<long> PlayerProcess::FirstFrameAfterMs() const { return firstFrameMs_; }

long PlayerProcess::PeakResidentKb() const {
  if (pid_ <= 0) return 0;
  std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

void PlayerProcess::RequestClose() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
}

void PlayerProcess::Signal(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

std::optional<int> PlayerProcess::Wait(int timeoutMs) {
  const long long until = NowMs() + timeoutMs;
  while (!Ended()) {
    if (NowMs() >= until) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return std::nullopt;
    }
    SleepMs(2);
  }
  return exitCode_;
}

std::string PlayerProcess::Stderr() const { return ReadFile(stderrPath_); }

DrivenRun RunDriven(const fs::path& game, const fs::path& work, const std::string& keyScript,
                    const DriveOptions& options) {
  fs::create_directories(work);
  const fs::path script = work / "keys.txt", trace = work / "trace.txt";
  {
    std::ofstream out(script, std::ios::binary);
    out << keyScript;
  }
  std::map<std::string, std::string> env = options.env;
  env["PELLMOOR_KEY_SCRIPT"] = script.string();
  env["PELLMOOR_TRACE"] = trace.string();
  env["PELLMOOR_FAST"] = "1";
  env.try_emplace("PELLMOOR_FRAME_DUMP", "");
  if (!options.quitAt.empty()) env["PELLMOOR_QUIT_AT"] = options.quitAt;
  const long long begin = NowMs();
  PlayerProcess player(game, work, {.args = options.args, .uiAnswers = options.uiAnswers, .env = env});
  DrivenRun run;
  run.exitCode = player.Wait(options.timeoutMs);
  run.wallMs = static_cast<long>(NowMs() - begin);
  run.stderrText = player.Stderr();
  const std::string text = ReadFile(trace);
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    run.trace.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return run;
}

std::vector<std::string> TraceEvents(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    const std::size_t space = l.find(' ');
    out.push_back(space == std::string::npos ? l : l.substr(space + 1));
  }
  return out;
}

std::vector<std::string> EventsStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& e : TraceEvents(lines))
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

int FrameOf(const std::vector<std::string>& lines, const std::string& event) {
  for (const std::string& line : lines)
    if (line.substr(line.find(' ') + 1) == event) return std::atoi(line.c_str());
  return -1;
}

int FrameStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines) {
    const std::size_t sp = line.find(' ');
    if (sp != std::string::npos && line.compare(sp + 1, prefix.size(), prefix) == 0) return std::atoi(line.c_str());
  }
  return -1;
}

}  // namespace e2e
