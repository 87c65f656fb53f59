// Row and frame sizes of the camera picture formats.
#include "core/image/frame_format.h"

namespace capcore {

bool IsSupportedFormat(const FrameFormat& f) {
  if (f.width < 1 || f.width > 4096 || f.height < 1 || f.height > 4096) return false;
  return f.bitCount == 16 || f.bitCount == 24 || f.bitCount == 32;
}

size_t FrameStride(const FrameFormat& f) {
  if (!IsSupportedFormat(f)) return 0;
  size_t bits = static_cast<size_t>(f.width) * static_cast<size_t>(f.bitCount);
  return ((bits + 31) / 32) * 4;
}

size_t FrameBytes(const FrameFormat& f) {
  return FrameStride(f) * static_cast<size_t>(f.height > 0 ? f.height : 0);
}

}  // namespace capcore
