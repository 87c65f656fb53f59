// The slots of a recording paced by a camera's own clock, fed by a stand-in
// camera whose frame times are set by the test (jitter, stalls, a clock a
// little fast or slow), and taken by a recording that looks at a steady
// poll interval: every frame sent is written once and in order, and only
// slots the camera sent nothing for are written as dropped.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/camera/frame_slots.h"

namespace {

const uint64_t kPeriod = 33333;  // 30 frames/s

struct Camera {
  double periodMicros = kPeriod;  // its own clock's frame period
  int jitterPercent = 0;          // each frame late or early by up to this share of a period
  int stallFrom = -1, stallFrames = 0;  // frames it never sends
  int frames = 300;
  int heldUp = -1;               // a frame held up on its way (those after it queue behind it)
  double heldUpPeriods = 0;
};

// The times the camera sends its frames (-1 for those it never sends), the
// jitter drawn from a fixed sequence so that every run is the same.
std::vector<int64_t> SendTimes(const Camera& c) {
  std::vector<int64_t> times;
  uint32_t seed = 12345;
  for (int i = 0; i < c.frames; ++i) {
    seed = seed * 1103515245u + 12345u;
    int spread = static_cast<int>((seed >> 16) % 201) - 100;  // -100..100
    double jitter = c.periodMicros * c.jitterPercent / 100.0 * spread / 100.0;
    bool stalled = i >= c.stallFrom && i < c.stallFrom + c.stallFrames;
    double at = 1000000 + i * c.periodMicros + jitter + (i == c.heldUp ? c.heldUpPeriods * c.periodMicros : 0);
    int64_t previous = -1;
    for (auto t = times.rbegin(); t != times.rend() && previous < 0; ++t) previous = *t;
    if (!stalled && at < previous) at = static_cast<double>(previous);  // a stream keeps its order
    times.push_back(stalled ? -1 : static_cast<int64_t>(at));
  }
  return times;
}

// What the recording writes, slot by slot: the camera's frame number, or
// -1 for a dropped slot. It looks every `pollMicros` and a last time at
// `endMicros`.
std::vector<int> Record(const std::vector<int64_t>& sent, uint64_t pollMicros, uint64_t endMicros) {
  capcore::FrameSlots slots(kPeriod);
  std::vector<int> written;
  size_t taken = 0;
  for (uint64_t now = 1000000;; now += pollMicros) {
    if (now > endMicros) now = endMicros;
    bool any = false;
    // The frames sent since the last look, in the order they came.
    for (; taken < sent.size() && (sent[taken] < 0 || static_cast<uint64_t>(sent[taken]) <= now); ++taken) {
      if (sent[taken] < 0) continue;
      written.insert(written.end(), slots.Delivered(static_cast<uint64_t>(sent[taken])), -1);
      written.push_back(static_cast<int>(taken));
      any = true;
    }
    if (!any) written.insert(written.end(), slots.Silent(now), -1);
    if (now == endMicros) break;
  }
  EXPECT_EQ(slots.next(), written.size());
  return written;
}

// Until the camera's last frame.
uint64_t LastSent(const std::vector<int64_t>& sent) {
  int64_t last = 0;
  for (int64_t t : sent) last = t > last ? t : last;
  return static_cast<uint64_t>(last);
}

int Count(const std::vector<int>& written, int what) {
  int n = 0;
  for (int w : written) n += w == what ? 1 : 0;
  return n;
}

TEST(FrameSlots, EveryFrameSentIsWrittenOnceInOrder) {
  struct Case {
    const char* name;
    Camera camera;
    uint64_t poll;
    int dropped;  // slots written as dropped
  } cases[] = {
      {"steady", {kPeriod, 0, -1, 0, 300}, 1000, 0},
      {"40 % jitter, looked at often", {kPeriod, 40, -1, 0, 300}, 1000, 0},
      {"40 % jitter, looked at seldom", {kPeriod, 40, -1, 0, 300}, 100000, 0},
      {"45 % jitter", {kPeriod, 45, -1, 0, 300}, 5000, 0},
      {"a clock 1 % fast", {kPeriod * 0.99, 40, -1, 0, 300}, 5000, 0},
      {"a stall of a second", {kPeriod, 40, 100, 30, 300}, 5000, 30},
      {"a stall of a second, looked at seldom", {kPeriod, 20, 100, 30, 300}, 100000, 30},
      {"a frame held up 1.5 periods", {kPeriod, 20, -1, 0, 300, 150, 1.5}, 2000, 0},
      {"a frame held up 1.9 periods, looked at seldom", {kPeriod, 5, -1, 0, 300, 150, 1.9}, 50000, 0},
      {"one frame never sent: the lag of a period is kept", {kPeriod, 40, 100, 1, 300}, 5000, 0},
      {"two frames never sent", {kPeriod, 40, 100, 2, 300}, 5000, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int64_t> sent = SendTimes(c.camera);
    std::vector<int> written = Record(sent, c.poll, LastSent(sent));
    int sentCount = c.camera.frames - c.camera.stallFrames;
    EXPECT_EQ(Count(written, -1), c.dropped);
    EXPECT_EQ(static_cast<int>(written.size()), sentCount + c.dropped);
    int last = -1;
    for (int w : written) {
      if (w < 0) continue;
      EXPECT_GT(w, last);  // in order, none twice
      last = w;
    }
  }
}

TEST(FrameSlots, ADroppedSlotStandsWhereTheStallWas) {
  Camera c{kPeriod, 30, 100, 30, 300};
  std::vector<int64_t> sent = SendTimes(c);
  std::vector<int> written = Record(sent, 2000, LastSent(sent));
  ASSERT_EQ(written.size(), 300u);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(written[static_cast<size_t>(i)], i >= 100 && i < 130 ? -1 : i) << i;
}

TEST(FrameSlots, ACameraThatFallsSilentHasItsSlotsDroppedAsTimeGoesOn) {
  Camera c{kPeriod, 10, 200, 100, 300};  // nothing after frame 199
  std::vector<int> written = Record(SendTimes(c), 10000, 1000000 + 300 * kPeriod);
  // Each slot is given up two periods after its time: the last ones may still wait.
  EXPECT_GE(written.size(), 298u);
  EXPECT_LE(written.size(), 300u);
  EXPECT_EQ(Count(written, -1), static_cast<int>(written.size()) - 200);
  EXPECT_EQ(written[199], 199);
}

TEST(FrameSlots, ACameraClockASlowOneDropsOnlyWhatItNeverSent) {
  Camera c{kPeriod * 1.01, 0, -1, 0, 297};  // 297 frames in the time of 300 slots
  std::vector<int64_t> sent = SendTimes(c);
  std::vector<int> written = Record(sent, 1000, LastSent(sent));
  EXPECT_EQ(Count(written, -1), static_cast<int>(written.size()) - 297);
  EXPECT_LE(Count(written, -1), 3);
}

}  // namespace
