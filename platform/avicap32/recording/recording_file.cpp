// The capture file as a Win32 file, with its write limit.
#include "recording/recording_file.h"

#include <string>

#include "common/file_io.h"
#include "core/text/path_text.h"

RecordingFile::~RecordingFile() { Close(); }

bool RecordingFile::Open(const WCHAR* path, uint64_t writeLimit) {
  Close();
  file_.Reset(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_.valid()) {
    lastError_ = GetLastError();
    return false;
  }
  LARGE_INTEGER size{};
  initialSize_ = GetFileSizeEx(file_.get(), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  position_ = 0;
  end_ = 0;
  limit_ = writeLimit;
  return true;
}

void RecordingFile::Close() {
  trim_.Stop();
  file_.Close();
}

bool RecordingFile::Write(const void* data, size_t size) {
  if (!file_.valid()) return false;
  size_t allowed = size;
  if (position_ + size > limit_) allowed = position_ >= limit_ ? 0 : static_cast<size_t>(limit_ - position_);
  size_t done = 0;
  DWORD code = WriteAll(file_.get(), data, allowed, &done, position_);
  position_ += done;
  if (position_ > end_) end_ = position_;
  if (code == 0 && allowed < size) code = ERROR_DISK_FULL;
  if (code) lastError_ = code;
  return code == 0;
}

bool RecordingFile::Seek(uint64_t position) {
  if (!file_.valid()) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN)) {
    lastError_ = GetLastError();
    return false;
  }
  position_ = position;
  return true;
}

// The trimmer ends first: a reservation after the truncation would stay
// past the file's end.
bool RecordingFile::Truncate(uint64_t size) {
  trim_.Stop();
  if (!Seek(size)) return false;
  if (!SetEndOfFile(file_.get())) {
    lastError_ = GetLastError();
    return false;
  }
  end_ = size;
  initialSize_ = size < initialSize_ ? size : initialSize_;
  return true;
}

uint64_t RecordingFile::Room(const WCHAR* path) const {
  std::wstring folder = capcore::FolderOf(path);
  ULARGE_INTEGER freeBytes{};
  uint64_t room = UINT64_MAX;
  if (GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &freeBytes, nullptr, nullptr))
    room = freeBytes.QuadPart;
  if (initialSize_ > end_ && room != UINT64_MAX) room += initialSize_ - end_;
  if (limit_ != UINT64_MAX) {
    uint64_t left = limit_ > end_ ? limit_ - end_ : 0;
    if (left < room) room = left;
  }
  return room;
}
