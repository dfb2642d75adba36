// The sound and music of the whole player on SDL's dummy driver: real threads, the
// General MIDI synth, Ogg decoding ahead of the mixer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <thread>

#include "base/AppGlobals.h"
#include "base/AppMessages.h"
#include "platform/audio.h"
#include "platform/fs.h"
#include "sound/BgmPlayer.h"
#include "sound/SoundTable.h"
#include "test_support/SoundFixtures.h"
#include "test_support/TempDir.h"

namespace {

using namespace test_support;

bool WaitFrames(plat::audio::Device& d, std::uint64_t frames) {
  // A bound against hanging only: progress is measured in samples.
  for (int i = 0; i < 20000 && d.framesMixed() < frames; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return d.framesMixed() >= frames;
}

TEST(SoundOnDummyDevice, WholePlayerRuns) {
  plat::audio::DeviceConfig c;
  c.sdlDriver = "dummy";
  plat::audio::setDefaultDeviceConfig(c);
  // The music requests write the track names into the player's tables: put back after.
  char oggNames[5][260], midiNames[5][264];
  static_assert(sizeof oggNames == sizeof g_BgmOggNames && sizeof midiNames == sizeof g_BgmMidiNames);
  std::memcpy(oggNames, g_BgmOggNames, sizeof oggNames);
  std::memcpy(midiNames, g_BgmMidiNames, sizeof midiNames);
  TempDir dir;
  auto put = [&dir](const std::string& name, const std::string& bytes) {
    std::ofstream(dir.path() + "/" + name, std::ios::binary) << bytes;
    return plat::fs::fromNative(dir.path() + "/" + name);
  };
  std::vector<std::string> system(17);
  system[0] = put("cursor.wav", makeWav(1, 22050, 8, std::string(2205, '\xC0')));
  std::vector<std::string> music = {
      "",
      put("song.mid",
          makeSmf(0, 96, {SmfTrack().ev(0, {0xC0, 19}).ev(0, {0xB0, 64, 127}).ev(0, {0x90, 60, 90}).end(24)})),
      put("tune.ogg", encodeOgg(22050, 1, 11025, [](int f, int) { return 0.3f * std::sin(f * 0.1f); }))};

  plat::WindowToken window = plat::registerWindow([](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
    if (m.id == appmsg::PlaySound) return HandleSoundRequest(m.w);
    if (m.id == appmsg::PlayMusic) return HandleBgmRequest(m.w, m.l);
    return 0;
  });
  g_hWnd = window;
  g_BgmRequestLinks.bgmFile = [&music](int n) { return music.at(n); };
  g_BgmRequestLinks.screenBgm = [](int) { return 2; };
  g_BgmRequestLinks.screenBgmLoop = [](int) { return 1; };
  g_BgmRequestLinks.stageBgmLoop = [] { return 1; };

  // Start-up's order: music first, then the sound table.
  ASSERT_EQ(g_BgmPlayer.Init(1, g_BgmOggNames, g_BgmMidiNames, 5), 1);
  ASSERT_TRUE(SetUpSoundTable(window, system, {""}, 7));
  auto device = plat::audio::currentDevice();
  ASSERT_TRUE(device);

  plat::send(window, plat::Msg{appmsg::PlayMusic, appmsg::MusicStage, 1});  // a looping quarter-second song
  RequestSystemSound(0);
  ASSERT_TRUE(WaitFrames(*device, device->framesMixed() + 48000));
  cMidiPlayer* midi = g_BgmPlayer.m_Midi.m_lpPlayers[0].get();
  ASSERT_TRUE(midi);
  {
    std::lock_guard lock(midi->m_Lock);  // its callback thread restarts it at every loop
    EXPECT_EQ(midi->m_nState, 1);
  }
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 2);

  plat::send(window, plat::Msg{appmsg::PlayMusic, appmsg::MusicTitle, 0});  // the title's Ogg
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 1);
  ASSERT_TRUE(WaitFrames(*device, device->framesMixed() + 24000));

  g_BgmPlayer.Stop();  // as the window does on close
  device.reset();
  DS_UnInit();
  g_BgmPlayer.Release();
  EXPECT_FALSE(plat::audio::currentDevice());

  g_BgmRequestLinks = {};
  g_SoundTable.clear();
  g_SoundInfo.clear();
  g_hWnd = 0;
  plat::unregisterWindow(window);
  plat::audio::setDefaultDeviceConfig({});
  std::memcpy(g_BgmOggNames, oggNames, sizeof oggNames);
  std::memcpy(g_BgmMidiNames, midiNames, sizeof midiNames);
}

}  // namespace
