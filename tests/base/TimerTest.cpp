#include "base/Timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::installClock(&clock_);
    ResetTimers();
  }
  void TearDown() override {
    plat::installClock(nullptr);
    ResetTimers();
  }
  // Calls LimitFrameRate once a millisecond from..to and lists the times it said yes.
  std::vector<plat::Millis> Frames(int rate, plat::Millis from, plat::Millis to) {
    std::vector<plat::Millis> yes;
    for (plat::Millis t = from; t != to + 1; ++t) {
      clock_.setMs(t);
      if (LimitFrameRate(rate)) yes.push_back(t);
    }
    return yes;
  }
  plat::FakeClock clock_;
};

TEST_F(TimerTest, FrameClockReleasesRateFramesASecond) {
  // Frame k is due k * 1000 / rate ms (whole ms) after the first.
  EXPECT_EQ(Frames(60, 1000, 1070), (std::vector<plat::Millis>{1000, 1016, 1033, 1050, 1066}));
  ResetTimers();
  EXPECT_EQ(Frames(30, 0, 100), (std::vector<plat::Millis>{0, 33, 66, 100}));
  for (int rate : {60, 50, 30, 144, 7}) {
    ResetTimers();
    EXPECT_EQ(Frames(rate, 0, 9999).size(), static_cast<std::size_t>(rate) * 10) << rate;
  }
}

TEST_F(TimerTest, RateZeroNeverWaits) {
  clock_.setMs(5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(LimitFrameRate(0));
}

TEST_F(TimerTest, ALateFrameIsNotMadeUp) {
  clock_.setMs(1000);
  EXPECT_TRUE(LimitFrameRate(60));
  clock_.setMs(1056);  // 40 ms of work past the due time
  EXPECT_TRUE(LimitFrameRate(60));
  EXPECT_FALSE(LimitFrameRate(60));  // no second frame to catch up
  EXPECT_EQ(FrameTimeLeft(), 17u);   // the second period of 60 a second
  EXPECT_EQ(Frames(60, 1057, 1073), std::vector<plat::Millis>{1073});
}

TEST_F(TimerTest, FrameClockSurvivesTheWrapOfTheMillisecondClock) {
  EXPECT_EQ(Frames(60, 0xFFFFFFF8u, 0xFFFFFFFFu), std::vector<plat::Millis>{0xFFFFFFF8u});
  EXPECT_EQ(FrameTimeLeft(), 9u);
  EXPECT_EQ(Frames(60, 0, 9), std::vector<plat::Millis>{8});
}

TEST_F(TimerTest, CountFramesCountsToNAndResets) {
  CountFrames(0, 0);
  EXPECT_EQ(CountFrames(2, 0), 1);
  std::vector<int> got;
  for (int i = 0; i < 6; ++i) got.push_back(CountFrames(1, 3));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 1, 0, 0, 1}));
  CountFrames(1, 3);
  EXPECT_EQ(CountFrames(2, 0), 0);
  EXPECT_EQ(CountFrames(0, 0), 0);
  EXPECT_EQ(CountFrames(2, 0), 1);
}

TEST_F(TimerTest, CountFpsPublishesTheLastCompleteSecond) {
  // One call every 10 ms: the first window counts 100 calls, later ones 99, because the
  // call that closes a window is counted in neither.
  std::vector<int> published;
  for (plat::Millis t = 0; t <= 3000; t += 10) {
    clock_.setMs(t);
    int fps = CountFps();
    if (t == 990 || t == 1000 || t == 2000 || t == 3000) published.push_back(fps);
  }
  EXPECT_EQ(published, (std::vector<int>{0, 100, 99, 99}));
}

TEST_F(TimerTest, ElapsedTimeIsAnUnsignedDifference) {
  clock_.setMs(0xFFFFFFFEu);
  StartTimer();
  clock_.setMs(5);
  EXPECT_EQ(ElapsedTime(), 7u);
}

}  // namespace
