// The slots of a recording paced by a camera with its own clock. Each frame
// the camera sends goes into the next slot, so none is recorded twice and
// none is skipped however its arrival jitters; slots are dropped only for
// what the camera did not send.
//
// A slot's time counts from the earliest arrival seen so far (the first
// frame, moved back whenever a frame comes earlier than its slot's time).
// A frame late by less than two periods against that line is on time: a
// frame held up on its way (a busy machine, a large frame still arriving)
// and followed closely by the next one is no lost frame. So a single frame
// the camera skipped leaves the file's timing a period behind the camera's,
// and is counted once the lag reaches two periods. While the camera sends
// nothing, each slot is given up two periods after its time; the frame that
// ends such a silence then counts every whole period of its lag.
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
  uint64_t Lost(uint64_t at, uint64_t fromPeriods) const;

  uint64_t period_;
  uint64_t next_ = 0;
  uint64_t nextTime_ = 0;  // the time of slot next_; valid once a frame came
  bool silent_ = false;    // slots were given up since the last frame
};

}  // namespace capcore

#endif
