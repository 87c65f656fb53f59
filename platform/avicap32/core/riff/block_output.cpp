// Whole-block writes in front of another output (see block_output.h).
#include "core/riff/block_output.h"

#include <cstring>

namespace riff {

void BlockOutput::Copy::Take(uint64_t at, const uint8_t* data, size_t size) {
  uint64_t from = at > start ? at : start;
  uint64_t to = at + size < start + kBlock ? at + size : start + kBlock;
  if (from >= to) return;
  std::memcpy(bytes + (from - start), data + (from - at), static_cast<size_t>(to - from));
  // Only a run from the block's start counts as known.
  if (from <= start + known && to > start + known) known = static_cast<size_t>(to - start);
}

void BlockOutput::Copy::Cut(uint64_t size) {
  if (size <= start) {
    used = false;
  } else if (size - start < known) {
    known = static_cast<size_t>(size - start);
  }
}

BlockOutput::BlockOutput(Output* inner, uint64_t limit) : inner_(inner), limit_(limit) { tail_.used = true; }

bool BlockOutput::Write(const void* data, size_t size) {
  if (size == 0) return true;
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return position_ == end_ ? Append(bytes, size) : Patch(bytes, size);
}

bool BlockOutput::Seek(uint64_t position) {
  position_ = position;  // the inner output's own seek comes with the next write
  return true;
}

bool BlockOutput::Truncate(uint64_t size) {
  if (!Flush() || !inner_->Truncate(size)) return false;
  position_ = inner_->Position();
  if (size > end_) tail_.used = false;  // what the inner output added is not known here
  tail_.Cut(size);
  for (Copy& p : pins_) p.Cut(size);
  end_ = written_ = size;
  return true;
}

// The blocks of the 8 bytes at `at` (a chunk's code and size), when their
// bytes up to the end are known: the tail's block or one not written yet.
void BlockOutput::WillPatch(uint64_t at) {
  if (!TailKnown() || at < tail_.start) return;
  for (uint64_t a : {at, at + 7}) {
    uint64_t start = a - a % kBlock;
    bool pinned = false;
    for (const Copy& p : pins_) pinned = pinned || (p.used && p.start == start);
    if (pinned) continue;
    Copy& pin = pins_[nextPin_];
    nextPin_ = (nextPin_ + 1) % kPins;
    pin.used = true;
    pin.start = start;
    pin.known = start == tail_.start ? tail_.known : 0;
    std::memcpy(pin.bytes, tail_.bytes, pin.known);
  }
}

bool BlockOutput::Flush() {
  if (written_ >= end_) return true;
  size_t done = 0;
  bool ok = WriteAt(written_, tail_.bytes + (written_ - tail_.start), static_cast<size_t>(end_ - written_), &done);
  written_ += done;
  return ok;
}

bool BlockOutput::Append(const uint8_t* data, size_t size) {
  uint64_t at = end_;
  if (TailKnown() && tail_.known > 0) {
    uint64_t blockEnd = tail_.start + kBlock;
    if (at + size < blockEnd && at + size <= limit_) {
      Track(at, data, size);
      end_ = position_ = at + size;
      return true;
    }
    if (at + size >= blockEnd) {
      // The block whole, its known bytes in front; then the rest of the data.
      size_t held = tail_.known;
      uint8_t first[kBlock];
      size_t lead = kBlock - held;
      std::memcpy(first, tail_.bytes, held);
      std::memcpy(first + held, data, lead);
      size_t done = 0, more = 0;
      bool ok = WriteAt(tail_.start, first, kBlock, &done);
      if (ok && size > lead) ok = WriteAt(blockEnd, data + lead, size - lead, &more);
      size_t given = done > held ? done - held + more : 0;
      written_ = tail_.start + done + more;
      Track(at, data, given);
      end_ = position_ = at + given;
      return ok;
    }
  }
  if (!Flush()) return false;
  size_t done = 0;
  bool ok = WriteAt(at, data, size, &done);
  Track(at, data, done);
  end_ = written_ = position_ = at + done;
  return ok;
}

// A write anywhere but at the end: one inside the held bytes changes them,
// one inside one whole kept block is written as that block.
bool BlockOutput::Patch(const uint8_t* data, size_t size) {
  uint64_t at = position_;
  if (at >= written_ && at + size <= end_) {  // inside the held bytes
    Track(at, data, size);
    position_ = at + size;
    return true;
  }
  if (at + size > written_ && !Flush()) return false;
  uint64_t start = at - at % kBlock;
  if (at + size <= start + kBlock && start + kBlock <= end_) {
    for (Copy& p : pins_) {
      if (!p.used || p.start != start || p.known != kBlock) continue;
      Track(at, data, size);
      size_t done = 0;
      bool ok = WriteAt(start, p.bytes, kBlock, &done);
      position_ = ok ? at + size : start + done;
      return ok;
    }
  }
  size_t done = 0;
  bool ok = WriteAt(at, data, size, &done);
  Track(at, data, done);
  position_ = at + done;
  if (position_ > end_) end_ = written_ = position_;
  return ok;
}

bool BlockOutput::WriteAt(uint64_t at, const uint8_t* data, size_t size, size_t* done) {
  *done = 0;
  if (inner_->Position() != at && !inner_->Seek(at)) return false;
  bool ok = inner_->Write(data, size);
  uint64_t now = inner_->Position();
  *done = now > at ? static_cast<size_t>(now - at) : 0;
  return ok;
}

// Keeps the copies in step with bytes given at `at` (before end_ moves).
void BlockOutput::Track(uint64_t at, const uint8_t* data, size_t size) {
  for (Copy& p : pins_)
    if (p.used) p.Take(at, data, size);
  uint64_t newEnd = at + size;
  if (tail_.used) tail_.Take(at, data, size);
  if (newEnd <= end_) return;
  uint64_t start = newEnd - newEnd % kBlock;
  if (tail_.used && tail_.start == start) return;
  tail_.used = true;
  tail_.start = start;
  tail_.known = 0;
  tail_.Take(at, data, size);
}

}  // namespace riff
