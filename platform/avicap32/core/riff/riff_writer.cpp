// RIFF chunk and field writing with a sticky failure.
#include "core/riff/riff_writer.h"

namespace riff {

void Writer::Bytes(const void* data, size_t size) {
  if (failed_ || size == 0) return;
  if (!out_->Write(data, size)) failed_ = true;
}

void Writer::U16(uint16_t v) {
  uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  Bytes(b, sizeof b);
}

void Writer::U32(uint32_t v) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  Bytes(b, sizeof b);
}

void Writer::U64(uint64_t v) {
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  Bytes(b, sizeof b);
}

void Writer::Zeros(size_t size) {
  static const uint8_t zeros[256] = {};
  while (size > 0 && !failed_) {
    size_t n = size < sizeof zeros ? size : sizeof zeros;
    Bytes(zeros, n);
    size -= n;
  }
}

uint64_t Writer::StartChunk(uint32_t fourcc) {
  uint64_t start = position();
  if (!failed_) out_->WillPatch(start);
  U32(fourcc);
  U32(0);  // size, back-filled by EndChunk
  return start;
}

uint64_t Writer::StartList(uint32_t fourcc, uint32_t listType) {
  uint64_t start = StartChunk(fourcc);
  U32(listType);
  return start;
}

void Writer::EndChunk(uint64_t start) {
  if (failed_) return;
  uint64_t size = position() - start - 8;
  if (size & 1) U8(0);  // chunks keep an even length; the size leaves the pad out
  PatchU32(start + 4, static_cast<uint32_t>(size));
}

void Writer::RefreshChunkSize(uint64_t start) {
  if (failed_) return;
  PatchU32(start + 4, static_cast<uint32_t>(position() - start - 8));
}

void Writer::Flush() {
  if (!failed_ && !out_->Flush()) failed_ = true;
}

void Writer::PatchBytes(uint64_t at, const void* data, size_t size) {
  if (failed_) return;
  uint64_t end = position();
  if (!out_->Seek(at)) {
    failed_ = true;
    return;
  }
  Bytes(data, size);
  if (!failed_ && !out_->Seek(end)) failed_ = true;
}

void Writer::PatchU32(uint64_t at, uint32_t v) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  PatchBytes(at, b, sizeof b);
}

void Writer::PatchU64(uint64_t at, uint64_t v) {
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  PatchBytes(at, b, sizeof b);
}

bool Writer::SeekTo(uint64_t position) {
  if (failed_) return false;
  if (!out_->Seek(position)) failed_ = true;
  return !failed_;
}

bool Writer::TruncateTo(uint64_t size) {
  if (failed_) return false;
  if (!out_->Truncate(size)) failed_ = true;
  return !failed_;
}

}  // namespace riff
