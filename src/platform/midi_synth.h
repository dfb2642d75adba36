// What a MIDI stream drives: a synthesiser rendered inside the mixer. Every call comes
// from the mixer's thread; frame is the device sample clock at which the call takes effect.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace plat::audio {

class MidiSynth {
 public:
  virtual ~MidiSynth() = default;
  // Channel messages only (status 0x80 to 0xEF); the device drops system bytes.
  virtual void shortMessage(std::uint64_t frame, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) = 0;
  // A system-exclusive message as queued: F0 ... F7, or F7 and raw bytes.
  virtual void systemExclusive(std::uint64_t frame, std::span<const std::uint8_t> bytes) = 0;
  // Pedals up on every channel, then every note released (a stop must not leave notes held).
  virtual void releaseAll(std::uint64_t frame) = 0;
  // Every sound cut at once.
  virtual void silenceAll(std::uint64_t frame) = 0;
  // Programs and controllers back to their power-on state.
  virtual void freshState(std::uint64_t frame) = 0;
  // Writes frames of interleaved stereo.
  virtual void render(float* lr, int frames) = 0;
};

// The General MIDI soundfont: $PELLMOOR_SOUNDFONT, then Debian's GM soundfonts.
std::optional<std::string> findGmSoundfont();
// A FluidSynth synthesiser at the given rate with that soundfont; null and why on failure.
std::unique_ptr<MidiSynth> makeFluidSynth(int rate, const std::string& soundfont, std::string* why);

}  // namespace plat::audio
