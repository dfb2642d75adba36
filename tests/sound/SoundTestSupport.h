// Shared set-up of the sound tests: a manual device as the program's device, a
// recording synth, a temporary folder for the files, and the two logs.
#pragma once
#include <gtest/gtest.h>

#include <fstream>

#include "base/AppGlobals.h"
#include "base/Log.h"
#include "platform/audio.h"
#include "platform/fs.h"
#include "platform/mailbox_thread.h"
#include "test_support/SoundFixtures.h"
#include "test_support/TempDir.h"

namespace sound_test {

class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::audio::DeviceConfig c;
    c.backend = plat::audio::Backend::Manual;
    plat::audio::setDefaultDeviceConfig(c);
    device = plat::audio::acquireDevice(nullptr);
    ASSERT_TRUE(device);
    device->installSynth(std::make_unique<test_support::RecordingSynth>(&synthLog));
    report = dir.path() + "/Report_Game.txt";
    debug = dir.path() + "/EC_Game.txt";
    ASSERT_TRUE(OpenReport(plat::fs::fromNative(report)));
    SetDebugLog(1, plat::fs::fromNative(debug));
    plat::fs::createTextFile(plat::fs::fromNative(debug));  // the log makes its file only once a run
    closes = 0;
    plat::setPostObserver([this](plat::WindowToken, const plat::Msg& m) {
      if (m.id == plat::wm::Close) ++closes;
    });
  }
  void TearDown() override {
    plat::setPostObserver(nullptr);
    SetDebugLog(0, "");
    device.reset();
    plat::audio::setDefaultDeviceConfig({});
  }

  // Writes a file in the temporary folder; its program-form path.
  std::string file(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.path() + "/" + name, std::ios::binary) << bytes;
    plat::fs::invalidateCache();
    return plat::fs::fromNative(dir.path() + "/" + name);
  }
  std::string path(const std::string& name) { return plat::fs::fromNative(dir.path() + "/" + name); }
  std::string readLog(const std::string& native) {
    auto t = plat::fs::readFile(plat::fs::fromNative(native));
    return t ? *t : std::string();
  }

  // Renders blocks and lets the MIDI callback threads answer each block's notices.
  std::vector<float> pump(int frames) {
    std::vector<float> out;
    const int block = device->blockFrames();
    for (int done = 0; done < frames; done += block) {
      auto part = test_support::renderFrames(*device, std::min(block, frames - done));
      out.insert(out.end(), part.begin(), part.end());
      device->deliverNotices();
      EXPECT_TRUE(plat::MailboxThread::waitAllIdle(5000));
    }
    return out;
  }

  test_support::TempDir dir;
  std::shared_ptr<plat::audio::Device> device;
  std::vector<test_support::SynthEvent> synthLog;
  std::string report, debug;
  int closes = 0;
};

}  // namespace sound_test
