// The sound device: one output shared by sound effects, Ogg music and the MIDI synth.
// Everything is mixed here in float, stereo, at a fixed rate, in small blocks.
//
// Threads: every public call may come from any thread. Control calls take a short
// lock and hand commands to the mixer; the mixer (SDL's audio thread, or the caller of
// render() on a manual device) takes them with a try-lock once a block, so it never
// waits, allocates or frees. MIDI notices leave the mixer through a lock-free ring and
// run on the device's service thread (manual device: in deliverNotices()).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace plat::audio {

namespace detail {
struct DeviceCore;
}

enum class Backend {
  Sdl,     // an SDL audio device; the callback mixes
  Manual,  // no SDL at all: the caller pulls blocks with render() (tests, benchmarks)
};

struct DeviceConfig {
  Backend backend = Backend::Sdl;
  std::string sdlDriver;  // "" = SDL's own choice (and SDL_AUDIODRIVER)
  int rate = 48000;
  int blockFrames = 512;
};

class MidiSynth;

class Device : public std::enable_shared_from_this<Device> {
 public:
  static std::shared_ptr<Device> open(const DeviceConfig& config, std::string* why);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  int rate() const;
  int blockFrames() const;
  Backend backend() const;
  // The sample clock: frames mixed since the device opened (the only clock tests use).
  std::uint64_t framesMixed() const;
  // Sound-effect voices sounding after the last block.
  int activeVoices() const;

  // Mixes frames of interleaved stereo float into out (manual device).
  void render(float* out, int frames);
  // Runs the pending MIDI notices on the calling thread (manual device); their count.
  int deliverNotices();

  // Replaces the MIDI synth (tests install a recorder before opening streams).
  void installSynth(std::unique_ptr<MidiSynth> synth);
  // Starts making the General MIDI synth on a thread of its own unless one is installed
  // or on its way; false (and why) when there is no soundfont. Until it is ready the
  // MIDI streams stand still.
  bool ensureSynth(std::string* why);
  // Waits for a synth under way; true when one is installed.
  bool waitForSynth();

  detail::DeviceCore& core() { return *core_; }

 private:
  Device() = default;
  std::unique_ptr<detail::DeviceCore> core_;
};

// The one device of the program, shared by the sound effects and the music: opened by
// the first user with the default configuration, closed when the last user lets go.
std::shared_ptr<Device> acquireDevice(std::string* why);
// The shared device when it is open, else null.
std::shared_ptr<Device> currentDevice();
void setDefaultDeviceConfig(const DeviceConfig& config);

// Hundredths of a decibel to a linear gain: 10^(mB/2000); -10000 and below is silence.
float millibelsToGain(int mb);

}  // namespace plat::audio
