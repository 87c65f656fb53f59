// The stream formats and codes of an AVI file as the writer takes them:
// the video frame format (a bitmap header's fields), the audio format (a wave
// format's fields), the chunk codes and the index flags.
#ifndef MORVA_CORE_AVI_FORMAT_H
#define MORVA_CORE_AVI_FORMAT_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/riff/riff_writer.h"

namespace avi {

constexpr uint32_t kRiff = riff::FourCC('R', 'I', 'F', 'F');
constexpr uint32_t kList = riff::FourCC('L', 'I', 'S', 'T');
constexpr uint32_t kJunk = riff::FourCC('J', 'U', 'N', 'K');
constexpr uint32_t kVideoUncompressed = riff::FourCC('0', '0', 'd', 'b');
constexpr uint32_t kVideoCompressed = riff::FourCC('0', '0', 'd', 'c');
constexpr uint32_t kAudioChunk = riff::FourCC('0', '1', 'w', 'b');

constexpr uint32_t kAvihHasIndex = 0x10;       // AVIF_HASINDEX
constexpr uint32_t kAvihIsInterleaved = 0x100; // AVIF_ISINTERLEAVED
constexpr uint32_t kAvihTrustCkType = 0x800;   // AVIF_TRUSTCKTYPE
constexpr uint32_t kIndexKeyFrame = 0x10;      // AVIIF_KEYFRAME
constexpr uint32_t kWaveFormatPcm = 1;         // WAVE_FORMAT_PCM

struct VideoFormat {
  int32_t width = 0;
  int32_t height = 0;            // positive: bottom-up rows
  uint16_t bitCount = 24;
  uint32_t compression = 0;      // 0: uncompressed RGB, else the codec's code
  uint32_t sizeImage = 0;        // bytes of one uncompressed frame (or the largest compressed)
  uint32_t clrUsed = 0;
  uint32_t handler = 0;          // the compressor's code in the stream header
  std::vector<uint8_t> extra;    // palette or codec data after the 40-byte header
};

struct AudioFormat {
  uint16_t formatTag = kWaveFormatPcm;
  uint16_t channels = 1;
  uint32_t samplesPerSec = 11025;
  uint32_t avgBytesPerSec = 11025;
  uint16_t blockAlign = 1;
  uint16_t bitsPerSample = 8;
  std::vector<uint8_t> extra;    // bytes after the 18-byte header (non-PCM)
};

struct InfoItem {
  uint32_t fourcc;
  std::vector<uint8_t> data;     // as given (text with its terminator)
};

}  // namespace avi

#endif
