// Frame headers of the Motion JPEG codec, read with overflow-safe arithmetic.
#include "core/image/dib_layout.h"

namespace capcore {

namespace {

const uint32_t kBiRgb = 0;

bool SideOk(int64_t side) { return side > 0 && side <= kMaxDibSide; }

uint32_t LowerCase(uint32_t fourcc) {
  uint32_t r = 0;
  for (int i = 0; i < 4; ++i) {
    uint32_t c = (fourcc >> (8 * i)) & 0xFF;
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    r |= c << (8 * i);
  }
  return r;
}

uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

bool ReadRgbLayout(const DibFields& f, DibLayout* out) {
  if (f.compression != kBiRgb || f.planes != 1) return false;
  if (f.bitCount != 16 && f.bitCount != 24 && f.bitCount != 32) return false;
  const int64_t h = f.height < 0 ? -static_cast<int64_t>(f.height) : f.height;
  if (!SideOk(f.width) || !SideOk(h)) return false;
  // Both sides are at most 16384, so these fit in 64 bits with room.
  const uint64_t stride = (static_cast<uint64_t>(f.width) * f.bitCount + 31) / 32 * 4;
  const uint64_t bytes = stride * static_cast<uint64_t>(h);
  if (bytes > kMaxDibBytes) return false;
  if (f.sizeImage != 0 && f.sizeImage < bytes) return false;
  out->width = f.width;
  out->height = static_cast<int>(h);
  out->bitCount = f.bitCount;
  out->topDown = f.height < 0;
  out->stride = static_cast<size_t>(stride);
  out->bytes = static_cast<size_t>(bytes);
  return true;
}

bool ReadCompressedSize(const DibFields& f, uint32_t fourcc, int* width, int* height) {
  if (LowerCase(f.compression) != LowerCase(fourcc) || f.planes != 1) return false;
  if (f.bitCount != 24 && f.bitCount != 0) return false;
  if (!SideOk(f.width) || !SideOk(f.height)) return false;
  if (static_cast<uint64_t>(f.width) * static_cast<uint64_t>(f.height) * 4 > kMaxDibBytes) return false;
  *width = f.width;
  *height = f.height;
  return true;
}

uint32_t JpegBound(int width, int height) {
  // 4:2:0 pads to 16 x 16 blocks; at most 3 bytes a pixel (libjpeg-turbo's
  // own bound) and room for the headers and tables.
  const uint64_t w = (static_cast<uint64_t>(width) + 15) / 16 * 16;
  const uint64_t h = (static_cast<uint64_t>(height) + 15) / 16 * 16;
  const uint64_t bound = w * h * 3 + 2048;
  return bound > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bound);
}

void Rgb555ToBgr24(const uint8_t* src, int width, uint8_t* dst) {
  for (int x = 0; x < width; ++x) {
    const unsigned v = static_cast<unsigned>(src[2 * x]) | (static_cast<unsigned>(src[2 * x + 1]) << 8);
    dst[3 * x] = Widen5(v & 31);
    dst[3 * x + 1] = Widen5((v >> 5) & 31);
    dst[3 * x + 2] = Widen5((v >> 10) & 31);
  }
}

}  // namespace capcore
