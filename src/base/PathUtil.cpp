#include "base/PathUtil.h"

#include <cstdio>
#include <cstring>

#include "base/SjisText.h"
#include "platform/fs.h"

namespace {

// Start of the file name: after the last separator ('\\' or '/') that is not a trail byte.
std::size_t NameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    if (i + 1 < path.size() && IsDbcsPair(path.data() + i)) {
      i += 2;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
    ++i;
  }
  return start;
}

// Position of the extension's dot, looking only inside the file name: a dot in a
// folder name (".\data\x") is not an extension.
std::size_t ExtensionDot(std::string_view path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < NameStart(path)) return std::string_view::npos;
  return dot;
}

}  // namespace

int MakeAbsolutePath(std::string& path) {
  if (!plat::fs::isRelative(path)) return 1;
  auto full = plat::fs::absolute(path);
  if (!full) return 0;
  path = *full;
  return 1;
}

int MakeRelativePath(std::string& path) {
  if (plat::fs::isRelative(path)) return 1;
  auto cwd = plat::fs::currentDirectory();
  if (!cwd) return 0;
  auto rel = plat::fs::relative(*cwd, path);
  if (!rel) return 0;
  path = *rel;
  return 1;
}

bool ProjectPathTooLong(std::string_view path) {
  if (plat::fs::isRelative(path)) return path.size() > MAX_PROJECT_PATH_BYTES;
  const auto cwd = plat::fs::currentDirectory();
  if (!cwd) return false;
  const auto rel = plat::fs::relative(*cwd, path);
  if (!rel || rel->rfind(".\\", 0) != 0) return false;
  return rel->size() - 2 > MAX_PROJECT_PATH_BYTES;
}

void StripDirectory(std::string& path) { path.erase(0, NameStart(path)); }

int ChangeExtension(std::string& out, std::string_view path, const char* extension) {
  out.assign(path);
  std::size_t dot = ExtensionDot(path);
  if (dot == std::string_view::npos) return 0;
  if (extension && *extension) out.replace(dot + 1, std::string::npos, extension);
  else out.erase(dot);
  return 1;
}

int GetExtension(std::string& out, std::string_view path) {
  std::size_t dot = ExtensionDot(path);
  if (dot == std::string_view::npos) return 0;
  out.assign(path.substr(dot + 1));
  return 1;
}

int AddNumberSuffix(std::string& out, std::string_view path, int a, int b) {
  std::size_t dot = ExtensionDot(path);
  if (dot == std::string_view::npos) return 0;
  std::string_view ext = path.substr(dot + 1);
  if (ext.size() > 31) return 0;  // the extension's 32-character slot
  char digits[32];
  std::snprintf(digits, sizeof digits, "_%d%d.", a, b);
  out.assign(path.substr(0, dot));
  out += digits;
  out += ext;
  return 1;
}

int FindNewestNumberedFile(std::string& out, std::string_view path, const char* extension) {
  std::string base;
  ChangeExtension(base, path, extension);
  for (int n = 999; n >= 0; --n) {
    char suffix[16];  // room for any int, so no optimisation level warns
    std::snprintf(suffix, sizeof suffix, "_%d%d%d", n / 100, n / 10 % 10, n % 10);
    std::string name = base + suffix;
    if (plat::fs::exists(name)) {
      out = name;
      return 1;
    }
  }
  return 0;
}
