// Beeps locked to the video frames.
#include "core/camera/audio_tone.h"

#include <cmath>

namespace audio {

ToneSource::ToneSource(const PcmFormat& format, uint32_t microSecPerFrame)
    : format_(format), microSecPerFrame_(microSecPerFrame ? microSecPerFrame : 1) {
  uint32_t fps = (1000000u + microSecPerFrame_ / 2) / microSecPerFrame_;
  framesPerBeep_ = fps ? fps : 1;
  beepSamples_ = format_.samplesPerSec / 20;  // 50 ms
}

uint64_t ToneSource::FrameStart(uint64_t frame) const {
  return SamplesBeforeFrame(frame, microSecPerFrame_, format_.samplesPerSec);
}

uint64_t ToneSource::BeepOf(uint64_t sample) const {
  // An estimate from the sample's time, then set right against the frames'
  // exact first samples (it is off by one frame at the most).
  uint64_t frame = sample * 1000000u / format_.samplesPerSec / microSecPerFrame_;
  while (FrameStart(frame + 1) <= sample) ++frame;
  while (frame > 0 && FrameStart(frame) > sample) --frame;
  return frame / framesPerBeep_;
}

void ToneSource::Render(uint64_t first, uint64_t count, std::vector<uint8_t>& out) const {
  uint64_t beep = BeepOf(first);
  uint64_t beepFrom = FrameStart(beep * framesPerBeep_);
  uint64_t nextBeep = FrameStart((beep + 1) * framesPerBeep_);
  size_t bytesPerSample = format_.bitsPerSample / 8;
  out.assign(static_cast<size_t>(count) * format_.blockAlign, 0);
  const double step = 2.0 * 3.14159265358979323846 * 1000.0 / format_.samplesPerSec;
  for (size_t i = 0; i < count; ++i) {
    uint64_t sample = first + i;
    while (sample >= nextBeep) {
      beepFrom = nextBeep;
      nextBeep = FrameStart((++beep + 1) * framesPerBeep_);
    }
    uint64_t sinceBeep = sample - beepFrom;
    double v = sinceBeep < beepSamples_ ? 0.5 * std::sin(step * static_cast<double>(sinceBeep)) : 0.0;
    for (uint16_t c = 0; c < format_.channels; ++c) {
      uint8_t* p = out.data() + i * format_.blockAlign + c * bytesPerSample;
      if (bytesPerSample == 1) {
        *p = static_cast<uint8_t>(128 + static_cast<int>(std::lround(v * 127.0)));
      } else {
        int16_t s = static_cast<int16_t>(std::lround(v * 32767.0));
        p[0] = static_cast<uint8_t>(s & 0xFF);
        p[1] = static_cast<uint8_t>((s >> 8) & 0xFF);
      }
    }
  }
}

void ToneSource::RenderFrame(uint64_t frame, std::vector<uint8_t>& out) const {
  uint64_t first = FrameStart(frame);
  Render(first, FrameStart(frame + 1) - first, out);
}

}  // namespace audio
