// The self-timer's elapsed time, gauge numbers and the moment of the shot.
#include <gtest/gtest.h>

#include <climits>

#include "capture/countdown_arithmetic.h"

namespace {

TEST(CountdownArithmetic, ElapsedTimeSurvivesTheTickCountWrap) {
  EXPECT_EQ(2500, ElapsedMs(12500u, 10000u));
  EXPECT_EQ(3001, ElapsedMs(1000u, 0xFFFFFFFFu - 2000u));  // started 2001 ms before the wrap
  EXPECT_EQ(-5, ElapsedMs(10u, 15u));
  EXPECT_EQ(INT_MIN, ElapsedMs(0x80000000u, 0u));
}

TEST(CountdownArithmetic, GaugeNumbersAndTheirBitmaps) {
  struct Case { int elapsedMs, gauge, bitmap; };
  const Case cases[] = {
      {0, 121, 121},     {999, 121, 121},    {1000, 122, 122},  {2999, 123, 123},
      {3000, 124, 124},  {9999, 130, 130},   {10000, 131, 130},  // past GO: GO stays
      {25000, 146, 130}, {-999, 121, 121},   {-1000, 120, 121},  // never the unused full bar
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.gauge, GaugeNumber(c.elapsedMs)) << c.elapsedMs;
    EXPECT_EQ(c.bitmap, GaugeBitmap(GaugeNumber(c.elapsedMs))) << c.elapsedMs;
  }
}

TEST(CountdownArithmetic, TheShotNeedsStrictlyMoreThanTheSelfTimer) {
  EXPECT_FALSE(ShotIsDue(3000, 3));
  EXPECT_TRUE(ShotIsDue(3001, 3));
  EXPECT_FALSE(ShotIsDue(INT_MAX, INT_MAX));  // a huge SelfTimer from the file does not overflow
  EXPECT_TRUE(ShotIsDue(1, 0));
  EXPECT_TRUE(ShotIsDue(0, -1));
}

}  // namespace
