#include "platform/drive.h"

#include <time.h>

#include <cstdio>

#include "platform/fs.h"
#include "platform/key_script.h"
#include "platform/messaging.h"
#include "platform/trace.h"
#include "platform/window.h"

namespace plat::drive {

namespace detail {
bool g_active = false;
bool g_fast = false;
}  // namespace detail

namespace {

// Time that passes only when a frame moves it on; sleeping takes real time without
// moving it, so threads that poll a flag still wait for the flag.
class FastClock final : public ClockSource {
 public:
  Millis nowMs() override { return static_cast<Millis>(ns_.load() / 1000000u); }
  std::uint64_t nowNs() override { return ns_.load(); }
  void sleepMs(Millis ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {}
  }
  void advance(Millis ms) { ns_.fetch_add(std::uint64_t{ms} * 1000000u); }

 private:
  std::atomic<std::uint64_t> ns_{0};
};

FastClock g_clock;
key_script::Player g_keys;
std::uint32_t g_frame = 0;
std::uint32_t g_quitAt = 0;  // 0: never

}  // namespace

void detail::BeginFrame() {
  ++g_frame;
  trace::SetFrame(g_frame);
  g_keys.PlayUntil(g_frame);
  // The close request is sent, not posted: the frame goes on only once the window has
  // taken it, so the frame where a driven run ends does not depend on the machine's load.
  // A game thread that the close stops leaves the wait at its checkpoint.
  if (g_frame == g_quitAt)
    if (MainWindow* w = MainWindow::primary()) send(w->token(), Msg{wm::Close, 0, 0});
}

bool Start(const sys::LaunchParams& launch, std::string* error) {
  Stop();
  auto refuse = [error](const std::string& why) {
    if (error) *error = why;
    Stop();
    return false;
  };
  if (!launch.quitAt.empty()) {
    std::uint32_t n = 0;
    bool ok = launch.quitAt.size() <= 9;
    for (char c : launch.quitAt) {
      ok = ok && c >= '0' && c <= '9';
      if (ok) n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (!ok || n == 0) return refuse("PELLMOOR_QUIT_AT=" + launch.quitAt + ": not a frame number from 1 on");
    g_quitAt = n;
  }
  if (!launch.keyScript.empty()) {
    std::optional<std::string> text = fs::readFile(fs::fromNative(launch.keyScript));
    if (!text) return refuse("PELLMOOR_KEY_SCRIPT=" + launch.keyScript + ": cannot be read");
    std::string why;
    std::optional<std::vector<key_script::Event>> events = key_script::Parse(*text, &why);
    if (!events) return refuse("PELLMOOR_KEY_SCRIPT=" + launch.keyScript + ", " + why);
    g_keys = key_script::Player(std::move(*events));
  }
  if (!launch.trace.empty()) {
    std::string why;
    if (!trace::Open(launch.trace, launch.traceFrames, &why))
      return refuse("PELLMOOR_TRACE=" + launch.trace + ": " + why);
  }
  if (launch.fast) {
    if (launch.headless) {
      detail::g_fast = true;
      installClock(&g_clock);
    } else {
      std::fprintf(stderr, "PELLMOOR_FAST is for headless runs only; frames keep their pace\n");
    }
  }
  detail::g_active = !launch.keyScript.empty() || trace::Enabled() || g_quitAt != 0 || detail::g_fast;
  return true;
}

void AdvanceClock(Millis ms) { g_clock.advance(ms); }

std::uint32_t Frame() { return g_frame; }

void Finish(int exitCode) {
  trace::Line("quit %d", exitCode);
  trace::Close();
}

void Stop() {
  trace::Close();
  if (detail::g_fast) installClock(nullptr);
  detail::g_fast = false;
  detail::g_active = false;
  g_keys = key_script::Player();
  g_frame = 0;
  g_quitAt = 0;
}

}  // namespace plat::drive
