// Inside the sound device: the mixer's state and the hand-over between the control side
// (any thread) and the mixer (one thread at a time). Only src/platform audio files use it.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/audio.h"
#include "platform/midi_stream.h"
#include "platform/midi_synth.h"

namespace plat::audio::detail {

constexpr int kMaxVoices = 64;
constexpr int kMaxTracks = 8;
constexpr int kMaxStreams = 8;
constexpr int kSynthStep = 64;  // the synth applies events at this granularity
constexpr int kMaxBlockEvents = 8192;
constexpr int kMaxBlockNotices = 256;
constexpr std::size_t kSysexArena = 64 * 1024;
constexpr int kNoticeRing = 1024;

// Samples of one sound, interleaved stereo at the device rate; never changed once made.
struct SampleBlock {
  std::vector<float> lr;
  std::uint32_t frames = 0;
};

struct OggCore;
struct StreamCore;

struct Command {
  enum class Kind : std::uint8_t {
    // clang-format off
    Nop, VoiceStart, VoiceStop, VoiceGain, AttachTrack, DetachTrack, AttachStream, DetachStream, SetSynth,
    // clang-format on
    SynthPending
  };
  Kind kind = Kind::VoiceStop;
  std::uint32_t id = 0;
  const float* samples = nullptr;
  std::uint32_t frames = 0;
  float gain = 1.0f;
  void* ptr = nullptr;
};

struct Voice {
  std::uint32_t id = 0;  // 0 = free
  const float* samples = nullptr;
  std::uint32_t frames = 0;
  std::uint32_t pos = 0;
  float gain = 1.0f;
};

struct Notice {
  std::uint32_t stream = 0;
  MidiNotice n;
};

// What the streams want of the synth in one block, by frame offset.
struct BlockEvent {
  enum class Kind : std::uint8_t { Short, Sysex, Release, Silence, Fresh };
  std::uint32_t offset = 0;
  std::uint32_t seq = 0;
  Kind kind = Kind::Short;
  std::uint8_t status = 0, d1 = 0, d2 = 0;
  std::uint32_t sysexAt = 0, sysexLen = 0;
};

struct BlockWork {
  std::vector<BlockEvent> events;  // capacity reserved once; the mixer never grows it
  std::vector<std::uint8_t> sysex;
  std::size_t sysexUsed = 0;
  Notice notices[kMaxBlockNotices];
  int noticeCount = 0;
  std::uint32_t seq = 0;
  bool hasRoom(std::size_t sysexBytes) const {
    return events.size() + 4 < events.capacity() && sysexUsed + sysexBytes <= sysex.size() &&
           noticeCount < kMaxBlockNotices;
  }
  void add(BlockEvent e) {
    e.seq = seq++;
    events.push_back(e);
  }
};

// Single producer (the mixer), single consumer (the notice deliverer).
class NoticeRing {
 public:
  bool push(const Notice& n) {
    std::uint32_t w = write_.load(std::memory_order_relaxed);
    if (w - read_.load(std::memory_order_acquire) >= kNoticeRing) return false;
    slots_[w % kNoticeRing] = n;
    write_.store(w + 1, std::memory_order_release);
    return true;
  }
  bool pop(Notice& n) {
    std::uint32_t r = read_.load(std::memory_order_relaxed);
    if (r == write_.load(std::memory_order_acquire)) return false;
    n = slots_[r % kNoticeRing];
    read_.store(r + 1, std::memory_order_release);
    return true;
  }

 private:
  Notice slots_[kNoticeRing];
  std::atomic<std::uint32_t> write_{0}, read_{0};
};

struct DeviceCore {
  DeviceConfig config;

  // ---- control side -------------------------------------------------------------
  std::mutex cmdMutex;
  std::vector<Command> pending;
  std::uint64_t pushedSeq = 0;
  std::vector<std::pair<std::uint64_t, std::shared_ptr<void>>> retired;
  std::atomic<std::uint64_t> ackSeq{0};
  std::atomic<std::uint32_t> nextId{1};
  int attachedTracks = 0, attachedStreams = 0;  // under cmdMutex

  std::mutex synthMutex;
  std::condition_variable synthReady;  // the loader has finished, with or without a synth
  bool synthInstalled = false;
  bool synthLoading = false;
  bool synthFailed = false;  // the soundfont would not load: not tried again
  std::thread synthLoader;
  std::shared_ptr<MidiSynth> ownedSynth;

  std::mutex tracksMutex;  // the tracks the service thread decodes for
  std::vector<std::shared_ptr<OggCore>> liveTracks;

  std::mutex deliveryMutex;  // held while a sink runs
  std::unordered_map<std::uint32_t, MidiNoticeSink> sinks;

  // ---- mixer side -----------------------------------------------------------------
  std::vector<Command> working;
  Voice voices[kMaxVoices];
  OggCore* tracks[kMaxTracks] = {};
  int trackCount = 0;
  StreamCore* streams[kMaxStreams] = {};
  int streamCount = 0;
  MidiSynth* synth = nullptr;
  bool synthPending = false;  // a synth is being loaded: the streams wait for it
  std::vector<float> mix, synthOut;
  BlockWork work;
  std::atomic<std::uint64_t> framesMixed{0};
  std::atomic<int> activeVoices{0};

  NoticeRing notices;

  // ---- SDL and the service thread ----------------------------------------------------
  std::uint32_t sdlDevice = 0;
  bool sdlAudioInit = false;
  std::thread service;
  std::atomic<bool> quit{false};
  int wakeFd = -1;

  DeviceCore();
  ~DeviceCore();

  // Control side. push() returns the command's sequence number.
  std::uint64_t push(const Command& c);
  void retire(std::uint64_t seq, std::shared_ptr<void> object);
  void retireAfterNextBlock(std::shared_ptr<void> object);
  void collect();  // frees what the mixer has let go of
  void produceAll();
  int deliverNotices();
  void serviceLoop();

  // Mixer side.
  void renderChunk(float* out, int frames);
  void takeCommands();
  void runCommand(const Command& c);
  void mixVoices(int frames);
  void renderSynth(int frames, std::uint64_t blockStart);
  void wake();
};

// ogg_track.cpp
void oggProduce(OggCore& core, int deviceRate);
void oggConsume(OggCore& core, float* mix, int frames);
// midi_stream.cpp: takes the stream's events due in this block (try-lock; skipped if busy).
void streamGather(StreamCore& core, BlockWork& work, int rate, int frames);

}  // namespace plat::audio::detail
