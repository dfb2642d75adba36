// The Ogg engine of the music player: one player object per channel, made by CreateVox.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio.h"
#include "platform/ogg_track.h"

// One Ogg player: load a file, start, stop, forget the file, repeat count, destroy.
class cVoxPlayer {
 public:
  explicit cVoxPlayer(std::shared_ptr<plat::audio::Device> device) : m_Track(std::move(device)) {}
  // Non-zero only when the file really decodes.
  std::uint8_t Load(const char* file) { return m_Track.load(file ? file : "") ? 1 : 0; }
  void Play() { m_Track.play(); }
  void Stop() { m_Track.stop(); }
  void Close() { m_Track.unload(); }
  // 0x7FFFFFFF repeats without end, 0 plays once.
  void SetLoop(std::int32_t count) { m_Track.setRepeats(count); }
  void Delete() { delete this; }

 private:
  ~cVoxPlayer() = default;
  plat::audio::OggTrack m_Track;
};

// A new player on the shared sound device; null when there is none.
cVoxPlayer* CreateVox();

class cVox {
 public:
  ~cVox() { Release(); }
  int Init();
  int CreateChannels(int n);
  int Play(int channel, const char* file, int loop);
  void Stop();
  void Release();

  std::vector<cVoxPlayer*> m_lpPlayers;
  int m_nChannels = 0;
  int m_nCurrent = -1;
  // The engine's hold on the sound device while it is loaded.
  std::shared_ptr<plat::audio::Device> m_hModule;
  cVoxPlayer* (*m_pfnCreateVox)() = nullptr;
};
