// An Ogg Vorbis music track: the file is held in memory, decoded ahead of the mixer by
// the device's service thread into a ring (the mixer only copies), resampled to the
// device rate, and looped by seeking back to the start.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/audio.h"

namespace plat::audio {

namespace detail {
struct OggCore;
}

class OggTrack {
 public:
  static constexpr std::int32_t kEndless = 0x7FFFFFFF;

  explicit OggTrack(std::shared_ptr<Device> device);
  ~OggTrack();
  OggTrack(const OggTrack&) = delete;
  OggTrack& operator=(const OggTrack&) = delete;

  // Reads a program-form path; true only when it is a Vorbis stream that decodes.
  bool load(std::string_view programPath);
  bool loadBytes(std::string bytes);
  void unload();
  // 0 plays once, kEndless loops without end, n plays n more times after the first.
  void setRepeats(std::int32_t n);
  // From the start of the loaded file; silence from the next block after stop().
  void play();
  void stop();
  bool loaded() const;

 private:
  std::shared_ptr<Device> device_;
  std::shared_ptr<detail::OggCore> core_;
};

// The music component's availability; tests switch it off to take the no-Ogg path.
bool oggEngineAvailable();
void setOggEngineAvailable(bool available);

}  // namespace plat::audio
