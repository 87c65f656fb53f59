// The slots of a recording paced by the camera's own clock (see frame_slots.h).
#include "core/camera/frame_slots.h"

namespace capcore {

// Whole periods from slot next_'s time to `at`: the slots that can no
// longer get a frame.
uint64_t FrameSlots::Lost(uint64_t at) const {
  if (next_ == 0 || at < nextTime_) return 0;
  return (at - nextTime_) / period_;
}

uint64_t FrameSlots::Delivered(uint64_t stamp) {
  uint64_t lost = Lost(stamp);
  if (next_ == 0 || stamp < nextTime_) nextTime_ = stamp;  // the earliest line moves back
  else nextTime_ += lost * period_;
  next_ += lost + 1;
  nextTime_ += period_;
  return lost;
}

uint64_t FrameSlots::Silent(uint64_t now) {
  uint64_t lost = Lost(now);
  next_ += lost;
  nextTime_ += lost * period_;
  return lost;
}

}  // namespace capcore
