// The JPEG work of the codec, done by libjpeg-turbo: one uncompressed frame
// to a baseline 4:2:0 JPEG in a buffer of the caller, and a JPEG back to
// 24- or 32-bit rows. libjpeg's errors end the call, never the process.
#ifndef MORVA_MJPEG_JPEG_CODEC_H
#define MORVA_MJPEG_JPEG_CODEC_H

#include <cstddef>
#include <cstdint>

#include "core/image/dib_layout.h"

namespace mjpeg {

// JPEG quality 1..100 from the video compression manager's 0..10000.
int JpegQuality(uint32_t quality);

// Encodes the frame `bits` laid out as `in` into `out` (capacity bytes);
// the JPEG's length, or 0 when it failed or did not fit.
uint32_t EncodeFrame(const capcore::DibLayout& in, const uint8_t* bits, int jpegQuality, uint8_t* out,
                     uint32_t capacity);

// Decodes `size` bytes of JPEG into rows laid out as `out` (24 or 32 bits);
// false when the data is no JPEG of that size.
bool DecodeFrame(const uint8_t* data, size_t size, const capcore::DibLayout& out, uint8_t* bits);

}  // namespace mjpeg

#endif
