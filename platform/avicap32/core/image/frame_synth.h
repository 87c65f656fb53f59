// core/image/: frame formats, the synthetic pictures, pixel conversion and BMP (portable).
// Frame synthesis of the synthetic cameras: a test pattern with a moving
// marker, the frame counter and a running time stamp drawn in, so that
// motion and dropped frames can be seen. Renders straight into a caller's
// buffer in the requested format; allocates nothing per frame.
#ifndef MORVA_CAPCORE_FRAME_SYNTH_H
#define MORVA_CAPCORE_FRAME_SYNTH_H

#include <cstddef>
#include <cstdint>

#include "core/camera/camera_config.h"
#include "core/image/frame_format.h"

namespace capcore {

// What the source dialog adjusts.
struct SourceSettings {
  Pattern pattern = Pattern::Bars;
  int brightness = 0;    // -100..100, added to every channel
  int contrast = 100;    // 0..200 percent around mid grey
  bool stamp = true;     // draw the frame counter and time stamp
};

// Clamps the adjustments into their ranges.
SourceSettings ClampSource(const SourceSettings& s);

// Renders frame `frameNumber` at `timeMs` into `out` (FrameBytes(format)
// bytes, bottom-up rows). Returns false, writing nothing, when the format is
// unsupported or `outSize` is too small.
bool RenderFrame(const FrameFormat& format, const SourceSettings& source,
                 uint32_t frameNumber, uint32_t timeMs, uint8_t* out, size_t outSize);

// The stamp text drawn in: "F 000123 T 00:01:02.345" (frame, h:mm:ss.mmm).
// Writes at most size bytes, terminated; returns the text length.
size_t FormatStamp(uint32_t frameNumber, uint32_t timeMs, char* buf, size_t size);

}  // namespace capcore

#endif
