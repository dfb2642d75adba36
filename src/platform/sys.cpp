#include "platform/sys.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/fs.h"

namespace plat::sys {
namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool envFlag(const char* name) {
  std::string v = env(name);
  return !v.empty() && v != "0";
}

std::mutex g_mutex;
std::optional<LaunchParams> g_launch;

void putLE(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

LaunchParams readLaunchParams(int argc, char** argv) {
  LaunchParams p;
  std::string native;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) native += ' ';
    native += argv[i];
  }
  // The stage file name, in the game's own path form like every other path.
  p.commandLine = fs::fromTyped(native);
  std::string show = env("PELLMOOR_SHOW_COMMAND");
  if (!show.empty()) p.showCommand = std::atoi(show.c_str());
  p.headless = envFlag("PELLMOOR_HEADLESS");
  p.debugLog = envFlag("PELLMOOR_DEBUG_LOG");
  p.assumeActive = envFlag("PELLMOOR_ASSUME_ACTIVE");
  p.editorLink = env("PELLMOOR_EDITOR_LINK");
  p.uiScript = env("PELLMOOR_UI_SCRIPT");
  p.lockDir = env("PELLMOOR_LOCK_DIR");
  p.keyScript = env("PELLMOOR_KEY_SCRIPT");
  p.trace = env("PELLMOOR_TRACE");
  p.traceFrames = envFlag("PELLMOOR_TRACE_FRAMES");
  p.fast = envFlag("PELLMOOR_FAST");
  p.quitAt = env("PELLMOOR_QUIT_AT");
  if (p.lockDir.empty()) p.lockDir = env("XDG_RUNTIME_DIR");
  if (p.lockDir.empty()) p.lockDir = "/tmp";
  return p;
}

const LaunchParams& launch() {
  std::lock_guard lk(g_mutex);
  if (!g_launch) g_launch = readLaunchParams(0, nullptr);
  return *g_launch;
}

void setLaunch(const LaunchParams& p) {
  std::lock_guard lk(g_mutex);
  g_launch = p;
}

bool EditorLink::notify(std::uint32_t kind, std::int32_t value, std::uint32_t windowToken) const {
  sockaddr_un addr{};
  if (path_.empty() || path_.size() >= sizeof addr.sun_path) return false;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path_.data(), path_.size());
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  unsigned char packet[16];
  putLE(packet, kind);
  putLE(packet + 4, 4);
  putLE(packet + 8, static_cast<std::uint32_t>(value));
  putLE(packet + 12, windowToken);
  ssize_t n = ::sendto(fd, packet, sizeof packet, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&addr),
                       sizeof addr);
  ::close(fd);
  return n == static_cast<ssize_t>(sizeof packet);
}

}  // namespace plat::sys
