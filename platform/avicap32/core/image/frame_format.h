// Picture formats of the synthetic cameras: uncompressed bottom-up RGB rows
// padded to 4 bytes, at 16 (5-5-5), 24 or 32 bits per pixel. Shared by frame
// synthesis, pixel conversion and the BMP encoder.
#ifndef MORVA_CAPCORE_FRAME_FORMAT_H
#define MORVA_CAPCORE_FRAME_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace capcore {

struct FrameFormat {
  int width = 0;
  int height = 0;
  int bitCount = 24;  // 16, 24 or 32
};

// True for a format this code can make and convert: sizes 1..4096, depths 16/24/32.
bool IsSupportedFormat(const FrameFormat& f);
// Bytes per row including the padding to a multiple of 4; 0 for an unsupported format.
size_t FrameStride(const FrameFormat& f);
// Bytes of a whole frame; 0 for an unsupported format.
size_t FrameBytes(const FrameFormat& f);

}  // namespace capcore

#endif
