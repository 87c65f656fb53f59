// The synthetic camera's audio: silence with a short 1 kHz beep at the start
// of every second of video, each beep starting exactly at the first sample of
// its frame, so that audio-to-video sync can be measured in a recording.
#ifndef MORVA_CORE_AUDIO_TONE_H
#define MORVA_CORE_AUDIO_TONE_H

#include <cstdint>
#include <vector>

#include "core/camera/audio_pcm.h"

namespace audio {

class ToneSource {
 public:
  ToneSource(const PcmFormat& format, uint32_t microSecPerFrame);
  // Replaces out with `count` sample frames from sample frame `first` of the
  // recording on: the same samples whichever way the recording is cut up.
  void Render(uint64_t first, uint64_t count, std::vector<uint8_t>& out) const;
  // Replaces out with the samples that belong to video frame n (the span from
  // its start to the start of frame n + 1).
  void RenderFrame(uint64_t frame, std::vector<uint8_t>& out) const;
  uint32_t framesPerBeep() const { return framesPerBeep_; }

 private:
  uint64_t FrameStart(uint64_t frame) const;
  uint64_t BeepOf(uint64_t sample) const;  // the beep (counted from 0) that sample belongs to

  PcmFormat format_;
  uint32_t microSecPerFrame_;
  uint32_t framesPerBeep_;
  uint32_t beepSamples_;
};

}  // namespace audio

#endif
