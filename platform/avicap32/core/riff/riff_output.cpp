// Memory and stdio byte sinks for the RIFF writer.
#include "core/riff/riff_output.h"

#include <cstring>
#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#endif

namespace riff {

bool MemoryOutput::Write(const void* data, size_t size) {
  uint64_t room = position_ >= limit_ ? 0 : limit_ - position_;
  size_t n = size <= room ? size : static_cast<size_t>(room);
  if (position_ + n > bytes_.size()) bytes_.resize(static_cast<size_t>(position_ + n));
  if (n > 0) std::memcpy(bytes_.data() + position_, data, n);
  position_ += n;
  return n == size;
}

bool MemoryOutput::Seek(uint64_t position) {
  if (position > bytes_.size()) return false;
  position_ = position;
  return true;
}

bool MemoryOutput::Truncate(uint64_t size) {
  if (size > bytes_.size()) return false;
  bytes_.resize(static_cast<size_t>(size));
  if (position_ > size) position_ = size;
  return true;
}

StdioOutput::~StdioOutput() { Close(); }

bool StdioOutput::Open(const char* path) {
  Close();
  file_ = std::fopen(path, "w+b");
  position_ = 0;
  return file_ != nullptr;
}

bool StdioOutput::Close() {
  if (!file_) return true;
  bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

bool StdioOutput::Write(const void* data, size_t size) {
  if (!file_) return false;
  size_t n = std::fwrite(data, 1, size, file_);
  position_ += n;
  return n == size;
}

bool StdioOutput::Seek(uint64_t position) {
  if (!file_) return false;
#ifdef _WIN32
  if (_fseeki64(file_, static_cast<__int64>(position), SEEK_SET) != 0) return false;
#else
  if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) return false;
#endif
  position_ = position;
  return true;
}

bool StdioOutput::Truncate(uint64_t size) {
  if (!file_ || std::fflush(file_) != 0) return false;
#ifdef _WIN32
  if (_chsize_s(_fileno(file_), static_cast<__int64>(size)) != 0) return false;
#else
  if (ftruncate(fileno(file_), static_cast<off_t>(size)) != 0) return false;
#endif
  return position_ <= size || Seek(size);
}

}  // namespace riff
