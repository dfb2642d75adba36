#include "platform/sound_buffer.h"

#include <algorithm>
#include <cmath>

#include "platform/audio_internal.h"

namespace plat::audio {
namespace {

using detail::Command;

float sampleAt(const std::uint8_t* p, int bits) {
  if (bits == 8) return (static_cast<int>(p[0]) - 128) / 128.0f;  // unsigned, 0x80 is silence
  return static_cast<std::int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
}

// The file's frames as interleaved stereo at their own rate (mono to both sides).
std::vector<float> toStereo(const WavFormat& f, std::span<const std::uint8_t> data, std::uint32_t frames) {
  std::vector<float> lr(2 * static_cast<std::size_t>(frames));
  const int bytes = f.bitsPerSample / 8;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const std::uint8_t* p = data.data() + static_cast<std::size_t>(i) * f.blockAlign;
    float l = sampleAt(p, f.bitsPerSample);
    float r = f.channels == 2 ? sampleAt(p + bytes, f.bitsPerSample) : l;
    lr[2 * i] = l;
    lr[2 * i + 1] = r;
  }
  return lr;
}

// Linear interpolation to the device rate; the length keeps its duration.
std::vector<float> resample(const std::vector<float>& in, std::uint32_t frames, std::uint32_t from, std::uint32_t to,
                            std::uint32_t& outFrames) {
  if (from == to) {
    outFrames = frames;
    return in;
  }
  outFrames = static_cast<std::uint32_t>(
      std::max<std::uint64_t>(1, (static_cast<std::uint64_t>(frames) * to + from / 2) / from));
  std::vector<float> out(2 * static_cast<std::size_t>(outFrames));
  const double step = static_cast<double>(from) / to;
  for (std::uint32_t j = 0; j < outFrames; ++j) {
    double p = j * step;
    std::uint32_t i0 = std::min<std::uint32_t>(static_cast<std::uint32_t>(p), frames - 1);
    std::uint32_t i1 = std::min(i0 + 1, frames - 1);
    float t = static_cast<float>(p - i0);
    out[2 * j] = in[2 * i0] + (in[2 * i1] - in[2 * i0]) * t;
    out[2 * j + 1] = in[2 * i0 + 1] + (in[2 * i1 + 1] - in[2 * i0 + 1]) * t;
  }
  return out;
}

}  // namespace

std::unique_ptr<SoundBuffer> SoundBuffer::create(std::shared_ptr<Device> device, const WavFormat& f,
                                                 std::span<const std::uint8_t> data, BufferError* error) {
  auto fail = [error](BufferError e) {
    if (error) *error = e;
    return nullptr;
  };
  if (!device) return fail(BufferError::NoDevice);
  if (f.formatTag != 1 || (f.bitsPerSample != 8 && f.bitsPerSample != 16) || (f.channels != 1 && f.channels != 2) ||
      f.samplesPerSec < 100 || f.samplesPerSec > 200000 || f.blockAlign != f.channels * f.bitsPerSample / 8)
    return fail(BufferError::BadFormat);
  std::uint32_t frames = static_cast<std::uint32_t>(data.size() / f.blockAlign);
  if (frames == 0) return fail(BufferError::Empty);

  auto block = std::make_shared<detail::SampleBlock>();
  block->lr = resample(toStereo(f, data, frames), frames, f.samplesPerSec, static_cast<std::uint32_t>(device->rate()),
                       block->frames);
  std::unique_ptr<SoundBuffer> b(new SoundBuffer);
  b->device_ = std::move(device);
  b->block_ = std::move(block);
  b->id_ = b->device_->core().nextId.fetch_add(1);
  if (error) *error = BufferError::None;
  return b;
}

SoundBuffer::~SoundBuffer() {
  Command c;
  c.kind = Command::Kind::VoiceStop;
  c.id = id_;
  detail::DeviceCore& core = device_->core();
  // The samples stay alive until the mixer has seen the stop.
  core.retire(core.push(c), std::const_pointer_cast<detail::SampleBlock>(block_));
}

std::unique_ptr<SoundBuffer> SoundBuffer::duplicate() const {
  std::unique_ptr<SoundBuffer> b(new SoundBuffer);
  b->device_ = device_;
  b->block_ = block_;
  b->id_ = device_->core().nextId.fetch_add(1);
  b->mb_.store(volume());
  return b;
}

void SoundBuffer::playFromStart() {
  Command c;
  c.kind = Command::Kind::VoiceStart;
  c.id = id_;
  c.samples = block_->lr.data();
  c.frames = block_->frames;
  c.gain = millibelsToGain(volume());
  device_->core().push(c);
}

void SoundBuffer::stop() {
  Command c;
  c.kind = Command::Kind::VoiceStop;
  c.id = id_;
  device_->core().push(c);
}

int SoundBuffer::setVolume(int mb) {
  mb = std::clamp(mb, -10000, 0);
  mb_.store(mb);
  Command c;
  c.kind = Command::Kind::VoiceGain;
  c.id = id_;
  c.gain = millibelsToGain(mb);
  device_->core().push(c);
  return mb;
}

std::uint32_t SoundBuffer::frames() const { return block_->frames; }

}  // namespace plat::audio
