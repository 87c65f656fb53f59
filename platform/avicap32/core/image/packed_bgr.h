// Frames as ffmpeg sends them (packed bgr24, top-down rows, no row padding)
// into the capture service's frame format (bottom-up rows padded to 4 bytes,
// at 16, 24 or 32 bits).
#ifndef MORVA_CAPCORE_PACKED_BGR_H
#define MORVA_CAPCORE_PACKED_BGR_H

#include <cstddef>
#include <cstdint>

#include "core/image/frame_format.h"

namespace capcore {

// Bytes of one packed bgr24 frame of `f`'s size; 0 for an unsupported format.
size_t PackedBgrBytes(const FrameFormat& f);

// Converts a packed frame (PackedBgrBytes(f) bytes) into `out`
// (FrameBytes(f) bytes). False, writing nothing, when a size does not fit.
bool ImportPackedBgr(const FrameFormat& f, const uint8_t* packed, size_t packedSize, uint8_t* out,
                     size_t outSize);

}  // namespace capcore

#endif
