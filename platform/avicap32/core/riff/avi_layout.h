// Byte layout shared by the AVI writer's files (avi_writer.cpp,
// avi_headers.cpp): header and index sizes and the offsets of the fields
// that are patched when the counts are known.
#ifndef MORVA_CORE_AVI_LAYOUT_H
#define MORVA_CORE_AVI_LAYOUT_H

#include <cstdint>

#include "core/riff/riff_writer.h"

namespace avi {
namespace layout {

using riff::FourCC;

constexpr uint32_t kDmlhBody = 248;
constexpr uint32_t kStdIndexHeader = 24;   // fields after the chunk header, before the entries
constexpr uint32_t kSuperIndexHeader = 24;
constexpr uint32_t kNotKeyFrame = 0x80000000u;

// Field offsets, from the start of the chunk's header.
constexpr uint64_t kAvihTotalFrames = 8 + 16;
constexpr uint64_t kAvihSuggestedBufferSize = 8 + 28;
constexpr uint64_t kStrhLength = 8 + 32;
constexpr uint64_t kStrhSuggestedBufferSize = 8 + 36;

inline uint32_t Clamp32(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

}  // namespace layout
}  // namespace avi

#endif
