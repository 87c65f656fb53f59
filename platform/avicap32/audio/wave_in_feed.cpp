// Recording audio from the system's wave input device: a ring of buffers
// polled once per frame, no callback thread.
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

  void TakeFrame(uint64_t, std::vector<uint8_t>& out) override {
    out.clear();
    Collect(out, true);
  }

  void Finish(std::vector<uint8_t>& out) override {
    out.clear();
    if (!in_) return;
    waveInStop(in_);
    waveInReset(in_);  // marks every buffer done
    Collect(out, false);
    Close();
  }

 private:
  static const int kBuffers = 8;

  void Collect(std::vector<uint8_t>& out, bool requeue) {
    if (!in_) return;
    for (int k = 0; k < kBuffers; ++k) {
      WAVEHDR& h = hdr_[next_];
      if (!(h.dwFlags & WHDR_DONE)) break;
      out.insert(out.end(), data_[next_].begin(), data_[next_].begin() + h.dwBytesRecorded);
      h.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
      h.dwBytesRecorded = 0;
      if (requeue) waveInAddBuffer(in_, &h, sizeof h);
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
};

}  // namespace

std::unique_ptr<AudioFeed> OpenWaveInFeed(const WAVEFORMATEX& format) {
  std::unique_ptr<WaveInFeed> feed(new (std::nothrow) WaveInFeed);
  if (!feed || !feed->Open(format)) return nullptr;
  return feed;
}
