// The frame headers the Motion JPEG codec (platform/mjpeg) is handed, read
// with overflow-safe arithmetic: which uncompressed frames it takes and how
// their rows lie, which compressed frames it decodes, and how large a JPEG
// of a frame can get. Also the one pixel conversion it needs (16-bit 5-5-5
// rows to 24-bit ones). Every header field comes from a caller and may lie.
#ifndef MORVA_CAPCORE_DIB_LAYOUT_H
#define MORVA_CAPCORE_DIB_LAYOUT_H

#include <cstddef>
#include <cstdint>

namespace capcore {

// The fields of a BITMAPINFOHEADER that matter here.
struct DibFields {
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down rows
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;  // 0 allowed for uncompressed frames
};

struct DibLayout {
  int width = 0;
  int height = 0;  // always positive
  int bitCount = 0;
  bool topDown = false;
  size_t stride = 0;  // bytes per row, padded to 4
  size_t bytes = 0;   // stride * height
};

// The largest side and frame the codec takes (JPEG itself stops at 65,535).
const int kMaxDibSide = 16384;
const size_t kMaxDibBytes = size_t{512} << 20;

// An uncompressed (BI_RGB) frame of 16, 24 or 32 bits: false for anything
// else, for sizes of 0 or past the limits, and for a sizeImage smaller than
// the rows need.
bool ReadRgbLayout(const DibFields& f, DibLayout* out);
// A compressed frame with the given code (its case ignored): positive
// sizes within the limits, 24 bits (or 0), and sizeImage large enough.
bool ReadCompressedSize(const DibFields& f, uint32_t fourcc, int* width, int* height);
// The most bytes a baseline 4:2:0 JPEG of a frame can take.
uint32_t JpegBound(int width, int height);
// `width` 5-5-5 pixels (little-endian) to B, G, R bytes, each channel
// widened so that 31 becomes 255.
void Rgb555ToBgr24(const uint8_t* src, int width, uint8_t* dst);

}  // namespace capcore

#endif
