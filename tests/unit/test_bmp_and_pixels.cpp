// The BMP encoder's bytes and the conversion to the 32-bit display buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/image/bmp_encoder.h"
#include "core/image/frame_synth.h"
#include "core/image/pixel_convert.h"

using namespace capcore;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(BmpEncoder, HeadersDescribeThePaddedBottomUpRows) {
  FrameFormat f{7, 5, 24};
  std::vector<uint8_t> pixels(FrameBytes(f));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(EncodeBmp(f, pixels.data(), pixels.size(), &bmp));
  ASSERT_EQ(bmp.size(), 54u + 24u * 5u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(U32(bmp, 2), bmp.size());   // bfSize
  EXPECT_EQ(U32(bmp, 6), 0u);           // reserved
  EXPECT_EQ(U32(bmp, 10), 54u);         // bfOffBits
  EXPECT_EQ(U32(bmp, 14), 40u);         // biSize
  EXPECT_EQ(U32(bmp, 18), 7u);          // biWidth
  EXPECT_EQ(U32(bmp, 22), 5u);          // biHeight, positive: bottom-up
  EXPECT_EQ(U16(bmp, 26), 1u);          // biPlanes
  EXPECT_EQ(U16(bmp, 28), 24u);         // biBitCount
  EXPECT_EQ(U32(bmp, 30), 0u);          // BI_RGB
  EXPECT_EQ(U32(bmp, 34), 120u);        // biSizeImage
  EXPECT_EQ(U32(bmp, 46), 0u);          // biClrUsed
  EXPECT_EQ(0, std::memcmp(bmp.data() + 54, pixels.data(), pixels.size()));
}

TEST(BmpEncoder, HeadersAloneMatchTheWholeFile) {
  FrameFormat f{5, 3, 16};
  std::vector<uint8_t> pixels(FrameBytes(f), 0x5A), bmp;
  ASSERT_TRUE(EncodeBmp(f, pixels.data(), pixels.size(), &bmp));
  uint8_t headers[54];
  ASSERT_TRUE(EncodeBmpHeaders(f, headers));
  EXPECT_EQ(0, std::memcmp(headers, bmp.data(), sizeof headers));
  EXPECT_FALSE(EncodeBmpHeaders({5, 3, 1}, headers));
}

TEST(BmpEncoder, RefusesShortInputAndBadFormats) {
  FrameFormat f{8, 8, 32};
  std::vector<uint8_t> pixels(FrameBytes(f) - 1), bmp(3, 1);
  EXPECT_FALSE(EncodeBmp(f, pixels.data(), pixels.size(), &bmp));
  EXPECT_TRUE(bmp.empty());
  pixels.resize(FrameBytes(f));
  EXPECT_FALSE(EncodeBmp({8, 8, 4}, pixels.data(), pixels.size(), &bmp));
  EXPECT_FALSE(EncodeBmp(f, nullptr, pixels.size(), &bmp));
  EXPECT_TRUE(EncodeBmp(f, pixels.data(), pixels.size(), &bmp));
  EXPECT_EQ(U16(bmp, 28), 32u);
}

// The whole frame or a part of it (clipped to the frame): the pixels inside
// as the frame has them, those outside left alone.
TEST(PixelConvert, EveryDepthGivesTheSameDisplayPixels) {
  SourceSettings s;
  const FramePart kWhole{0, 0, 1 << 20, 1 << 20};
  const FramePart parts[] = {kWhole, {1, 2, 4, 7}, {-5, -5, 3, 1}, {2, 8, 40, 20}, {3, 3, 3, 9}, {5, 0, 69, 9}};
  // Widths around the four- and sixteen-pixel steps of the 24-bit rows, and
  // their ends; a synthetic picture, then bytes that all differ from their
  // neighbours, so that a byte taken from the wrong place shows.
  for (int width : {1, 2, 3, 4, 5, 8, 16, 17, 33, 47, 70})
    for (int bits : {16, 24, 32})
      for (const FramePart& part : parts)
        for (bool counted : {false, true}) {
          FrameFormat f{width, 9, bits};
          std::vector<uint8_t> frame(FrameBytes(f));
          ASSERT_TRUE(RenderFrame(f, s, 4, 0, frame.data(), frame.size()));
          if (counted)
            for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7 + 3);
          std::vector<uint32_t> display(static_cast<size_t>(width) * 9, 0xDEADBEEF);
          if (&part == &parts[0]) {
            ASSERT_TRUE(ConvertToBgrx32(f, frame.data(), frame.size(), display.data(), display.size()));
          } else {
            ASSERT_TRUE(ConvertToBgrx32(f, frame.data(), frame.size(), display.data(), display.size(), part));
          }
          for (int y = 0; y < 9; ++y)
            for (int x = 0; x < width; ++x) {
              Rgb c;
              ASSERT_TRUE(ReadPixel(f, frame.data(), frame.size(), x, y, &c));
              bool inside = x >= part.x0 && x < part.x1 && y >= part.y0 && y < part.y1;
              uint32_t px = display[static_cast<size_t>(8 - y) * width + x];  // same bottom-up order
              if (inside && bits == 32) px &= 0xFFFFFFu;  // the unused byte is copied as the frame has it
              ASSERT_EQ(px, inside ? static_cast<uint32_t>(c.b | (c.g << 8) | (c.r << 16)) : 0xDEADBEEFu)
                  << bits << "-bit, " << width << " wide, part from " << part.x0 << "," << part.y0 << ", at " << x
                  << "," << y;
            }
        }
}

TEST(PixelConvert, PartsCoverTheirInsides) {
  const FramePart outer{2, 3, 10, 8};
  struct Case {
    FramePart inner;
    bool covered;
  } cases[] = {{{2, 3, 10, 8}, true}, {{4, 4, 5, 5}, true}, {{1, 3, 10, 8}, false},
               {{2, 3, 10, 9}, false}, {{20, 20, 20, 30}, true}, {{0, 0, 100, 100}, false}};
  for (const Case& c : cases) EXPECT_EQ(c.covered, Covers(outer, c.inner)) << c.inner.x0 << "," << c.inner.y1;
  EXPECT_TRUE(Covers(WholeFrame({16, 9, 24}), {0, 0, 16, 9}));
  EXPECT_FALSE(Covers(WholeFrame({16, 9, 24}), {0, 0, 17, 9}));
}

TEST(PixelConvert, BoundsAreChecked) {
  FrameFormat f{4, 4, 24};
  std::vector<uint8_t> frame(FrameBytes(f));
  std::vector<uint32_t> display(15, 7);
  EXPECT_FALSE(ConvertToBgrx32(f, frame.data(), frame.size(), display.data(), display.size()));
  display.assign(16, 7);
  EXPECT_FALSE(ConvertToBgrx32(f, frame.data(), frame.size() - 1, display.data(), 16));
  EXPECT_TRUE(DisplayFits(f, frame.size(), 16));
  EXPECT_FALSE(DisplayFits(f, frame.size(), 15));
  EXPECT_FALSE(DisplayFits(f, frame.size() - 1, 16));
  EXPECT_FALSE(DisplayFits({4, 4, 12}, 1000, 1000));
  for (uint32_t v : display) EXPECT_EQ(v, 7u);
  Rgb c;
  EXPECT_FALSE(ReadPixel(f, frame.data(), frame.size(), 4, 0, &c));
  EXPECT_FALSE(ReadPixel(f, frame.data(), frame.size(), 0, -1, &c));
  EXPECT_FALSE(ReadPixel(f, frame.data(), frame.size() - 1, 0, 0, &c));
}

TEST(PixelConvert, SixteenBitExpandsFiveBitChannelsToFullRange) {
  FrameFormat f{1, 1, 16};
  uint8_t px[4] = {0xFF, 0x7F, 0, 0};  // white in 5-5-5
  Rgb c;
  ASSERT_TRUE(ReadPixel(f, px, sizeof px, 0, 0, &c));
  EXPECT_TRUE(c.r == 255 && c.g == 255 && c.b == 255);
  uint8_t red[4] = {0x00, 0x7C, 0, 0};
  ASSERT_TRUE(ReadPixel(f, red, sizeof red, 0, 0, &c));
  EXPECT_TRUE(c.r == 255 && c.g == 0 && c.b == 0);
}

}  // namespace
