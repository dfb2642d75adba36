// The report log "Report_Game.txt", the debug log "EC_Game.txt", error boxes and
// text formatting. Every write opens, appends and closes its file.
#pragma once
#include <cstdarg>
#include <string>
#include <string_view>

#include "platform/messaging.h"

// printf-formatted text into a string (the program's formatting for messages).
void FormatString(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string FormatStringV(const char* format, va_list args);

// Debug log.
void SetDebugLog(int enable, std::string_view path);
bool IsDebugLogEnabled();
void DebugLog(std::string_view text);
void DebugLogError(std::string_view text);
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void FatalLog(plat::WindowToken window, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Report log.
int OpenReport(std::string_view path);
int ReportPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends a finished text as it stands (no second formatting of a '%' inside it).
int ReportWrite(std::string_view text);
int ReportPrintfDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Message boxes.
int ShowMessageBox(std::string_view text, std::string_view caption, int type);
int ErrorBox(std::string_view text);
int ErrorBoxPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int DebugErrorBoxPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void OutOfMemory();

// The graphics library shows boxes itself while it runs full screen; it installs this
// route when it starts and removes it (nullptr) when it shuts down.
using FullScreenBoxRoute = int (*)(std::string_view text, std::string_view caption, int type);
void SetFullScreenBoxRoute(FullScreenBoxRoute route);
