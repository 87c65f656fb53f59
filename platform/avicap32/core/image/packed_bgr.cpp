// Packed bgr24 frames into the service's frame format (see packed_bgr.h).
#include "core/image/packed_bgr.h"

#include <cstring>

namespace capcore {

size_t PackedBgrBytes(const FrameFormat& f) {
  if (!IsSupportedFormat(f)) return 0;
  return static_cast<size_t>(f.width) * static_cast<size_t>(f.height) * 3;
}

bool ImportPackedBgr(const FrameFormat& f, const uint8_t* packed, size_t packedSize, uint8_t* out,
                     size_t outSize) {
  size_t need = PackedBgrBytes(f), stride = FrameStride(f);
  if (need == 0 || packed == nullptr || out == nullptr || packedSize < need || outSize < FrameBytes(f))
    return false;
  size_t rowBytes = static_cast<size_t>(f.width) * 3;
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* src = packed + static_cast<size_t>(y) * rowBytes;
    uint8_t* dst = out + static_cast<size_t>(f.height - 1 - y) * stride;  // bottom-up
    if (f.bitCount == 24) {
      std::memcpy(dst, src, rowBytes);
      std::memset(dst + rowBytes, 0, stride - rowBytes);
      continue;
    }
    for (int x = 0; x < f.width; ++x) {
      const uint8_t* p = src + x * 3;
      if (f.bitCount == 32) {
        uint8_t* q = dst + x * 4;
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
        q[3] = 0;
      } else {  // 16: x-5-5-5
        unsigned v = ((p[2] >> 3u) << 10) | ((p[1] >> 3u) << 5) | (p[0] >> 3u);
        dst[x * 2] = static_cast<uint8_t>(v & 0xFF);
        dst[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
      }
    }
    size_t used = static_cast<size_t>(f.width) * (f.bitCount / 8);
    std::memset(dst + used, 0, stride - used);
  }
  return true;
}

}  // namespace capcore
