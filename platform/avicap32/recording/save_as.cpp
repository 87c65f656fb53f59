// Save-as of the recorded data of the capture file (never the unused
// preallocated space), written whole beside the target and moved over its
// name; and preallocation of the capture file.
#include <cstring>
#include <vector>

#include "common/file_handle.h"
#include "common/file_io.h"
#include "common/path_names.h"
#include "recording/recording_state.h"
#include "window/capture_window.h"

namespace {

const uint64_t kRiffHeaderBytes = 12;

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
    uint8_t h[kRiffHeaderBytes];
    if (at + kRiffHeaderBytes > fileSize || !ReadAt(f, at, h, sizeof h)) break;
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
void Fail(CaptureWindowState* s, int id, const char* before, const WCHAR* name, const char* after, DWORD code) {
  char why[200] = "no further detail";
  if (code) SystemErrorText(code, why, sizeof why);
  Report(s, ReportKind::Error, id, "%s%s%s (%s).", before, ShownName(name).c_str(), after, why);
}

DWORD CopyRange(HANDLE from, HANDLE to, uint64_t length) {
  std::vector<uint8_t> buf(kWriteCallBytes);  // read as much as one write call takes
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(from, zero, nullptr, FILE_BEGIN)) return GetLastError();
  for (uint64_t left = length; left > 0;) {
    DWORD n = static_cast<DWORD>(left < buf.size() ? left : buf.size());
    DWORD got = 0;
    if (!ReadFile(from, buf.data(), n, &got, nullptr) || got != n) return GetLastError() ? GetLastError() : ERROR_HANDLE_EOF;
    size_t put = 0;
    if (DWORD code = WriteAll(to, buf.data(), n, &put)) return code;
    left -= n;
  }
  return 0;
}

}  // namespace

LRESULT SaveRecordingAsW(CaptureWindowState* s, const WCHAR* path) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || path == nullptr || path[0] == L'\0' || rec->capturing) return FALSE;
  FileHandle from(CreateFileW(s->captureFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!from.valid()) {
    Fail(s, IDS_CAP_CANTOPEN, "Cannot save: the capture file ", s->captureFile, " cannot be opened", GetLastError());
    return FALSE;
  }
  if (!PathFits(path)) {
    Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  DWORD targetAttributes = GetFileAttributesW(path);
  if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) {
    Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", ERROR_ACCESS_DENIED);
    return FALSE;
  }
  uint64_t length = RecordedLength(from.get());
  if (length == 0) {
    Fail(s, IDS_CAP_CANTOPEN, "Cannot save: the capture file ", s->captureFile, " holds no recording", 0);
    return FALSE;
  }
  DWORD code = ReplaceFileWith(path, [&](HANDLE to) { return CopyRange(from.get(), to, length); });
  if (code) {
    Fail(s, IDS_CAP_WRITEERROR, "Cannot save the recording as ", path, "", code);
    return FALSE;
  }
  return TRUE;
}

LRESULT SaveRecordingAs(CaptureWindowState* s, const char* path) {
  return path == nullptr ? FALSE : SaveRecordingAsW(s, WidenAnsi(path).c_str());
}

LRESULT AllocateCaptureFile(CaptureWindowState* s, DWORD bytes) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || rec->capturing) return FALSE;
  FileHandle f(CreateFileW(s->captureFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.valid()) {
    Fail(s, IDS_CAP_CANTOPEN, "Cannot make the capture file ", s->captureFile, "", GetLastError());
    return FALSE;
  }
  LARGE_INTEGER size;
  size.QuadPart = bytes;
  bool ok = SetFilePointerEx(f.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(f.get());
  DWORD code = ok ? 0 : GetLastError();
  f.Close();
  if (!ok) {
    DeleteFileW(s->captureFile);
    Fail(s, IDS_CAP_SETFILESIZE, "Cannot reserve the space for the capture file ", s->captureFile, "", code);
    return FALSE;
  }
  return TRUE;
}
