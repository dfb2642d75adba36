// The Ogg Vorbis music path: arbitrary bytes as a music file, played on a device that
// the target pulls blocks from itself (no sound card). A stream that loads plays a
// repeat and a stop.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/ogg_track.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::shared_ptr<plat::audio::Device> device = [] {
    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    return plat::audio::Device::open(c, nullptr);
  }();
  if (!device) return 0;
  plat::audio::OggTrack track(device);
  if (!track.loadBytes(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  track.setRepeats(1);
  track.play();
  std::vector<float> out(2 * 4096);
  for (int block = 0; block < 8; ++block) { device->render(out.data(), 4096); }
  track.stop();
  device->render(out.data(), 4096);
  return 0;
}
