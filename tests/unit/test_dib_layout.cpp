// The frame headers the Motion JPEG codec takes, refuses and how large its
// JPEGs may get: row layout of every depth and order, the limits with
// overflow-safe arithmetic, and the 5-5-5 widening.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/image/dib_layout.h"

using capcore::DibFields;
using capcore::DibLayout;

namespace {

DibFields Rgb(int32_t w, int32_t h, uint16_t bits, uint32_t sizeImage = 0) {
  DibFields f;
  f.width = w;
  f.height = h;
  f.bitCount = bits;
  f.sizeImage = sizeImage;
  return f;
}

const uint32_t kMjpg = 'M' | ('J' << 8) | ('P' << 16) | (static_cast<uint32_t>('G') << 24);

}  // namespace

TEST(DibLayout, TakesRgbFramesOfEveryDepthAndOrder) {
  struct Case {
    DibFields f;
    size_t stride, bytes;
    bool topDown;
  } cases[] = {
      {Rgb(640, 480, 24), 1920, 1920 * 480, false},
      {Rgb(321, 241, 24), 964, 964 * 241, false},  // rows padded to 4 bytes
      {Rgb(321, -241, 32), 1284, 1284 * 241, true},
      {Rgb(3, 2, 16), 8, 16, false},
      {Rgb(16384, 8192, 32, 16384u * 4 * 8192), 65536, size_t{65536} * 8192, false},  // exactly the limit
      {Rgb(2, 2, 24, 1000), 8, 16, false},  // a larger sizeImage is fine
  };
  for (const Case& c : cases) {
    DibLayout l;
    ASSERT_TRUE(capcore::ReadRgbLayout(c.f, &l)) << c.f.width << "x" << c.f.height;
    EXPECT_EQ(c.stride, l.stride);
    EXPECT_EQ(c.bytes, l.bytes);
    EXPECT_EQ(c.topDown, l.topDown);
    EXPECT_GT(l.height, 0);
  }
}

TEST(DibLayout, RefusesWhatItCannotTake) {
  DibFields planes = Rgb(8, 8, 24), compressed = Rgb(8, 8, 24);
  planes.planes = 2;
  compressed.compression = kMjpg;
  const DibFields cases[] = {
      Rgb(0, 8, 24),        Rgb(8, 0, 24),         Rgb(-8, 8, 24),         Rgb(8, 8, 8),
      Rgb(8, 8, 15),        Rgb(8, 8, 48),         Rgb(16385, 8, 24),      Rgb(8, 16385, 24),
      Rgb(INT32_MAX, 1, 32), Rgb(1, INT32_MIN, 32), Rgb(16384, 16384, 32),  // 1 GiB: past the limit
      Rgb(640, 480, 24, 921599),  // sizeImage one byte short of the rows
      planes,               compressed,
  };
  for (const DibFields& f : cases) {
    DibLayout l;
    EXPECT_FALSE(capcore::ReadRgbLayout(f, &l)) << f.width << "x" << f.height << "x" << f.bitCount;
  }
}

TEST(DibLayout, CompressedFramesOfTheCodeInAnyCase) {
  DibFields f = Rgb(640, 480, 24);
  f.compression = kMjpg;
  int w = 0, h = 0;
  EXPECT_TRUE(capcore::ReadCompressedSize(f, kMjpg, &w, &h));
  EXPECT_EQ(640, w);
  EXPECT_EQ(480, h);
  f.compression = 'm' | ('j' << 8) | ('p' << 16) | (static_cast<uint32_t>('g') << 24);
  EXPECT_TRUE(capcore::ReadCompressedSize(f, kMjpg, &w, &h));
  struct Bad {
    int32_t w, h;
    uint16_t bits;
    uint32_t compression;
  } bad[] = {{640, -480, 24, kMjpg}, {0, 480, 24, kMjpg}, {70000, 480, 24, kMjpg},
             {640, 480, 16, kMjpg},  {640, 480, 24, 0},   {16384, 16384, 24, kMjpg}};
  for (const Bad& b : bad) {
    DibFields g = Rgb(b.w, b.h, b.bits);
    g.compression = b.compression;
    EXPECT_FALSE(capcore::ReadCompressedSize(g, kMjpg, &w, &h)) << b.w << "x" << b.h << "x" << b.bits;
  }
}

TEST(DibLayout, JpegBoundCoversPaddedBlocksAndHeaders) {
  EXPECT_EQ(16u * 16 * 3 + 2048, capcore::JpegBound(1, 1));
  EXPECT_EQ(656u * 480 * 3 + 2048, capcore::JpegBound(641, 480));
  EXPECT_EQ(16384u * 16384 * 3 + 2048, capcore::JpegBound(16384, 16384));  // still within 32 bits
}

TEST(DibLayout, WidensFiveBitChannels) {
  const uint8_t src[] = {0xFF, 0x7F, 0x00, 0x00, 0x1F, 0x7C};  // white, black, red + blue
  uint8_t dst[9];
  capcore::Rgb555ToBgr24(src, 3, dst);
  const uint8_t want[] = {255, 255, 255, 0, 0, 0, 255, 0, 255};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(want[i], dst[i]) << i;
}
