#include "sound/DSound.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/Log.h"
#include "platform/audio.h"
#include "platform/fs.h"
#include "platform/trace.h"

namespace {

std::shared_ptr<plat::audio::Device> g_lpDS;  // the device; null = no device
plat::audio::WavFormat g_PrimaryFormat;
plat::WindowToken g_hDSWnd = 0;
cVector<DS_SOUNDSET>* g_lpSoundSets = nullptr;
cVector<DS_SOUNDINFO>* g_lpSoundInfos = nullptr;

void CopyName(char (&dst)[260], const char* src) {
  std::size_t n = src ? std::min<std::size_t>(std::strlen(src), sizeof dst - 1) : 0;
  if (n) std::memcpy(dst, src, n);
  dst[n] = 0;
}

plat::audio::SoundBuffer* BufferAt(DS_SOUNDSET* set, int index) {
  if (!g_lpDS || !set || !set->lpBuffers || index < 0 || index >= set->nCount) return nullptr;
  return set->lpBuffers[index];
}

// "sound <entry> vol <volume>", or "silent" for an entry without a sound.
void TracePlay(const DS_SOUNDSET* set, plat::audio::SoundBuffer* b) {
  if (!g_lpSoundSets || g_lpSoundSets->empty()) return;
  const DS_SOUNDSET* first = g_lpSoundSets->data();
  if (set < first || set >= first + g_lpSoundSets->Size()) return;
  const int entry = static_cast<int>(set - first);
  if (b) plat::trace::Line("sound %d vol %d", entry, b->volume());
  else plat::trace::Line("sound %d silent", entry);
}

}  // namespace

bool DS_Init(plat::WindowToken hwnd, int samplesPerSec, int bitsPerSample, int channels) {
  std::string why;
  auto device = plat::audio::acquireDevice(&why);
  if (!device) {
    DebugLog("DIRECTSOUNDCREATE_ERR!");
    ReportPrintf("DIRECTSOUNDCREATE_ERR! %s", why.c_str());  // the device's own reason
    return false;
  }
  g_lpDS = std::move(device);
  // The primary format is a request the mix does not follow: it runs in float at its own rate.
  g_PrimaryFormat = plat::audio::WavFormat{};
  g_PrimaryFormat.formatTag = 1;
  g_PrimaryFormat.channels = static_cast<std::uint16_t>(channels);
  g_PrimaryFormat.samplesPerSec = static_cast<std::uint32_t>(samplesPerSec);
  g_PrimaryFormat.bitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
  g_PrimaryFormat.blockAlign = static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
  g_PrimaryFormat.avgBytesPerSec = g_PrimaryFormat.blockAlign * g_PrimaryFormat.samplesPerSec;
  g_PrimaryFormat.extraSize = 18;
  g_hDSWnd = hwnd;
  g_lpSoundSets = nullptr;
  g_lpSoundInfos = nullptr;
  return true;
}

void DS_UnInit() {
  if (g_lpSoundSets)
    for (DS_SOUNDSET& set : *g_lpSoundSets) DS_ReleaseSoundSet(&set);
  g_lpDS.reset();
  g_lpSoundSets = nullptr;
  g_lpSoundInfos = nullptr;
}

int DS_CreateSoundTable(cVector<DS_SOUNDSET>* sets, cVector<DS_SOUNDINFO>* infos, int masterVolume) {
  g_lpSoundSets = sets;
  g_lpSoundInfos = infos;
  int n = std::min(sets->Size(), infos->Size());
  for (int i = 0; i < n; ++i) {
    DS_SOUNDSET& set = (*sets)[i];
    if (set.lpBuffers) continue;
    const DS_SOUNDINFO& info = (*infos)[i];
    int volume = masterVolume != 0 ? masterVolume : info.lVolume;
    // A sound that cannot be built stays silent; the rest go on.
    DS_CreateSoundSet(&set, info.szFileName, info.nCount, volume);
  }
  return 1;
}

bool DS_CreateSoundSet(DS_SOUNDSET* set, const char* fileName, int count, int volume) {
  if (!g_lpDS) return true;
  *set = DS_SOUNDSET{};
  count = std::max(count, 1);
  try {
    set->lpBuffers = new plat::audio::SoundBuffer*[count]();
  } catch (const std::bad_alloc&) {
    DebugPrintf("%sのメモリ確保失敗！", fileName);
    return false;
  }
  // Counted from the start, so a release frees whatever was made before a failure.
  set->nCount = count;
  if (!DS_CreateBuffer(&set->lpBuffers[0], fileName)) return false;
  for (int i = 1; i < count; ++i) {
    if (!DS_DuplicateBuffer(&set->lpBuffers[i], set->lpBuffers[0])) {
      DebugPrintf("%sのメモリ共用バッファの生成失敗！", fileName);
      return false;
    }
  }
  CopyName(set->szName, fileName);
  if (volume != 0)
    for (int i = 0; i < count; ++i) DS_SetVolume(set, i, volume, 0);
  return true;
}

void DS_ReleaseSoundSet(DS_SOUNDSET* set) {
  if (!g_lpDS || !set->lpBuffers) return;
  for (int i = set->nCount - 1; i >= 1; --i) {
    delete set->lpBuffers[i];
    set->lpBuffers[i] = nullptr;
  }
  delete set->lpBuffers[0];
  set->lpBuffers[0] = nullptr;
  delete[] set->lpBuffers;
  set->lpBuffers = nullptr;
}

bool DS_LoadWave(const char* fileName, DS_WAVEDATA* wave) {
  if (!fileName || !*fileName) return false;
  auto bytes = plat::fs::readFile(fileName);
  if (!bytes) return false;
  plat::audio::WavView view;
  auto span = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
  if (plat::audio::parseWav(span, view) != plat::audio::WavError::None) return false;
  wave->wfx = view.format;
  wave->dwSize = static_cast<std::uint32_t>(view.data.size());
  wave->lpData.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(view.data.size(), 1)]);
  if (!wave->lpData) return false;
  std::copy(view.data.begin(), view.data.end(), wave->lpData.get());
  return true;
}

void DS_FreeWave(DS_WAVEDATA* wave) { wave->lpData.reset(); }

bool DS_CreateBuffer(plat::audio::SoundBuffer** buffer, const char* fileName) {
  DS_WAVEDATA wave;
  if (!DS_LoadWave(fileName, &wave)) {
    DebugPrintf("%s読み込み失敗！", fileName);
    return false;
  }
  auto made = plat::audio::SoundBuffer::create(g_lpDS, wave.wfx, std::span(wave.lpData.get(), wave.dwSize), nullptr);
  DS_FreeWave(&wave);
  if (!made) {
    DebugPrintf("%s生成失敗！", fileName);
    return false;
  }
  *buffer = made.release();
  return true;
}

bool DS_DuplicateBuffer(plat::audio::SoundBuffer** duplicate, plat::audio::SoundBuffer* source) {
  if (!source) return false;
  *duplicate = source->duplicate().release();
  return *duplicate != nullptr;
}

void DS_Play(DS_SOUNDSET* set, int /*flags: the program plays every sound once*/) {
  plat::audio::SoundBuffer* b = BufferAt(set, set ? set->nNext : 0);
  if (plat::trace::Enabled()) TracePlay(set, b);
  if (!b) return;
  b->playFromStart();
  int next = set->nNext + 1;
  if (next >= set->nCount) next = 0;
  // The menu cursor plays on the game thread beside the window thread: with one buffer
  // the index never changes, so it is not written.
  if (next != set->nNext) set->nNext = next;
}

int DS_SetVolume(DS_SOUNDSET* set, int index, int volume, int relative) {
  plat::audio::SoundBuffer* b = BufferAt(set, index);
  if (!b) return 0;
  long v = volume;
  if (relative == 1) v += b->volume();
  return b->setVolume(static_cast<int>(std::clamp(v, -10000L, 0L)));
}

int DS_GetVolume(DS_SOUNDSET* set, int index) {
  plat::audio::SoundBuffer* b = BufferAt(set, index);
  return b ? b->volume() : 0;
}

plat::audio::WavFormat DS_GetPrimaryFormat() { return g_PrimaryFormat; }
