// The capture file as a Win32 file, with the write-limit knob.
#include "recording/recording_file.h"

#include <cstdlib>
#include <cstring>

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  char buf[64];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return fallback;
  char* end = nullptr;
  unsigned long long v = std::strtoull(buf, &end, 10);
  if (end == buf || *end != '\0') return fallback;
  return v;
}

RecordingFile::~RecordingFile() { Close(); }

bool RecordingFile::Open(const char* path) {
  Close();
  file_ = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    lastError_ = GetLastError();
    return false;
  }
  LARGE_INTEGER size{};
  initialSize_ = GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  position_ = 0;
  end_ = 0;
  limit_ = EnvNumber("MORVA_AVICAP_WRITE_LIMIT", UINT64_MAX);
  return true;
}

void RecordingFile::Close() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
}

bool RecordingFile::Write(const void* data, size_t size) {
  if (file_ == INVALID_HANDLE_VALUE) return false;
  size_t allowed = size;
  if (position_ + size > limit_) allowed = position_ >= limit_ ? 0 : static_cast<size_t>(limit_ - position_);
  const char* p = static_cast<const char*>(data);
  size_t done = 0;
  while (done < allowed) {
    DWORD chunk = static_cast<DWORD>(allowed - done > (1u << 30) ? (1u << 30) : allowed - done);
    DWORD wrote = 0;
    if (!WriteFile(file_, p + done, chunk, &wrote, nullptr) || wrote == 0) {
      lastError_ = GetLastError();
      if (lastError_ == 0) lastError_ = ERROR_WRITE_FAULT;
      position_ += done;
      if (position_ > end_) end_ = position_;
      return false;
    }
    done += wrote;
  }
  position_ += done;
  if (position_ > end_) end_ = position_;
  if (allowed < size) {
    lastError_ = ERROR_DISK_FULL;
    return false;
  }
  return true;
}

bool RecordingFile::Seek(uint64_t position) {
  if (file_ == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) {
    lastError_ = GetLastError();
    return false;
  }
  position_ = position;
  return true;
}

bool RecordingFile::Truncate(uint64_t size) {
  if (!Seek(size)) return false;
  if (!SetEndOfFile(file_)) {
    lastError_ = GetLastError();
    return false;
  }
  end_ = size;
  initialSize_ = size < initialSize_ ? size : initialSize_;
  return true;
}

uint64_t RecordingFile::Room(const char* path) const {
  char dir[MAX_PATH];
  lstrcpynA(dir, path, sizeof dir);
  char* slash = std::strrchr(dir, '\\');
  if (slash) slash[1] = '\0';
  ULARGE_INTEGER freeBytes{};
  uint64_t room = UINT64_MAX;
  if (GetDiskFreeSpaceExA(slash ? dir : nullptr, &freeBytes, nullptr, nullptr)) room = freeBytes.QuadPart;
  if (initialSize_ > end_ && room != UINT64_MAX) room += initialSize_ - end_;
  if (limit_ != UINT64_MAX) {
    uint64_t left = limit_ > end_ ? limit_ - end_ : 0;
    if (left < room) room = left;
  }
  return room;
}
