#include "platform/fs_copy.h"

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/fs.h"

namespace plat::fs {
namespace {

namespace stdfs = std::filesystem;

// Regular files and folders only: anything else in a data folder is a fault.
bool copyContents(const stdfs::path& from, const stdfs::path& to) {
  std::error_code ec;
  for (stdfs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    const stdfs::path target = to / it->path().filename();
    stdfs::file_status st = it->symlink_status(ec);
    if (ec) return false;
    if (stdfs::is_directory(st)) {
      if (!stdfs::create_directory(target, ec) || !copyContents(it->path(), target)) return false;
    } else if (stdfs::is_regular_file(st)) {
      if (!stdfs::copy_file(it->path(), target, ec)) return false;
    } else {
      return false;
    }
  }
  return !ec;
}

}  // namespace

bool copyTree(std::string_view from, std::string_view to) {
  std::optional<std::string> source = resolve(from);
  if (!source || !isDirectory(from) || exists(to)) return false;
  stdfs::path target = stdfs::path(resolveForWrite(to)).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  if (target.empty() || !target.has_filename()) return false;

  std::string tmpl = target.string() + ".part-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) return false;
  const stdfs::path temp(name.data());

  std::error_code ec;
  bool ok = copyContents(*source, temp);
  if (ok) {
    stdfs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) stdfs::remove_all(temp, ec);
  invalidateCache();
  return ok;
}

}  // namespace plat::fs
