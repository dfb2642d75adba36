// The WAV reader and the conversion of what it accepts into device samples.
#include <cstddef>
#include <cstdint>

#include "platform/audio.h"
#include "platform/sound_buffer.h"
#include "platform/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::shared_ptr<plat::audio::Device> device = [] {
    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    return plat::audio::Device::open(c, nullptr);
  }();
  plat::audio::WavView view;
  if (plat::audio::parseWav({data, size}, view) != plat::audio::WavError::None) return 0;
  // Keep one conversion small: the reader's bounds are what is under test.
  if (view.format.samplesPerSec > 0 &&
      view.data.size() / std::max<std::uint16_t>(view.format.blockAlign, 1) * 48000ull / view.format.samplesPerSec >
          4'000'000)
    return 0;
  auto buffer = plat::audio::SoundBuffer::create(device, view.format, view.data, nullptr);
  if (buffer) {
    buffer->playFromStart();
    float out[2 * 256];
    device->render(out, 256);
  }
  return 0;
}
