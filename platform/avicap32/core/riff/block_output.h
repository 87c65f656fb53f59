// An Output in front of another that gives it whole blocks wherever it can.
// A file system reads a block from the disk before a write that covers only
// part of it, unless the block is cached; a recording's page-cache trimmer
// drops the cache behind the writes, so without this every frame's chunk
// header (written into the block where the last frame ended) and every
// refresh of a part's sizes (up to a part back) would wait for a disk read
// on the recording's thread.
// - Appends: a copy of the last, partly written block is kept. A write that
//   reaches past that block starts at the block's start with the copy in
//   front; a small one that stays inside it is held in the copy, within the
//   limit, and written with the next write that reaches past the block, by
//   Flush (the AVI writer's refresh, once a second) or before a write that
//   reaches into them from elsewhere or a Truncate.
//   The held bytes go into a block that already holds bytes, so on a full
//   disk they are always written: a failure never takes back bytes already
//   reported written.
// - Patches: the writer names with WillPatch the places it will come back
//   to; the last few of their blocks are kept as copies too, and a patch
//   inside one whole such block is written as that whole block.
// The bytes that reach the output are the same as those given, in the end
// and at every Flush.
#ifndef MORVA_CORE_RIFF_BLOCK_OUTPUT_H
#define MORVA_CORE_RIFF_BLOCK_OUTPUT_H

#include <cstddef>
#include <cstdint>

#include "core/riff/riff_output.h"

namespace riff {

class BlockOutput : public Output {
 public:
  static const size_t kBlock = 4096;  // the page and the usual file system block
  static const size_t kPins = 4;      // copies kept of the blocks named by WillPatch

  // `inner` starts empty at position 0; a write that would end past
  // `limit` fails there (no byte past it is held).
  BlockOutput(Output* inner, uint64_t limit);

  bool Write(const void* data, size_t size) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  bool Truncate(uint64_t size) override;
  void WillPatch(uint64_t at) override;
  bool Flush() override;  // writes what is held

 private:
  // The bytes [start, start + known) as the output holds them, in the block at `start`.
  struct Copy {
    uint64_t start = 0;
    size_t known = 0;
    bool used = false;
    uint8_t bytes[kBlock];
    void Take(uint64_t at, const uint8_t* data, size_t size);
    void Cut(uint64_t size);
  };

  bool Append(const uint8_t* data, size_t size);
  bool Patch(const uint8_t* data, size_t size);
  bool WriteAt(uint64_t at, const uint8_t* data, size_t size, size_t* done);
  void Track(uint64_t at, const uint8_t* data, size_t size);
  bool TailKnown() const { return tail_.used && tail_.start + tail_.known == end_; }

  Output* inner_;
  uint64_t limit_;
  uint64_t position_ = 0;  // where the next write goes
  uint64_t end_ = 0;       // the bytes given end here
  uint64_t written_ = 0;   // the inner output holds them up to here (the rest is held)
  Copy tail_;              // the block holding end_
  Copy pins_[kPins];
  size_t nextPin_ = 0;
};

}  // namespace riff

#endif
