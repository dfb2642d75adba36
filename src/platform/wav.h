// A strict reader of RIFF WAVE files: PCM only. The "fmt " chunk is looked for from the
// start of the form, the "data" chunk from the end of "fmt " onward, skipping any other
// chunk (chunks are padded to even sizes). 8-bit samples are unsigned, 16-bit signed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace plat::audio {

struct WavFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;  // 0 when the "fmt " chunk has no such field
};

enum class WavError { None, NotRiffWave, NoFmt, NotPcm, NoData, Truncated };

struct WavView {
  WavFormat format;
  std::span<const std::uint8_t> data;  // the "data" chunk's bytes, inside the parsed bytes
};

WavError parseWav(std::span<const std::uint8_t> bytes, WavView& out);

}  // namespace plat::audio
