// Conversion of camera frames to the 32-bit display buffer.
#include "core/image/pixel_convert.h"

#include <cstring>

#include "core/image/pixel_io.h"

namespace capcore {

bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels) {
  size_t stride = FrameStride(format);
  if (stride == 0 || src == nullptr || dst == nullptr) return false;
  size_t w = static_cast<size_t>(format.width), h = static_cast<size_t>(format.height);
  if (srcSize < stride * h || dstPixels < w * h) return false;
  if (format.bitCount == 32) {
    std::memcpy(dst, src, w * h * 4);
    return true;
  }
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* row = src + y * stride;
    uint32_t* out = dst + y * w;
    if (format.bitCount == 24) {
      for (size_t x = 0; x < w; ++x) {
        const uint8_t* p = row + x * 3;
        out[x] = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16);
      }
    } else {
      for (size_t x = 0; x < w; ++x) {
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
