// The slots of a recording paced by a camera with its own clock. Each frame
// the camera sends goes into the next slot, so none is recorded twice and
// none is skipped however its arrival jitters; a slot is dropped only when
// the camera sent nothing for it: when its next frame comes, or the time
// is, a whole period or more past that slot's time.
//
// A slot's time counts from the earliest arrival seen so far (the first
// frame, moved back whenever a frame comes earlier than its slot's time),
// so that a frame late by less than a period against that line is on time.
// Times are microseconds on the camera's clock; only their differences count.
#ifndef MORVA_AVICAP32_CORE_CAMERA_FRAME_SLOTS_H
#define MORVA_AVICAP32_CORE_CAMERA_FRAME_SLOTS_H

#include <cstdint>

namespace capcore {

class FrameSlots {
 public:
  explicit FrameSlots(uint64_t periodMicros) : period_(periodMicros > 0 ? periodMicros : 1) {}
  // A frame sent at `stamp`: the slots to write as dropped before it; the
  // frame itself goes into the slot after them.
  uint64_t Delivered(uint64_t stamp);
  // No frame sent by `now`: the slots to write as dropped now (a frame that
  // came now would be placed after them).
  uint64_t Silent(uint64_t now);
  // The slot the next frame goes into.
  uint64_t next() const { return next_; }

 private:
  uint64_t Lost(uint64_t at) const;

  uint64_t period_;
  uint64_t next_ = 0;
  uint64_t nextTime_ = 0;  // the time of slot next_; valid once a frame came
};

}  // namespace capcore

#endif
