#include "platform/sound_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "test_support/SoundFixtures.h"

namespace {

using namespace test_support;
using plat::audio::BufferError;
using plat::audio::Device;
using plat::audio::SoundBuffer;
using plat::audio::WavFormat;

std::shared_ptr<Device> manualDevice() {
  plat::audio::DeviceConfig c;
  c.backend = plat::audio::Backend::Manual;
  return Device::open(c, nullptr);
}

WavFormat pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  WavFormat f;
  f.formatTag = 1;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = f.blockAlign * rate;
  return f;
}

std::unique_ptr<SoundBuffer> make(std::shared_ptr<Device> d, const WavFormat& f, const std::string& data) {
  return SoundBuffer::create(std::move(d), f, {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()},
                             nullptr);
}

// A full-scale square wave at the device rate, 16-bit mono.
std::string square(int frames) {
  std::vector<int> s(frames);
  for (int i = 0; i < frames; ++i) s[i] = (i / 24) % 2 ? 32767 : -32767;
  return pcm16(s);
}

TEST(SoundBuffer, VolumeStepsFollowTheDecibelTable) {
  auto d = manualDevice();
  const int steps[] = {-3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};
  auto ref = make(d, pcm(1, 48000, 16), square(4800));
  ref->playFromStart();
  float full = peak(renderFrames(*d, 4800));
  for (int mb : steps) {
    auto b = make(d, pcm(1, 48000, 16), square(4800));
    EXPECT_EQ(b->setVolume(mb), mb);
    b->playFromStart();
    float got = peak(renderFrames(*d, 4800));
    double db = 20 * std::log10(got / full);
    EXPECT_NEAR(db, mb / 100.0, 0.05) << mb;
  }
  auto silent = make(d, pcm(1, 48000, 16), square(4800));
  silent->setVolume(-10000);
  silent->playFromStart();
  EXPECT_EQ(peak(renderFrames(*d, 4800)), 0.0f);
}

TEST(SoundBuffer, VolumeIsClampedAndKept) {
  auto d = manualDevice();
  auto b = make(d, pcm(1, 48000, 16), square(100));
  EXPECT_EQ(b->setVolume(500), 0);
  EXPECT_EQ(b->setVolume(-20000), -10000);
  EXPECT_EQ(b->volume(), -10000);
  EXPECT_EQ(b->duplicate()->volume(), -10000);
}

TEST(SoundBuffer, EightBitSilenceIsExactZero) {
  auto d = manualDevice();
  auto b = make(d, pcm(1, 22050, 8), std::string(2205, '\x80'));
  b->playFromStart();
  auto out = renderFrames(*d, 4800);
  EXPECT_EQ(peak(out), 0.0f);
  EXPECT_EQ(d->activeVoices(), 0);
}

std::string ramp(int frames) {
  std::vector<int> s(frames);
  for (int i = 0; i < frames; ++i) s[i] = (i % 1000) * 12 + 1;
  return pcm16(s);
}

TEST(SoundBuffer, PlayWhilePlayingRestartsOneBufferAndOverlapsCopies) {
  auto d = manualDevice();
  auto b = make(d, pcm(1, 48000, 16), ramp(9600));
  b->playFromStart();
  auto first = renderFrames(*d, 512);
  renderFrames(*d, 512);
  b->playFromStart();
  auto again = renderFrames(*d, 512);
  EXPECT_EQ(again, first);  // restarted, not summed

  auto copy = b->duplicate();
  b->stop();
  renderFrames(*d, 512);
  b->playFromStart();
  renderFrames(*d, 512);
  copy->playFromStart();  // the first copy goes on beside it
  auto both = renderFrames(*d, 512);
  b->stop();
  copy->stop();
  b->playFromStart();
  renderFrames(*d, 512);
  auto alone = renderFrames(*d, 512);
  for (std::size_t i = 0; i < both.size(); ++i) EXPECT_NEAR(both[i], alone[i] + first[i], 1e-6) << i;
}

TEST(SoundBuffer, OneShotEndsAndStaysSilent) {
  auto d = manualDevice();
  auto b = make(d, pcm(1, 48000, 16), square(1000));
  b->playFromStart();
  auto out = renderFrames(*d, 4096);
  EXPECT_GT(peak(out, 0, 2 * 1000), 0.9f);
  EXPECT_EQ(peak(out, 2 * 1000), 0.0f);
  EXPECT_EQ(d->activeVoices(), 0);
  EXPECT_EQ(peak(renderFrames(*d, 48000)), 0.0f);
}

TEST(SoundBuffer, RatesConvertToTheDeviceRateKeepingLengthAndSides) {
  auto d = manualDevice();
  for (std::uint32_t rate : {11025u, 22050u, 44100u, 48000u}) {
    std::vector<int> s(2 * rate);
    for (std::uint32_t i = 0; i < rate; ++i) {
      s[2 * i] = 16000;
      s[2 * i + 1] = -8000;
    }
    auto b = make(d, pcm(2, rate, 16), pcm16(s));
    ASSERT_TRUE(b);
    EXPECT_NEAR(static_cast<double>(b->frames()), 48000.0, 512.0) << rate;
    b->playFromStart();
    auto out = renderFrames(*d, 49000);
    std::size_t last = 0;
    for (std::size_t i = 0; i < out.size() / 2; ++i)
      if (out[2 * i] != 0) last = i;
    EXPECT_NEAR(static_cast<double>(last), 48000.0, 512.0) << rate;
    EXPECT_NEAR(out[2000], 16000 / 32768.0, 1e-4);
    EXPECT_NEAR(out[2001], -8000 / 32768.0, 1e-4);
  }
  auto mono = make(d, pcm(1, 22050, 8), std::string(100, '\xC0'));
  mono->playFromStart();
  auto out = renderFrames(*d, 64);
  EXPECT_GT(out[10], 0.0f);
  EXPECT_EQ(out[10], out[11]);
}

TEST(SoundBuffer, TwoFullScaleSoundsSaturate) {
  auto d = manualDevice();
  auto a = make(d, pcm(1, 48000, 16), pcm16(std::vector<int>(480, 32767)));
  auto b = make(d, pcm(1, 48000, 16), pcm16(std::vector<int>(480, 32767)));
  auto c = make(d, pcm(1, 48000, 16), pcm16(std::vector<int>(480, -32768)));
  auto e = make(d, pcm(1, 48000, 16), pcm16(std::vector<int>(480, -32768)));
  a->playFromStart();
  b->playFromStart();
  EXPECT_EQ(renderFrames(*d, 480)[100], 1.0f);
  c->playFromStart();
  e->playFromStart();
  EXPECT_EQ(renderFrames(*d, 480)[100], -1.0f);
}

TEST(SoundBuffer, FormatsThatCannotPlayAreRefused) {
  auto d = manualDevice();
  struct Case {
    const char* what;
    WavFormat format;
    std::string data;
    BufferError error;
  };
  WavFormat badAlign = pcm(2, 22050, 16);
  badAlign.blockAlign = 3;
  const Case cases[] = {
      {"no data", pcm(1, 22050, 8), "", BufferError::Empty},
      {"less than a frame", pcm(2, 22050, 16), "ab", BufferError::Empty},
      {"24-bit", pcm(1, 22050, 24), std::string(30, '\0'), BufferError::BadFormat},
      {"3 channels", pcm(3, 22050, 16), std::string(30, '\0'), BufferError::BadFormat},
      {"50 Hz", pcm(1, 50, 8), std::string(30, '\0'), BufferError::BadFormat},
      {"block align", badAlign, std::string(30, '\0'), BufferError::BadFormat},
  };
  for (const Case& c : cases) {
    BufferError e = BufferError::None;
    auto b =
        SoundBuffer::create(d, c.format, {reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size()}, &e);
    EXPECT_FALSE(b) << c.what;
    EXPECT_EQ(e, c.error) << c.what;
  }
}

}  // namespace
