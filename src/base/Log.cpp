#include "base/Log.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

#include "base/AppGlobals.h"
#include "platform/fs.h"
#include "platform/msgbox.h"

namespace {

struct DebugLogState {
  std::mutex mutex;
  int enabled = 0;
  std::string path;
  bool firstWriteDone = false;
};
// Never destroyed: worker wrappers may log from static destructors at process end.
DebugLogState& debugState() {
  static DebugLogState* s = new DebugLogState();
  return *s;
}

struct ReportState {
  std::mutex mutex;
  std::string path;
};
ReportState& reportState() {
  static ReportState* s = new ReportState();
  return *s;
}

std::atomic<FullScreenBoxRoute> g_boxRoute{nullptr};

void AppendDebug(std::string_view text) {
  DebugLogState& s = debugState();
  std::lock_guard lock(s.mutex);
  if (!s.enabled) return;
  if (!s.firstWriteDone) {
    s.firstWriteDone = true;  // also when the create fails
    if (!plat::fs::createTextFile(s.path)) return;
  }
  plat::fs::appendTextLine(s.path, text);
}

}  // namespace

std::string FormatStringV(const char* format, va_list args) {
  // Messages are short; a longer one grows the buffer rather than being cut.
  char small[1024];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, n);
  std::vector<char> big(static_cast<std::size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  return std::string(big.data(), n);
}

void FormatString(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out = FormatStringV(format, args);
  va_end(args);
}

void SetDebugLog(int enable, std::string_view path) {
  DebugLogState& s = debugState();
  std::lock_guard lock(s.mutex);
  s.enabled = enable;
  // The first write to a log file of the run truncates it, also after a switch of file.
  if (s.path != path) s.firstWriteDone = false;
  s.path = std::string(path);
}

bool IsDebugLogEnabled() {
  DebugLogState& s = debugState();
  std::lock_guard lock(s.mutex);
  return s.enabled != 0;
}

void DebugLog(std::string_view text) { AppendDebug(text); }
void DebugLogError(std::string_view text) { AppendDebug(text); }

void DebugPrintf(const char* format, ...) {
  if (!IsDebugLogEnabled()) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  AppendDebug(text);
}

void FatalLog(plat::WindowToken window, const char* format, ...) {
  if (IsDebugLogEnabled()) {
    va_list args;
    va_start(args, format);
    std::string text = FormatStringV(format, args);
    va_end(args);
    AppendDebug(text);
  }
  plat::post(window, plat::Msg{plat::wm::Close, 0, 0});
}

int OpenReport(std::string_view path) {
  ReportState& s = reportState();
  std::lock_guard lock(s.mutex);
  s.path = std::string(path);
  return plat::fs::createTextFile(s.path) ? 1 : 0;
}

int ReportWrite(std::string_view text) {
  ReportState& s = reportState();
  std::lock_guard lock(s.mutex);
  if (s.path.empty()) return 0;
  return plat::fs::appendTextLine(s.path, text) ? 1 : 0;
}

int ReportPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  return ReportWrite(text);
}

int ReportPrintfDebug(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  if (!ReportWrite(text)) return 0;
  DebugLog(text);
  return 1;
}

int ReportError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  const int written = ReportWrite(text);
  if (written) DebugLog(text);
  // The user hears of the error also when the log cannot take it (a full disk).
  ErrorBox(text);
  return written;
}

int ShowMessageBox(std::string_view text, std::string_view caption, int type) {
  if (FullScreenBoxRoute route = g_boxRoute.load()) return route(text, caption, type);
  return plat::messageBox(text, caption, type);
}

int ErrorBox(std::string_view text) { return ShowMessageBox(text, "エラー", plat::mb::Ok); }

int ErrorBoxPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  return ErrorBox(text);
}

int DebugErrorBoxPrintf(const char* format, ...) {
  if (!IsDebugLogEnabled()) return 0;
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  return ErrorBox(text);
}

void OutOfMemory() {
  ErrorBox("メモリが不足しています！");
  PostCloseRequest();
}

void SetFullScreenBoxRoute(FullScreenBoxRoute route) { g_boxRoute.store(route); }
