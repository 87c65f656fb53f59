// Windows bitmap (BMP) files from frames: a 14-byte file header, a 40-byte
// info header and the bottom-up rows padded to 4 bytes, as written by
// SAVEDIB. The encoder builds the whole file in memory.
#ifndef MORVA_CAPCORE_BMP_ENCODER_H
#define MORVA_CAPCORE_BMP_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/image/frame_format.h"

namespace capcore {

enum { kBmpFileHeaderSize = 14, kBmpInfoHeaderSize = 40 };

// Fills `out` with the file; false (out emptied) when the format is
// unsupported or `size` is smaller than the frame.
bool EncodeBmp(const FrameFormat& format, const uint8_t* pixels, size_t size,
               std::vector<uint8_t>* out);

// Fills the 54 bytes that precede the rows in the file (file header and
// info header), so that a writer can send the rows straight from the frame.
// False for an unsupported format.
bool EncodeBmpHeaders(const FrameFormat& format, uint8_t* out54);

// Writes the 40-byte info header (BITMAPINFOHEADER layout, little endian).
void WriteInfoHeader(const FrameFormat& format, uint8_t* out40);

}  // namespace capcore

#endif
