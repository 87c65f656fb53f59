// The clock that paces a recording: real time, or a virtual clock that
// jumps to each frame's time instead of waiting for it (MORVA_AVICAP_CLOCK,
// so that tests which do not test timing run faster than real time).
#ifndef MORVA_AVICAP32_RECORDING_PACING_CLOCK_H
#define MORVA_AVICAP32_RECORDING_PACING_CLOCK_H

#include <windows.h>

#include <cstdint>
#include <memory>

constexpr uint64_t kMicrosPerSecond = 1000000;

class PacingClock {
 public:
  virtual ~PacingClock() = default;
  // Microseconds since the recording started.
  virtual uint64_t Micros() const = 0;
  // Waits `micros` at the most, less when `wake` is set or, with
  // `messages`, when a message arrives for this thread.
  virtual void Wait(uint64_t micros, HANDLE wake, bool messages) = 0;
};

std::unique_ptr<PacingClock> MakePacingClock(bool virtualTime);

#endif
