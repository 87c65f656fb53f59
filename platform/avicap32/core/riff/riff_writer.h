// RIFF writing over an Output: little-endian fields, chunks opened with a
// placeholder size and closed with padding to an even length and the size
// back-filled, and patches of fields known only later. The first failed
// operation sticks: every later call does nothing, and failed() says so.
#ifndef MORVA_CORE_RIFF_WRITER_H
#define MORVA_CORE_RIFF_WRITER_H

#include <cstddef>
#include <cstdint>

#include "core/riff/riff_output.h"

namespace riff {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

class Writer {
 public:
  explicit Writer(Output* out) : out_(out) {}

  bool failed() const { return failed_; }
  uint64_t position() const { return out_->Position(); }

  void U8(uint8_t v) { Bytes(&v, 1); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void U64(uint64_t v);
  void Bytes(const void* data, size_t size);
  void Zeros(size_t size);

  // Starts a chunk: writes the code and a placeholder size; answers the
  // position of the code, which EndChunk takes.
  uint64_t StartChunk(uint32_t fourcc);
  // Starts a LIST or RIFF chunk with its list type.
  uint64_t StartList(uint32_t fourcc, uint32_t listType);
  // Pads the chunk to an even length and writes its size.
  void EndChunk(uint64_t start);
  // Writes the chunk's size as it stands now without padding or moving on
  // (keeps an unfinished chunk readable).
  void RefreshChunkSize(uint64_t start);
  // Whatever the output holds back is written (a failure sticks).
  void Flush();

  // Overwrites 32 or 64 bits at an earlier position and returns to the end.
  void PatchU32(uint64_t at, uint32_t v);
  void PatchU64(uint64_t at, uint64_t v);
  void PatchBytes(uint64_t at, const void* data, size_t size);

  // After a failure: forgets it so that a clean-up can write again (used to
  // close a file over the last complete chunk).
  void ClearFailure() { failed_ = false; }
  bool SeekTo(uint64_t position);
  bool TruncateTo(uint64_t size);

 private:
  Output* out_;
  bool failed_ = false;
};

}  // namespace riff

#endif
