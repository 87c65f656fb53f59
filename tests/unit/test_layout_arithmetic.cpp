// The layout arithmetic: the video frame window's margins and the capture
// window's place inside it.
#include <gtest/gtest.h>

#include <climits>

#include "ui/layout_arithmetic.h"

namespace {

TEST(VideoFramePlacement, KeepsTheMarginsToClientToolbarAndStatusBar) {
  const Placement p = VideoFramePlacement(292, 246, 26, 19);
  EXPECT_EQ(5, p.x);                          // 5 from the left edge
  EXPECT_EQ(26 + 6, p.y);                     // 6 below the toolbar
  EXPECT_EQ(292 - 4, p.x + p.width);          // 4 from the right edge
  EXPECT_EQ(246 - 19 - 5, p.y + p.height);    // 5 above the status bar
}

TEST(VideoFramePlacement, TinyClientAreasGiveNegativeSizesWithoutTrouble) {
  const Placement p = VideoFramePlacement(0, 0, 26, 19);
  EXPECT_EQ(-9, p.width);
  EXPECT_EQ(-56, p.height);
}

TEST(CapturePlacement, SmallerVideoIsCentredAtItsOwnSize) {
  // A frame whose client area is 320 x 240 has the inclusive size 321 x 241.
  const Placement p = CapturePlacement(321, 241, 160, 120);
  EXPECT_EQ(80, p.x);
  EXPECT_EQ(60, p.y);
  EXPECT_EQ(160, p.width);
  EXPECT_EQ(120, p.height);
}

TEST(CapturePlacement, LargerOrEqualVideoFillsTheFrame) {
  const Placement big = CapturePlacement(321, 241, 640, 480);
  EXPECT_EQ(0, big.x);
  EXPECT_EQ(0, big.y);
  EXPECT_EQ(321, big.width);
  EXPECT_EQ(241, big.height);
  const Placement equal = CapturePlacement(321, 241, 321, 241);
  EXPECT_EQ(0, equal.x);
  EXPECT_EQ(321, equal.width);
}

TEST(CapturePlacement, AxesAreIndependent) {
  const Placement wide = CapturePlacement(321, 241, 640, 100);
  EXPECT_EQ(0, wide.x);
  EXPECT_EQ(321, wide.width);
  EXPECT_EQ(70, wide.y);  // (241 - 100) / 2 truncated
  EXPECT_EQ(100, wide.height);
}

TEST(CapturePlacement, OddDifferencesAreHalvedDownward) {
  const Placement p = CapturePlacement(4, 6, 1, 1);
  EXPECT_EQ(1, p.x);  // 3 / 2
  EXPECT_EQ(2, p.y);  // 5 / 2
}

TEST(CapturePlacement, ExtremeSignedFormatValuesDoNotOverflow) {
  // A driver reporting INT_MIN as its width: the difference exceeds int.
  const Placement p = CapturePlacement(321, 241, INT_MIN, INT_MIN);
  EXPECT_EQ(static_cast<int>((321LL - INT_MIN) / 2), p.x);
  EXPECT_EQ(INT_MIN, p.width);
  EXPECT_EQ(static_cast<int>((241LL - INT_MIN) / 2), p.y);
  // A negative (top-down) height is smaller than the frame, so it is centred.
  const Placement topDown = CapturePlacement(321, 241, 160, -120);
  EXPECT_EQ((241 + 120) / 2, topDown.y);
  EXPECT_EQ(-120, topDown.height);
}

}  // namespace

namespace {

TEST(ReachableMainWindow, OffScreenOrOversizedGeometryStaysReachable) {
  // Two monitors side by side; the second's work area leaves a task bar.
  const Placement areas[] = {{0, 0, 1280, 1024}, {1280, 0, 1024, 738}};
  struct Case {
    Placement stored, expected;
  } cases[] = {
      {{40, 60, 420, 333}, {40, 60, 420, 333}},                 // usable: as stored
      {{2000, 500, 200, 200}, {2000, 500, 200, 200}},           // on the second monitor
      {{-100000, 100, 300, 300}, {100, 100, 300, 300}},         // far off every monitor
      {{1280 + 1024, 100, 300, 300}, {100, 100, 300, 300}},     // just past the right edge
      {{-299, -299, 300, 300}, {-299, -299, 300, 300}},         // one pixel still visible
      {{2000, 738, 300, 300}, {100, 100, 300, 300}},            // only below a work area
      {{100, 100, 2147483647, 300}, {100, 100, 2304, 300}},     // no overflow, screen-wide
      {{2147483647, 100, 300, 2147483647}, {100, 100, 300, 300}},
      {{100, 100, 0, -5}, {100, 100, 0, -5}},                   // the window system's minimum
  };
  for (const Case& c : cases) {
    const Placement p = ReachableMainWindow(c.stored, areas, 2, 2304, 1024);
    EXPECT_EQ(c.expected.x, p.x) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(c.expected.y, p.y) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(c.expected.width, p.width) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(c.expected.height, p.height) << c.stored.x << "," << c.stored.y;
  }
  EXPECT_EQ(100, ReachableMainWindow({5, 5, 300, 300}, areas, 0, 2304, 1024).x);  // no monitor
}

}  // namespace
