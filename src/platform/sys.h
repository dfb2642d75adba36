// Launch parameters, the random-number generator that replays depend on, and the
// link to the kit's editor.
//
// Switches of the platform come from environment variables only, so the command line
// stays what the program defines (a stage file to test-play):
//   PELLMOOR_HEADLESS=1        no display or sound card; boxes go to standard error
//   PELLMOOR_SHOW_COMMAND=n    the show command (5 = started by the kit's editor)
//   PELLMOOR_EDITOR_LINK=path  AF_UNIX datagram socket that receives the editor notices
//   PELLMOOR_LOCK_DIR=dir      folder of the single-instance lock file
//   PELLMOOR_UI_SCRIPT=a,b     answers for headless message boxes ("yes,no,ok,cancel")
//   PELLMOOR_DEBUG_LOG=1       switches the debug log "EC_Game.txt" on
//   PELLMOOR_ASSUME_ACTIVE=1   treat the shown window as active (no window manager)
// and the test drive of drive.h: PELLMOOR_KEY_SCRIPT, PELLMOOR_TRACE,
// PELLMOOR_TRACE_FRAMES, PELLMOOR_FAST, PELLMOOR_QUIT_AT.
#pragma once
#include <cstdint>
#include <string>

namespace plat::sys {

struct LaunchParams {
  std::string commandLine;  // argv[1..] joined by single spaces, in the program's path form
  int showCommand = 1;      // sw::Normal unless set
  bool headless = false;
  bool debugLog = false;
  bool assumeActive = false;
  std::string editorLink, lockDir, uiScript;
  // The test drive (drive.h): file names, switches and the frame of the close request
  // as given (empty when not set).
  std::string keyScript, trace, quitAt;
  bool traceFrames = false;
  bool fast = false;
};

// Reads the environment (and the arguments when given).
LaunchParams readLaunchParams(int argc, char** argv);
// The process's parameters: read from the environment on first use, or set by main.
const LaunchParams& launch();
void setLaunch(const LaunchParams& p);

// The Windows C runtime's generator: x = x * 214013 + 2531011, result
// (x >> 16) & 32767. Replays store the seed and must repeat its sequence exactly.
struct MsvcRand {
  std::uint32_t state = 1;
  void seed(std::uint32_t s) { state = s; }
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

// Notices to the kit's editor: one datagram of four little-endian 32-bit values
// {kind (1 start, 0 end), size 4, value, window token}. Without an editor (no path,
// nobody listening, a full buffer) the notice is lost, silently.
class EditorLink {
 public:
  explicit EditorLink(std::string socketPath) : path_(std::move(socketPath)) {}
  static EditorLink fromLaunch(const LaunchParams& p) { return EditorLink(p.editorLink); }
  bool notify(std::uint32_t kind, std::int32_t value, std::uint32_t windowToken) const;

 private:
  std::string path_;
};

}  // namespace plat::sys
