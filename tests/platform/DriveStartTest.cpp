// Starting the test drive: what it refuses before the player starts, and what it
// switches on for what it is given.
#include "platform/drive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/trace.h"
#include "test_support/TempDir.h"

namespace {

class DriveStart : public ::testing::Test {
 protected:
  void TearDown() override { plat::drive::Stop(); }
  test_support::TempDir tmp_;
};

TEST_F(DriveStart, RefusesWhatItCannotDoNamingTheVariable) {
  const std::string missing = tmp_.path() + "/no/such";
  struct Case {
    std::string keyScript, trace, quitAt, error;
  };
  const Case cases[] = {
      {"", "", "abc", "PELLMOOR_QUIT_AT=abc: not a frame number from 1 on"},
      {"", "", "0", "PELLMOOR_QUIT_AT=0: not a frame number from 1 on"},
      {"", "", "-5", "PELLMOOR_QUIT_AT=-5: not a frame number from 1 on"},
      {missing + "/keys.txt", "", "", "PELLMOOR_KEY_SCRIPT=" + missing + "/keys.txt: cannot be read"},
      {"", missing + "/trace.txt", "", "PELLMOOR_TRACE=" + missing + "/trace.txt: No such file or directory"},
  };
  for (const Case& c : cases) {
    plat::sys::LaunchParams launch;
    launch.keyScript = c.keyScript;
    launch.trace = c.trace;
    launch.quitAt = c.quitAt;
    std::string error;
    EXPECT_FALSE(plat::drive::Start(launch, &error)) << c.error;
    EXPECT_EQ(c.error, error);
    EXPECT_FALSE(plat::trace::Enabled());
    EXPECT_TRUE(plat::isSystemClock());
  }
}

TEST_F(DriveStart, TheFastClockIsForHeadlessRunsAndMovesOnlyWithFrames) {
  plat::sys::LaunchParams launch;
  launch.fast = true;
  ASSERT_TRUE(plat::drive::Start(launch, nullptr));
  EXPECT_FALSE(plat::drive::Fast()) << "a run with a window keeps its pace";
  EXPECT_TRUE(plat::isSystemClock());

  launch.headless = true;
  ASSERT_TRUE(plat::drive::Start(launch, nullptr));
  EXPECT_TRUE(plat::drive::Fast());
  const plat::Millis t0 = plat::clock().nowMs();
  plat::clock().sleepMs(2);  // real time passes; the clock stays
  EXPECT_EQ(t0, plat::clock().nowMs());
  plat::drive::AdvanceClock(16);
  EXPECT_EQ(t0 + 16, plat::clock().nowMs());
  plat::drive::BeginFrame();
  plat::drive::BeginFrame();
  EXPECT_EQ(2u, plat::drive::Frame());
}

TEST_F(DriveStart, WithNothingSetNothingRunsAndFramesAreNotCounted) {
  ASSERT_TRUE(plat::drive::Start(plat::sys::LaunchParams{}, nullptr));
  plat::drive::BeginFrame();
  EXPECT_EQ(0u, plat::drive::Frame());
  EXPECT_FALSE(plat::trace::Enabled());
  EXPECT_FALSE(plat::drive::Fast());
}

}  // namespace
