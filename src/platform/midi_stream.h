// A MIDI event stream played on the device's synth, fed with buffers of records:
//   u32 delta ticks, u32 stream id (0), u32 word
//   word bit 31: long record, the low 24 bits its byte count, the bytes follow padded to 4
//   word bit 30: notify when the record is played
//   word bits 24-29: 0 short message (status | d1 << 8 | d2 << 16), 1 tempo (µs a quarter)
// Deltas run on across buffers. A new stream is paused at tick 0 and 120 beats a minute.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "platform/audio.h"

namespace plat::audio {

namespace detail {
struct StreamCore;
}

inline constexpr std::uint32_t kMidiLong = 0x80000000u;
inline constexpr std::uint32_t kMidiNotify = 0x40000000u;
inline constexpr std::uint32_t kMidiTempo = 0x01000000u;
inline constexpr std::uint32_t kMidiBuffers = 4;  // tags 0..3

// A notify record has been played: the buffer's tag, the record's byte offset in the
// buffer, a copy of its word, and the epoch of the stream when it was played.
struct MidiNotice {
  std::uint32_t tag = 0;
  std::uint32_t offset = 0;
  std::uint32_t word = 0;
  std::uint32_t epoch = 0;
};
// Runs on the device's service thread; it must not destroy its own stream.
using MidiNoticeSink = std::function<void(const MidiNotice&)>;

enum class MidiStatus { Ok, NoDevice, NoSynth, BadHandle, BadParam, StillPlaying };
const char* midiStatusText(MidiStatus s);

class MidiStream {
 public:
  static std::unique_ptr<MidiStream> open(std::shared_ptr<Device> device, MidiNoticeSink sink, MidiStatus* status);
  // Cuts the sound; no notice of this stream runs after it returns.
  ~MidiStream();
  MidiStream(const MidiStream&) = delete;
  MidiStream& operator=(const MidiStream&) = delete;

  // The file's time division: ticks a quarter note, or SMPTE frames and ticks a frame.
  MidiStatus setDivision(std::uint16_t division);
  // Copies the records and queues them after the buffers already queued, in any state.
  // An empty buffer is returned at once.
  MidiStatus submit(std::span<const std::uint8_t> records, std::uint32_t tag);
  // Whether that buffer is still queued (false from the moment its last record plays).
  bool queued(std::uint32_t tag) const;
  MidiStatus resume();  // start or continue the clock
  MidiStatus pause();   // stop the clock where it is; held notes released
  MidiStatus halt();    // notes released, every buffer returned, back to tick 0, new epoch
  MidiStatus panic();   // as halt, and every sound cut at once
  std::uint32_t epoch() const;

 private:
  MidiStream() = default;
  std::shared_ptr<Device> device_;
  std::shared_ptr<detail::StreamCore> core_;
};

}  // namespace plat::audio
