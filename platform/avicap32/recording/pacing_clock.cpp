// The real and the virtual pacing clocks (see pacing_clock.h).
#include "recording/pacing_clock.h"

namespace {

class RealClock : public PacingClock {
 public:
  RealClock() {
    QueryPerformanceFrequency(&freq_);
    QueryPerformanceCounter(&start_);
    timeBeginPeriod(1);
  }
  ~RealClock() override { timeEndPeriod(1); }

  uint64_t Micros() const override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint64_t ticks = static_cast<uint64_t>(now.QuadPart - start_.QuadPart);
    uint64_t f = static_cast<uint64_t>(freq_.QuadPart);
    return ticks / f * kMicrosPerSecond + ticks % f * kMicrosPerSecond / f;
  }

  void Wait(uint64_t micros, HANDLE wake, bool messages) override {
    DWORD ms = static_cast<DWORD>(micros / 1000);
    DWORD handles = wake ? 1 : 0;
    if (messages) MsgWaitForMultipleObjects(handles, &wake, FALSE, ms, QS_ALLINPUT);
    else if (wake) WaitForSingleObject(wake, ms);
    else Sleep(ms);
  }

 private:
  LARGE_INTEGER freq_{}, start_{};
};

class VirtualClock : public PacingClock {
 public:
  uint64_t Micros() const override { return now_; }
  void Wait(uint64_t micros, HANDLE, bool) override { now_ += micros; }

 private:
  uint64_t now_ = 0;
};

}  // namespace

std::unique_ptr<PacingClock> MakePacingClock(bool virtualTime) {
  if (virtualTime) return std::unique_ptr<PacingClock>(new VirtualClock);
  return std::unique_ptr<PacingClock>(new RealClock);
}
