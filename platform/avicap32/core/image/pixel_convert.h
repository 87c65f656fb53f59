// Pixel conversions: a frame in any camera format to the 32-bit display
// buffer (B, G, R, unused), and single-pixel reads for tests and tools.
#ifndef MORVA_CAPCORE_PIXEL_CONVERT_H
#define MORVA_CAPCORE_PIXEL_CONVERT_H

#include <cstddef>
#include <cstdint>

#include "core/image/frame_format.h"

namespace capcore {

// A part of a frame: columns x0 <= x < x1 of the picture rows y0 <= y < y1,
// rows counted from the top of the picture. Empty when x1 <= x0 or y1 <= y0.
struct FramePart {
  int x0, y0, x1, y1;
};
FramePart WholeFrame(const FrameFormat& format);
// True when every pixel of `inner` is in `outer` (an empty `inner` is).
bool Covers(const FramePart& outer, const FramePart& inner);

// True when `srcSize` bytes hold a frame of `format` (16, 24 or 32-bit)
// and `dstPixels` its display copy.
bool DisplayFits(const FrameFormat& format, size_t srcSize, size_t dstPixels);

// Converts a frame into `dst` (width * height 32-bit pixels, same
// bottom-up row order): all of it, or only `part` (clipped to the frame),
// leaving the other pixels as they are. False, writing nothing, when a
// size does not fit.
bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels);
bool ConvertToBgrx32(const FrameFormat& format, const uint8_t* src, size_t srcSize,
                     uint32_t* dst, size_t dstPixels, FramePart part);

struct Rgb {
  uint8_t r, g, b;
};
// The colour at (x, y), y counted from the top of the picture. False when
// outside the picture or the buffer.
bool ReadPixel(const FrameFormat& format, const uint8_t* frame, size_t size, int x, int y,
               Rgb* out);

}  // namespace capcore

#endif
