// PCM format checks and the audio-to-frame arithmetic.
#include "core/camera/audio_pcm.h"

namespace audio {
namespace {

const uint32_t kMinSamplesPerSec = 8000;
const uint32_t kMaxSamplesPerSec = 96000;  // the highest rate of the compressed formats (GSM 6.10)

}  // namespace

PcmFormat DefaultFormat() { return MakePcm(11025, 8, 1); }

PcmFormat MakePcm(uint32_t samplesPerSec, uint16_t bitsPerSample, uint16_t channels) {
  PcmFormat f;
  f.formatTag = 1;
  f.channels = channels;
  f.samplesPerSec = samplesPerSec;
  f.bitsPerSample = bitsPerSample;
  f.blockAlign = static_cast<uint16_t>(channels * (bitsPerSample / 8));
  f.avgBytesPerSec = samplesPerSec * f.blockAlign;
  return f;
}

bool IsSupported(const PcmFormat& f) {
  if (f.formatTag != 1) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  if (f.samplesPerSec < kMinSamplesPerSec || f.samplesPerSec > kMaxSamplesPerSec) return false;
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) return false;
  return f.avgBytesPerSec == f.samplesPerSec * f.blockAlign;
}

uint64_t SamplesIn(uint64_t micros, uint32_t samplesPerSec) {
  // The product with the rate is split to stay exact.
  return (micros / 1000000u) * samplesPerSec + (micros % 1000000u) * samplesPerSec / 1000000u;
}

uint64_t SamplesBeforeFrame(uint64_t frame, uint32_t microSecPerFrame, uint32_t samplesPerSec) {
  // frame * microSecPerFrame fits 64 bits for any recording of this world.
  return SamplesIn(frame * microSecPerFrame, samplesPerSec);
}

}  // namespace audio
