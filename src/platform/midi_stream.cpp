#include "platform/midi_stream.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/audio_internal.h"

namespace plat::audio {
namespace detail {

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 beats a minute

struct StreamSlot {
  std::vector<std::uint8_t> data;
  std::uint32_t size = 0;
  std::uint32_t pos = 0;
  std::atomic<bool> queued{false};
};

struct StreamCore {
  std::uint32_t id = 0;
  std::mutex lock;  // the control calls; the mixer only tries it
  bool playing = false;
  std::uint16_t division = 96;
  std::uint32_t tempo = kDefaultTempo;
  std::uint64_t clockFrame = 0;  // frames played since tick 0 (the clock stands while paused)
  std::uint64_t lastTick = 0;
  std::uint64_t anchorTick = 0, anchorFrame = 0;
  StreamSlot slots[kMidiBuffers];
  std::uint32_t fifo[kMidiBuffers] = {};
  std::uint32_t fifoHead = 0, fifoCount = 0;
  bool wantRelease = false, wantSilence = false, wantFresh = true;
  std::atomic<std::uint32_t> epoch{0};
  std::uint64_t owed = 0;  // mixer only: frames of blocks this stream had to sit out

  std::uint64_t frameOf(std::uint64_t tick, int rate) const {
    unsigned __int128 dt = tick - anchorTick;
    unsigned __int128 f;
    if (division & 0x8000) {  // SMPTE: frames a second x ticks a frame
      unsigned fps = 256u - (division >> 8);
      unsigned tpf = division & 0xFF;
      unsigned perSec = std::max(1u, fps * tpf);
      f = dt * static_cast<unsigned>(rate) / perSec;
    } else {
      unsigned __int128 den = static_cast<unsigned __int128>(std::max<std::uint16_t>(division, 1)) * 1000000u;
      f = dt * tempo * static_cast<unsigned>(rate) / den;
    }
    unsigned __int128 r = anchorFrame + f;
    return r > ~std::uint64_t{0} ? ~std::uint64_t{0} : static_cast<std::uint64_t>(r);
  }

  void finishFront() {
    slots[fifo[fifoHead]].queued.store(false, std::memory_order_release);
    fifoHead = (fifoHead + 1) % kMidiBuffers;
    --fifoCount;
  }

  void rewind() {
    for (auto& s : slots) s.queued.store(false, std::memory_order_release);
    fifoHead = fifoCount = 0;
    playing = false;
    clockFrame = lastTick = anchorTick = anchorFrame = 0;
    tempo = kDefaultTempo;
    epoch.fetch_add(1, std::memory_order_acq_rel);
  }
};

namespace {
std::uint32_t rd32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
}  // namespace

void streamGather(StreamCore& c, BlockWork& work, int rate, int frames) {
  std::unique_lock lk(c.lock, std::try_to_lock);
  // A control call under way, or a full block: the stream catches up at the next block.
  if (!lk.owns_lock() || !work.hasRoom(0)) {
    c.owed += static_cast<std::uint64_t>(frames);
    return;
  }
  if (c.wantSilence) work.add({0, 0, BlockEvent::Kind::Silence});
  if (c.wantRelease) work.add({0, 0, BlockEvent::Kind::Release});
  if (c.wantFresh) work.add({0, 0, BlockEvent::Kind::Fresh});
  c.wantSilence = c.wantRelease = c.wantFresh = false;
  if (!c.playing) {
    c.owed = 0;
    return;
  }

  const std::uint64_t end = c.clockFrame + c.owed + static_cast<std::uint64_t>(frames);
  c.owed = 0;
  while (c.fifoCount > 0) {
    const std::uint32_t tag = c.fifo[c.fifoHead];
    StreamSlot& s = c.slots[tag];
    if (s.pos + 12 > s.size) {  // done, or a torn record at the end
      c.finishFront();
      continue;
    }
    const std::uint8_t* rec = s.data.data() + s.pos;
    std::uint32_t delta = rd32(rec), word = rd32(rec + 8);
    std::uint32_t len = 12;
    std::uint32_t longBytes = 0;
    if (word & kMidiLong) {
      longBytes = word & 0xFFFFFF;
      len += (longBytes + 3) & ~3u;
      if (static_cast<std::uint64_t>(s.pos) + len > s.size) {
        c.finishFront();
        continue;
      }
    }
    if (!work.hasRoom(longBytes)) break;  // the rest waits for the next block
    const std::uint64_t tick = c.lastTick + delta;
    const std::uint64_t due = c.frameOf(tick, rate);
    if (due >= end) break;
    const std::uint32_t offset = due > c.clockFrame ? static_cast<std::uint32_t>(due - c.clockFrame) : 0;
    if (word & kMidiLong) {
      if (((word >> 24) & 0x3F) == 0 && longBytes > 0) {
        std::memcpy(work.sysex.data() + work.sysexUsed, rec + 12, longBytes);
        BlockEvent e{offset, 0, BlockEvent::Kind::Sysex};
        e.sysexAt = static_cast<std::uint32_t>(work.sysexUsed);
        e.sysexLen = longBytes;
        work.sysexUsed += longBytes;
        work.add(e);
      }
    } else {
      std::uint32_t kind = (word >> 24) & 0x3F;
      if (kind == 0) {
        std::uint8_t status = word & 0xFF;
        // System bytes (the end record FF 2F 00 among them) are not for the synth.
        if (status >= 0x80 && status < 0xF0) {
          BlockEvent e{offset, 0, BlockEvent::Kind::Short};
          e.status = status;
          e.d1 = (word >> 8) & 0x7F;
          e.d2 = (word >> 16) & 0x7F;
          work.add(e);
        }
      } else if (kind == 1 && (word & 0xFFFFFF) != 0) {
        c.anchorFrame = due;
        c.anchorTick = tick;
        c.tempo = word & 0xFFFFFF;
      }
    }
    c.lastTick = tick;
    const std::uint32_t at = s.pos;
    s.pos += len;
    if (s.pos >= s.size) c.finishFront();  // returned before its notice goes out
    if (word & kMidiNotify) {
      Notice& n = work.notices[work.noticeCount++];
      n.stream = c.id;
      n.n = MidiNotice{tag, at, word, c.epoch.load(std::memory_order_relaxed)};
    }
  }
  c.clockFrame = end;
}

}  // namespace detail

const char* midiStatusText(MidiStatus s) {
  switch (s) {
    case MidiStatus::Ok: return "no error";
    case MidiStatus::NoDevice: return "no sound device";
    case MidiStatus::NoSynth: return "no MIDI synthesizer";
    case MidiStatus::BadHandle: return "the stream is not open";
    case MidiStatus::BadParam: return "bad parameter";
    case MidiStatus::StillPlaying: return "the buffer is still queued";
  }
  return "unknown error";
}

std::unique_ptr<MidiStream> MidiStream::open(std::shared_ptr<Device> device, MidiNoticeSink sink, MidiStatus* status) {
  auto set = [status](MidiStatus s) {
    if (status) *status = s;
  };
  if (!device) {
    set(MidiStatus::NoDevice);
    return nullptr;
  }
  if (!device->ensureSynth(nullptr)) {
    set(MidiStatus::NoSynth);
    return nullptr;
  }
  std::unique_ptr<MidiStream> s(new MidiStream);
  s->device_ = std::move(device);
  s->core_ = std::make_shared<detail::StreamCore>();
  detail::DeviceCore& dc = s->device_->core();
  s->core_->id = dc.nextId.fetch_add(1);
  {
    std::lock_guard lock(dc.deliveryMutex);
    dc.sinks[s->core_->id] = std::move(sink);
  }
  {
    std::lock_guard lock(dc.cmdMutex);
    if (dc.attachedStreams >= detail::kMaxStreams) {
      std::lock_guard dl(dc.deliveryMutex);
      dc.sinks.erase(s->core_->id);
      set(MidiStatus::NoDevice);
      return nullptr;
    }
    ++dc.attachedStreams;
  }
  detail::Command c;
  c.kind = detail::Command::Kind::AttachStream;
  c.ptr = s->core_.get();
  dc.push(c);
  set(MidiStatus::Ok);
  return s;
}

MidiStream::~MidiStream() {
  detail::DeviceCore& dc = device_->core();
  {
    std::lock_guard lock(core_->lock);
    core_->rewind();
    core_->wantSilence = true;
  }
  {
    std::lock_guard lock(dc.deliveryMutex);  // waits for a sink of this stream that runs
    dc.sinks.erase(core_->id);
  }
  {
    std::lock_guard lock(dc.cmdMutex);
    --dc.attachedStreams;
  }
  detail::Command c;
  c.kind = detail::Command::Kind::DetachStream;
  c.ptr = core_.get();
  // Silence the synth on the way out: the mixer applies it before the detach.
  dc.retire(dc.push(c), std::move(core_));
}

MidiStatus MidiStream::setDivision(std::uint16_t division) {
  if (division == 0 || ((division & 0x8000) && (division & 0xFF) == 0)) return MidiStatus::BadParam;
  std::lock_guard lock(core_->lock);
  core_->division = division;
  return MidiStatus::Ok;
}

MidiStatus MidiStream::submit(std::span<const std::uint8_t> records, std::uint32_t tag) {
  if (tag >= kMidiBuffers) return MidiStatus::BadParam;
  detail::StreamCore& c = *core_;
  std::lock_guard lock(c.lock);
  detail::StreamSlot& s = c.slots[tag];
  if (s.queued.load()) return MidiStatus::StillPlaying;
  if (records.empty()) return MidiStatus::Ok;
  s.data.assign(records.begin(), records.end());
  s.size = static_cast<std::uint32_t>(records.size());
  s.pos = 0;
  s.queued.store(true, std::memory_order_release);
  c.fifo[(c.fifoHead + c.fifoCount) % kMidiBuffers] = tag;
  ++c.fifoCount;
  return MidiStatus::Ok;
}

bool MidiStream::queued(std::uint32_t tag) const {
  return tag < kMidiBuffers && core_->slots[tag].queued.load(std::memory_order_acquire);
}

MidiStatus MidiStream::resume() {
  std::lock_guard lock(core_->lock);
  core_->playing = true;
  return MidiStatus::Ok;
}

MidiStatus MidiStream::pause() {
  std::lock_guard lock(core_->lock);
  if (core_->playing) core_->wantRelease = true;
  core_->playing = false;
  return MidiStatus::Ok;
}

MidiStatus MidiStream::halt() {
  std::lock_guard lock(core_->lock);
  core_->rewind();
  core_->wantRelease = true;
  return MidiStatus::Ok;
}

MidiStatus MidiStream::panic() {
  std::lock_guard lock(core_->lock);
  core_->rewind();
  core_->wantSilence = true;
  return MidiStatus::Ok;
}

std::uint32_t MidiStream::epoch() const { return core_->epoch.load(std::memory_order_acquire); }

}  // namespace plat::audio
