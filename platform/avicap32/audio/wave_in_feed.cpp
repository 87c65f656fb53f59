// Recording audio from the system's wave input device: a ring of buffers of
// a quarter second each, polled as the recording goes, no callback thread.
#include <cstring>
#include <new>

#include "audio/audio_feed.h"

namespace {

class WaveInFeed : public AudioFeed {
 public:
  ~WaveInFeed() override { Close(); }

  bool Open(const WAVEFORMATEX& format) {
    WAVEFORMATEX f = format;
    f.cbSize = 0;
    if (waveInGetNumDevs() == 0) return false;
    if (waveInOpen(&in_, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
      in_ = nullptr;
      return false;
    }
    DWORD quarter = f.nAvgBytesPerSec / 4;
    DWORD align = f.nBlockAlign ? f.nBlockAlign : 1;
    DWORD size = quarter - quarter % align;
    if (size == 0) size = align;
    for (int i = 0; i < kBuffers; ++i) {
      data_[i].assign(size, 0);
      WAVEHDR& h = hdr_[i];
      std::memset(&h, 0, sizeof h);
      h.lpData = reinterpret_cast<LPSTR>(data_[i].data());
      h.dwBufferLength = size;
      if (waveInPrepareHeader(in_, &h, sizeof h) != MMSYSERR_NOERROR ||
          waveInAddBuffer(in_, &h, sizeof h) != MMSYSERR_NOERROR) {
        Close();
        return false;
      }
    }
    if (waveInStart(in_) != MMSYSERR_NOERROR) {
      Close();
      return false;
    }
    return true;
  }

  void Take(uint64_t, size_t maxBytes, std::vector<uint8_t>& out) override {
    out.clear();
    Collect(out, maxBytes);
  }

  void Stop() override {
    if (!in_ || stopped_) return;
    waveInStop(in_);
    waveInReset(in_);  // marks every buffer done, with what it holds
    stopped_ = true;
  }

 private:
  static const int kBuffers = 8;

  // The buffers done, in order, while they fit in maxBytes (one at least);
  // each goes back to the device until it is stopped (then, no longer done,
  // it is never taken again).
  void Collect(std::vector<uint8_t>& out, size_t maxBytes) {
    if (!in_) return;
    for (int k = 0; k < kBuffers; ++k) {
      WAVEHDR& h = hdr_[next_];
      if (!(h.dwFlags & WHDR_DONE)) break;
      if (!out.empty() && out.size() + h.dwBytesRecorded > maxBytes) break;
      out.insert(out.end(), data_[next_].begin(), data_[next_].begin() + h.dwBytesRecorded);
      h.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
      h.dwBytesRecorded = 0;
      if (!stopped_) waveInAddBuffer(in_, &h, sizeof h);
      next_ = (next_ + 1) % kBuffers;
    }
  }

  void Close() {
    if (!in_) return;
    waveInReset(in_);
    for (int i = 0; i < kBuffers; ++i)
      if (hdr_[i].dwFlags & WHDR_PREPARED) waveInUnprepareHeader(in_, &hdr_[i], sizeof hdr_[i]);
    waveInClose(in_);
    in_ = nullptr;
  }

  HWAVEIN in_ = nullptr;
  WAVEHDR hdr_[kBuffers]{};
  std::vector<uint8_t> data_[kBuffers];
  int next_ = 0;
  bool stopped_ = false;
};

}  // namespace

std::unique_ptr<AudioFeed> OpenWaveInFeed(const WAVEFORMATEX& format) {
  std::unique_ptr<WaveInFeed> feed(new (std::nothrow) WaveInFeed);
  if (!feed || !feed->Open(format)) return nullptr;
  return feed;
}
