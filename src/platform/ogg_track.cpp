#include "platform/ogg_track.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/audio_internal.h"
#include "platform/fs.h"

namespace plat::audio {
namespace detail {

constexpr std::uint32_t kRingFrames = 16384;  // about a third of a second ahead

// Decoded frames of one play: the producer writes, the mixer reads. Each play gets a
// fresh ring, so nothing of an earlier play can be heard or overwritten while read.
struct OggRing {
  std::unique_ptr<float[]> lr{new float[2 * kRingFrames]};
  std::atomic<std::uint64_t> write{0}, read{0};
};

struct OggCore {
  // Decoder side: the control calls and the producer, under m.
  std::mutex m;
  std::string bytes;
  std::size_t readAt = 0;
  OggVorbis_File vf{};
  bool open = false;
  bool ended = false;
  std::int32_t repeats = 0;
  std::int32_t passesLeft = 0;
  double frac = 0;  // resampler position between prev and the next source frame
  float prevL = 0, prevR = 0;
  bool havePrev = false;
  std::shared_ptr<OggRing> ringOwned;

  // Seen by the mixer.
  std::atomic<OggRing*> ring{nullptr};
  std::atomic<bool> playing{false};

  ~OggCore() {
    if (open) ov_clear(&vf);
  }
};

namespace {

std::size_t readCb(void* ptr, std::size_t size, std::size_t n, void* src) {
  auto* c = static_cast<OggCore*>(src);
  if (size == 0) return 0;
  std::size_t want = size * n;
  std::size_t have = c->bytes.size() - c->readAt;
  std::size_t take = std::min(want, have) / size * size;
  std::memcpy(ptr, c->bytes.data() + c->readAt, take);
  c->readAt += take;
  return take / size;
}
int seekCb(void* src, ogg_int64_t offset, int whence) {
  auto* c = static_cast<OggCore*>(src);
  ogg_int64_t base = whence == SEEK_SET   ? 0
                     : whence == SEEK_CUR ? static_cast<ogg_int64_t>(c->readAt)
                                          : static_cast<ogg_int64_t>(c->bytes.size());
  ogg_int64_t to = base + offset;
  if (to < 0 || to > static_cast<ogg_int64_t>(c->bytes.size())) return -1;
  c->readAt = static_cast<std::size_t>(to);
  return 0;
}
long tellCb(void* src) { return static_cast<long>(static_cast<OggCore*>(src)->readAt); }

void writeFrame(OggRing& ring, std::uint64_t& w, float l, float r) {
  float* slot = &ring.lr[2 * (w % kRingFrames)];
  slot[0] = l;
  slot[1] = r;
  ++w;
}

}  // namespace

// Decodes until the ring is nearly full or the last pass has ended. Caller holds c.m.
static void produceLocked(OggCore& c, int deviceRate) {
  OggRing* ring = c.ringOwned.get();
  if (!c.open || !ring || !c.playing.load() || c.ended) return;
  std::uint64_t w = ring->write.load(std::memory_order_relaxed);
  for (;;) {
    std::uint64_t room = kRingFrames - (w - ring->read.load(std::memory_order_acquire));
    vorbis_info* info = ov_info(&c.vf, -1);
    if (!info || info->rate <= 0) {
      c.ended = true;
      break;
    }
    // Each source frame gives at most device / source + 1 frames.
    std::uint64_t perFrame = static_cast<std::uint64_t>(deviceRate / info->rate) + 2;
    if (room < 2 * perFrame + 64) break;
    int maxIn = static_cast<int>(std::min<std::uint64_t>(4096, (room - perFrame) / perFrame));
    float** pcm = nullptr;
    int link = 0;
    long got = ov_read_float(&c.vf, &pcm, maxIn, &link);
    if (got == OV_HOLE) continue;
    if (got < 0) {
      c.ended = true;
      break;
    }
    if (got == 0) {  // end of this pass
      bool again = c.passesLeft == OggTrack::kEndless || c.passesLeft > 0;
      if (again && ov_pcm_seek(&c.vf, 0) == 0) {
        if (c.passesLeft != OggTrack::kEndless) --c.passesLeft;
        continue;
      }
      if (c.havePrev) writeFrame(*ring, w, c.prevL, c.prevR);
      c.ended = true;
      break;
    }
    vorbis_info* li = ov_info(&c.vf, link);
    int ch = li ? li->channels : 1;
    long srcRate = li ? li->rate : info->rate;
    const double step = static_cast<double>(srcRate) / deviceRate;
    // Vorbis puts the centre between left and right from 3 channels on (except 4,
    // which is front left, front right, rear left, rear right).
    const int right = ch == 3 || ch >= 5 ? 2 : ch > 1 ? 1 : 0;
    for (long i = 0; i < got; ++i) {
      float l = pcm[0][i];
      float r = pcm[right][i];
      if (srcRate == deviceRate) {
        writeFrame(*ring, w, l, r);
        continue;
      }
      if (!c.havePrev) {
        c.prevL = l;
        c.prevR = r;
        c.havePrev = true;
        c.frac = 0;
        continue;
      }
      while (c.frac < 1.0) {
        float t = static_cast<float>(c.frac);
        writeFrame(*ring, w, c.prevL + (l - c.prevL) * t, c.prevR + (r - c.prevR) * t);
        c.frac += step;
      }
      c.frac -= 1.0;
      c.prevL = l;
      c.prevR = r;
    }
    ring->write.store(w, std::memory_order_release);
  }
  ring->write.store(w, std::memory_order_release);
}

void oggProduce(OggCore& c, int deviceRate) {
  std::lock_guard lock(c.m);
  produceLocked(c, deviceRate);
}

void oggConsume(OggCore& c, float* mix, int frames) {
  if (!c.playing.load(std::memory_order_acquire)) return;
  OggRing* ring = c.ring.load(std::memory_order_acquire);
  if (!ring) return;
  std::uint64_t r = ring->read.load(std::memory_order_relaxed);
  std::uint64_t n =
      std::min<std::uint64_t>(ring->write.load(std::memory_order_acquire) - r, static_cast<std::uint64_t>(frames));
  for (std::uint64_t i = 0; i < n; ++i) {
    const float* s = &ring->lr[2 * ((r + i) % kRingFrames)];
    mix[2 * i] += s[0];
    mix[2 * i + 1] += s[1];
  }
  ring->read.store(r + n, std::memory_order_release);
}

}  // namespace detail

namespace {
std::atomic<bool> g_oggAvailable{true};
}

bool oggEngineAvailable() { return g_oggAvailable.load(); }
void setOggEngineAvailable(bool available) { g_oggAvailable.store(available); }

OggTrack::OggTrack(std::shared_ptr<Device> device)
    : device_(std::move(device)), core_(std::make_shared<detail::OggCore>()) {
  detail::DeviceCore& dc = device_->core();
  {
    std::lock_guard lock(dc.tracksMutex);
    dc.liveTracks.push_back(core_);
  }
  detail::Command c;
  c.kind = detail::Command::Kind::AttachTrack;
  c.ptr = core_.get();
  dc.push(c);
}

OggTrack::~OggTrack() {
  detail::DeviceCore& dc = device_->core();
  core_->playing.store(false);
  {
    std::lock_guard lock(dc.tracksMutex);
    std::erase(dc.liveTracks, core_);
  }
  detail::Command c;
  c.kind = detail::Command::Kind::DetachTrack;
  c.ptr = core_.get();
  dc.retire(dc.push(c), std::move(core_));
}

bool OggTrack::load(std::string_view programPath) {
  auto bytes = plat::fs::readFile(programPath);
  if (!bytes) {
    unload();
    return false;
  }
  return loadBytes(std::move(*bytes));
}

bool OggTrack::loadBytes(std::string bytes) {
  unload();
  detail::OggCore& c = *core_;
  std::lock_guard lock(c.m);
  c.bytes = std::move(bytes);
  c.readAt = 0;
  ov_callbacks cb{detail::readCb, detail::seekCb, nullptr, detail::tellCb};
  if (ov_open_callbacks(&c, &c.vf, nullptr, 0, cb) != 0) {
    c.bytes.clear();
    return false;
  }
  c.open = true;
  vorbis_info* info = ov_info(&c.vf, -1);
  // Only a stream that decodes counts as loaded.
  float** pcm = nullptr;
  int link = 0;
  long got = info && info->channels > 0 && info->rate > 0 ? ov_read_float(&c.vf, &pcm, 64, &link) : -1;
  if (got <= 0 || ov_pcm_seek(&c.vf, 0) != 0) {
    ov_clear(&c.vf);
    c.open = false;
    c.bytes.clear();
    return false;
  }
  return true;
}

void OggTrack::unload() {
  detail::OggCore& c = *core_;
  c.playing.store(false);
  std::lock_guard lock(c.m);
  if (c.open) ov_clear(&c.vf);
  c.open = false;
  c.bytes.clear();
  c.bytes.shrink_to_fit();
}

bool OggTrack::loaded() const {
  std::lock_guard lock(core_->m);
  return core_->open;
}

void OggTrack::setRepeats(std::int32_t n) {
  std::lock_guard lock(core_->m);
  core_->repeats = n < 0 ? 0 : n;
}

void OggTrack::play() {
  detail::OggCore& c = *core_;
  c.playing.store(false);
  std::lock_guard lock(c.m);
  if (!c.open || ov_pcm_seek(&c.vf, 0) != 0) return;
  c.passesLeft = c.repeats;
  c.havePrev = false;
  c.frac = 0;
  c.ended = false;
  // A fresh ring; the old one is freed once the mixer has moved on.
  auto ring = std::make_shared<detail::OggRing>();
  detail::DeviceCore& dc = device_->core();
  if (c.ringOwned) dc.retireAfterNextBlock(std::move(c.ringOwned));
  c.ringOwned = ring;
  c.ring.store(ring.get(), std::memory_order_release);
  c.playing.store(true);
  // Decode the first part here, so the mixer has it at its next block.
  detail::produceLocked(c, device_->rate());
}

void OggTrack::stop() { core_->playing.store(false); }

}  // namespace plat::audio
