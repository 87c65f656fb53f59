// The capture file as the AVI writer's output: a Win32 file written in
// place (a preallocated file keeps its space until the recording closes).
// A write limit (MORVA_AVICAP_WRITE_LIMIT, common/knobs.h) makes the file
// behave as if the disk were full once it would grow past that many bytes
// (the tests' stand-in for a full disk); the free-space watch counts it too.
// Under Wine a recording's file may be kept out of the page cache while it
// is open (TrimPageCache).
#ifndef MORVA_AVICAP32_RECORDING_RECORDING_FILE_H
#define MORVA_AVICAP32_RECORDING_RECORDING_FILE_H

#include <windows.h>

#include <cstdint>

#include "common/file_handle.h"
#include "common/knobs.h"
#include "core/riff/riff_output.h"
#include "unix/page_cache_trim.h"

class RecordingFile : public riff::Output {
 public:
  RecordingFile() = default;
  ~RecordingFile() override;
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Opens (or creates) the file for writing from its start, keeping its
  // present length (a preallocation) until Truncate; never grows past
  // `writeLimit` bytes.
  bool Open(const WCHAR* path, uint64_t writeLimit);
  // Under Wine, a trimmer drops the file's written pages from the page
  // cache until Close or Truncate (unix/page_cache_trim.h): for recordings,
  // which write far more than they read back. With `reserveBytes` it also
  // keeps that much disk reserved past the file's end, which Truncate frees.
  void TrimPageCache(const WCHAR* path, const ServiceKnobs& knobs, uint64_t reserveBytes) {
    trim_.Start(path, knobs, reserveBytes);
  }
  void Close();
  bool Write(const void* data, size_t size) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  bool Truncate(uint64_t size) override;

  uint64_t initialSize() const { return initialSize_; }
  // Bytes that may still be written: the disk's free space plus the room
  // left in the preallocation, and no more than the write limit allows.
  uint64_t Room(const WCHAR* path) const;
  DWORD lastError() const { return lastError_; }

 private:
  FileHandle file_;
  uint64_t position_ = 0;
  uint64_t end_ = 0;          // highest byte written so far
  uint64_t initialSize_ = 0;
  uint64_t limit_ = UINT64_MAX;
  DWORD lastError_ = 0;
  PageCacheTrim trim_;
};

#endif
