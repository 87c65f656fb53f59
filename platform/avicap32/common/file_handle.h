// common/: small helpers that every part of the service shares. This one: a
// file handle that closes itself, so that no early return leaks one.
#ifndef MORVA_AVICAP32_COMMON_FILE_HANDLE_H
#define MORVA_AVICAP32_COMMON_FILE_HANDLE_H

#include <windows.h>

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  void Reset(HANDLE h) {
    Close();
    h_ = h;
  }
  // Closes the handle; false when closing failed (data not written).
  bool Close() {
    if (!valid()) return true;
    BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

#endif
