#include "platform/ogg_track.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/fs.h"
#include "test_support/SoundFixtures.h"
#include "test_support/TempDir.h"

namespace {

using namespace test_support;
using plat::audio::Device;
using plat::audio::OggTrack;

std::shared_ptr<Device> manualDevice() {
  plat::audio::DeviceConfig c;
  c.backend = plat::audio::Backend::Manual;
  return Device::open(c, nullptr);
}

float tone(int frame, int channel, int rate) {
  return 0.5f * std::sin(2 * 3.14159265 * 440.0 * frame / rate) * (channel ? 0.5f : 1.0f);
}

// Frames (left channel) of output whose level stays near silence for a whole run.
int longestQuietRun(const std::vector<float>& lr, std::size_t from, std::size_t to) {
  int run = 0, best = 0;
  for (std::size_t i = from; i < to; ++i) {
    run = std::fabs(lr[2 * i]) < 1e-4f ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

std::size_t lastSound(const std::vector<float>& lr) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < lr.size() / 2; ++i)
    if (std::fabs(lr[2 * i]) > 1e-3f) last = i;
  return last;
}

TEST(OggTrack, OnlyDecodableStreamsLoad) {
  auto d = manualDevice();
  OggTrack t(d);
  TempDir dir;
  std::string wav = makeWav(1, 8000, 8, std::string(100, '\x80'));
  std::string smf = makeSmf(0, 96, {SmfTrack().end()});
  EXPECT_FALSE(t.load(plat::fs::fromNative(dir.path() + "/missing.ogg")));
  EXPECT_FALSE(t.loadBytes(wav));
  EXPECT_FALSE(t.loadBytes(smf));
  EXPECT_FALSE(t.loadBytes(""));
  std::string ogg = encodeOgg(48000, 1, 4800, [](int f, int c) { return tone(f, c, 48000); });
  EXPECT_FALSE(t.loadBytes(ogg.substr(0, 200)));  // headers cut short
  EXPECT_TRUE(t.loadBytes(ogg));
  EXPECT_TRUE(t.loaded());
}

TEST(OggTrack, PlaysOnceWithCountZeroKeepingLengthAtEachRate) {
  struct Case {
    int rate, channels;
  };
  for (Case c : {Case{22050, 1}, Case{44100, 2}, Case{48000, 2}}) {
    auto d = manualDevice();
    OggTrack t(d);
    ASSERT_TRUE(
        t.loadBytes(encodeOgg(c.rate, c.channels, c.rate / 2, [&](int f, int ch) { return tone(f, ch, c.rate); })));
    t.setRepeats(0);
    t.play();
    auto out = renderFrames(*d, 48000);
    EXPECT_NEAR(static_cast<double>(lastSound(out)), 24000, 512) << c.rate;
    EXPECT_LT(longestQuietRun(out, 0, 23000), 8) << c.rate;
    EXPECT_EQ(peak(renderFrames(*d, 4800)), 0.0f) << c.rate;
    if (c.channels == 2) { EXPECT_NE(out[2 * 1000], out[2 * 1000 + 1]); }
  }
}

TEST(OggTrack, StreamsOfMoreChannelsPlayTheirFrontLeftAndRight) {
  // Each channel has its own level; the centre sits between left and right in 3, 5 and
  // 6 channel streams, and a 4 channel stream is front left, front right, rear.
  const float level[6] = {0.4f, 0.1f, 0.25f, 0.05f, 0.05f, 0.05f};
  const struct { int channels, right; } cases[] = {{2, 1}, {3, 2}, {4, 1}, {5, 2}, {6, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.channels);
    auto d = manualDevice();
    OggTrack t(d);
    ASSERT_TRUE(t.loadBytes(encodeOgg(48000, c.channels, 24000, [&](int f, int ch) {
      return level[ch] * static_cast<float>(std::sin(2 * 3.14159265 * 440.0 * f / 48000));
    })));
    t.setRepeats(0);
    t.play();
    auto out = renderFrames(*d, 12000);
    double sumL = 0, sumR = 0;
    for (std::size_t i = 2000; i < 12000; ++i) {
      sumL += out[2 * i] * out[2 * i];
      sumR += out[2 * i + 1] * out[2 * i + 1];
    }
    ASSERT_GT(sumL, 0.0);
    EXPECT_NEAR(std::sqrt(sumR / sumL), level[c.right] / level[0], 0.08);
  }
}

TEST(OggTrack, EndlessLoopHasNoGapAndRepeatsTheStart) {
  auto d = manualDevice();
  OggTrack t(d);
  const int len = 12000;  // a whole number of 440 Hz periods at 48 kHz
  ASSERT_TRUE(t.loadBytes(encodeOgg(48000, 1, len, [](int f, int c) { return tone(f, c, 48000); })));
  t.setRepeats(OggTrack::kEndless);
  t.play();
  auto out = renderFrames(*d, len * 5 / 2);
  EXPECT_LT(longestQuietRun(out, 0, out.size() / 2), 8);
  for (int i = 0; i < 200; ++i) EXPECT_FLOAT_EQ(out[2 * (len + i)], out[2 * i]) << i;
}

TEST(OggTrack, StopSilencesFromTheNextBlockAndPlayStartsAgain) {
  auto d = manualDevice();
  OggTrack t(d);
  ASSERT_TRUE(t.loadBytes(encodeOgg(48000, 1, 48000, [](int f, int c) { return tone(f, c, 48000); })));
  t.play();
  auto first = renderFrames(*d, 512);
  renderFrames(*d, 4096);
  t.stop();
  EXPECT_EQ(peak(renderFrames(*d, 4096)), 0.0f);
  t.play();
  EXPECT_EQ(renderFrames(*d, 512), first);
  t.unload();
  EXPECT_EQ(peak(renderFrames(*d, 512)), 0.0f);
}

}  // namespace
