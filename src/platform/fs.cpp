#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/cp932.h"
#include "platform/sys.h"
#include "platform/trace.h"

namespace plat::fs {
namespace {

// Splits a program-form path into components at '\' (and '/'), keeping 0x5C bytes
// that are the trail byte of a double-byte character.
std::vector<std::string> splitProgram(std::string_view p, bool& absolute) {
  std::vector<std::string> parts;
  std::string cur;
  absolute = !p.empty() && (p[0] == '\\' || p[0] == '/');
  for (std::size_t i = 0; i < p.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(p[i]);
    if (cp932::isLead(b) && i + 1 < p.size()) {
      cur += p[i];
      cur += p[i + 1];
      ++i;
      continue;
    }
    if (b == '\\' || b == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
      continue;
    }
    cur += p[i];
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool nativeExists(const std::string& n) {
  struct stat st;
  return ::stat(n.c_str(), &st) == 0;
}

struct ListingCache {
  std::mutex mutex;
  std::map<std::string, std::vector<std::string>> listings;
};
ListingCache& cache() {
  static ListingCache c;
  return c;
}

std::vector<std::string> listDir(const std::string& dir) {
  ListingCache& c = cache();
  {
    std::lock_guard lock(c.mutex);
    auto it = c.listings.find(dir);
    if (it != c.listings.end()) return it->second;
  }
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.empty() ? "." : dir.c_str())) {
    while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
  }
  std::lock_guard lock(c.mutex);
  c.listings[dir] = names;
  return names;
}

// ASCII case folding only: CP932 double-byte characters compare exactly.
bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

std::string joinNative(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir == "/") return "/" + name;
  return dir + "/" + name;
}

// Finds one component inside a native folder: exact UTF-8, exact raw bytes, then
// case-insensitive over the listing (in either form).
std::optional<std::string> findComponent(const std::string& dir, const std::string& comp) {
  if (comp == "." || comp == "..") return comp;
  std::string utf8 = cp932::toUtf8(comp);
  if (nativeExists(joinNative(dir, utf8))) return utf8;
  if (utf8 != comp && nativeExists(joinNative(dir, comp))) return comp;
  for (const std::string& n : listDir(dir)) {
    if (equalsNoCase(n, utf8) || equalsNoCase(n, comp)) return n;
  }
  return std::nullopt;
}

}  // namespace

std::string toNative(std::string_view program) {
  bool absolute = false;
  auto parts = splitProgram(program, absolute);
  std::string out = absolute ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '/';
    out += cp932::toUtf8(parts[i]);
  }
  if (out.empty() && !program.empty()) out = ".";
  return out;
}

namespace {

// '/' is never a trail byte, so every one left after the conversion is a separator.
std::string programForm(std::string_view native, char alsoKept) {
  std::string cp = cp932::fromUtf8Exact(native, alsoKept);
  for (char& c : cp) {
    if (c == '/') c = '\\';
  }
  return cp;
}

}  // namespace

// A '\\' inside a native name is kept as a character, not read as a separator.
std::string fromNative(std::string_view native) { return programForm(native, '\\'); }

std::string fromTyped(std::string_view native) { return programForm(native, 0); }

std::string withSlashes(std::string_view program) {
  std::string out(program);
  for (std::size_t i = 0; i < out.size(); i += static_cast<std::size_t>(cp932::charLen(out, i))) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

std::optional<std::string> resolve(std::string_view program) {
  bool absolute = false;
  auto parts = splitProgram(program, absolute);
  std::string cur = absolute ? "/" : "";
  if (parts.empty()) return absolute ? std::optional<std::string>("/") : std::optional<std::string>(".");
  for (const std::string& comp : parts) {
    auto found = findComponent(cur, comp);
    if (!found) return std::nullopt;
    cur = joinNative(cur, *found);
  }
  return cur;
}

std::string resolveForWrite(std::string_view program) {
  bool absolute = false;
  auto parts = splitProgram(program, absolute);
  std::string cur = absolute ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::optional<std::string> found;
    if (i + 1 < parts.size()) found = findComponent(cur, parts[i]);
    else {
      // The file itself: reuse an existing name that differs only in case.
      found = findComponent(cur, parts[i]);
    }
    cur = joinNative(cur, found ? *found : cp932::toUtf8(parts[i]));
  }
  return cur.empty() ? "." : cur;
}

void invalidateCache() {
  ListingCache& c = cache();
  std::lock_guard lock(c.mutex);
  c.listings.clear();
}

bool exists(std::string_view program) { return resolve(program).has_value(); }

bool isFile(std::string_view program) {
  auto n = resolve(program);
  struct stat st;
  return n && ::stat(n->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(std::string_view program) {
  auto n = resolve(program);
  struct stat st;
  return n && ::stat(n->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeDirectory(std::string_view program) {
  std::string n = resolveForWrite(program);
  bool ok = ::mkdir(n.c_str(), 0777) == 0;
  if (ok) invalidateCache();
  return ok;
}

bool removeFile(std::string_view program) {
  auto n = resolve(program);
  if (!n) return false;
  bool ok = ::unlink(n->c_str()) == 0;
  invalidateCache();
  return ok;
}

namespace {

// Only regular files are opened: a FIFO would block the open (for reading and for
// writing alike), and a device such as /dev/zero never ends. The open does not wait
// (O_NONBLOCK); a truncation waits until the file is known to be regular, and the
// stream then reads and writes normally.
std::FILE* openRegular(const std::string& native, const std::string& mode) {
  const bool plus = mode.find('+') != std::string::npos;
  int flags = O_NONBLOCK | O_CLOEXEC;
  bool truncate = false;
  switch (mode.empty() ? 'r' : mode[0]) {
    case 'w':
      flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT;
      truncate = true;
      break;
    case 'a': flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: flags |= plus ? O_RDWR : O_RDONLY; break;
  }
  if (mode.find('x') != std::string::npos) flags |= O_EXCL;
  const int fd = ::open(native.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (!regular || (truncate && ::ftruncate(fd, 0) != 0)) {
    const int error = regular ? errno : EINVAL;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  std::string streamMode;
  for (char c : mode)
    if (c != 'x') streamMode += c;
  std::FILE* f = ::fdopen(fd, streamMode.c_str());
  if (!f) ::close(fd);
  return f;
}

}  // namespace

std::FILE* open(std::string_view program, const char* mode) {
  std::string m;
  for (const char* p = mode; *p; ++p) {
    if (*p != 't') m += *p;
  }
  bool writes = m.find('w') != std::string::npos || m.find('a') != std::string::npos;
  std::string native;
  if (writes) {
    native = resolveForWrite(program);
  } else {
    auto r = resolve(program);
    if (!r) return nullptr;
    native = *r;
  }
  std::FILE* f = openRegular(native, m);
  if (f && writes) invalidateCache();
  return f;
}

std::optional<std::string> readFile(std::string_view program, std::size_t maxBytes) {
  std::FILE* f = open(program, "rb");
  if (!f) return std::nullopt;
  struct stat st {};
  if (::fstat(::fileno(f), &st) != 0 || static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    std::fclose(f);
    return std::nullopt;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  std::size_t n;
  // The file may grow while it is read: the cap holds for what is read too.
  bool tooLong = false;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (data.size() + n > maxBytes) {
      tooLong = true;
      break;
    }
    data.append(buf, n);
  }
  bool err = std::ferror(f) || tooLong;
  std::fclose(f);
  if (err) return std::nullopt;
  return data;
}

namespace {

// The folder part of a native path ("." for a bare name).
std::string folderOf(const std::string& native) {
  const std::size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

// A rename is on disk only once its folder is: without this a power cut could bring
// the old file back.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile::~AtomicFile() { abort(); }

std::FILE* AtomicFile::open(std::string_view program) {
  abort();
  target_ = resolveForWrite(program);
  // The temporary's name holds nothing of the target's, so no file filter lists it.
  temp_ = folderOf(target_) + "/" + kTempPrefix + "XXXXXX";
  std::vector<char> tmpl(temp_.begin(), temp_.end());
  tmpl.push_back('\0');
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    temp_.clear();
    return nullptr;
  }
  temp_ = tmpl.data();
  // The file keeps the mode it had; a new one is readable by all and writable by its owner.
  struct stat st {};
  const bool had = ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  ::fchmod(fd, had ? (st.st_mode & 07777) : 0644);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  return file_;
}

bool AtomicFile::commit() {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  ok = ok && ::fsync(::fileno(file_)) == 0;
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (ok) ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
  if (ok) syncFolder(folderOf(target_));
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  invalidateCache();
  return ok;
}

void AtomicFile::abort() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

namespace {

thread_local int t_lastWriteError = 0;

// "write <path> ok", or "failed" with the step and the system's reason.
bool TraceWrite(std::string_view program, bool ok, const char* step, int error) {
  t_lastWriteError = ok ? 0 : (error ? error : EIO);
  if (!trace::Enabled()) return ok;
  if (ok) trace::Line("write %s ok", trace::Path(program).c_str());
  else
    trace::Line("write %s failed %s: %s", trace::Path(program).c_str(), step,
                error ? std::strerror(error) : "unknown error");
  return ok;
}

}  // namespace

int lastWriteError() { return t_lastWriteError; }

bool writeFileAtomic(std::string_view program, std::string_view bytes) {
  AtomicFile af;
  errno = 0;
  std::FILE* f = af.open(program);
  if (!f) return TraceWrite(program, false, "create", errno);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    const int error = errno;
    af.abort();
    return TraceWrite(program, false, "write", error);
  }
  errno = 0;
  const bool ok = af.commit();
  return TraceWrite(program, ok, "commit", errno);
}

bool createTextFile(std::string_view program) {
  std::FILE* f = open(program, "wb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool appendTextLine(std::string_view program, std::string_view text) {
  std::FILE* f = open(program, "rb+");
  if (!f) return false;
  std::fseek(f, 0, SEEK_END);
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  out += "\r\n";
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

std::optional<std::string> currentDirectory() {
  std::vector<char> buf(PATH_MAX);
  if (!::getcwd(buf.data(), buf.size())) return std::nullopt;
  return fromNative(buf.data());
}

}  // namespace plat::fs

// ---- Path arithmetic, trees, free space, the instance lock ----

namespace plat::fs {
namespace {

// The root of a program-form path: "\\" for "\x", "\\\\" for "\\server", "C:" for
// "C:\x" or "C:x"; empty for a relative path.
std::string rootOf(std::string_view p) {
  if (p.size() >= 2 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':') {
    char d = p[0];
    if (d >= 'a' && d <= 'z') d = static_cast<char>(d - 32);
    return std::string(1, d) + ":";
  }
  if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') return "\\\\";
  if (!p.empty() && (p[0] == '\\' || p[0] == '/')) return "\\";
  return "";
}

// Components after the root, with "." dropped and ".." taken back (never above the root).
std::vector<std::string> normalParts(std::string_view p, const std::string& root) {
  std::string_view rest = p;
  if (root.size() == 2 && root[1] == ':') rest.remove_prefix(2);
  bool abs = false;
  std::vector<std::string> out;
  for (std::string& c : splitProgram(rest, abs)) {
    if (c == ".") continue;
    if (c == "..") {
      if (!out.empty()) out.pop_back();
      continue;
    }
    out.push_back(std::move(c));
  }
  return out;
}

std::string joinProgram(const std::string& root, const std::vector<std::string>& parts) {
  std::string out = root;
  if (root.size() == 2 && root[1] == ':') out += '\\';
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  return out;
}

bool copyFileNative(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) {
    std::fclose(in);
    return false;
  }
  char buf[65536];
  bool ok = true;
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) {
    if (std::fwrite(buf, 1, n, out) != n) {
      ok = false;
      break;
    }
  }
  ok = ok && !std::ferror(in);
  std::fclose(in);
  ok = (std::fclose(out) == 0) && ok;
  return ok;
}

bool copyTreeNative(const std::string& from, const std::string& to) {
  if (::mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) return false;
  DIR* d = ::opendir(from.c_str());
  if (!d) return false;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(d);
  for (const std::string& n : names) {
    std::string src = from + "/" + n, dst = to + "/" + n;
    struct stat st;
    if (::lstat(src.c_str(), &st) != 0) return false;
    // Regular files and folders only: opening a pipe or device would block or never end.
    if (S_ISDIR(st.st_mode)) {
      if (!copyTreeNative(src, dst)) return false;
    } else if (!S_ISREG(st.st_mode) || !copyFileNative(src, dst)) {
      return false;
    }
  }
  return true;
}

bool removeTreeNative(const std::string& p) {
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(p.c_str()) == 0;
  DIR* d = ::opendir(p.c_str());
  if (!d) return false;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(d);
  bool ok = true;
  for (const std::string& n : names) ok = removeTreeNative(p + "/" + n) && ok;
  return ::rmdir(p.c_str()) == 0 && ok;
}

}  // namespace

bool isRelative(std::string_view program) { return rootOf(program).empty(); }

std::optional<std::string> absolute(std::string_view program) {
  std::string full;
  if (isRelative(program)) {
    auto cwd = currentDirectory();
    if (!cwd) return std::nullopt;
    full = *cwd + "\\" + std::string(program);
  } else {
    full = std::string(program);
  }
  std::string root = rootOf(full);
  return joinProgram(root, normalParts(full, root));
}

std::optional<std::string> relative(std::string_view fromDir, std::string_view toFile) {
  std::string rootFrom = rootOf(fromDir), rootTo = rootOf(toFile);
  if (rootFrom.empty() || rootTo.empty() || rootFrom != rootTo) return std::nullopt;
  auto from = normalParts(fromDir, rootFrom);
  auto to = normalParts(toFile, rootTo);
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && equalsNoCase(from[common], to[common])) ++common;
  std::string out = common == from.size() ? "." : "";
  for (std::size_t i = common; i < from.size(); ++i) out += out.empty() ? ".." : "\\..";
  for (std::size_t i = common; i < to.size(); ++i) out += "\\" + to[i];
  return out;
}

bool copyTree(std::string_view src, std::string_view dst) {
  auto from = resolve(src);
  if (!from || !isDirectory(src) || exists(dst)) return false;
  std::string target = resolveForWrite(dst);
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  // Copy into a temporary sibling and rename it when whole, so that a copy that
  // fails half way never looks like a complete folder to the next start.
  std::string tmpl = folderOf(target) + "/" + kTempPrefix + "XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) return false;
  std::string temp(name.data());
  // The copy gets the source folder's mode, not the private one of a new temporary:
  // given once it is filled (a read-only source would refuse its own files) and with
  // the owner's write bit, so that the copy is the user's own.
  struct stat st {};
  bool ok = ::stat(from->c_str(), &st) == 0 && copyTreeNative(*from, temp);
  ok = ok && ::chmod(temp.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (ok) syncFolder(folderOf(target));
  if (!ok) removeTreeNative(temp);
  invalidateCache();
  return ok;
}

namespace {

// Temporaries of earlier versions: "<target>.tmp-" or "<folder>.part-" and six
// characters of mkstemp.
bool isOldTemporaryName(const std::string& name) {
  for (std::string_view tag : {".tmp-", ".part-"}) {
    const std::size_t at = name.size() >= tag.size() + 6 ? name.size() - tag.size() - 6 : std::string::npos;
    if (at == std::string::npos || at == 0 || name.compare(at, tag.size(), tag) != 0) continue;
    bool random = true;
    for (std::size_t i = at + tag.size(); i < name.size(); ++i)
      random = random && std::isalnum(static_cast<unsigned char>(name[i]));
    if (random) return true;
  }
  return false;
}

}  // namespace

int removeStaleTemporaries(std::string_view program) {
  auto n = resolve(program);
  if (!n) return 0;
  DIR* d = ::opendir(n->c_str());
  if (!d) return 0;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.rfind(kTempPrefix, 0) == 0 || isOldTemporaryName(name)) names.push_back(name);
  }
  ::closedir(d);
  int removed = 0;
  for (const std::string& name : names) removed += removeTreeNative(*n + "/" + name) ? 1 : 0;
  if (removed) invalidateCache();
  return removed;
}

bool removeTree(std::string_view program) {
  auto n = resolve(program);
  if (!n) return false;
  bool ok = removeTreeNative(*n);
  invalidateCache();
  return ok;
}

std::int64_t freeBytes(std::string_view program) {
  auto n = resolve(program);
  struct statvfs sv;
  if (!n || ::statvfs(n->c_str(), &sv) != 0) return 0;
  return static_cast<std::int64_t>(sv.f_bavail) * static_cast<std::int64_t>(sv.f_frsize);
}

namespace {

std::string lockFileName(std::string_view nameCp932) {
  static const char hex[] = "0123456789abcdef";
  std::string file;
  for (unsigned char c : nameCp932) {
    file += hex[c >> 4];
    file += hex[c & 15];
  }
  return file + ".lock";
}

}  // namespace

InstanceLock::Result InstanceLock::acquire(std::string_view nameCp932, std::optional<InstanceLock>& out) {
  const Result r = acquireIn(sys::launch().lockDir, nameCp932, out);
  if (r != Result::Unavailable) return r;
  // Without a usable lock folder the game folder holds the lock, so that two starts in
  // one folder still exclude each other.
  return acquireFile("." + lockFileName(nameCp932), out);
}

InstanceLock::Result InstanceLock::acquireIn(const std::string& nativeDir, std::string_view nameCp932,
                                             std::optional<InstanceLock>& out) {
  return acquireFile((nativeDir.empty() ? std::string(".") : nativeDir) + "/" + lockFileName(nameCp932), out);
}

InstanceLock::Result InstanceLock::acquireFile(const std::string& nativeFile, std::optional<InstanceLock>& out) {
  int fd = ::open(nativeFile.c_str(), O_CREAT | O_RDWR | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return Result::Unavailable;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Result::Unavailable;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    ::close(fd);
    return err == EWOULDBLOCK ? Result::AlreadyRunning : Result::Unavailable;
  }
  out.emplace(InstanceLock(fd));
  return Result::Acquired;
}

InstanceLock& InstanceLock::operator=(InstanceLock&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = o.fd_;
    o.fd_ = -1;
  }
  return *this;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace plat::fs
