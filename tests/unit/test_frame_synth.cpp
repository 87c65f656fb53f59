// Frame synthesis: formats, sizes, the moving marker, the stamp, the
// patterns and the adjustments; buffer bounds are respected.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/image/frame_synth.h"
#include "core/image/pixel_convert.h"

using namespace capcore;

namespace {

std::vector<uint8_t> Render(const FrameFormat& f, const SourceSettings& s, uint32_t n, uint32_t t) {
  std::vector<uint8_t> buf(FrameBytes(f), 0xEE);
  EXPECT_TRUE(RenderFrame(f, s, n, t, buf.data(), buf.size()));
  return buf;
}

Rgb At(const FrameFormat& f, const std::vector<uint8_t>& b, int x, int y) {
  Rgb c{1, 2, 3};
  EXPECT_TRUE(ReadPixel(f, b.data(), b.size(), x, y, &c));
  return c;
}

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

TEST(FrameFormatSizes, StridesArePaddedToFourBytes) {
  EXPECT_EQ(FrameStride({7, 5, 24}), 24u);   // 21 -> 24
  EXPECT_EQ(FrameStride({7, 5, 16}), 16u);   // 14 -> 16
  EXPECT_EQ(FrameStride({7, 5, 32}), 28u);
  EXPECT_EQ(FrameBytes({640, 480, 24}), 640u * 480u * 3u);
  EXPECT_EQ(FrameBytes({0, 480, 24}), 0u);
  EXPECT_EQ(FrameBytes({640, 480, 8}), 0u);
  EXPECT_EQ(FrameBytes({5000, 10, 24}), 0u);
}

TEST(FrameSynth, RefusesSmallBuffersAndBadFormatsWithoutWriting) {
  FrameFormat f{16, 8, 24};
  std::vector<uint8_t> buf(FrameBytes(f), 0xEE);
  EXPECT_FALSE(RenderFrame(f, {}, 0, 0, buf.data(), buf.size() - 1));
  EXPECT_FALSE(RenderFrame({16, 8, 12}, {}, 0, 0, buf.data(), buf.size()));
  EXPECT_FALSE(RenderFrame(f, {}, 0, 0, nullptr, buf.size()));
  for (uint8_t v : buf) ASSERT_EQ(v, 0xEE);
}

TEST(FrameSynth, FillsEveryRowIncludingPaddingForOddWidths) {
  for (int bits : {16, 24, 32}) {
    FrameFormat f{7, 5, bits};
    std::vector<uint8_t> buf = Render(f, {}, 3, 0);
    size_t stride = FrameStride(f), used = static_cast<size_t>(7 * bits / 8);
    for (int r = 0; r < 5; ++r)
      for (size_t p = used; p < stride; ++p) EXPECT_EQ(buf[r * stride + p], 0) << bits;
  }
}

TEST(FrameSynth, BarsRunLeftToRightBelowTheStamp) {
  FrameFormat f{320, 240, 24};
  SourceSettings s;
  s.stamp = false;
  std::vector<uint8_t> b = Render(f, s, 100, 0);  // marker away from the bars sampled
  Rgb white = At(f, b, 300 / 8 * 0 + 20, 200);
  Rgb yellow = At(f, b, 60, 200);
  Rgb blue = At(f, b, 260, 200);
  EXPECT_TRUE(white.r == 191 && white.g == 191 && white.b == 191);
  EXPECT_TRUE(yellow.r == 191 && yellow.g == 191 && yellow.b == 0);
  EXPECT_TRUE(blue.r == 0 && blue.g == 0 && blue.b == 191);
  // Every row of the bars is the same.
  EXPECT_TRUE(Same(At(f, b, 60, 0), At(f, b, 60, 239)));
}

TEST(FrameSynth, MarkerMovesWithTheFrameNumber) {
  FrameFormat f{320, 240, 24};
  SourceSettings s;
  s.stamp = false;
  std::vector<uint8_t> a = Render(f, s, 0, 0), b = Render(f, s, 10, 0);
  EXPECT_NE(a, b);
  Rgb m = At(f, a, 1, 120);
  EXPECT_TRUE(m.r == 255 && m.g == 255 && m.b == 255);
  EXPECT_FALSE(Same(At(f, b, 1, 120), m));
  // Frame 10 at 320 wide: the marker starts at x = 50.
  EXPECT_TRUE(Same(At(f, b, 51, 120), m));
  // Frames wrap around instead of running off the picture.
  std::vector<uint8_t> far = Render(f, s, 0xFFFFFFFFu, 0);
  EXPECT_EQ(far.size(), a.size());
}

TEST(FrameSynth, StampShowsFrameAndTime) {
  char text[40];
  EXPECT_EQ(FormatStamp(123, 3723456, text, sizeof text), 23u);
  EXPECT_STREQ(text, "F 000123 T 01:02:03.456");
  char small[6];
  EXPECT_EQ(FormatStamp(123, 0, small, sizeof small), 5u);
  EXPECT_STREQ(small, "F 000");

  FrameFormat f{320, 240, 24};
  SourceSettings s;
  std::vector<uint8_t> a = Render(f, s, 5, 1000), b = Render(f, s, 5, 2000);
  EXPECT_NE(a, b);  // only the time differs
  // The stamp's box is black and its letters white, at the top left.
  Rgb box = At(f, a, 1, 1);
  EXPECT_TRUE(box.r == 0 && box.g == 0 && box.b == 0);
  bool anyWhite = false;
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < 18; ++y) {
      Rgb c = At(f, a, x, y);
      anyWhite = anyWhite || (c.r == 255 && c.g == 255 && c.b == 255);
    }
  EXPECT_TRUE(anyWhite);
  s.stamp = false;
  std::vector<uint8_t> c = Render(f, s, 5, 1000), d = Render(f, s, 5, 2000);
  EXPECT_EQ(c, d);
}

// The first glyph, F, dot by dot at every scale and depth, in frames of
// full height and one cut off inside the box; the box's last column and
// row are black, the picture goes on below it.
TEST(FrameSynth, StampGlyphsAreDrawnDotByDotAtEveryScale) {
  const uint8_t kF[7] = {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10};
  const FrameFormat cases[] = {{160, 120, 24}, {320, 240, 16}, {1920, 1080, 32}, {480, 7, 24}};
  for (const FrameFormat& f : cases) {
    SourceSettings s;
    std::vector<uint8_t> b = Render(f, s, 0, 0);
    int k = f.width / 160 > 1 ? f.width / 160 : 1;
    int boxW = 23 * 6 * k + k, boxH = 9 * k;
    for (int y = 0; y < boxH && y < f.height; ++y) {
      for (int x = 0; x < 7 * k; ++x) {
        int gx = (x - k) / k, gy = (y - k) / k;
        bool dot = x >= k && y >= k && gx < 5 && gy < 7 && (kF[gy] & (0x10 >> gx));
        Rgb c = At(f, b, x, y);
        ASSERT_EQ(dot ? 255 : 0, c.g) << f.width << "x" << f.height << " at " << x << "," << y;
        ASSERT_TRUE(c.r == c.g && c.b == c.g);
      }
      ASSERT_EQ(0, At(f, b, boxW - 1, y).g) << f.width << " row " << y;
    }
    if (boxH < f.height) {
      EXPECT_NE(0, At(f, b, 7 * k, boxH).g) << f.width;  // the white bar
    }
  }
}

TEST(FrameSynth, PatternsDifferAndCheckerAlternates) {
  FrameFormat f{320, 240, 24};
  SourceSettings s;
  s.stamp = false;
  s.pattern = Pattern::Checker;
  std::vector<uint8_t> checker = Render(f, s, 0, 0);
  // 20-pixel blocks: neighbours across a block edge differ, in both directions.
  EXPECT_FALSE(Same(At(f, checker, 100, 50), At(f, checker, 120, 50)));
  EXPECT_FALSE(Same(At(f, checker, 100, 50), At(f, checker, 100, 70)));
  EXPECT_TRUE(Same(At(f, checker, 100, 50), At(f, checker, 120, 70)));
  s.pattern = Pattern::Gradient;
  std::vector<uint8_t> gradient = Render(f, s, 0, 0);
  EXPECT_NE(checker, gradient);
  s.pattern = static_cast<Pattern>(7);  // unknown: bars
  SourceSettings bars;
  bars.stamp = false;
  EXPECT_EQ(Render(f, s, 0, 0), Render(f, bars, 0, 0));
}

TEST(FrameSynth, AdjustmentsAreClampedAndApplied) {
  FrameFormat f{64, 8, 24};
  SourceSettings s;
  s.stamp = false;
  s.brightness = 100;
  Rgb bright = At(f, Render(f, s, 20, 0), 10, 4);  // white bar 191 + 128 -> 255
  EXPECT_EQ(bright.r, 255);
  s.brightness = -1000;  // clamped to -100
  Rgb dark = At(f, Render(f, s, 20, 0), 10, 4);
  EXPECT_EQ(dark.r, 63);
  s.brightness = 0;
  s.contrast = 0;  // everything mid grey
  Rgb flat = At(f, Render(f, s, 20, 0), 40, 4);
  EXPECT_TRUE(flat.r == 128 && flat.g == 128 && flat.b == 128);
  SourceSettings c = ClampSource({Pattern::Bars, 500, -5, true});
  EXPECT_EQ(c.brightness, 100);
  EXPECT_EQ(c.contrast, 0);
}

// Frames of 4 MiB and more are copied row by row past the cache; rows whose
// starts are not 16-byte aligned begin and end with plain copies. Their
// picture is the one a small frame of the same width has: the top rows
// (the stamp's) byte for byte, and every row, stamp off, one of the small
// frame's rows.
TEST(FrameSynth, LargeFramesHoldTheSmallFramesRows) {
  for (int bits : {24, 32}) {
    FrameFormat big{1366, 1024, bits}, small{1366, 200, bits};
    ASSERT_GE(FrameBytes(big), 4u << 20);
    size_t stride = FrameStride(big);
    SourceSettings s;
    s.pattern = Pattern::Checker;
    for (bool stamp : {true, false}) {
      s.stamp = stamp;
      std::vector<uint8_t> b = Render(big, s, 7, 1234), m = Render(small, s, 7, 1234);
      // Memory row r is picture row height-1-r.
      auto bigRow = [&](int y) { return std::vector<uint8_t>(b.begin() + (1023 - y) * stride, b.begin() + (1024 - y) * stride); };
      auto smallRow = [&](int y) { return std::vector<uint8_t>(m.begin() + (199 - y) * stride, m.begin() + (200 - y) * stride); };
      if (stamp) {
        for (int y = 0; y < 200; ++y) ASSERT_EQ(bigRow(y), smallRow(y)) << bits << "-bit, picture row " << y;
        continue;
      }
      std::vector<std::vector<uint8_t>> kinds;
      for (int y = 0; y < 200; ++y)
        if (std::find(kinds.begin(), kinds.end(), smallRow(y)) == kinds.end()) kinds.push_back(smallRow(y));
      ASSERT_EQ(kinds.size(), 2u);
      for (int y = 0; y < 1024; ++y)
        ASSERT_NE(std::find(kinds.begin(), kinds.end(), bigRow(y)), kinds.end()) << bits << "-bit, picture row " << y;
    }
  }
}

TEST(FrameSynth, TheSameFrameInEveryDepth) {
  SourceSettings s;
  s.stamp = false;
  std::vector<uint8_t> b24 = Render({40, 10, 24}, s, 0, 0), b32 = Render({40, 10, 32}, s, 0, 0),
                       b16 = Render({40, 10, 16}, s, 0, 0);
  for (int x = 0; x < 40; ++x) {
    Rgb c24 = At({40, 10, 24}, b24, x, 3), c32 = At({40, 10, 32}, b32, x, 3),
        c16 = At({40, 10, 16}, b16, x, 3);
    EXPECT_TRUE(Same(c24, c32)) << x;
    EXPECT_LE(std::abs(c16.r - c24.r), 7) << x;
    EXPECT_LE(std::abs(c16.b - c24.b), 7) << x;
  }
}

}  // namespace
