// Files and folders in the program's own path form: '\' separators and CP932 bytes,
// as the data files and the game code hold them. Conversion to native paths happens
// only here: '\' becomes '/' (a 0x5C trail byte of a double-byte character is kept),
// names become UTF-8, and each component is matched case-insensitively when the
// exact name does not exist (projects made on Windows mix cases).
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace plat::fs {

// Program form to native form, lexically (no lookup).
std::string toNative(std::string_view program);
// Native form to program form ('/' to '\', UTF-8 names to CP932), without loss: a
// character CP932 lacks stays as a kept character (cp932.h), so that the folder the
// game sits in, whatever its name, leads back to itself.
std::string fromNative(std::string_view native);
// The native path of an existing file or folder, matching names case-insensitively
// (and trying both the UTF-8 and the raw-byte form of each name); nullopt if none.
std::optional<std::string> resolve(std::string_view program);
// The native path to create a file at: existing folders resolved, the last name as given.
std::string resolveForWrite(std::string_view program);
// A path the user typed (the command line): as fromNative, but a '\' separates too, as
// in the project's own names.
std::string fromTyped(std::string_view native);
// Text for the user's eyes: every '\' separator (not the trail byte of a double-byte
// character) shown as '/'.
std::string withSlashes(std::string_view program);
// Forgets cached folder listings (after creating or removing files behind our back).
void invalidateCache();

bool exists(std::string_view program);
bool isFile(std::string_view program);
bool isDirectory(std::string_view program);
bool makeDirectory(std::string_view program);
bool removeFile(std::string_view program);

// fopen on a program-form path; the mode's 't' is ignored (no text translation). Every
// mode opens only a regular file, without waiting (a FIFO or a device in place of a
// file gives nullptr at once, and is never truncated).
std::FILE* open(std::string_view program, const char* mode);

// The largest file readFile reads unless told otherwise.
inline constexpr std::size_t kMaxReadBytes = std::size_t{256} << 20;
// The whole file; nullopt when it cannot be read, is not a regular file or holds more
// than maxBytes.
std::optional<std::string> readFile(std::string_view program, std::size_t maxBytes = kMaxReadBytes);
// Writes a user file safely: a temporary file in the same folder, flushed and synced,
// then renamed over the old one. A crash or a full disk leaves the old file intact.
bool writeFileAtomic(std::string_view program, std::string_view bytes);
// The system's reason (an errno value) why the calling thread's last writeFileAtomic
// failed; 0 after one that succeeded.
int lastWriteError();

// Temporaries of writes and copies start with this in the target's folder: a hidden
// name that no file filter of the program matches.
inline constexpr const char* kTempPrefix = ".~pellmoor-";
// Removes what interrupted writes and copies left in the folder (files and folders
// whose names start with kTempPrefix, and the "<name>.tmp-XXXXXX" and
// "<name>.part-XXXXXX" of earlier versions); the number removed. Only while no other
// instance of the program runs in this folder.
int removeStaleTemporaries(std::string_view program);

// A stream written to a temporary file and renamed into place by commit().
class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();
  std::FILE* open(std::string_view program);  // nullptr when the temporary cannot be made
  std::FILE* stream() const { return file_; }
  bool commit();  // flush, sync, close, rename; false (and old file kept) on any error
  void abort();   // close and remove the temporary
 private:
  std::FILE* file_ = nullptr;
  std::string target_, temp_;
};

// Log files: "wt" creates or truncates; an append opens "rt+" (the file must exist),
// seeks to the end and writes the text plus a line end, each "\n" written as CR LF.
bool createTextFile(std::string_view program);
bool appendTextLine(std::string_view program, std::string_view text);

std::optional<std::string> currentDirectory();  // program form

// Rooted paths ("\x", "C:\x", "\\server") are absolute; anything else is relative.
bool isRelative(std::string_view program);
// A relative path joined to the current directory; "." and ".." resolved lexically.
// nullopt only when the current directory cannot be read.
std::optional<std::string> absolute(std::string_view program);
// The path of toFile as seen from the folder fromDir: ".\x" inside it, one "..\" per
// folder to climb otherwise. Names compare case-insensitively; nullopt when the roots
// differ or either path is relative.
std::optional<std::string> relative(std::string_view fromDir, std::string_view toFile);

// Copies the folder src as the new folder dst, every file at the same relative path.
// The copy is made beside dst and renamed into place when whole: false (and no dst)
// when dst exists already or any file fails.
bool copyTree(std::string_view src, std::string_view dst);
// Removes a folder with everything in it (or a single file). False on any failure.
bool removeTree(std::string_view program);
// Bytes free for this user on the file system holding the path; 0 when unknown.
std::int64_t freeBytes(std::string_view program);

// The single-instance lock: an flock on "<dir>/<hex of the CP932 name>.lock". The
// kernel drops it when the process ends, so a crash leaves nothing stale. The folder
// is the launch's lock folder (PELLMOOR_LOCK_DIR, else $XDG_RUNTIME_DIR, else /tmp);
// when that one cannot hold it (missing, not writable), acquire falls back to the
// hidden file ".<hex>.lock" in the current folder, the game's.
class InstanceLock {
 public:
  enum class Result { Acquired, AlreadyRunning, Unavailable };
  static Result acquire(std::string_view nameCp932, std::optional<InstanceLock>& out);
  static Result acquireIn(const std::string& nativeDir, std::string_view nameCp932, std::optional<InstanceLock>& out);
  InstanceLock(InstanceLock&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  InstanceLock& operator=(InstanceLock&& o) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

 private:
  // The lock on this file; the two above name the file.
  static Result acquireFile(const std::string& nativeFile, std::optional<InstanceLock>& out);
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace plat::fs
