// Reading and writing files (see file_io.h).
#include "common/file_io.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/file_handle.h"
#include "core/text/path_text.h"

namespace {

const int kTempNameTries = 16;

DWORD LastErrorOr(DWORD fallback) {
  DWORD code = GetLastError();
  return code ? code : fallback;
}

// A new, empty file "~mcap<number>.tmp" in the folder of `path`.
DWORD CreateTempBeside(const WCHAR* path, std::wstring* temp, FileHandle* file) {
  std::wstring folder = capcore::FolderOf(path);
  if (folder.empty()) folder = L".\\";
  for (int i = 0; i < kTempNameTries; ++i) {
    WCHAR name[32];
    std::swprintf(name, sizeof name / sizeof name[0], L"~mcap%08lx%04lx.tmp",
                  static_cast<unsigned long>(GetTickCount() + i),
                  static_cast<unsigned long>(GetCurrentProcessId() & 0xFFFF));
    *temp = folder + name;
    if (temp->size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    file->Reset(CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file->valid()) return 0;
    DWORD code = LastErrorOr(ERROR_CANNOT_MAKE);
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return code;
  }
  return ERROR_FILE_EXISTS;
}

}  // namespace

bool ReadUpTo(HANDLE file, size_t maxBytes, std::string* out) {
  out->clear();
  char buf[4096];
  while (out->size() < maxBytes) {
    DWORD want = static_cast<DWORD>(maxBytes - out->size() < sizeof buf ? maxBytes - out->size() : sizeof buf);
    DWORD got = 0;
    if (!ReadFile(file, buf, want, &got, nullptr)) return false;
    if (got == 0) break;
    out->append(buf, got);
  }
  return true;
}

DWORD WriteAll(HANDLE file, const void* data, size_t size, size_t* done, uint64_t position) {
  const char* p = static_cast<const char*>(data);
  *done = 0;
  while (*done < size) {
    uint64_t toBoundary = kWriteCallBytes - (position + *done) % kWriteCallBytes;
    DWORD chunk = static_cast<DWORD>(size - *done > toBoundary ? toBoundary : size - *done);
    DWORD wrote = 0;
    if (!WriteFile(file, p + *done, chunk, &wrote, nullptr) || wrote == 0) return LastErrorOr(ERROR_WRITE_FAULT);
    *done += wrote;
  }
  return 0;
}

DWORD ReplaceFileWith(const WCHAR* path, const std::function<DWORD(HANDLE)>& write) {
  std::wstring temp;
  FileHandle file;
  DWORD code = CreateTempBeside(path, &temp, &file);
  if (code) return code;
  try {
    code = write(file.get());
  } catch (...) {
    code = ERROR_NOT_ENOUGH_MEMORY;
  }
  if (!code && !FlushFileBuffers(file.get())) code = LastErrorOr(ERROR_WRITE_FAULT);
  if (!file.Close() && !code) code = LastErrorOr(ERROR_WRITE_FAULT);
  if (!code && !MoveFileExW(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    code = LastErrorOr(ERROR_ACCESS_DENIED);
  if (code) DeleteFileW(temp.c_str());
  return code;
}

void SystemErrorText(DWORD code, char* out, size_t size) {
  if (size == 0) return;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, out,
                           static_cast<DWORD>(size), nullptr);
  while (n > 0 && (out[n - 1] == '\n' || out[n - 1] == '\r' || out[n - 1] == ' ' || out[n - 1] == '.')) out[--n] = '\0';
  if (n == 0) std::snprintf(out, size, "system error %lu", static_cast<unsigned long>(code));
}
