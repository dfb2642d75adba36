#include "sound/MidiFile.h"

#include <gtest/gtest.h>

#include "SoundTestSupport.h"

namespace {

using namespace test_support;
using Bytes = std::vector<std::uint8_t>;

TEST(MidiVarLen, WriteAndReadTables) {
  struct W {
    std::uint32_t value;
    Bytes bytes;
  };
  for (const W& c : {W{0, {0x00}}, W{0x7F, {0x7F}}, W{0x80, {0x81, 0x00}}, W{0x3FFF, {0xFF, 0x7F}},
                     W{0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}}) {
    Bytes out;
    EXPECT_EQ(cMidiFile::WriteVarLen(out, c.value), static_cast<int>(c.bytes.size())) << c.value;
    EXPECT_EQ(out, c.bytes) << c.value;
    std::uint32_t back = 1;
    EXPECT_EQ(ReadVarLen(out, back), static_cast<int>(out.size()));
    EXPECT_EQ(back, c.value);
  }
  Bytes none;
  EXPECT_EQ(cMidiFile::WriteVarLen(none, 0x10000000), 0);
  EXPECT_TRUE(none.empty());
  std::uint32_t v;
  EXPECT_EQ(ReadVarLen(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, v), 0);  // a fifth byte is not read
  EXPECT_EQ(ReadVarLen(Bytes{0x81}, v), 0);                          // runs out
}

class MidiFileFixture : public sound_test::SoundFixture {
 protected:
  Bytes Image(const std::string& smf) { return cMidiFile(file("t.mid", smf)).m_lpImage; }
  static Bytes Header(std::uint16_t division, const Bytes& events) {
    // clang-format off
    Bytes img = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, static_cast<std::uint8_t>(division >> 8),
                 static_cast<std::uint8_t>(division), 'M', 'T', 'r', 'k'};
    // clang-format on
    std::uint32_t len = static_cast<std::uint32_t>(events.size());
    for (int i = 3; i >= 0; --i) img.push_back(static_cast<std::uint8_t>(len >> (8 * i)));
    img.insert(img.end(), events.begin(), events.end());
    return img;
  }
};

TEST_F(MidiFileFixture, RefusedFilesLogTheirMessage) {
  std::string good = makeSmf(0, 96, {SmfTrack().end()});
  auto with = [&good](std::size_t at, std::string bytes) {
    std::string s = good;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  struct Case {
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"RIFF" + good.substr(4), "Init 標準MIDIでない(4)"},
      {with(4, std::string("\0\0\0\7", 4)), "Init 標準MIDIでない(6)"},
      {with(8, std::string("\0\2", 2)), "Init 対応フォーマットが2でない"},
      {with(8, std::string("\0\3", 2)), "Init 対応フォーマットが0または1でない"},
      {with(14, "XTrk"), "Init 標準MIDIでない(4)"},
      {with(10, std::string("\0\0", 2)), "Init トラックがない"},
      {good.substr(0, 10), "Init 標準MIDIでない(6)"},
      {"MT", "Init 標準MIDIでない(4)"},
      // A note's data bytes with no status byte before them.
      {makeSmf(0, 96, {SmfTrack().ev(0, {60, 64}).end()}), "Init データがステータスより前にある"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Image(c.bytes).empty()) << c.message;
    EXPECT_NE(readLog(report).find(std::string("Midi ") + path("t.mid") + " " + c.message), std::string::npos)
        << c.message;
  }
  cMidiFile missing(path("none.mid"));
  EXPECT_TRUE(missing.m_lpImage.empty());
  EXPECT_NE(readLog(report).find("Midi " + path("none.mid") + " Create ファイルが開けません"), std::string::npos);
}

TEST_F(MidiFileFixture, TracksMergeByTimeLowerTrackFirstAtEqualTicks) {
  SmfTrack t0, t1;
  t0.ev(0, {0x90, 60, 64}).ev(96, {0x90, 61, 64}).end();
  t1.ev(0, {0x91, 70, 64}).ev(96, {0x91, 71, 64}).end(10);
  Bytes expect = Header(96, {0, 0x90, 60, 64, 0, 0x91, 70, 64, 0x60, 0x90, 61, 64, 0, 0x91, 71, 64, 10, 0xFF, 0x2F, 0});
  EXPECT_EQ(Image(makeSmf(1, 96, {t0, t1})), expect);
}

TEST_F(MidiFileFixture, TracksAreReadByTheirChunkLengths) {
  // Padding after the first track's end and a foreign chunk (holding what would read as
  // a note) come before the second track: neither delays or adds anything.
  SmfTrack t0, t1;
  t0.ev(0, {0x90, 60, 64}).end(96);
  t0.bytes += std::string(40, '\x7F');
  t1.ev(0, {0x91, 70, 64}).end(10);
  std::string smf = makeSmf(1, 96, {t0});
  smf[11] = 2;
  smf += "XFIR";
  putBe(smf, 4, 4);
  smf += std::string("\x00\x92\x40\x40", 4);
  smf += makeSmf(1, 96, {t1}).substr(14);
  EXPECT_EQ(Image(smf), Header(96, {0, 0x90, 60, 64, 0, 0x91, 70, 64, 0x60, 0xFF, 0x2F, 0}));
}

TEST_F(MidiFileFixture, RunningStatusIsWrittenOutInFull) {
  SmfTrack t;
  t.ev(0, {0x90, 60, 64}).ev(16, {62, 64}).ev(16, {0xC0, 5}).ev(0, {7}).ev(0, {0x80, 60, 0}).end();
  Bytes expect =
      Header(480, {0, 0x90, 60, 64, 16, 0x90, 62, 64, 16, 0xC0, 5, 0, 0xC0, 7, 0, 0x80, 60, 0, 0, 0xFF, 0x2F, 0});
  EXPECT_EQ(Image(makeSmf(0, 480, {t})), expect);
}

TEST_F(MidiFileFixture, DamagedFilesLoadWhatIsThere) {
  // Cut inside the second event: the track ends where the file does.
  std::string cut = makeSmf(0, 96, {SmfTrack().ev(0, {0x90, 60, 64}).ev(96, {0x90, 61, 64}).end()});
  cut.resize(cut.size() - 6);
  EXPECT_EQ(Image(cut), Header(96, {0, 0x90, 60, 64, 0x60, 0xFF, 0x2F, 0}));

  // More tracks declared than present.
  std::string missing = makeSmf(1, 96, {SmfTrack().ev(0, {0x90, 60, 64}).end()});
  missing[11] = 5;
  EXPECT_EQ(Image(missing), Header(96, {0, 0x90, 60, 64, 0, 0xFF, 0x2F, 0}));

  // A system-exclusive message too long for a stream buffer is left out; timing stays.
  SmfTrack big;
  big.ev(0, {0xF0});
  big.varlen(30000);
  big.bytes.append(29999, '\x11');
  big.bytes += '\xF7';
  big.ev(96, {0x90, 60, 64}).end();
  EXPECT_EQ(Image(makeSmf(0, 96, {big})), Header(96, {0x60, 0x90, 60, 64, 0, 0xFF, 0x2F, 0}));

  // A fourth delta byte with its top bit set ends the track.
  std::string badDelta = makeSmf(0, 96, {SmfTrack().ev(0, {0x90, 60, 64})});
  badDelta += "\xFF\xFF\xFF\xFF\x00";
  EXPECT_EQ(Image(badDelta), Header(96, {0, 0x90, 60, 64, 0, 0xFF, 0x2F, 0}));
}

}  // namespace
