// A sound-effect buffer: PCM samples converted once to the device's format, played
// once from the start on request, at a volume in hundredths of a decibel.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/audio.h"
#include "platform/wav.h"

namespace plat::audio {

namespace detail {
struct SampleBlock;
}

enum class BufferError { None, NoDevice, BadFormat, Empty };

class SoundBuffer {
 public:
  // 8- or 16-bit PCM, 1 or 2 channels, 100 Hz to 200 kHz, whole frames of at least one.
  static std::unique_ptr<SoundBuffer> create(std::shared_ptr<Device> device, const WavFormat& format,
                                             std::span<const std::uint8_t> data, BufferError* error);
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // A second buffer over the same samples, with its own position and volume (copied).
  std::unique_ptr<SoundBuffer> duplicate() const;

  // Stops the buffer if it sounds and plays it once from its first frame.
  void playFromStart();
  void stop();
  // Clamps to -10000..0 and returns the value set.
  int setVolume(int mb);
  int volume() const { return mb_.load(std::memory_order_relaxed); }
  // Length in device frames.
  std::uint32_t frames() const;

 private:
  SoundBuffer() = default;
  std::shared_ptr<Device> device_;
  std::shared_ptr<const detail::SampleBlock> block_;
  std::uint32_t id_ = 0;
  std::atomic<int> mb_{0};
};

}  // namespace plat::audio
