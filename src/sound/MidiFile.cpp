#include "sound/MidiFile.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <tuple>

#include "base/Log.h"
#include "platform/fs.h"

namespace {

std::uint32_t be32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

const std::uint8_t kEndOfTrack[2] = {0x2F, 0x00};

}  // namespace

int ReadVarLen(std::span<const std::uint8_t> bytes, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (static_cast<std::size_t>(i) >= bytes.size()) return 0;
    value = (value << 7) | (bytes[i] & 0x7F);
    if (!(bytes[i] & 0x80)) return i + 1;
  }
  return 0;
}

int cMidiFile::WriteVarLen(std::vector<std::uint8_t>& out, std::uint32_t value) {
  if (value > 0x0FFFFFFF) return 0;
  std::uint8_t tmp[4];
  int n = 0;
  do {
    tmp[n++] = value & 0x7F;
    value >>= 7;
  } while (value);
  for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(tmp[i] | (i ? 0x80 : 0)));
  return n;
}

cMidiFile::cMidiFile(const std::string& file) { Load(file); }

void cMidiFile::Load(const std::string& file) {
  m_strFile = file;
  m_lpImage.clear();
  auto bytes = file.empty() ? std::nullopt : plat::fs::readFile(file, kMaxFileBytes);
  if (!bytes) {
    ReportPrintfDebug("Midi %s Create ファイルが開けません", m_strFile.c_str());
    return;
  }
  m_lpImage = Init(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
}

std::vector<std::uint8_t> cMidiFile::Init(std::span<const std::uint8_t> b) {
  const char* name = m_strFile.c_str();
  if (b.size() < 4 || std::memcmp(b.data(), "MThd", 4) != 0) {
    ReportPrintfDebug("Midi %s Init 標準MIDIでない(4)", name);
    return {};
  }
  if (b.size() < 14 || be32(&b[4]) != 6) {
    ReportPrintfDebug("Midi %s Init 標準MIDIでない(6)", name);
    return {};
  }
  std::uint16_t format = be16(&b[8]);
  if (format == 2) {
    ReportPrintfDebug("Midi %s Init 対応フォーマットが2でない", name);
    return {};
  }
  if (format > 2) {
    ReportPrintfDebug("Midi %s Init 対応フォーマットが0または1でない", name);
    return {};
  }
  if (b.size() < 18 || std::memcmp(&b[14], "MTrk", 4) != 0) {
    ReportPrintfDebug("Midi %s Init 標準MIDIでない(4)", name);
    return {};
  }
  if (be16(&b[10]) == 0) {
    ReportPrintfDebug("Midi %s Init トラックがない", name);
    return {};
  }
  return Convert(b);
}

std::vector<std::uint8_t> cMidiFile::Convert(std::span<const std::uint8_t> b) {
  std::size_t count = 0;
  bool damaged = false;
  auto lists = ReadTracks(b, count, damaged);
  if (damaged) {
    ReportPrintfDebug("Midi %s Init データがステータスより前にある", m_strFile.c_str());
    return {};
  }
  auto merged = MergeTracks(lists, count);
  lists.clear();
  return BuildFormat0(b, merged);
}

// Reads the track chunks by their lengths; other chunks are skipped. A track ends at its
// FF 2F 00 (the rest of its chunk is padding) or at its chunk's end; a chunk longer than
// the file ends with the file, and tracks missing at the end are empty. A data byte
// before any status byte makes the file damaged.
std::vector<std::vector<cMidiFile::Event>> cMidiFile::ReadTracks(std::span<const std::uint8_t> b,
                                                                 std::size_t& eventCount, bool& damaged) {
  const int tracks = be16(&b[10]);
  std::vector<std::vector<Event>> lists;
  std::uint64_t maxEnd = 0;
  std::uint64_t next = 14;
  eventCount = 0;
  damaged = false;
  for (int t = 0; t < tracks && next + 8 <= b.size();) {
    const std::size_t chunk = static_cast<std::size_t>(next);
    next = chunk + 8 + static_cast<std::uint64_t>(be32(&b[chunk + 4]));
    if (std::memcmp(&b[chunk], "MTrk", 4) != 0) continue;
    ++t;
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(next, b.size()));
    std::size_t pos = chunk + 8;
    auto& list = lists.emplace_back();
    std::uint64_t time = 0;
    std::uint8_t running = 0;
    while (pos < size) {
      std::uint32_t delta = 0;
      int n = ReadVarLen(b.subspan(pos, size - pos), delta);
      if (n == 0 || pos + n >= size) break;
      pos += n;
      time += delta;
      std::uint8_t status = running;
      if (b[pos] & 0x80) status = b[pos++];
      if (status == 0) {
        damaged = true;
        return {};
      }
      running = status;
      std::uint64_t length = 0;
      std::uint32_t dataLength = 0;
      if (status == 0xFF) {
        if (pos + 2 <= size && b[pos] == 0x2F && b[pos + 1] == 0x00) break;
        int m = pos + 1 < size ? ReadVarLen(b.subspan(pos + 1, size - pos - 1), dataLength) : 0;
        if (m == 0) break;
        length = 1 + static_cast<std::uint64_t>(m) + dataLength;
      } else if (status == 0xF0 || status == 0xF7) {
        int m = pos < size ? ReadVarLen(b.subspan(pos, size - pos), dataLength) : 0;
        if (m == 0) break;
        length = static_cast<std::uint64_t>(m) + dataLength;
      } else if (status >= 0xC0 && status <= 0xDF) {
        length = 1;
      } else {
        length = 2;
      }
      if (pos + length > size) break;  // cut short
      // A system-exclusive message too long for one stream buffer is left out; the
      // times of the events after it stay as they are.
      bool tooLong = (status == 0xF0 || status == 0xF7) && dataLength > kMaxSysexData;
      if (!tooLong) {
        list.push_back(Event{time, status, b.data() + pos, static_cast<std::uint32_t>(length)});
        ++eventCount;
      }
      pos += static_cast<std::size_t>(length);
    }
    maxEnd = std::max(maxEnd, time);
  }
  if (lists.empty()) lists.emplace_back();
  lists.back().push_back(Event{maxEnd, 0xFF, kEndOfTrack, 2});
  ++eventCount;
  return lists;
}

// The earliest next event of all tracks wins; at equal times the lower track.
std::vector<cMidiFile::Event> cMidiFile::MergeTracks(const std::vector<std::vector<Event>>& lists, std::size_t count) {
  using Key = std::tuple<std::uint64_t, std::size_t, std::size_t>;  // time, track, index
  std::priority_queue<Key, std::vector<Key>, std::greater<Key>> heap;
  for (std::size_t t = 0; t < lists.size(); ++t)
    if (!lists[t].empty()) heap.emplace(lists[t][0].time, t, 0);
  std::vector<Event> merged;
  merged.reserve(count);
  while (!heap.empty()) {
    auto [time, t, i] = heap.top();
    heap.pop();
    merged.push_back(lists[t][i]);
    if (i + 1 < lists[t].size()) heap.emplace(lists[t][i + 1].time, t, i + 1);
  }
  return merged;
}

std::vector<std::uint8_t> cMidiFile::BuildFormat0(std::span<const std::uint8_t> b, const std::vector<Event>& merged) {
  std::vector<std::uint8_t> img = {'M', 'T',   'h',   'd', 0,   0,   0,   6, 0, 0, 0,
                                   1,   b[12], b[13], 'M', 'T', 'r', 'k', 0, 0, 0, 0};
  std::uint64_t prev = 0;
  for (const Event& e : merged) {
    std::uint64_t delta = e.time - prev;
    // A gap wider than a delta can hold rides on empty text events.
    while (delta > 0x0FFFFFFF) {
      WriteVarLen(img, 0x0FFFFFFF);
      img.insert(img.end(), {0xFF, 0x01, 0x00});
      delta -= 0x0FFFFFFF;
    }
    WriteVarLen(img, static_cast<std::uint32_t>(delta));
    img.push_back(e.status);
    img.insert(img.end(), e.bytes, e.bytes + e.length);
    prev = e.time;
  }
  std::uint32_t len = static_cast<std::uint32_t>(img.size() - kHeaderSize);
  img[18] = static_cast<std::uint8_t>(len >> 24);
  img[19] = static_cast<std::uint8_t>(len >> 16);
  img[20] = static_cast<std::uint8_t>(len >> 8);
  img[21] = static_cast<std::uint8_t>(len);
  return img;
}
