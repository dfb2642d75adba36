// The standard MIDI file loader: a format 0 or 1 file is read whole, its tracks merged
// into one time-ordered list and written back as a single-track format-0 image:
//   0-3 "MThd", 4-7 6, 8-9 format 0, 10-11 one track, 12-13 the file's time division,
//   14-17 "MTrk", 18-21 the track length (image size - 22), then the events, each a
//   variable-length delta and the whole event with its status byte, ending in FF 2F 00.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Reads a variable-length number: the bytes used (1 to 4), or 0 when the fourth byte
// still has its top bit set or the bytes run out.
int ReadVarLen(std::span<const std::uint8_t> bytes, std::uint32_t& value);

class cMidiFile {
 public:
  static constexpr std::uint32_t kHeaderSize = 22;
  // The largest system-exclusive data that fits one stream buffer with its record.
  static constexpr std::uint32_t kMaxSysexData = 23987;
  // Songs are kilobytes; a larger file is not read.
  static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

  explicit cMidiFile(const std::string& file);
  virtual ~cMidiFile() = default;

  void Load(const std::string& file);
  // Checks the header and converts; the image, or empty (with the message logged).
  std::vector<std::uint8_t> Init(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> Convert(std::span<const std::uint8_t> bytes);
  // Writes 1 to 4 bytes and returns their number; 0, and nothing written, above 0x0FFFFFFF.
  static int WriteVarLen(std::vector<std::uint8_t>& out, std::uint32_t value);

  std::vector<std::uint8_t> m_lpImage;  // empty when loading failed
  std::string m_strFile;

 protected:
  struct Event {
    std::uint64_t time = 0;
    std::uint8_t status = 0;
    const std::uint8_t* bytes = nullptr;  // the bytes after the status, inside the file
    std::uint32_t length = 0;
  };
  std::vector<std::vector<Event>> ReadTracks(std::span<const std::uint8_t> bytes, std::size_t& eventCount,
                                             bool& damaged);
  std::vector<Event> MergeTracks(const std::vector<std::vector<Event>>& lists, std::size_t count);
  std::vector<std::uint8_t> BuildFormat0(std::span<const std::uint8_t> bytes, const std::vector<Event>& merged);
};
