// Byte sinks for the RIFF and AVI writers: a seekable output interface with a
// memory implementation (tests inspect the bytes, and can make writes fail
// past a limit) and a stdio file implementation (the native benchmark). The
// capture service supplies its own Win32 file output.
#ifndef MORVA_CORE_RIFF_OUTPUT_H
#define MORVA_CORE_RIFF_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace riff {

class Output {
 public:
  virtual ~Output() = default;
  // Each answers false when the operation failed; the writer then stops.
  virtual bool Write(const void* data, size_t size) = 0;
  virtual bool Seek(uint64_t position) = 0;   // absolute position
  virtual uint64_t Position() const = 0;
  virtual bool Truncate(uint64_t size) = 0;   // cuts the output to size bytes
  // A hint: the writer will come back to the bytes at `at` (a chunk's size).
  virtual void WillPatch(uint64_t at) { (void)at; }
  // Everything written so far reaches the output.
  virtual bool Flush() { return true; }
};

// Keeps every byte in memory. With a limit, a write that would grow the output
// past the limit writes what fits and fails, as a full disk does.
class MemoryOutput : public Output {
 public:
  explicit MemoryOutput(uint64_t limit = UINT64_MAX) : limit_(limit) {}
  bool Write(const void* data, size_t size) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  bool Truncate(uint64_t size) override;
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  void set_limit(uint64_t limit) { limit_ = limit; }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t position_ = 0;
  uint64_t limit_;
};

// A file through stdio, opened for writing from the start (created or emptied).
class StdioOutput : public Output {
 public:
  StdioOutput() = default;
  ~StdioOutput() override;
  StdioOutput(const StdioOutput&) = delete;
  StdioOutput& operator=(const StdioOutput&) = delete;
  bool Open(const char* path);
  bool Close();   // false when the last buffered bytes could not be written
  bool Write(const void* data, size_t size) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  bool Truncate(uint64_t size) override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t position_ = 0;
};

}  // namespace riff

#endif
