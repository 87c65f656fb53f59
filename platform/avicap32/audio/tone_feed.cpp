// The synthetic camera's audio source for recordings.
#include <new>

#include "audio/audio_feed.h"
#include "core/camera/audio_tone.h"

namespace {

class ToneFeed : public AudioFeed {
 public:
  ToneFeed(const audio::PcmFormat& f, uint32_t microSecPerFrame) : tone_(f, microSecPerFrame) {}
  void TakeFrame(uint64_t frame, std::vector<uint8_t>& out) override { tone_.RenderFrame(frame, out); }
  void Finish(std::vector<uint8_t>& out) override { out.clear(); }
  const char* name() const override { return "camera tone"; }

 private:
  audio::ToneSource tone_;
};

}  // namespace

std::unique_ptr<AudioFeed> OpenToneFeed(const WAVEFORMATEX& format, uint32_t microSecPerFrame) {
  audio::PcmFormat f;
  f.formatTag = format.wFormatTag;
  f.channels = format.nChannels;
  f.samplesPerSec = format.nSamplesPerSec;
  f.avgBytesPerSec = format.nAvgBytesPerSec;
  f.blockAlign = format.nBlockAlign;
  f.bitsPerSample = format.wBitsPerSample;
  if (!audio::IsSupported(f)) return nullptr;
  return std::unique_ptr<AudioFeed>(new (std::nothrow) ToneFeed(f, microSecPerFrame));
}
