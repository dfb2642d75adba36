#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, ReachedHoldsAcrossTheWrap) {
  struct Case {
    plat::Millis now, deadline;
    bool reached;
  };
  const Case cases[] = {
      {100, 100, true},       {99, 100, false},
      {101, 100, true},       {0xFFFFFFF0u, 8, false},  // just before the wrap, the deadline lies after it
      {8, 0xFFFFFFF0u, true},                           // just after the wrap, the deadline has passed
      {0, 0xFFFFFFFFu, true},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::reached(c.now, c.deadline), c.reached) << c.now << " " << c.deadline;
}

TEST(Clock, FakeClockIsInstalledAndMovesOnlyWhenTold) {
  plat::FakeClock fake(1000);
  EXPECT_TRUE(plat::isSystemClock());
  plat::installClock(&fake);
  EXPECT_FALSE(plat::isSystemClock());
  EXPECT_EQ(plat::clock().nowMs(), 1000u);
  plat::clock().sleepMs(5);
  EXPECT_EQ(plat::clock().nowMs(), 1000u);
  fake.autoAdvanceOnSleep(true);
  plat::clock().sleepMs(5);
  EXPECT_EQ(plat::clock().nowMs(), 1005u);
  fake.setMs(0xFFFFFFFFu);
  fake.advance(2);
  EXPECT_EQ(plat::clock().nowMs(), 0xFFFFFFFFu + 2u);  // the millisecond view wraps
  plat::installClock(nullptr);
  EXPECT_TRUE(plat::isSystemClock());
}

TEST(Clock, SystemClockSleepsAtLeastTheTimeAsked) {
  std::uint64_t before = plat::clock().nowNs();
  plat::clock().sleepMs(3);
  EXPECT_GE(plat::clock().nowNs() - before, 3000000u);
}

}  // namespace
