// The synthetic camera's audio source for recordings.
#include <new>

#include "audio/audio_feed.h"
#include "audio/audio_formats.h"
#include "core/camera/audio_tone.h"

namespace {

class ToneFeed : public AudioFeed {
 public:
  ToneFeed(const audio::PcmFormat& f, uint32_t microSecPerFrame) : tone_(f, microSecPerFrame) {}
  void TakeFrame(uint64_t frame, std::vector<uint8_t>& out) override { tone_.RenderFrame(frame, out); }
  void Finish(std::vector<uint8_t>& out) override { out.clear(); }

 private:
  audio::ToneSource tone_;
};

}  // namespace

std::unique_ptr<AudioFeed> OpenToneFeed(const WAVEFORMATEX& format, uint32_t microSecPerFrame) {
  audio::PcmFormat f = PcmFromWave(format);
  if (!audio::IsSupported(f)) return nullptr;
  return std::unique_ptr<AudioFeed>(new (std::nothrow) ToneFeed(f, microSecPerFrame));
}
