#include "sound/MidiPlayer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "SoundTestSupport.h"

namespace {

using namespace test_support;

class MidiPlayerFixture : public sound_test::SoundFixture {
 protected:
  std::unique_ptr<cMidiPlayer> Player(const std::string& smf) {
    return std::make_unique<cMidiPlayer>(file("song.mid", smf));
  }
  // Note-on frames measured from the frame the player started.
  std::vector<std::pair<std::uint64_t, int>> Ons(std::uint64_t start) {
    auto ons = noteOns(synthLog);
    for (auto& o : ons) o.first -= start;
    return ons;
  }
};

struct Record {
  std::uint32_t delta, word;
  std::vector<std::uint8_t> extra;
};
std::vector<Record> Records(const cMidiHeader& h) {
  std::vector<Record> r;
  for (std::uint32_t at = 0; at + 12 <= h.dwBytesRecorded;) {
    Record rec;
    std::memcpy(&rec.delta, &h.lpData[at], 4);
    std::memcpy(&rec.word, &h.lpData[at + 8], 4);
    std::uint32_t len = 12;
    if (rec.word & 0x80000000u) {
      std::uint32_t n = rec.word & 0xFFFFFF;
      rec.extra.assign(h.lpData.begin() + at + 12, h.lpData.begin() + at + 12 + ((n + 3) & ~3u));
      len += (n + 3) & ~3u;
    }
    r.push_back(rec);
    at += len;
  }
  return r;
}

TEST_F(MidiPlayerFixture, BufferRecordsCarrySkippedMetaTimeAndPadSysex) {
  SmfTrack t;
  t.ev(0, {0x90, 60, 64});
  t.ev(48, {0xFF, 0x01, 0x03, 'a', 'b', 'c'});
  t.ev(48, {0x80, 60, 0});
  t.ev(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
  t.tempo(10, 400000).ev(0, {0xC1, 9}).end(5);
  auto p = Player(makeSmf(0, 96, {t}));
  cMidiHeader h;
  h.lpData.assign(24000, 0);
  h.dwBufferLength = 24000;
  std::uint32_t used = p->FillBuffer(22, h);
  EXPECT_EQ(used, p->m_lpImage.size() - 22);
  auto r = Records(h);
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0].word, 0x403C90u);
  EXPECT_EQ(r[1].delta, 96u);  // the text event's 48 ticks carried on
  EXPECT_EQ(r[1].word, 0x003C80u);
  EXPECT_EQ(r[2].word, 0x80000006u);
  EXPECT_EQ(r[2].extra, (std::vector<std::uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0, 0}));
  EXPECT_EQ(r[3].delta, 10u);
  EXPECT_EQ(r[3].word, 0x01000000u | 400000);
  EXPECT_EQ(r[4].word, 0x09C1u);
  EXPECT_EQ(r[5].delta, 5u);
  EXPECT_EQ(r[5].word, 0x40002FFFu);
}

TEST_F(MidiPlayerFixture, FullBufferFlagsItsLastRecordAndKeepsSkippedTime) {
  SmfTrack t;
  for (int i = 0; i < 1999; ++i) t.ev(1, {0x90, 60, 64});
  t.ev(7, {0xFF, 0x01, 0x00});  // a text event right at the buffer boundary
  t.ev(3, {0x90, 61, 64}).ev(1, {0x90, 62, 64}).end();
  auto p = Player(makeSmf(0, 96, {t}));
  cMidiHeader h;
  h.lpData.assign(24000, 0);
  h.dwBufferLength = 24000;
  std::uint32_t pos = 22 + p->FillBuffer(22, h);
  auto a = Records(h);
  ASSERT_EQ(a.size(), 2000u);
  EXPECT_EQ(a.back().word, 0x40403D90u);  // note 61 with the notify flag
  EXPECT_EQ(a.back().delta, 10u);
  p->FillBuffer(pos, h);
  auto b = Records(h);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].word, 0x403E90u);
  EXPECT_EQ(b[1].word, 0x40002FFFu);
}

TEST_F(MidiPlayerFixture, NoteOnsFollowTheTempoMapInBothFormats) {
  // Quarter = 480 ticks. 120 bpm, 240 bpm from tick 960, 60 bpm from tick 1920.
  std::vector<std::uint64_t> expect = {24000, 60000, 120000};
  SmfTrack f0;
  f0.tempo(0, 500000).ev(480, {0x90, 60, 64}).tempo(480, 250000).ev(480, {0x90, 61, 64}).tempo(480, 1000000);
  f0.ev(480, {0x90, 62, 64}).end(480);
  SmfTrack conductor, notes;
  conductor.tempo(0, 500000).tempo(960, 250000).tempo(960, 1000000).end();
  notes.ev(480, {0x90, 60, 64}).ev(960, {0x90, 61, 64}).ev(960, {0x90, 62, 64}).end(480);
  for (const std::string& smf : {makeSmf(0, 480, {f0}), makeSmf(1, 480, {conductor, notes})}) {
    synthLog.clear();
    auto p = Player(smf);
    std::uint64_t start = device->framesMixed();
    p->Start(0);
    pump(130000);
    auto ons = Ons(start);
    ASSERT_EQ(ons.size(), 3u);
    for (int i = 0; i < 3; ++i) {
      EXPECT_GE(ons[i].first, expect[i]);
      EXPECT_LT(ons[i].first, expect[i] + 512) << i;
    }
  }
}

TEST_F(MidiPlayerFixture, LoopingTrackStartsAgainAfterItsEnd) {
  // One note; the song lasts one second (division 96 at 120 bpm).
  auto p = Player(makeSmf(0, 96, {SmfTrack().ev(0, {0x90, 60, 64}).ev(96, {0x80, 60, 0}).end(96)}));
  std::uint64_t start = device->framesMixed();
  p->Start(1);
  pump(48000 * 3 + 24000);
  auto ons = Ons(start);
  ASSERT_GE(ons.size(), 3u);
  EXPECT_LT(ons[0].first, 512u);
  for (std::size_t i = 1; i < ons.size(); ++i) {
    std::uint64_t gap = ons[i].first - ons[i - 1].first;
    EXPECT_GE(gap, 48000u);
    EXPECT_LE(gap, 48000u + 3 * 512) << i;
  }
  EXPECT_EQ(p->m_nState, 1);
}

TEST_F(MidiPlayerFixture, TrackWithoutLoopPlaysOnceAndStaysRewound) {
  auto p = Player(makeSmf(0, 96, {SmfTrack().ev(0, {0x90, 60, 64}).ev(96, {0x80, 60, 0}).end(96)}));
  p->Start(0);
  pump(48000 * 3);
  EXPECT_EQ(noteOns(synthLog).size(), 1u);
  EXPECT_EQ(p->m_nState, 0);
  EXPECT_EQ(p->m_nOffset, p->m_lpImage.size());  // the whole (short) song is queued again
  EXPECT_TRUE(p->m_hStream->queued(0) || p->m_hStream->queued(1));
}

TEST_F(MidiPlayerFixture, ManyBuffersPlayEveryEventOnceInOrder) {
  SmfTrack t;
  t.tempo(0, 20000);  // 10 frames a tick at division 96
  for (int i = 0; i < 4500; ++i) t.ev(1, {0x90, i % 100, 64});
  t.end();
  auto p = Player(makeSmf(0, 96, {t}));
  p->Start(0);
  pump(48000);
  auto ons = noteOns(synthLog);
  ASSERT_EQ(ons.size(), 4500u);
  for (int i = 0; i < 4500; ++i) ASSERT_EQ(ons[i].second, i % 100) << i;
  EXPECT_EQ(p->m_nState, 0);
}

TEST_F(MidiPlayerFixture, StopReleasesThePedalAndRewinds) {
  auto p = Player(makeSmf(0, 96, {SmfTrack().ev(0, {0xB0, 64, 127}).ev(0, {0x90, 60, 64}).end(960)}));
  p->Start(0);
  pump(4800);
  synthLog.clear();
  p->Stop(0);
  pump(1024);
  ASSERT_FALSE(synthLog.empty());
  EXPECT_EQ(synthLog[0].kind, SynthEvent::Release);
  EXPECT_EQ(p->m_nState, 0);
  EXPECT_TRUE(noteOns(synthLog).empty());
  // Pause and resume go on where they were, without queueing again.
  p->Start(0);
  pump(1024);
  p->Stop(1);
  EXPECT_EQ(p->m_nState, 2);
  p->Start(0);
  EXPECT_EQ(p->m_nState, 1);
}

}  // namespace
