#include "platform/trace.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/cp932.h"
#include "platform/fs.h"

namespace plat::trace {

namespace detail {
std::atomic<bool> g_enabled{false};
std::atomic<bool> g_frames{false};
}  // namespace detail

namespace {

std::mutex g_mutex;
std::FILE* g_file = nullptr;  // guarded by g_mutex
std::atomic<std::uint32_t> g_frame{0};

}  // namespace

void Line(const char* format, ...) {
  if (!Enabled()) return;
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text;
  if (n >= static_cast<int>(sizeof buffer)) {
    text.resize(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.resize(static_cast<std::size_t>(n));
  } else if (n > 0) {
    text.assign(buffer, static_cast<std::size_t>(n));
  }
  std::lock_guard lock(g_mutex);
  if (!g_file) return;
  std::fprintf(g_file, "%u %s\n", g_frame.load(std::memory_order_relaxed), text.c_str());
}

void SetFrame(std::uint32_t frame) {
  g_frame.store(frame, std::memory_order_relaxed);
  if (!Enabled()) return;
  std::lock_guard lock(g_mutex);
  if (g_file) std::fflush(g_file);
}

std::uint32_t Frame() { return g_frame.load(std::memory_order_relaxed); }

std::string Text(std::string_view cp932) {
  const std::string utf8 = cp932::toUtf8(cp932);
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (u < 0x20 || u == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string Path(std::string_view program) { return fs::toNative(program); }

bool Open(const std::string& nativePath, bool frames, std::string* error) {
  Close();
  std::FILE* f = std::fopen(nativePath.c_str(), "w");
  if (!f) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  std::lock_guard lock(g_mutex);
  g_file = f;
  g_frame.store(0);
  detail::g_frames.store(frames);
  detail::g_enabled.store(true);
  return true;
}

void Close() {
  std::lock_guard lock(g_mutex);
  detail::g_enabled.store(false);
  detail::g_frames.store(false);
  if (g_file) std::fclose(g_file);
  g_file = nullptr;
}

}  // namespace plat::trace
