#include <gtest/gtest.h>

#include <cmath>

#include "platform/midi_stream.h"
#include "platform/midi_synth.h"
#include "test_support/SoundFixtures.h"

namespace {

using namespace test_support;

double rms(const std::vector<float>& v) {
  double s = 0;
  for (float x : v) s += static_cast<double>(x) * x;
  return v.empty() ? 0 : std::sqrt(s / v.size());
}

class FluidFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    auto sf = plat::audio::findGmSoundfont();
    if (!sf) GTEST_SKIP() << "no General MIDI soundfont installed";
    std::string why;
    synth = plat::audio::makeFluidSynth(48000, *sf, &why);
    ASSERT_TRUE(synth) << why;
  }
  std::vector<float> render(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    for (int at = 0; at < frames; at += 64) synth->render(out.data() + 2 * at, std::min(64, frames - at));
    return out;
  }
  std::unique_ptr<plat::audio::MidiSynth> synth;
};

TEST_F(FluidFixture, NoteSoundsAndStopWithPedalDownLeavesNothingHanging) {
  synth->shortMessage(0, 0xC0, 19, 0);    // church organ: it never fades by itself
  synth->shortMessage(0, 0xB0, 64, 127);  // sustain pedal down
  synth->shortMessage(0, 0x90, 60, 110);
  EXPECT_GT(rms(render(4800)), 0.005);
  synth->shortMessage(0, 0x80, 60, 0);  // held by the pedal
  render(48000);
  EXPECT_GT(rms(render(4800)), 0.005);
  synth->releaseAll(0);
  render(96000);
  EXPECT_LT(rms(render(4800)), 0.0005);
}

TEST_F(FluidFixture, DenseChordStaysInsideFullScale) {
  for (int ch = 0; ch < 16; ++ch) {
    if (ch == 9) continue;
    synth->shortMessage(0, static_cast<std::uint8_t>(0xC0 | ch), static_cast<std::uint8_t>(ch * 7), 0);
    for (int k = 0; k < 6; ++k) synth->shortMessage(0, static_cast<std::uint8_t>(0x90 | ch), 40 + ch * 2 + k * 5, 100);
  }
  EXPECT_LE(peak(render(48000)), 1.0f);
}

TEST_F(FluidFixture, SysexWithItsFramingIsAccepted) {
  const std::uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  synth->systemExclusive(0, gmOn);
  synth->shortMessage(0, 0x90, 60, 100);
  EXPECT_GT(rms(render(4800)), 0.005);
}

}  // namespace
