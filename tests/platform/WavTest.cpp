#include "platform/wav.h"

#include <gtest/gtest.h>

#include "test_support/SoundFixtures.h"

namespace {

using plat::audio::WavError;
using namespace test_support;

std::span<const std::uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(WavReader, ChunkWalkAndRefusals) {
  const std::string fmt8 = chunk("fmt ", fmtBody(1, 1, 22050, 8));
  const std::string data4 = chunk("data", "\x80\x90\x70\x80");
  std::string extensibleFmt = fmtBody(1, 2, 44100, 16);
  put16(extensibleFmt, 22);
  extensibleFmt += std::string(22, '\0');
  std::string truncated = makeWav(1, 8000, 8, std::string(100, '\x80'));
  truncated.resize(truncated.size() - 10);
  std::string shortFmt = riffWave(chunk("fmt ", fmtBody(1, 1, 8000, 8).substr(0, 14)) + data4);

  struct Case {
    const char* what;
    std::string file;
    WavError error;
    std::size_t dataSize;
  };
  const Case cases[] = {
      {"8-bit mono", riffWave(fmt8 + data4), WavError::None, 4},
      {"16-bit stereo", makeWav(2, 44100, 16, pcm16({1, -1, 2, -2})), WavError::None, 8},
      {"LIST and fact skipped", riffWave(fmt8 + chunk("LIST", "INFOxxxx") + chunk("fact", "abcd") + data4),
       WavError::None, 4},
      {"odd chunk padded", riffWave(fmt8 + chunk("junk", "abc") + data4), WavError::None, 4},
      {"long fmt chunk", riffWave(chunk("fmt ", extensibleFmt) + data4), WavError::None, 4},
      {"data before fmt", riffWave(data4 + fmt8), WavError::NoData, 0},
      {"float", makeWav(1, 8000, 32, std::string(8, '\0'), 3), WavError::NotPcm, 0},
      {"ADPCM", makeWav(1, 8000, 4, std::string(8, '\0'), 2), WavError::NotPcm, 0},
      {"extensible", makeWav(2, 8000, 16, std::string(8, '\0'), 0xFFFE), WavError::NotPcm, 0},
      {"not WAVE", chunk("RIFF", "AVI " + fmt8 + data4), WavError::NotRiffWave, 0},
      {"empty file", "", WavError::NotRiffWave, 0},
      {"no fmt", riffWave(data4), WavError::NoFmt, 0},
      {"fmt without bits", shortFmt, WavError::NoFmt, 0},
      {"no data", riffWave(fmt8), WavError::NoData, 0},
      {"truncated data", truncated, WavError::Truncated, 0},
  };
  for (const Case& c : cases) {
    plat::audio::WavView v;
    EXPECT_EQ(plat::audio::parseWav(bytesOf(c.file), v), c.error) << c.what;
    if (c.error == WavError::None) { EXPECT_EQ(v.data.size(), c.dataSize) << c.what; }
  }
}

TEST(WavReader, FormatFieldsAreRead) {
  std::string file = makeWav(2, 44100, 16, pcm16({1, 2, 3, 4}));
  plat::audio::WavView v;
  ASSERT_EQ(plat::audio::parseWav(bytesOf(file), v), WavError::None);
  EXPECT_EQ(v.format.channels, 2);
  EXPECT_EQ(v.format.samplesPerSec, 44100u);
  EXPECT_EQ(v.format.bitsPerSample, 16);
  EXPECT_EQ(v.format.blockAlign, 4);
  EXPECT_EQ(v.data[0], 1);
}

}  // namespace
