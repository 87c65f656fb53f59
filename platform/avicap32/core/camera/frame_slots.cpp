// The slots of a recording paced by the camera's own clock (see frame_slots.h).
#include "core/camera/frame_slots.h"

namespace capcore {

namespace {

// The lag, in whole periods, from which a frame's slot counts as lost.
const uint64_t kToleratedPeriods = 2;

}  // namespace

// Whole periods from slot next_'s time to `at`, once they reach
// `fromPeriods`: the slots that can no longer get a frame.
uint64_t FrameSlots::Lost(uint64_t at, uint64_t fromPeriods) const {
  if (next_ == 0 || at < nextTime_) return 0;
  uint64_t periods = (at - nextTime_) / period_;
  return periods >= fromPeriods ? periods : 0;
}

uint64_t FrameSlots::Delivered(uint64_t stamp) {
  uint64_t lost = Lost(stamp, silent_ ? 1 : kToleratedPeriods);
  silent_ = false;
  if (next_ == 0 || stamp < nextTime_) nextTime_ = stamp;  // the earliest line moves back
  else nextTime_ += lost * period_;
  next_ += lost + 1;
  nextTime_ += period_;
  return lost;
}

// Each slot two periods after its time: the last period stays open for a
// frame held up on its way.
uint64_t FrameSlots::Silent(uint64_t now) {
  uint64_t lost = Lost(now, kToleratedPeriods);
  if (lost > 0) --lost;
  if (lost > 0) silent_ = true;
  next_ += lost;
  nextTime_ += lost * period_;
  return lost;
}

}  // namespace capcore
