#include "sound/BgmPlayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "SoundTestSupport.h"
#include "platform/ogg_track.h"

namespace {

using namespace test_support;

std::string Tone48k(int frames) {
  return encodeOgg(48000, 1, frames, [](int f, int) { return 0.5f * std::sin(2 * 3.14159265f * 440 * f / 48000); });
}
std::string OneNoteSong(int key) {
  return makeSmf(0, 96, {SmfTrack().ev(0, {0x90, key, 64}).ev(96, {0x80, key, 0}).end(96)});
}

class BgmFixture : public sound_test::SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    std::memcpy(oggNames, g_BgmOggNames, sizeof oggNames);
    std::memcpy(midiNames, g_BgmMidiNames, sizeof midiNames);
    // clang-format off
    files = {"", file("title.ogg", Tone48k(48000)), file("map.mid", OneNoteSong(60)), file("stage.mid", OneNoteSong(70)),
             file("song.Mid", OneNoteSong(80)), path("missing.ogg")};
    // clang-format on
    g_BgmRequestLinks.screenBgm = [](int kind) { return kind == 0 ? 1 : kind == 1 ? 2 : 5; };
    g_BgmRequestLinks.screenBgmLoop = [](int) { return 1; };
    g_BgmRequestLinks.bgmFile = [this](int n) { return files.at(n); };
    g_BgmRequestLinks.scene = [this] { return scene; };
    g_BgmRequestLinks.prevScene = [this] { return prevScene; };
    g_BgmRequestLinks.setStageBgm = [this](int n) { stageBgm = n; };
    g_BgmRequestLinks.stageBgmLoop = [] { return 0; };
  }
  void TearDown() override {
    g_BgmPlayer.Release();
    g_BgmRequestLinks = {};
    std::memcpy(g_BgmOggNames, oggNames, sizeof oggNames);
    std::memcpy(g_BgmMidiNames, midiNames, sizeof midiNames);
    plat::audio::setOggEngineAvailable(true);
    SoundFixture::TearDown();
  }
  int InitPlayer() { return g_BgmPlayer.Init(1, g_BgmOggNames, g_BgmMidiNames, 5); }
  cMidiPlayer* MidiPlayer() {
    return g_BgmPlayer.m_Midi.m_lpPlayers.empty() ? nullptr : g_BgmPlayer.m_Midi.m_lpPlayers[0].get();
  }

  char oggNames[5][260];
  char midiNames[5][264];
  std::vector<std::string> files;
  int scene = 0, prevScene = 0, stageBgm = -1;
};

TEST_F(BgmFixture, TrackFileExtensionChoosesTheEngine) {
  ASSERT_EQ(InitPlayer(), 1);
  struct Case {
    const char* file;
    int result, kind;
    const char* ogg;
    const char* midi;
  };
  const Case cases[] = {
      {"a\\x.mid", 1, 2, "bgm\\Title.ogg", "a\\x.mid"},
      {"a\\y.MID", 1, 2, "bgm\\Title.ogg", "a\\y.mid"},
      {"a\\z.ogg", 1, 1, "a\\z.ogg", "a\\y.mid"},
      {"a\\w.OGG", 1, 1, "a\\w.OGG", "a\\y.mid"},
      {"a\\v.Mid", 0, 0, "a\\v.Mid", "a\\v.Mid"},
      {"a\\none", 0, 0, "", ""},
      {".\\b.d\\none", 0, 0, "", ""},  // a dot in a folder name is no extension
  };
  for (const Case& c : cases) {
    EXPECT_EQ(g_BgmPlayer.SetTrackFile(0, c.file), c.result) << c.file;
    EXPECT_EQ(g_BgmPlayer.m_TrackKinds[0], c.kind) << c.file;
    EXPECT_STREQ(g_BgmOggNames[0], c.ogg) << c.file;
    EXPECT_STREQ(g_BgmMidiNames[0], c.midi) << c.file;
  }
}

TEST_F(BgmFixture, OggAndMidiTracksPlayAndAFailedRequestSilences) {
  ASSERT_EQ(InitPlayer(), 1);
  g_BgmPlayer.SetTrackFile(0, files[1].c_str());
  EXPECT_EQ(g_BgmPlayer.Play(0, 0, 1, 1), 1);
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 1);
  EXPECT_GT(peak(pump(4800)), 0.3f);

  g_BgmPlayer.SetTrackFile(4, (path("stage") + ".MID").c_str());  // plays as "stage.mid"
  EXPECT_EQ(g_BgmPlayer.Play(0, 4, 0, 1), 1);
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 2);
  auto out = pump(4800);
  EXPECT_EQ(peak(out, 2 * 512), 0.0f);  // the Ogg track has stopped
  ASSERT_EQ(noteOns(synthLog).size(), 1u);
  EXPECT_EQ(noteOns(synthLog)[0].second, 70);

  // Missing Ogg of unknown kind is tried as MIDI, which needs exactly "mid": silence.
  g_BgmPlayer.SetTrackFile(2, files[4].c_str());
  EXPECT_EQ(g_BgmPlayer.Play(0, 2, 1, 1), 0);
  EXPECT_EQ(g_BgmPlayer.m_nTrack, -1);
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 0);
  synthLog.clear();
  pump(48000);
  EXPECT_TRUE(noteOns(synthLog).empty());
}

TEST_F(BgmFixture, UnknownKindFallsBackFromOggToMidi) {
  ASSERT_EQ(InitPlayer(), 1);
  // "x.dat" is tried as Ogg, then as MIDI; a renamed MIDI file with "mid" works through kind 2.
  std::string name = file("renamed.ogg", OneNoteSong(64));
  g_BgmPlayer.SetTrackFile(3, name.c_str());
  EXPECT_EQ(g_BgmPlayer.Play(0, 3, 0, 1), 0);  // kind 1: Ogg only, and it does not decode
  std::strcpy(g_BgmOggNames[3], path("missing.ogg").c_str());
  std::strcpy(g_BgmMidiNames[3], files[2].c_str());
  g_BgmPlayer.m_TrackKinds[3] = 0;
  EXPECT_EQ(g_BgmPlayer.Play(0, 3, 0, 1), 1);
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 2);
  pump(1024);
  EXPECT_EQ(noteOns(synthLog).size(), 1u);
}

TEST_F(BgmFixture, WithoutTheOggEngineThereIsNoMusicAtAll) {
  plat::audio::setOggEngineAvailable(false);
  EXPECT_EQ(InitPlayer(), 0);
  EXPECT_EQ(g_BgmPlayer.m_bInit, 0);
  HandleBgmRequest(1, 0);
  HandleBgmRequest(4, 3);
  pump(4800);
  EXPECT_TRUE(noteOns(synthLog).empty());
  EXPECT_STREQ(g_BgmMidiNames[1], "bgm\\WorldMap.mid");  // music off leaves the tables alone
  EXPECT_STREQ(g_BgmMidiNames[4], "bgm\\Stage.mid");
  EXPECT_EQ(stageBgm, 3);
}

TEST_F(BgmFixture, WorldMapAndItsMenuKeepTheMusicGoing) {
  ASSERT_EQ(InitPlayer(), 1);
  scene = 1;
  prevScene = 0;  // from the title: starts
  HandleBgmRequest(1, 0);
  cMidiPlayer* first = MidiPlayer();
  ASSERT_NE(first, nullptr);
  pump(4800);
  scene = 2;
  prevScene = 1;  // into the map menu: goes on
  HandleBgmRequest(1, 0);
  EXPECT_EQ(MidiPlayer(), first);
  scene = 1;
  prevScene = 2;  // back to the map: goes on
  HandleBgmRequest(1, 0);
  EXPECT_EQ(MidiPlayer(), first);
  pump(48000 * 2);
  EXPECT_EQ(noteOns(synthLog).size(), 3u);  // looped, never restarted
  synthLog.clear();
  scene = 1;
  prevScene = 3;  // from elsewhere: starts again
  HandleBgmRequest(1, 0);
  pump(1024);
  EXPECT_EQ(noteOns(synthLog).size(), 1u);
}

TEST_F(BgmFixture, StageMusicZeroStopsWithoutHangingNotes) {
  ASSERT_EQ(InitPlayer(), 1);
  HandleBgmRequest(4, 3);
  EXPECT_EQ(stageBgm, 3);
  EXPECT_EQ(g_BgmPlayer.m_nTrack, 4);
  pump(4800);
  synthLog.clear();
  HandleBgmRequest(4, 0);
  EXPECT_EQ(stageBgm, 0);
  pump(48000 * 2);
  ASSERT_FALSE(synthLog.empty());
  EXPECT_EQ(synthLog[0].kind, SynthEvent::Release);
  EXPECT_TRUE(noteOns(synthLog).empty());
  EXPECT_EQ(MidiPlayer()->m_nState, 0);
}

TEST_F(BgmFixture, ReleaseTwiceAndInitAgain) {
  ASSERT_EQ(InitPlayer(), 1);
  HandleBgmRequest(0, 0);
  g_BgmPlayer.Release();
  g_BgmPlayer.Release();
  EXPECT_EQ(g_BgmPlayer.Play(0, 0, 1, 1), 1);  // not initialised: accepted and ignored
  ASSERT_EQ(InitPlayer(), 1);
  HandleBgmRequest(0, 0);
  EXPECT_EQ(g_BgmPlayer.m_PlayKinds[0], 1);
  EXPECT_GT(peak(pump(4800)), 0.3f);
}

// The options scene re-makes the player on the game thread while the window thread
// serves a request and stops the music for a close (the thread-sanitizer run watches).
TEST_F(BgmFixture, ReMakingThePlayerWhileTheWindowThreadStopsIt) {
  ASSERT_EQ(InitPlayer(), 1);
  std::atomic<bool> done{false};
  std::thread game([&] {
    for (int i = 0; i < 40; ++i) {
      g_BgmPlayer.Release();
      InitPlayer();
    }
    done = true;
  });
  int rounds = 0;
  while (!done.load() || rounds < 40) {
    HandleBgmRequest(4, 3);
    g_BgmPlayer.Stop();
    ++rounds;
  }
  game.join();
  EXPECT_EQ(g_BgmPlayer.m_bInit, 1);
  EXPECT_EQ(g_BgmPlayer.m_TrackKinds.Size(), 5);
}

}  // namespace
