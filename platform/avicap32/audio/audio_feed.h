// audio/: the audio sources of a recording (AudioFeed): the system's wave
// input device, or the synthetic camera's beeps locked to the frames. Both
// give the audio of the time that has passed: a recording takes it as it
// goes, in pieces of a bounded size.
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
  // Replaces out with audio of the recording's first `micros` microseconds
  // that no earlier take gave, in whole blocks and about `maxBytes` at the
  // most; empty when there is no more for now. A device gives what it has
  // recorded, whatever `micros` says.
  virtual void Take(uint64_t micros, size_t maxBytes, std::vector<uint8_t>& out) = 0;
  // Ends the input; later takes give what it still holds.
  virtual void Stop() = 0;
};

// The system's wave input device in the given format; null when there is
// none or it does not take the format.
std::unique_ptr<AudioFeed> OpenWaveInFeed(const WAVEFORMATEX& format);
// The synthetic camera's beeps, one at the start of every second of frames.
std::unique_ptr<AudioFeed> OpenToneFeed(const WAVEFORMATEX& format, uint32_t microSecPerFrame);

#endif
