// PCM audio formats of the capture service: which ones its audio sources
// take, the default one, and the sample arithmetic that keeps audio locked to
// the video frames.
#ifndef MORVA_CORE_AUDIO_PCM_H
#define MORVA_CORE_AUDIO_PCM_H

#include <cstdint>

namespace audio {

struct PcmFormat {
  uint16_t formatTag = 1;  // WAVE_FORMAT_PCM
  uint16_t channels = 1;
  uint32_t samplesPerSec = 11025;
  uint32_t avgBytesPerSec = 11025;
  uint16_t blockAlign = 1;
  uint16_t bitsPerSample = 8;
};

// PCM, 11,025 Hz, 8 bits, mono.
PcmFormat DefaultFormat();
// A PCM format with the given layout and its derived fields filled in.
PcmFormat MakePcm(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels);
// PCM with 8 or 16 bits, 1 or 2 channels, 8,000 to 96,000 Hz, and block
// alignment and byte rate that agree with them.
bool IsSupported(const PcmFormat& f);

// Sample frames in the first `micros` microseconds of a recording.
uint64_t SamplesIn(uint64_t micros, uint32_t samplesPerSec);
// Sample frames from the start of the recording to the start of video frame n.
uint64_t SamplesBeforeFrame(uint64_t frame, uint32_t microSecPerFrame, uint32_t samplesPerSec);

}  // namespace audio

#endif
