// The cost of one mixer block: 16 sound effects and a MIDI track on the General MIDI
// synth, at 48 kHz stereo in blocks of 512 frames. "x_realtime" is seconds of sound
// mixed per second of CPU; the share of one core is 100 / x_realtime percent.
#include <benchmark/benchmark.h>

#include "Baseline.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio.h"
#include "platform/midi_stream.h"
#include "platform/midi_synth.h"
#include "platform/sound_buffer.h"

namespace {

using namespace plat::audio;

std::vector<std::uint8_t> Pcm16(int frames, double hz, int rate) {
  std::vector<std::uint8_t> d(2 * static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    auto v = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * hz * i / rate));
    std::memcpy(&d[2 * i], &v, 2);
  }
  return d;
}

// A busy song: 8 channels, chords changing every eighth note at 120 bpm, looping for ever.
std::vector<std::uint8_t> Song(int bars) {
  std::vector<std::uint8_t> r;
  auto rec = [&r](std::uint32_t delta, std::uint32_t word) {
    for (std::uint32_t v : {delta, 0u, word}) {
      std::uint8_t b[4];
      std::memcpy(b, &v, 4);
      r.insert(r.end(), b, b + 4);
    }
  };
  for (int ch = 0; ch < 8; ++ch) rec(0, 0xC0 | ch | ((ch * 9 + 1) << 8));
  for (int step = 0; step < bars * 8; ++step) {
    for (int ch = 0; ch < 8; ++ch)
      for (int k = 0; k < 3; ++k) {
        int key = 40 + ch * 4 + k * 4 + step % 5;
        rec(0, 0x90 | ch | (key << 8) | (90 << 16));
      }
    rec(48, 0);  // nothing: a short message of status 0 is dropped, it only carries time
    for (int ch = 0; ch < 8; ++ch)
      for (int k = 0; k < 3; ++k) {
        int key = 40 + ch * 4 + k * 4 + step % 5;
        rec(0, 0x80 | ch | (key << 8));
      }
  }
  return r;
}

void BM_MixSixteenSoundsAndMidi(benchmark::State& state) {
  DeviceConfig c;
  c.backend = Backend::Manual;
  auto device = Device::open(c, nullptr);
  std::string why;
  if (!device->ensureSynth(&why) || !device->waitForSynth()) {
    state.SkipWithError(why.c_str());
    return;
  }
  WavFormat f;
  f.formatTag = 1;
  f.channels = 1;
  f.samplesPerSec = 22050;
  f.bitsPerSample = 16;
  f.blockAlign = 2;
  std::vector<std::unique_ptr<SoundBuffer>> sounds;
  for (int i = 0; i < 16; ++i) {
    auto pcm = Pcm16(22050 * 5, 200 + 50 * i, 22050);
    sounds.push_back(SoundBuffer::create(device, f, pcm, nullptr));
    sounds.back()->setVolume(-600);
  }
  auto stream = MidiStream::open(
      device, [](const MidiNotice&) {}, nullptr);
  stream->setDivision(96);
  auto song = Song(500);
  std::size_t at = 0;
  auto feed = [&] {
    // Keep two buffers of about 2000 records queued, as the player does.
    for (std::uint32_t tag = 0; tag < 2; ++tag) {
      if (stream->queued(tag)) continue;
      std::size_t n = std::min<std::size_t>(24000, song.size() - at);
      if (n == 0) at = 0, n = std::min<std::size_t>(24000, song.size());
      stream->submit({song.data() + at, n}, tag);
      at += n;
    }
  };
  feed();
  stream->resume();
  std::vector<float> out(2 * 512);
  float loudest = 0;
  for (int i = 0; i < 200; ++i) {  // let the voices build up
    feed();
    device->render(out.data(), 512);
    for (float v : out) loudest = std::max(loudest, std::fabs(v));
  }
  if (loudest == 0) {
    state.SkipWithError("nothing sounds");
    return;
  }
  // Beside memcpy of the block it mixes.
  bench::Measure(state, out.size() * sizeof(float), 0, [&] {
    if (device->activeVoices() < 16)
      for (auto& s : sounds) s->playFromStart();
    feed();
    device->render(out.data(), 512);
    benchmark::DoNotOptimize(out.data());
  });
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 512.0 / 48000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MixSixteenSoundsAndMidi)->Unit(benchmark::kMicrosecond);

}  // namespace
