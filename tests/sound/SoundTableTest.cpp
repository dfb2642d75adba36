#include "base/AppMessages.h"
#include "sound/SoundTable.h"

#include <gtest/gtest.h>

#include "SoundTestSupport.h"

namespace {

using namespace test_support;

// A WAV of a constant level, so the output tells which entry played.
std::string level(double v, int frames = 4800) {
  return makeWav(1, 48000, 16, pcm16(std::vector<int>(frames, static_cast<int>(v * 32767))));
}

class SoundTableFixture : public sound_test::SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    window = plat::registerWindow([this](plat::WindowToken, const plat::Msg& m) -> std::intptr_t {
      if (m.id != appmsg::PlaySound) return 0;
      ++requests;
      return HandleSoundRequest(m.w);
    });
    g_hWnd = window;
  }
  void TearDown() override {
    DS_UnInit();
    g_SoundTable.clear();
    g_SoundInfo.clear();
    g_hWnd = 0;
    plat::unregisterWindow(window);
    SoundFixture::TearDown();
  }
  // System sound 0 and database sound 1 have their own levels; the rest are unset.
  void Build(int step = 10) {
    std::vector<std::string> system(17);
    system[0] = file("sys0.wav", level(0.5));
    std::vector<std::string> db = {"", file("db1.wav", level(0.25))};
    ASSERT_TRUE(SetUpSoundTable(window, system, db, step));
  }
  float Heard() { return renderFrames(*device, 512)[100]; }

  plat::WindowToken window = 0;
  int requests = 0;
};

TEST_F(SoundTableFixture, RequestsReachTheirEntries) {
  Build();
  EXPECT_EQ(g_SoundTable.Size(), 18);
  EXPECT_EQ(RequestSound(0), 0);
  EXPECT_EQ(requests, 0);  // nothing sent
  EXPECT_EQ(Heard(), 0.0f);
  RequestSound(1);
  EXPECT_NEAR(Heard(), 0.25, 1e-3);
  renderFrames(*device, 9600);
  RequestSystemSound(0);
  EXPECT_NEAR(Heard(), 0.5, 1e-3);
  EXPECT_EQ(requests, 2);
  plat::audio::WavFormat primary = DS_GetPrimaryFormat();
  EXPECT_EQ(primary.samplesPerSec, 22050u);
  EXPECT_EQ(primary.bitsPerSample, 8);
  EXPECT_EQ(primary.channels, 1);
}

TEST_F(SoundTableFixture, BadIndexIsReportedClosesAndPlaysEntryZero) {
  Build();
  HandleSoundRequest(99);
  EXPECT_NE(readLog(report).find("err V[99] ( 18 , "), std::string::npos);
  EXPECT_EQ(closes, 1);
  EXPECT_NEAR(Heard(), 0.5, 1e-3);
}

TEST_F(SoundTableFixture, MasterVolumeStepSetsEveryBuiltBuffer) {
  struct Case {
    int step, volume;
  };
  for (Case c : {Case{10, 0}, Case{0, -10000}, Case{4, -800}, Case{42, 0}, Case{-3, -10000}}) {
    Build(c.step);
    EXPECT_EQ(DS_GetVolume(&g_SoundTable[0], 0), c.volume) << c.step;
    EXPECT_EQ(DS_GetVolume(&g_SoundTable[17], 0), c.volume) << c.step;
    DS_UnInit();
    g_SoundTable.clear();
    g_SoundInfo.clear();
  }
}

TEST_F(SoundTableFixture, SetVolumeClampsAndAddsWhenRelative) {
  Build();
  struct Case {
    int current, value, relative, result;
  };
  for (Case c : {Case{-9000, -2000, 1, -10000}, Case{0, 500, 0, 0}, Case{-500, -20000, 0, -10000},
                 Case{-300, -200, 1, -500}, Case{-300, -200, 0, -200}}) {
    DS_SetVolume(&g_SoundTable[17], 0, c.current, 0);
    EXPECT_EQ(DS_SetVolume(&g_SoundTable[17], 0, c.value, c.relative), c.result);
    EXPECT_EQ(DS_GetVolume(&g_SoundTable[17], 0), c.result);
  }
  // An unbuilt or silent entry answers 0.
  EXPECT_EQ(DS_SetVolume(&g_SoundTable[5], 0, -100, 0), 0);
}

TEST_F(SoundTableFixture, EntriesThatCannotBeBuiltStaySilent) {
  std::vector<std::string> system(17);
  system[0] = file("float.wav", makeWav(1, 48000, 32, std::string(400, '\1'), 3));
  system[1] = file("empty.wav", makeWav(1, 48000, 16, ""));
  system[2] = path("missing.wav");
  std::vector<std::string> db = {"", file("ok.wav", level(0.25))};
  ASSERT_TRUE(SetUpSoundTable(window, system, db, 10));
  for (int i = 0; i < 3; ++i) {
    HandleSoundRequest(i);
    EXPECT_EQ(Heard(), 0.0f) << i;
  }
  HandleSoundRequest(17);
  EXPECT_NEAR(Heard(), 0.25, 1e-3);
  std::string log = readLog(debug);
  EXPECT_NE(log.find(system[0] + "読み込み失敗！"), std::string::npos);
  EXPECT_NE(log.find(system[1] + "生成失敗！"), std::string::npos);
  EXPECT_NE(log.find(system[2] + "読み込み失敗！"), std::string::npos);
}

TEST_F(SoundTableFixture, CopiesPlayInTurnBesideEachOther) {
  Build();
  DS_SOUNDSET set;
  ASSERT_TRUE(DS_CreateSoundSet(&set, path("db1.wav").c_str(), 2, 0));
  EXPECT_EQ(set.nCount, 2);
  for (int k = 1; k <= 3; ++k) {
    DS_Play(&set, 0);
    EXPECT_EQ(set.nNext, k % 2);
  }
  renderFrames(*device, 9600);
  DS_Play(&set, 0);
  DS_Play(&set, 0);
  EXPECT_NEAR(Heard(), 0.5, 1e-3);  // two copies at once
  DS_ReleaseSoundSet(&set);
  EXPECT_EQ(set.lpBuffers, nullptr);
}

TEST_F(SoundTableFixture, WithoutADeviceEveryCallDoesNothing) {
  DS_SOUNDSET set;
  EXPECT_TRUE(DS_CreateSoundSet(&set, "x.wav", 1, 0));
  EXPECT_EQ(set.lpBuffers, nullptr);
  DS_Play(&set, 0);
  EXPECT_EQ(DS_SetVolume(&set, 0, -100, 0), 0);
  EXPECT_EQ(DS_GetVolume(&set, 0), 0);
  DS_ReleaseSoundSet(&set);
  DS_UnInit();
}

TEST_F(SoundTableFixture, NoSoundDeviceFailsStartUp) {
  device.reset();
  plat::audio::DeviceConfig c;
  c.sdlDriver = "nonexistent";
  plat::audio::setDefaultDeviceConfig(c);
  std::vector<std::string> system(17);
  EXPECT_FALSE(SetUpSoundTable(window, system, {""}, 10));
  std::string log = readLog(debug);
  auto err = log.find("DIRECTSOUNDCREATE_ERR!");
  ASSERT_NE(err, std::string::npos);
  EXPECT_GT(log.find("DS_Init失敗！"), err);
}

}  // namespace
