// Conversion of camera frames to the 32-bit display buffer.
#include "core/image/pixel_convert.h"

#include <cstring>

#include "core/image/pixel_io.h"

namespace capcore {
namespace {

uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// One 24-bit row: four pixels (12 bytes) are read as three words at a time,
// which runs about three times faster than a byte at a time (the live
// picture converts every frame it shows).
void Bgr24Row(const uint8_t* row, uint32_t* out, size_t w) {
  size_t x = 0;
  for (; x + 4 <= w; x += 4, row += 12) {
    uint32_t a = LoadLe32(row), b = LoadLe32(row + 4), c = LoadLe32(row + 8);
    out[x] = a & 0xFFFFFFu;
    out[x + 1] = (a >> 24) | ((b & 0xFFFFu) << 8);
    out[x + 2] = (b >> 16) | ((c & 0xFFu) << 16);
    out[x + 3] = c >> 8;
  }
  for (; x < w; ++x, row += 3)
    out[x] = static_cast<uint32_t>(row[0]) | (static_cast<uint32_t>(row[1]) << 8) | (static_cast<uint32_t>(row[2]) << 16);
}

}  // namespace

FramePart WholeFrame(const FrameFormat& format) { return FramePart{0, 0, format.width, format.height}; }

bool Covers(const FramePart& outer, const FramePart& inner) {
  if (inner.x1 <= inner.x0 || inner.y1 <= inner.y0) return true;
  return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels) {
  return ConvertToBgrx32(format, src, srcSize, dst, dstPixels, WholeFrame(format));
}

bool DisplayFits(const FrameFormat& format, size_t srcSize, size_t dstPixels) {
  size_t stride = FrameStride(format);
  size_t w = static_cast<size_t>(format.width), h = static_cast<size_t>(format.height);
  return stride != 0 && srcSize >= stride * h && dstPixels >= w * h;
}

bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels, FramePart part) {
  if (src == nullptr || dst == nullptr || !DisplayFits(format, srcSize, dstPixels)) return false;
  size_t stride = FrameStride(format);
  size_t w = static_cast<size_t>(format.width), h = static_cast<size_t>(format.height);
  size_t x0 = part.x0 > 0 ? static_cast<size_t>(part.x0) : 0, y0 = part.y0 > 0 ? static_cast<size_t>(part.y0) : 0;
  size_t x1 = part.x1 > 0 ? static_cast<size_t>(part.x1) : 0, y1 = part.y1 > 0 ? static_cast<size_t>(part.y1) : 0;
  if (x1 > w) x1 = w;
  if (y1 > h) y1 = h;
  // Picture row y is memory row h-1-y.
  for (size_t y = y0; y < y1 && x0 < x1; ++y) {
    const uint8_t* row = src + (h - 1 - y) * stride;
    uint32_t* out = dst + (h - 1 - y) * w;
    if (format.bitCount == 32) {
      std::memcpy(out + x0, row + x0 * 4, (x1 - x0) * 4);
    } else if (format.bitCount == 24) {
      Bgr24Row(row + x0 * 3, out + x0, x1 - x0);
    } else {
      for (size_t x = x0; x < x1; ++x) {
        uint8_t r, g, b;
        GetPixel(row + x * 2, 16, &r, &g, &b);
        out[x] = static_cast<uint32_t>(b) | (static_cast<uint32_t>(g) << 8) |
                 (static_cast<uint32_t>(r) << 16);
      }
    }
  }
  return true;
}

bool ReadPixel(const FrameFormat& format, const uint8_t* frame, size_t size, int x, int y,
               Rgb* out) {
  size_t stride = FrameStride(format);
  if (stride == 0 || frame == nullptr || out == nullptr) return false;
  if (x < 0 || y < 0 || x >= format.width || y >= format.height) return false;
  if (size < stride * static_cast<size_t>(format.height)) return false;
  size_t row = static_cast<size_t>(format.height - 1 - y);
  const uint8_t* p = frame + row * stride + static_cast<size_t>(x) * (format.bitCount / 8);
  GetPixel(p, format.bitCount, &out->r, &out->g, &out->b);
  return true;
}

}  // namespace capcore
