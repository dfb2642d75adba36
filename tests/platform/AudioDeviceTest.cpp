#include "platform/audio.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/mailbox_thread.h"

namespace {

TEST(AudioDevice, DummyDriverRunsTheCallbackAndClosesCleanly) {
  plat::audio::DeviceConfig c;
  c.sdlDriver = "dummy";
  std::string why;
  auto d = plat::audio::Device::open(c, &why);
  ASSERT_TRUE(d) << why;
  // A liveness check only: the clock is the sample count.
  for (int i = 0; i < 2000 && d->framesMixed() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GT(d->framesMixed(), 0u);
  d.reset();
}

TEST(AudioDevice, MissingDriverFailsToOpen) {
  plat::audio::DeviceConfig c;
  c.sdlDriver = "nonexistent";
  std::string why;
  EXPECT_FALSE(plat::audio::Device::open(c, &why));
  EXPECT_FALSE(why.empty());
}

TEST(AudioDevice, SharedDeviceLivesWhileUsed) {
  plat::audio::DeviceConfig c;
  c.backend = plat::audio::Backend::Manual;
  plat::audio::setDefaultDeviceConfig(c);
  auto a = plat::audio::acquireDevice(nullptr);
  auto b = plat::audio::acquireDevice(nullptr);
  EXPECT_EQ(a, b);
  a.reset();
  EXPECT_EQ(plat::audio::currentDevice(), b);
  b.reset();
  EXPECT_FALSE(plat::audio::currentDevice());
  plat::audio::setDefaultDeviceConfig({});
}

TEST(AudioDevice, GainOfMillibels) {
  EXPECT_EQ(plat::audio::millibelsToGain(0), 1.0f);
  EXPECT_EQ(plat::audio::millibelsToGain(-10000), 0.0f);
  EXPECT_NEAR(plat::audio::millibelsToGain(-2000), 0.1f, 1e-6);
}

TEST(MailboxThread, MessagesInOrderThenQuit) {
  plat::MailboxThread t;
  std::vector<std::uint32_t> seen;
  t.start([&seen](plat::MailboxThread& self) {
    plat::Msg m;
    while (self.get(m)) seen.push_back(m.id);
  });
  EXPECT_TRUE(t.post({1, 0, 0}));
  EXPECT_TRUE(t.post({2, 0, 0}));
  EXPECT_TRUE(plat::MailboxThread::waitAllIdle(5000));
  t.postQuit();
  t.join();
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_FALSE(t.post({3, 0, 0}));
}

}  // namespace
