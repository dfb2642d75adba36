#include "platform/wav.h"

#include <algorithm>
#include <cstring>

namespace plat::audio {
namespace {

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Finds the chunk with that id in [pos, end); its header position, or end when none.
std::size_t findChunk(std::span<const std::uint8_t> b, std::size_t pos, std::size_t end, const char* id) {
  while (pos + 8 <= end) {
    std::uint64_t size = le32(&b[pos + 4]);
    if (std::memcmp(&b[pos], id, 4) == 0) return pos;
    std::uint64_t next = pos + 8 + size + (size & 1);
    if (next > end) break;
    pos = static_cast<std::size_t>(next);
  }
  return end;
}

}  // namespace

WavError parseWav(std::span<const std::uint8_t> b, WavView& out) {
  out = WavView{};
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
    return WavError::NotRiffWave;
  // The form ends where its size says, or at the end of the file when that is shorter.
  std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(b.size(), 8ull + le32(&b[4])));

  std::size_t fmt = findChunk(b, 12, end, "fmt ");
  if (fmt == end) return WavError::NoFmt;
  std::uint32_t fmtSize = le32(&b[fmt + 4]);
  if (fmtSize < 16) return WavError::NoFmt;  // no bits-per-sample field
  if (fmt + 8 + static_cast<std::uint64_t>(fmtSize) > end) return WavError::Truncated;
  const std::uint8_t* f = &b[fmt + 8];
  WavFormat w;
  w.formatTag = le16(f);
  w.channels = le16(f + 2);
  w.samplesPerSec = le32(f + 4);
  w.avgBytesPerSec = le32(f + 8);
  w.blockAlign = le16(f + 12);
  w.bitsPerSample = le16(f + 14);
  // A longer chunk fills the format block and the rest is skipped.
  if (fmtSize >= 18) w.extraSize = le16(f + 16);
  if (w.formatTag != 1) return WavError::NotPcm;

  std::size_t afterFmt = fmt + 8 + fmtSize + (fmtSize & 1);
  if (afterFmt > end) afterFmt = end;
  std::size_t data = findChunk(b, afterFmt, end, "data");
  if (data == end) return WavError::NoData;
  std::uint64_t dataSize = le32(&b[data + 4]);
  if (data + 8 + dataSize > b.size()) return WavError::Truncated;
  out.format = w;
  out.data = b.subspan(data + 8, static_cast<std::size_t>(dataSize));
  return WavError::None;
}

}  // namespace plat::audio
