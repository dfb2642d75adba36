// The byte streams that records are read from and written to. A data file is read whole
// into memory, so every count and length can be checked against the bytes that remain
// before anything is allocated or read; a file is written into memory and put in place
// by a temporary file and a rename, so a failed save never leaves half a file.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

// Values a record file may hold: fixed-width integers and doubles, never bool or long.
template <class T>
concept DataValue = (std::is_same_v<T, std::int8_t> || std::is_same_v<T, std::uint8_t> ||
                     std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::uint16_t> ||
                     std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t> || std::is_same_v<T, double>);

// Reads little-endian values from a file's bytes. A read that would pass the end reads
// nothing and marks the reader failed; every later read then fails too, so a loader can
// run to its end and ask Failed() once.
class cDataReader {
 public:
  explicit cDataReader(std::string_view bytes) : m_Data(bytes) {}  // bytes stay the caller's
  explicit cDataReader(std::string&& bytes) : m_Owned(std::move(bytes)), m_Data(m_Owned) {}
  cDataReader(const cDataReader&) = delete;
  cDataReader& operator=(const cDataReader&) = delete;

  bool Read(void* pDest, std::size_t nBytes);
  // count elements of nSize bytes each (1, 2, 4 or 8), stored little-endian.
  bool ReadElements(void* pDest, std::int32_t nCount, int nSize);
  template <DataValue T>
  bool ReadValue(T& value) {
    return ReadElements(&value, 1, sizeof(T));
  }
  bool ReadU32(std::uint32_t& n) { return ReadValue(n); }
  // A count of elements that take at least nMinBytes each in the file: fails (and gives 0)
  // when that many cannot fit into what remains.
  bool ReadCount(std::uint32_t& n, std::size_t nMinBytes);
  // A text as records store it: u32 length + 1, then the text and its zero byte.
  bool ReadString(std::string& text);

  // The memory of nCount list elements of nSize bytes each, charged before they are
  // made: every load from one file may build at most a few times the file's size
  // (MEMORY_PER_FILE_BYTE, plus a fixed allowance for small files). Past that the
  // counts are damaged whatever bytes follow: the reader fails and false is returned.
  bool ChargeElements(std::uint32_t nCount, std::size_t nSize);

  // Nesting guard for lists inside lists: a hostile file cannot recurse without end.
  bool EnterList();
  void LeaveList() { --m_nDepth; }

  // For a load on a worker thread that the close may stop: every so many reads pass a
  // cancellation checkpoint of the thread (a cancelled thread unwinds from there), and
  // once a quit is posted to the thread every later read fails.
  void EnableCheckpoints() { m_bCheckpoints = true; }

  // A user's own file (options, slots, rankings...): a layout the record does not know
  // only fails the load, where in a project file it also closes the game.
  void MarkUserFile() { m_bUserFile = true; }
  bool IsUserFile() const { return m_bUserFile; }

  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }
  std::size_t Remaining() const { return m_bFailed ? 0 : m_Data.size() - m_nPos; }
  std::size_t Position() const { return m_nPos; }
  std::string_view Data() const { return m_Data; }

  static constexpr int MAX_LIST_DEPTH = 32;
  // Files the program writes stay below this: their elements' members are stored whole,
  // and the smallest of them (an empty stage text: 12 bytes, 88 in memory) takes about
  // 7 times its bytes. A 4 MiB file can thus build at most 33 MiB of lists.
  static constexpr std::size_t MEMORY_PER_FILE_BYTE = 8;
  static constexpr std::size_t MEMORY_ALLOWANCE = std::size_t{1} << 20;

 private:
  std::string m_Owned;
  std::string_view m_Data;
  std::size_t m_nPos = 0;
  int m_nDepth = 0;
  std::size_t m_nCharged = 0;
  bool m_bFailed = false;
  bool m_bCheckpoints = false;
  bool m_bUserFile = false;
  std::uint32_t m_nReads = 0;
};

// Collects a file's bytes in memory; CloseDataFile puts them on disk.
class cDataWriter {
 public:
  cDataWriter() = default;
  explicit cDataWriter(std::string_view path) : m_strPath(path) {}
  cDataWriter(const cDataWriter&) = delete;
  cDataWriter& operator=(const cDataWriter&) = delete;

  void Write(const void* pSource, std::size_t nBytes);
  void WriteElements(const void* pSource, std::int32_t nCount, int nSize);
  template <DataValue T>
  void WriteValue(T value) {
    WriteElements(&value, 1, sizeof(T));
  }
  void WriteU32(std::uint32_t n) { WriteValue(n); }
  // The text up to its first zero byte, as ReadString reads it.
  void WriteString(std::string_view text);

  const std::string& Bytes() const { return m_Bytes; }
  const std::string& Path() const { return m_strPath; }

 private:
  std::string m_strPath;
  std::string m_Bytes;
};

// Reads the file whole and its u32 format version into g_nLoadVersion; null when the
// file does not open (an empty path names "err"; a path of 260 bytes or more is refused).
// A file too short for its version gives a reader that has already failed.
std::unique_ptr<cDataReader> OpenLoadFile(std::string_view path);
// The same for a file's bytes already in memory.
std::unique_ptr<cDataReader> OpenLoadData(std::string bytes);
// A writer for the file with g_nDataVersion written as its header; null for a path that
// cannot be a file name (empty, or 260 bytes or more).
std::unique_ptr<cDataWriter> OpenSaveFile(std::string_view path);
// Writes the collected bytes through a temporary file and a rename; false when that fails
// (the old file is then untouched).
bool CloseDataFile(std::unique_ptr<cDataWriter> file);
inline void CloseDataFile(std::unique_ptr<cDataReader>) {}
