// The synthetic camera's audio source for recordings: its samples come by
// time, as a device's would.
#include <new>

#include "audio/audio_feed.h"
#include "audio/audio_formats.h"
#include "core/camera/audio_tone.h"

namespace {

class ToneFeed : public AudioFeed {
 public:
  ToneFeed(const audio::PcmFormat& f, uint32_t microSecPerFrame) : format_(f), tone_(f, microSecPerFrame) {}

  void Take(uint64_t micros, size_t maxBytes, std::vector<uint8_t>& out) override {
    uint64_t due = audio::SamplesIn(micros, format_.samplesPerSec);
    uint64_t count = due > given_ ? due - given_ : 0;
    uint64_t most = maxBytes / format_.blockAlign;
    if (count > most) count = most ? most : 1;
    tone_.Render(given_, count, out);
    given_ += count;
  }
  void Stop() override {}

 private:
  audio::PcmFormat format_;
  audio::ToneSource tone_;
  uint64_t given_ = 0;  // sample frames taken so far
};

}  // namespace

std::unique_ptr<AudioFeed> OpenToneFeed(const WAVEFORMATEX& format, uint32_t microSecPerFrame) {
  audio::PcmFormat f = PcmFromWave(format);
  if (!audio::IsSupported(f)) return nullptr;
  return std::unique_ptr<AudioFeed>(new (std::nothrow) ToneFeed(f, microSecPerFrame));
}
