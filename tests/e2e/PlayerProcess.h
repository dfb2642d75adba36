// Runs the player binary as the user does: in a game folder, headless, with its own
// lock folder, scripted answers for its boxes, its frames dumped to a folder, and its
// standard error kept. The sample project is made once per test program by the
// sample-project maker and copied fresh for every run.
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

// A fresh copy of the sample project in a new folder; empty when the maker failed.
fs::path FreshSampleCopy(const fs::path& into);
// The player's first start: "default\" copied to "data\".
void CopyDefaultToData(const fs::path& game);

// Every regular file under root (relative path -> bytes), logs left out.
std::map<std::string, std::string> Snapshot(const fs::path& root);
std::string ReadFile(const fs::path& p);
// The file holding exactly these bytes; false when it could not be written.
bool WriteFile(const fs::path& p, const std::string& bytes);
// The report and debug logs converted to UTF-8 with LF line ends.
std::string ReadLogUtf8(const fs::path& p);

class PlayerProcess {
 public:
  struct Options {
    std::vector<std::string> args;           // the command line
    std::vector<std::string> uiAnswers;      // "yes", "no", ...
    std::map<std::string, std::string> env;  // extra or replaced variables
    long fileSizeLimit = -1;                 // when >= 0: no file grows past this many bytes (a full disk)
    bool closeSignalsBlocked = false;        // SIGTERM and SIGINT blocked at the start, as a launcher may leave them
  };

  // Starts the player in game; its lock, frames and standard error go into work.
  PlayerProcess(const fs::path& game, const fs::path& work, const Options& options);
  ~PlayerProcess();
  PlayerProcess(const PlayerProcess&) = delete;
  PlayerProcess& operator=(const PlayerProcess&) = delete;

  bool Started() const { return started_ok_; }
  // Frames presented so far (files in the dump folder).
  int FramesShown() const;
  // Waits until at least n frames were shown or the process ended; false on timeout or end.
  bool WaitForFrames(int n, int timeoutMs);
  // Milliseconds from the start to the first shown frame, once one was seen.
  std::optional<long> FirstFrameAfterMs() const;
  // Peak resident memory of the running process in kB (0 when it cannot be read).
  long PeakResidentKb() const;
  // The close request of a user: SIGTERM, which the window layer turns into a close.
  void RequestClose();
  // Sends a signal to the process.
  void Signal(int signal);
  // Waits for the end; the exit code, or nullopt when it had to be killed or died of a signal.
  std::optional<int> Wait(int timeoutMs);
  // What the player printed on standard error, as UTF-8.
  std::string Stderr() const;

 private:
  // Reaps the process when it has ended; true once it has.
  bool Ended();

  fs::path frames_;
  fs::path stderrPath_;
  pid_t pid_ = -1;
  bool started_ok_ = false;
  std::optional<int> exitCode_;
  long long startedMs_ = 0;
  mutable std::optional<long> firstFrameMs_;
};

// A run driven by a key script (test drive of the player): headless, on the fast clock,
// without frame dumps unless options.env names their folder, until the player ends by itself (a close request at a
// frame, a menu item, a refusal) or its time-out (30 s unless the options say) passes.
struct DriveOptions {
  std::string quitAt;                      // PELLMOOR_QUIT_AT, when not empty
  std::vector<std::string> args;           // the command line
  std::vector<std::string> uiAnswers;      // answers for boxes and dialogs
  std::map<std::string, std::string> env;  // further variables
  int timeoutMs = 30000;                   // the run is killed after this long
};
struct DrivenRun {
  std::optional<int> exitCode;     // nullopt when it had to be killed
  std::vector<std::string> trace;  // the trace's lines, "<frame> <event> <fields>"
  std::string stderrText;
  long wallMs = 0;  // start to end
};
// The key script and the trace are kept in work.
DrivenRun RunDriven(const fs::path& game, const fs::path& work, const std::string& keyScript,
                    const DriveOptions& options = {});
// The trace's lines without their frame: "<event> <fields>".
std::vector<std::string> TraceEvents(const std::vector<std::string>& lines);
// The events (without their frame) that start with prefix, in order.
std::vector<std::string> EventsStarting(const std::vector<std::string>& lines, const std::string& prefix);
// The game frame of the first line whose event is exactly this; -1 when there is none.
int FrameOf(const std::vector<std::string>& lines, const std::string& event);
// The game frame of the first line whose event starts with prefix; -1 when there is none.
int FrameStarting(const std::vector<std::string>& lines, const std::string& prefix);

}  // namespace e2e
