#include <SDL.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/audio.h"
#include "platform/audio_internal.h"

namespace plat::audio {
namespace detail {

DeviceCore::DeviceCore() {
  pending.reserve(256);
  working.reserve(256);
  work.events.reserve(kMaxBlockEvents);
  work.sysex.resize(kSysexArena);
}

DeviceCore::~DeviceCore() {
  if (wakeFd >= 0) ::close(wakeFd);
}

std::uint64_t DeviceCore::push(const Command& c) {
  std::lock_guard lock(cmdMutex);
  pending.push_back(c);
  return ++pushedSeq;
}

void DeviceCore::retire(std::uint64_t seq, std::shared_ptr<void> object) {
  {
    std::lock_guard lock(cmdMutex);
    retired.emplace_back(seq, std::move(object));
  }
  collect();
}

void DeviceCore::retireAfterNextBlock(std::shared_ptr<void> object) {
  Command nop;
  nop.kind = Command::Kind::Nop;
  retire(push(nop), std::move(object));
}

void DeviceCore::collect() {
  std::vector<std::shared_ptr<void>> dead;
  {
    std::lock_guard lock(cmdMutex);
    std::uint64_t ack = ackSeq.load(std::memory_order_acquire);
    auto keep = std::partition(retired.begin(), retired.end(), [ack](auto& r) { return r.first > ack; });
    for (auto it = keep; it != retired.end(); ++it) dead.push_back(std::move(it->second));
    retired.erase(keep, retired.end());
  }
  // dead frees here, outside the lock
}

void DeviceCore::takeCommands() {
  std::unique_lock lock(cmdMutex, std::try_to_lock);
  if (!lock.owns_lock()) return;  // the control side is busy: its commands wait a block
  working.swap(pending);
  std::uint64_t seq = pushedSeq;
  lock.unlock();
  for (const Command& c : working) runCommand(c);
  working.clear();
  ackSeq.store(seq, std::memory_order_release);
}

void DeviceCore::runCommand(const Command& c) {
  using K = Command::Kind;
  switch (c.kind) {
    case K::Nop: break;
    case K::VoiceStart: {
      Voice* slot = nullptr;
      for (Voice& v : voices)
        if (v.id == c.id) slot = &v;
      if (!slot)
        for (Voice& v : voices)
          if (v.id == 0) {
            slot = &v;
            break;
          }
      if (!slot) {  // every voice busy: the one furthest along gives way
        slot = &voices[0];
        for (Voice& v : voices)
          if (v.pos > slot->pos) slot = &v;
      }
      *slot = Voice{c.id, c.samples, c.frames, 0, c.gain};
      break;
    }
    case K::VoiceStop:
      for (Voice& v : voices)
        if (v.id == c.id) v = Voice{};
      break;
    case K::VoiceGain:
      for (Voice& v : voices)
        if (v.id == c.id) v.gain = c.gain;
      break;
    case K::AttachTrack:
      if (trackCount < kMaxTracks) tracks[trackCount++] = static_cast<OggCore*>(c.ptr);
      break;
    case K::DetachTrack:
      for (int i = 0; i < trackCount; ++i)
        if (tracks[i] == c.ptr) {
          tracks[i] = tracks[--trackCount];
          break;
        }
      break;
    case K::AttachStream:
      if (streamCount < kMaxStreams) streams[streamCount++] = static_cast<StreamCore*>(c.ptr);
      break;
    case K::DetachStream:
      for (int i = 0; i < streamCount; ++i)
        if (streams[i] == c.ptr) {
          // keep the order, so streams opened together apply their events in order
          for (int j = i; j + 1 < streamCount; ++j) streams[j] = streams[j + 1];
          --streamCount;
          // A closed stream leaves nothing sounding.
          if (synth) synth->silenceAll(framesMixed.load(std::memory_order_relaxed));
          break;
        }
      break;
    case K::SetSynth:
      synth = static_cast<MidiSynth*>(c.ptr);
      synthPending = false;
      break;
    case K::SynthPending: synthPending = true; break;
  }
}

void DeviceCore::mixVoices(int frames) {
  int active = 0;
  for (Voice& v : voices) {
    if (v.id == 0 || v.samples == nullptr) continue;
    std::uint32_t n = std::min<std::uint32_t>(frames, v.frames - v.pos);
    const float* s = v.samples + 2 * static_cast<std::size_t>(v.pos);
    float* m = mix.data();
    const float g = v.gain;
    for (std::uint32_t i = 0; i < 2 * n; ++i) m[i] += s[i] * g;
    v.pos += n;
    if (v.pos >= v.frames) v = Voice{};  // one-shot: done
    else ++active;
  }
  activeVoices.store(active, std::memory_order_relaxed);
}

void DeviceCore::renderSynth(int frames, std::uint64_t blockStart) {
  auto& ev = work.events;
  std::sort(ev.begin(), ev.end(), [](const BlockEvent& a, const BlockEvent& b) {
    return a.offset != b.offset ? a.offset < b.offset : a.seq < b.seq;
  });
  std::size_t next = 0;
  auto apply = [&](const BlockEvent& e, std::uint64_t frame) {
    if (!synth) return;
    switch (e.kind) {
      case BlockEvent::Kind::Short: synth->shortMessage(frame, e.status, e.d1, e.d2); break;
      case BlockEvent::Kind::Sysex:
        synth->systemExclusive(frame, std::span<const std::uint8_t>(work.sysex.data() + e.sysexAt, e.sysexLen));
        break;
      case BlockEvent::Kind::Release: synth->releaseAll(frame); break;
      case BlockEvent::Kind::Silence: synth->silenceAll(frame); break;
      case BlockEvent::Kind::Fresh: synth->freshState(frame); break;
    }
  };
  for (int s = 0; s < frames; s += kSynthStep) {
    while (next < ev.size() && ev[next].offset <= static_cast<std::uint32_t>(s)) apply(ev[next++], blockStart + s);
    int n = std::min(kSynthStep, frames - s);
    if (synth) {
      synth->render(synthOut.data(), n);
      float* m = mix.data() + 2 * s;
      for (int i = 0; i < 2 * n; ++i) m[i] += synthOut[i];
    }
  }
  // Events in the last step's tail reach the synth before the next block.
  while (next < ev.size()) apply(ev[next++], blockStart + frames);
}

void DeviceCore::renderChunk(float* out, int frames) {
  takeCommands();
  std::fill_n(mix.data(), 2 * frames, 0.0f);
  mixVoices(frames);
  for (int i = 0; i < trackCount; ++i) oggConsume(*tracks[i], mix.data(), frames);

  std::uint64_t blockStart = framesMixed.load(std::memory_order_relaxed);
  work.events.clear();
  work.sysexUsed = 0;
  work.noticeCount = 0;
  work.seq = 0;
  // While the synth loads, the streams stand still: the music starts when it can sound.
  if (!synthPending)
    for (int i = 0; i < streamCount; ++i) streamGather(*streams[i], work, config.rate, frames);
  renderSynth(frames, blockStart);

  // Sum in float, clip once.
  for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(mix[i], -1.0f, 1.0f);
  framesMixed.store(blockStart + frames, std::memory_order_release);

  for (int i = 0; i < work.noticeCount; ++i) notices.push(work.notices[i]);
  wake();
}

void DeviceCore::wake() {
  if (wakeFd < 0) return;
  std::uint64_t one = 1;
  ssize_t r = ::write(wakeFd, &one, sizeof one);  // non-blocking; a full counter just stays signalled
  (void)r;
}

void DeviceCore::produceAll() {
  std::lock_guard lock(tracksMutex);
  for (auto& t : liveTracks) oggProduce(*t, config.rate);
}

int DeviceCore::deliverNotices() {
  std::lock_guard lock(deliveryMutex);
  int count = 0;
  Notice n;
  while (notices.pop(n)) {
    auto it = sinks.find(n.stream);
    if (it != sinks.end() && it->second) {
      it->second(n.n);
      ++count;
    }
  }
  return count;
}

void DeviceCore::serviceLoop() {
  while (!quit.load(std::memory_order_acquire)) {
    pollfd p{wakeFd, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0) {
      std::uint64_t v;
      ssize_t r = ::read(wakeFd, &v, sizeof v);
      (void)r;
    }
    deliverNotices();
    produceAll();
    collect();
  }
}

}  // namespace detail

namespace {

void sdlCallback(void* user, Uint8* stream, int len) {
  auto* core = static_cast<detail::DeviceCore*>(user);
  float* out = reinterpret_cast<float*>(stream);
  int frames = len / static_cast<int>(2 * sizeof(float));
  while (frames > 0) {
    int n = std::min(frames, core->config.blockFrames);
    core->renderChunk(out, n);
    out += 2 * n;
    frames -= n;
  }
}

struct Registry {
  std::mutex mutex;
  std::weak_ptr<Device> device;
  DeviceConfig config;
};
Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: used from static destructors
  return *r;
}

}  // namespace

std::shared_ptr<Device> Device::open(const DeviceConfig& config, std::string* why) {
  std::shared_ptr<Device> dev(new Device);
  dev->core_ = std::make_unique<detail::DeviceCore>();
  detail::DeviceCore& c = *dev->core_;
  c.config = config;
  c.config.rate = std::clamp(config.rate, 8000, 96000);
  c.config.blockFrames = std::clamp(config.blockFrames, detail::kSynthStep, 4096);
  c.mix.assign(2 * static_cast<std::size_t>(c.config.blockFrames), 0.0f);
  c.synthOut.assign(2 * detail::kSynthStep, 0.0f);

  if (config.backend == Backend::Sdl) {
    if (!config.sdlDriver.empty())
      SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, config.sdlDriver.c_str(), SDL_HINT_OVERRIDE);
    else SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      if (why) *why = SDL_GetError();
      return nullptr;
    }
    c.sdlAudioInit = true;
    SDL_AudioSpec want{}, have{};
    want.freq = c.config.rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(c.config.blockFrames);
    want.callback = sdlCallback;
    want.userdata = &c;
    c.sdlDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (c.sdlDevice == 0) {
      if (why) *why = SDL_GetError();
      return nullptr;  // the destructor quits the subsystem
    }
    c.wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    c.service = std::thread([&c] { c.serviceLoop(); });
    SDL_PauseAudioDevice(c.sdlDevice, 0);
  }
  return dev;
}

Device::~Device() {
  if (!core_) return;
  detail::DeviceCore& c = *core_;
  // A soundfont still loading is waited for: the device must not end on the loader.
  if (c.synthLoader.joinable()) c.synthLoader.join();
  if (c.sdlDevice) SDL_CloseAudioDevice(c.sdlDevice);  // waits for the callback to finish
  if (c.service.joinable()) {
    c.quit.store(true, std::memory_order_release);
    c.wake();
    c.service.join();
  }
  if (c.sdlAudioInit) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int Device::rate() const { return core_->config.rate; }
int Device::blockFrames() const { return core_->config.blockFrames; }
Backend Device::backend() const { return core_->config.backend; }
std::uint64_t Device::framesMixed() const { return core_->framesMixed.load(std::memory_order_acquire); }
int Device::activeVoices() const { return core_->activeVoices.load(std::memory_order_relaxed); }

void Device::render(float* out, int frames) {
  detail::DeviceCore& c = *core_;
  while (frames > 0) {
    int n = std::min(frames, c.config.blockFrames);
    if (c.config.backend == Backend::Manual) c.produceAll();
    c.renderChunk(out, n);
    out += 2 * n;
    frames -= n;
  }
  if (c.config.backend == Backend::Manual) c.collect();
}

int Device::deliverNotices() { return core_->deliverNotices(); }

void Device::installSynth(std::unique_ptr<MidiSynth> synth) {
  detail::DeviceCore& c = *core_;
  std::lock_guard lock(c.synthMutex);
  std::shared_ptr<MidiSynth> owned(std::move(synth));
  detail::Command cmd;
  cmd.kind = detail::Command::Kind::SetSynth;
  cmd.ptr = owned.get();
  std::uint64_t seq = c.push(cmd);
  // The old synth is freed once the mixer has switched to the new one.
  if (c.ownedSynth) c.retire(seq, std::move(c.ownedSynth));
  c.ownedSynth = std::move(owned);
  c.synthInstalled = c.ownedSynth != nullptr;
}

bool Device::ensureSynth(std::string* why) {
  detail::DeviceCore& c = *core_;
  std::lock_guard lock(c.synthMutex);
  if (c.synthInstalled || c.synthLoading) return true;
  auto path = findGmSoundfont();
  if (!path || c.synthFailed) {
    if (why) *why = path ? "cannot load the soundfont " + *path : "no General MIDI soundfont";
    return false;
  }
  if (c.synthLoader.joinable()) c.synthLoader.join();  // an earlier load, already over
  // The soundfont takes a while to load: on a thread of its own, so that nobody waits.
  c.synthLoading = true;
  detail::Command pending;
  pending.kind = detail::Command::Kind::SynthPending;
  c.push(pending);
  c.synthLoader = std::thread([this, rate = c.config.rate, soundfont = *path] {
    std::unique_ptr<MidiSynth> synth = makeFluidSynth(rate, soundfont, nullptr);
    // Without a synth the streams play on unheard rather than wait for ever.
    installSynth(std::move(synth));
    detail::DeviceCore& core = *core_;
    std::lock_guard done(core.synthMutex);
    core.synthFailed = !core.synthInstalled;
    core.synthLoading = false;
    core.synthReady.notify_all();
  });
  return true;
}

bool Device::waitForSynth() {
  detail::DeviceCore& c = *core_;
  std::unique_lock lock(c.synthMutex);
  c.synthReady.wait(lock, [&c] { return !c.synthLoading; });
  return c.synthInstalled;
}

std::shared_ptr<Device> acquireDevice(std::string* why) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  if (auto d = r.device.lock()) return d;
  DeviceConfig config = r.config;
  // A headless run has no sound card: SDL's silent driver, unless one is named.
  const char* headless = std::getenv("PELLMOOR_HEADLESS");
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (config.backend == Backend::Sdl && config.sdlDriver.empty() && headless && std::string(headless) == "1" &&
      !(driver && *driver))
    config.sdlDriver = "dummy";
  auto d = Device::open(config, why);
  r.device = d;
  return d;
}

std::shared_ptr<Device> currentDevice() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.device.lock();
}

void setDefaultDeviceConfig(const DeviceConfig& config) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.config = config;
}

float millibelsToGain(int mb) {
  if (mb <= -10000) return 0.0f;
  if (mb >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, mb / 2000.0));
}

}  // namespace plat::audio
