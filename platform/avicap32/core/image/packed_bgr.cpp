// Packed bgr24 frames into the service's frame format (see packed_bgr.h).
#include "core/image/packed_bgr.h"

#include <cstring>

#include "core/image/pixel_io.h"

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
  size_t rowBytes = static_cast<size_t>(f.width) * 3, pixelBytes = static_cast<size_t>(f.bitCount / 8);
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* src = packed + static_cast<size_t>(y) * rowBytes;
    uint8_t* dst = out + static_cast<size_t>(f.height - 1 - y) * stride;  // bottom-up
    size_t used = rowBytes;
    if (f.bitCount == 24) {
      std::memcpy(dst, src, rowBytes);
    } else {
      for (int x = 0; x < f.width; ++x, src += 3) PutPixel(dst + static_cast<size_t>(x) * pixelBytes, f.bitCount, src[2], src[1], src[0]);
      used = static_cast<size_t>(f.width) * pixelBytes;
    }
    std::memset(dst + used, 0, stride - used);
  }
  return true;
}

}  // namespace capcore
