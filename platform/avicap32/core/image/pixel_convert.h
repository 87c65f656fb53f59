// Pixel conversions: a frame in any camera format to the 32-bit display
// buffer (B, G, R, unused), and single-pixel reads for tests and tools.
#ifndef MORVA_CAPCORE_PIXEL_CONVERT_H
#define MORVA_CAPCORE_PIXEL_CONVERT_H

#include <cstddef>
#include <cstdint>

#include "core/image/frame_format.h"

namespace capcore {

// Converts a whole frame into `dst` (width * height 32-bit pixels, same
// bottom-up row order). False, writing nothing, when a size does not fit.
bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels);

struct Rgb {
  uint8_t r, g, b;
};
// The colour at (x, y), y counted from the top of the picture. False when
// outside the picture or the buffer.
bool ReadPixel(const FrameFormat& format, const uint8_t* frame, size_t size, int x, int y,
               Rgb* out);

}  // namespace capcore

#endif
