// Save-as of the recorded data of the capture file (never the unused
// preallocated space), done through a temporary file that replaces the
// target only when complete; and preallocation of the capture file.
#include <cstdio>
#include <cstring>
#include <vector>

#include "window/capture_window.h"
#include "recording/recording_state.h"

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

bool ReadAt(HANDLE f, uint64_t at, void* buf, DWORD size) {
  LARGE_INTEGER pos;
  pos.QuadPart = static_cast<LONGLONG>(at);
  DWORD got = 0;
  return SetFilePointerEx(f, pos, nullptr, FILE_BEGIN) && ReadFile(f, buf, size, &got, nullptr) && got == size;
}

// Bytes of recorded data: the first RIFF 'AVI ' part and the 'AVIX' parts
// after it, cut at the end of the file. 0 when the file holds no recording.
uint64_t RecordedLength(HANDLE f) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f, &size)) return 0;
  uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  uint64_t at = 0;
  for (;;) {
    uint8_t h[12];
    if (at + 12 > fileSize || !ReadAt(f, at, h, sizeof h)) break;
    bool first = at == 0;
    if (std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, first ? "AVI " : "AVIX", 4) != 0) break;
    uint64_t len = 8 + static_cast<uint64_t>(Le32(h + 4));
    len += len & 1;
    at += len;
    if (at >= fileSize) return fileSize;
  }
  return at;
}

// Reports "<before><name><after> (<system text>)." as an error.
void Fail(CaptureWindowState* s, int id, const char* before, const char* name, const char* after, DWORD code) {
  char why[200] = "";
  if (code) {
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, why,
                             sizeof why, nullptr);
    while (n > 0 && (why[n - 1] == '\n' || why[n - 1] == '\r' || why[n - 1] == '.' || why[n - 1] == ' ')) why[--n] = '\0';
  }
  char text[MAX_PATH * 2 + 256];
  snprintf(text, sizeof text, "%s%s%s (%s).", before, name, after, why[0] ? why : "no further detail");
  ReportError(s, id, text);
}

bool CopyRange(HANDLE from, HANDLE to, uint64_t length, DWORD* code) {
  std::vector<uint8_t> buf(1 << 20);
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(from, zero, nullptr, FILE_BEGIN)) {
    *code = GetLastError();
    return false;
  }
  uint64_t left = length;
  while (left > 0) {
    DWORD n = static_cast<DWORD>(left < buf.size() ? left : buf.size());
    DWORD got = 0, put = 0;
    if (!ReadFile(from, buf.data(), n, &got, nullptr) || got != n) {
      *code = GetLastError() ? GetLastError() : ERROR_HANDLE_EOF;
      return false;
    }
    if (!WriteFile(to, buf.data(), n, &put, nullptr) || put != n) {
      *code = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
      return false;
    }
    left -= n;
  }
  if (!FlushFileBuffers(to)) {
    *code = GetLastError();
    return false;
  }
  return true;
}

}  // namespace

LRESULT SaveRecordingAs(CaptureWindowState* s, const char* path) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || path == nullptr || path[0] == '\0' || rec->capturing) return FALSE;
  try {
    HANDLE from = CreateFileA(s->captureFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (from == INVALID_HANDLE_VALUE) {
      Fail(s, IDS_CAP_CANTOPEN, "Cannot save: the capture file ", s->captureFile, " cannot be opened",
           GetLastError());
      return FALSE;
    }
    DWORD targetAttributes = GetFileAttributesA(path);
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) {
      CloseHandle(from);
      Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", ERROR_ACCESS_DENIED);
      return FALSE;
    }
    uint64_t length = RecordedLength(from);
    if (length == 0) {
      CloseHandle(from);
      Fail(s, IDS_CAP_CANTOPEN, "Cannot save: the capture file ", s->captureFile, " holds no recording", 0);
      return FALSE;
    }
    // The temporary file sits beside the target, so that the final move is a rename.
    char dir[MAX_PATH];
    lstrcpynA(dir, path, sizeof dir);
    char* slash = std::strrchr(dir, '\\');
    if (slash) slash[1] = '\0';
    else lstrcpynA(dir, ".", sizeof dir);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(dir, "mrv", 0, temp)) {
      DWORD code = GetLastError();
      CloseHandle(from);
      Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", code);
      return FALSE;
    }
    HANDLE to = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD code = 0;
    bool ok = to != INVALID_HANDLE_VALUE;
    if (!ok) code = GetLastError();
    if (ok) ok = CopyRange(from, to, length, &code);
    if (to != INVALID_HANDLE_VALUE) CloseHandle(to);
    CloseHandle(from);
    if (ok && !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      ok = false;
      code = GetLastError();
    }
    if (!ok) {
      DeleteFileA(temp);
      Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", code);
      return FALSE;
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

LRESULT AllocateCaptureFile(CaptureWindowState* s, DWORD bytes) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || rec->capturing) return FALSE;
  HANDLE f = CreateFileA(s->captureFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    Fail(s, IDS_CAP_CANTOPEN, "Cannot make the capture file ", s->captureFile, "", GetLastError());
    return FALSE;
  }
  LARGE_INTEGER size;
  size.QuadPart = bytes;
  bool ok = SetFilePointerEx(f, size, nullptr, FILE_BEGIN) && SetEndOfFile(f);
  DWORD code = ok ? 0 : GetLastError();
  CloseHandle(f);
  if (!ok) {
    DeleteFileA(s->captureFile);
    Fail(s, IDS_CAP_SETFILESIZE, "Cannot reserve the space for the capture file ", s->captureFile, "", code);
    return FALSE;
  }
  return TRUE;
}
