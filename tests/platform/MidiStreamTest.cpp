#include "platform/midi_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_support/SoundFixtures.h"

namespace {

using namespace test_support;
using plat::audio::Device;
using plat::audio::MidiNotice;
using plat::audio::MidiStatus;
using plat::audio::MidiStream;

// Records the way the player writes them.
struct Records {
  std::vector<std::uint8_t> bytes;
  Records& rec(std::uint32_t delta, std::uint32_t word, std::vector<std::uint8_t> extra = {}) {
    for (std::uint32_t v : {delta, 0u, word}) {
      std::uint8_t b[4];
      std::memcpy(b, &v, 4);
      bytes.insert(bytes.end(), b, b + 4);
    }
    extra.resize((extra.size() + 3) & ~std::size_t{3}, 0);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    return *this;
  }
  Records& note(std::uint32_t delta, int key, std::uint32_t flags = 0) {
    return rec(delta, flags | 0x90 | (key << 8) | (100 << 16));
  }
};

class MidiStreamFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    device = Device::open(c, nullptr);
    device->installSynth(std::make_unique<RecordingSynth>(&log));
    MidiStatus st;
    stream = MidiStream::open(
        device, [this](const MidiNotice& n) { notices.push_back(n); }, &st);
    ASSERT_EQ(st, MidiStatus::Ok);
  }
  void render(int frames) {
    renderFrames(*device, frames);
    device->deliverNotices();
  }
  std::vector<SynthEvent> log;
  std::vector<MidiNotice> notices;
  std::shared_ptr<Device> device;
  std::unique_ptr<MidiStream> stream;
};

TEST_F(MidiStreamFixture, TicksBecomeFramesByTheTempoMap) {
  struct Case {
    const char* what;
    std::uint16_t division;
    Records records;
    std::vector<std::uint64_t> frames;
  };
  std::vector<Case> cases;
  cases.push_back({"default tempo", 480, Records().note(480, 60).note(480, 61), {24000, 48000}});
  cases.push_back({"tempo change",
                   480,
                   Records().note(960, 60).rec(0, 0x01000000 | 250000).note(480, 61).note(480, 62),
                   {48000, 60000, 72000}});
  cases.push_back({"SMPTE 25 x 40", 0xE728, Records().note(1000, 60).note(500, 61), {48000, 72000}});
  cases.push_back({"equal ticks keep order", 96, Records().note(0, 60).note(0, 61).note(96, 62), {0, 0, 24000}});
  for (Case& c : cases) {
    SetUp();
    ASSERT_EQ(stream->setDivision(c.division), MidiStatus::Ok);
    ASSERT_EQ(stream->submit(c.records.bytes, 0), MidiStatus::Ok);
    stream->resume();
    render(80000);
    auto ons = noteOns(log);
    ASSERT_EQ(ons.size(), c.frames.size()) << c.what;
    for (std::size_t i = 0; i < ons.size(); ++i) {
      EXPECT_GE(ons[i].first, c.frames[i]) << c.what << " " << i;
      EXPECT_LT(ons[i].first, c.frames[i] + 64) << c.what << " " << i;
      EXPECT_EQ(ons[i].second, 60 + static_cast<int>(i)) << c.what;
    }
    stream.reset();
    device.reset();
    log.clear();
  }
}

TEST_F(MidiStreamFixture, HugeDeltaDoesNotOverflow) {
  stream->setDivision(0x7FFF);
  stream->submit(Records().note(1u << 27, 60).bytes, 0);
  stream->resume();
  render(48000);
  EXPECT_TRUE(noteOns(log).empty());  // about 2000 s away
}

TEST_F(MidiStreamFixture, DeltasRunOnAcrossBuffersAndLateBuffersCatchUp) {
  stream->setDivision(480);
  stream->submit(Records().note(480, 60).bytes, 0);
  stream->submit(Records().note(480, 61).bytes, 1);
  stream->resume();
  render(60000);
  // A buffer queued late plays its overdue events at once, in order, none lost.
  stream->submit(Records().note(0, 62).note(0, 63).bytes, 0);
  render(1024);
  auto ons = noteOns(log);
  ASSERT_EQ(ons.size(), 4u);
  EXPECT_NEAR(static_cast<double>(ons[0].first), 24000, 64);
  EXPECT_NEAR(static_cast<double>(ons[1].first), 48000, 64);
  EXPECT_EQ(ons[2].second, 62);
  EXPECT_EQ(ons[3].second, 63);
  EXPECT_GE(ons[2].first, 60000u);
  EXPECT_LT(ons[3].first, 60000u + 512);
}

TEST_F(MidiStreamFixture, NotifyRecordGivesOneNoticeAfterItsBufferIsReturned) {
  bool queuedInSink = true;
  stream.reset();
  stream = MidiStream::open(
      device,
      [&](const MidiNotice& n) {
        notices.push_back(n);
        queuedInSink = stream->queued(n.tag);
      },
      nullptr);
  stream->setDivision(96);
  Records r;
  r.note(96, 60).note(96, 61, plat::audio::kMidiNotify);
  stream->submit(r.bytes, 1);
  EXPECT_TRUE(stream->queued(1));
  stream->resume();
  render(24000);
  EXPECT_TRUE(notices.empty());
  render(24512);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].tag, 1u);
  EXPECT_EQ(notices[0].offset, 12u);
  EXPECT_EQ(notices[0].word & 0xFFFF, 0x3D90u);
  EXPECT_EQ(notices[0].epoch, stream->epoch());
  EXPECT_FALSE(queuedInSink);
  EXPECT_EQ(stream->submit(Records().note(0, 1).bytes, 7), MidiStatus::BadParam);
  EXPECT_EQ(stream->submit({}, 0), MidiStatus::Ok);
  EXPECT_FALSE(stream->queued(0));  // an empty buffer comes back at once
}

TEST_F(MidiStreamFixture, HaltReleasesReturnsRewindsAndOpensAnEpoch) {
  stream->setDivision(96);
  stream->submit(Records().note(0, 60).note(960, 61).bytes, 0);
  stream->submit(Records().note(0, 62).bytes, 1);
  stream->resume();
  render(4800);
  std::uint32_t before = stream->epoch();
  stream->halt();
  EXPECT_FALSE(stream->queued(0));
  EXPECT_FALSE(stream->queued(1));
  EXPECT_EQ(stream->epoch(), before + 1);
  EXPECT_EQ(stream->submit(Records().note(96, 70).bytes, 0), MidiStatus::Ok);
  log.clear();
  render(4800);  // halted: the clock stands
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].kind, SynthEvent::Release);
  EXPECT_TRUE(noteOns(log).empty());
  std::uint64_t resumeAt = device->framesMixed();
  stream->resume();
  render(48000);
  auto ons = noteOns(log);
  ASSERT_EQ(ons.size(), 1u);
  EXPECT_EQ(ons[0].second, 70);
  EXPECT_NEAR(static_cast<double>(ons[0].first - resumeAt), 24000, 64);  // from tick 0 at 120 bpm
}

TEST_F(MidiStreamFixture, PauseShiftsLaterEventsByThePause) {
  stream->setDivision(96);
  stream->submit(Records().note(96, 60).note(96, 61).bytes, 0);
  stream->resume();
  render(30000);
  stream->pause();
  render(10240);
  stream->resume();
  render(30000);
  auto ons = noteOns(log);
  ASSERT_EQ(ons.size(), 2u);
  EXPECT_NEAR(static_cast<double>(ons[1].first), 48000 + 10240, 64);
  bool released = false;
  for (auto& e : log) released |= e.kind == SynthEvent::Release;
  EXPECT_TRUE(released);
}

TEST_F(MidiStreamFixture, SysexPassesWholeAndSystemBytesStayAway) {
  stream->setDivision(96);
  Records r;
  r.rec(0, 0x80000000u | 6, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
  r.rec(0, 0x40002FFFu);  // the end record: FF 2F 00
  stream->submit(r.bytes, 0);
  stream->resume();
  render(512);
  int shorts = 0;
  bool sysex = false;
  for (auto& e : log) {
    if (e.kind == SynthEvent::Sysex) {
      sysex = true;
      EXPECT_EQ(e.bytes, (std::vector<std::uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    }
    shorts += e.kind == SynthEvent::Short;
  }
  EXPECT_TRUE(sysex);
  EXPECT_EQ(shorts, 0);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].word, 0x40002FFFu);
}

TEST_F(MidiStreamFixture, NoNoticeAfterTheStreamIsGone) {
  stream->setDivision(96);
  stream->submit(Records().note(0, 60, plat::audio::kMidiNotify).bytes, 0);
  stream->resume();
  renderFrames(*device, 512);  // the notice waits in the ring
  stream.reset();
  device->deliverNotices();
  EXPECT_TRUE(notices.empty());
  bool silenced = false;
  renderFrames(*device, 512);
  for (auto& e : log) silenced |= e.kind == SynthEvent::Silence;
  EXPECT_TRUE(silenced);
}

}  // namespace
