#include "sound/BgmPlayer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/AppMessages.h"
#include "base/Log.h"
#include "base/PathUtil.h"
#include "platform/trace.h"

char g_BgmOggNames[5][260] = {"bgm\\Title.ogg", "bgm\\WorldMap.ogg", "bgm\\Challenge.ogg", "bgm\\Option.ogg",
                              "bgm\\Stage.ogg"};
char g_BgmMidiNames[5][264] = {"bgm\\Title.mid", "bgm\\WorldMap.mid", "bgm\\Challenge.mid", "bgm\\Option.mid",
                               "bgm\\Stage.mid"};

cBgmPlayer g_BgmPlayer;
cBgmRequestLinks g_BgmRequestLinks;

namespace {

template <std::size_t N>
void CopySlot(char (&slot)[N], const char* text) {
  std::size_t n = std::min(std::strlen(text), N - 1);
  std::memcpy(slot, text, n);
  slot[n] = 0;
}

// The trace tells when music starts and when it falls silent.
std::atomic<bool> g_bTracedPlaying{false};

void TracePlaying(const char* file, int loop) {
  if (!plat::trace::Enabled()) return;
  plat::trace::Line("bgm play %s loop %d", plat::trace::Path(file).c_str(), loop ? 1 : 0);
  g_bTracedPlaying = true;
}

void TraceStopped() {
  if (!plat::trace::Enabled() || !g_bTracedPlaying.exchange(false)) return;
  plat::trace::Line("bgm stop");
}

}  // namespace

int cBgmPlayer::Init(int channels, BgmOggNames* oggNames, BgmMidiNames* midiNames, int tracks) {
  std::lock_guard lock(m_Lock);
  m_bInit = 1;
  m_Midi.DeleteAll();
  m_PlayKinds.clear();
  if (!m_Vox.Init()) {
    DebugLog("m_Vox.Init失敗！");
    m_bInit = 0;
    return 0;
  }
  SetChannelCount(channels);
  m_lpOggNames = oggNames;
  m_lpMidiNames = midiNames;
  m_TrackKinds.assign(std::max(tracks, 0), 0);
  m_nTrack = -1;
  return 1;
}

int cBgmPlayer::SetChannelCount(int n) {
  std::lock_guard lock(m_Lock);
  n = std::max(n, 0);
  m_PlayKinds.resize(n);
  m_Midi.m_lpPlayers.resize(n);
  m_Vox.CreateChannels(n);
  m_PlayKinds.Fill(0);
  return 1;
}

int cBgmPlayer::SetTrackFile(int track, const char* file) {
  std::lock_guard lock(m_Lock);
  if (!m_bInit) return 1;
  if (track < 0 || track >= m_TrackKinds.Size() || !m_lpOggNames || !m_lpMidiNames) {
    m_TrackKinds[track];  // the checked subscript reports the bad track
    return 0;
  }
  if (!file) file = "";
  char* ogg = m_lpOggNames[track];
  char* midi = m_lpMidiNames[track];
  std::string ext;
  if (!GetExtension(ext, file)) {
    ogg[0] = 0;
    midi[0] = 0;
    m_TrackKinds[track] = 0;
    return 0;
  }
  if (ext == "mid" || ext == "MID") {
    std::string name;
    ChangeExtension(name, file, "mid");
    CopySlot(m_lpMidiNames[track], name.c_str());
    m_TrackKinds[track] = 2;
    return 1;
  }
  if (ext == "ogg" || ext == "OGG") {
    CopySlot(m_lpOggNames[track], file);
    m_TrackKinds[track] = 1;
    return 1;
  }
  CopySlot(m_lpOggNames[track], file);
  CopySlot(m_lpMidiNames[track], file);
  m_TrackKinds[track] = 0;
  return 0;
}

int cBgmPlayer::Play(int channel, int track, int loop, int force) {
  std::lock_guard lock(m_Lock);
  if (!m_bInit || (track == m_nTrack && !force)) return 1;
  m_nTrack = track;
  int kind = m_TrackKinds[track];
  const bool validTrack = track >= 0 && track < m_TrackKinds.Size();
  if (validTrack && (kind == 0 || kind == 1) && m_Vox.Play(channel, m_lpOggNames[track], loop)) {
    m_PlayKinds[channel] = 1;
    m_Midi.StopAll(0);
    TracePlaying(m_lpOggNames[track], loop);
    return 1;
  }
  if (validTrack && (kind == 0 || kind == 2) && m_Midi.Play(channel, m_lpMidiNames[track], loop)) {
    m_PlayKinds[channel] = 2;
    m_Vox.Stop();
    TracePlaying(m_lpMidiNames[track], loop);
    return 1;
  }
  // A request that cannot be played silences the music before it.
  m_PlayKinds[channel] = 0;
  m_nTrack = -1;
  m_Vox.Stop();
  m_Midi.StopAll(0);
  TraceStopped();
  return 0;
}

void cBgmPlayer::Stop() {
  std::lock_guard lock(m_Lock);
  if (!m_bInit) return;
  m_Midi.StopAll(0);
  m_Vox.Stop();
  TraceStopped();
}

void cBgmPlayer::Release() {
  std::lock_guard lock(m_Lock);
  m_Vox.Release();
  m_Midi.DeleteAll();
  m_bInit = 0;
  TraceStopped();
}

std::intptr_t HandleBgmRequest(std::uintptr_t wParam, std::intptr_t lParam) {
  const cBgmRequestLinks& l = g_BgmRequestLinks;
  auto fileOf = [&](int n) { return l.bgmFile ? l.bgmFile(n) : std::string(); };
  if (wParam < appmsg::MusicStage) {
    int kind = static_cast<int>(wParam);
    int n = l.screenBgm ? l.screenBgm(kind) : 0;
    g_BgmPlayer.SetTrackFile(kind, fileOf(n).c_str());
    int loop = l.screenBgmLoop ? l.screenBgmLoop(kind) : 0;
    int force = 1;
    if (wParam == appmsg::MusicWorldMap) {
      int scene = l.scene ? l.scene() : -1, prev = l.prevScene ? l.prevScene() : -1;
      // Between the world map and its menu the music goes on where it was.
      if ((scene == 1 && prev == 2) || (scene == 2 && prev == 1)) force = 0;
    }
    g_BgmPlayer.Play(0, kind, loop, force);
  } else if (wParam == appmsg::MusicStage) {
    int n = static_cast<int>(lParam);
    if (l.setStageBgm) l.setStageBgm(n);
    g_BgmPlayer.SetTrackFile(appmsg::MusicStage, fileOf(n).c_str());
    if (n == 0) g_BgmPlayer.Stop();
    else g_BgmPlayer.Play(0, appmsg::MusicStage, l.stageBgmLoop ? l.stageBgmLoop() : 0, 1);
  }
  return 0;
}
