// Compressing the frames of one recording with the chosen compressor.
#ifndef MORVA_AVICAP32_RECORDING_COMPRESSION_SESSION_H
#define MORVA_AVICAP32_RECORDING_COMPRESSION_SESSION_H

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "core/riff/avi_format.h"
#include "common/no_copy.h"

class CompressionSession : NoCopy {
 public:
  ~CompressionSession();

  // True when `chosen` names a real compressor ("uncompressed" is none).
  static bool Wanted(const COMPVARS& chosen, bool have);
  // Starts on frames of `input`; false when the compressor refuses.
  bool Start(const COMPVARS& chosen, const BITMAPINFOHEADER& input);
  // The stream format of the compressed frames.
  avi::VideoFormat OutputFormat() const;
  // Compresses one frame; null on failure.
  const void* Compress(void* bits, uint32_t* size, bool* key);

 private:
  COMPVARS cv_{};
  BITMAPINFO in_{};
  bool started_ = false;
  bool keyFramesOnly_ = false;  // a compressor without inter-frame coding
};

#endif
