// audio/: the audio sources of a recording (AudioFeed): the system's wave
// input device, or the synthetic camera's beeps locked to the frames.
#ifndef MORVA_AVICAP32_AUDIO_AUDIO_FEED_H
#define MORVA_AVICAP32_AUDIO_AUDIO_FEED_H

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <vector>

class AudioFeed {
 public:
  virtual ~AudioFeed() = default;
  // Replaces out with the audio that belongs with video frame n (a device:
  // what has arrived since the last call).
  virtual void TakeFrame(uint64_t frame, std::vector<uint8_t>& out) = 0;
  // Ends the input; out receives what is still buffered.
  virtual void Finish(std::vector<uint8_t>& out) = 0;
};

// The system's wave input device in the given format; null when there is
// none or it does not take the format.
std::unique_ptr<AudioFeed> OpenWaveInFeed(const WAVEFORMATEX& format);
// The synthetic camera's beeps.
std::unique_ptr<AudioFeed> OpenToneFeed(const WAVEFORMATEX& format, uint32_t microSecPerFrame);

#endif
