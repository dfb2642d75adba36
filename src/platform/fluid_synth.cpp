#include <dlfcn.h>
#include <fluidsynth.h>

#include <cstdlib>
#include <mutex>

#include "platform/midi_synth.h"

namespace plat::audio {
namespace {

void quietLog(int, const char*, void*) {}

// FluidSynth loads soundfont samples with OpenMP, whose worker threads then spin for a
// while after the load. One soundfont load a run does not need them: keep the load on
// the calling thread (the setting is per thread, so it is made before each load).
void loadOnThisThreadOnly() {
  using SetThreads = void (*)(int);
  static SetThreads set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"));
  if (set) set(1);
}

class FluidSynth final : public MidiSynth {
 public:
  FluidSynth(fluid_settings_t* settings, fluid_synth_t* synth) : settings_(settings), synth_(synth) {}
  ~FluidSynth() override {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
  }

  void shortMessage(std::uint64_t, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) override {
    int ch = status & 0x0F;
    switch (status & 0xF0) {
      case 0x80: fluid_synth_noteoff(synth_, ch, d1); break;
      case 0x90: fluid_synth_noteon(synth_, ch, d1, d2); break;  // velocity 0 is a note-off
      case 0xA0: fluid_synth_key_pressure(synth_, ch, d1, d2); break;
      case 0xB0: fluid_synth_cc(synth_, ch, d1, d2); break;
      case 0xC0: fluid_synth_program_change(synth_, ch, d1); break;
      case 0xD0: fluid_synth_channel_pressure(synth_, ch, d1); break;
      case 0xE0: fluid_synth_pitch_bend(synth_, ch, d1 | (d2 << 7)); break;
      default: break;
    }
  }

  void systemExclusive(std::uint64_t, std::span<const std::uint8_t> b) override {
    // FluidSynth takes the bytes between F0 and F7; an F7 packet on its own means nothing to it.
    if (b.size() < 2 || b.front() != 0xF0) return;
    int len = static_cast<int>(b.back() == 0xF7 ? b.size() - 2 : b.size() - 1);
    if (len > 0)
      fluid_synth_sysex(synth_, reinterpret_cast<const char*>(b.data() + 1), len, nullptr, nullptr, nullptr, 0);
  }

  void releaseAll(std::uint64_t) override {
    // All-notes-off respects the pedals: lift them first.
    for (int ch = 0; ch < 16; ++ch) {
      fluid_synth_cc(synth_, ch, 64, 0);
      fluid_synth_cc(synth_, ch, 66, 0);
    }
    fluid_synth_all_notes_off(synth_, -1);
  }

  void silenceAll(std::uint64_t) override { fluid_synth_all_sounds_off(synth_, -1); }

  void freshState(std::uint64_t) override { fluid_synth_system_reset(synth_); }

  void render(float* lr, int frames) override { fluid_synth_write_float(synth_, frames, lr, 0, 2, lr, 1, 2); }

 private:
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
};

}  // namespace

std::optional<std::string> findGmSoundfont() {
  if (const char* env = std::getenv("PELLMOOR_SOUNDFONT"); env && *env) return std::string(env);
  for (const char* p : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                        "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"}) {
    if (std::FILE* f = std::fopen(p, "rb")) {
      std::fclose(f);
      return std::string(p);
    }
  }
  return std::nullopt;
}

std::unique_ptr<MidiSynth> makeFluidSynth(int rate, const std::string& soundfont, std::string* why) {
  static std::once_flag quiet;
  std::call_once(quiet, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, quietLog, nullptr);
  });
  loadOnThisThreadOnly();
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) {
    if (why) *why = "FluidSynth settings";
    return nullptr;
  }
  fluid_settings_setnum(settings, "synth.sample-rate", rate);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_settings_setint(settings, "synth.threadsafe-api", 0);  // only the mixer calls it
  fluid_settings_setnum(settings, "synth.gain", 0.3);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (!synth) {
    delete_fluid_settings(settings);
    if (why) *why = "FluidSynth synthesizer";
    return nullptr;
  }
  if (fluid_synth_sfload(synth, soundfont.c_str(), 1) == FLUID_FAILED) {
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    if (why) *why = "cannot load the soundfont " + soundfont;
    return nullptr;
  }
  return std::make_unique<FluidSynth>(settings, synth);
}

}  // namespace plat::audio
