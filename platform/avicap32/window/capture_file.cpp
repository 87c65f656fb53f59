// The capture file's name: set and read back, bounded.
#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>

#include "window/capture_window.h"

LRESULT SetCaptureFile(CaptureWindowState* s, const char* path) {
  if (path == nullptr || path[0] == '\0' || IsRecording(s)) return FALSE;
  if (strnlen(path, sizeof s->captureFile) >= sizeof s->captureFile) return FALSE;  // too long
  lstrcpynA(s->captureFile, path, sizeof s->captureFile);
  return TRUE;
}

LRESULT GetCaptureFile(CaptureWindowState* s, WPARAM size, char* out) {
  if (out == nullptr || size == 0) return FALSE;
  int n = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
  lstrcpynA(out, s->captureFile, n);
  return TRUE;
}

LRESULT SetCaptureFileW(CaptureWindowState* s, const WCHAR* path) {
  if (path == nullptr) return FALSE;
  char narrow[MAX_PATH];
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr) == 0)
    return FALSE;
  return SetCaptureFile(s, narrow);
}

LRESULT GetCaptureFileW(CaptureWindowState* s, WPARAM size, WCHAR* out) {
  if (out == nullptr || size == 0) return FALSE;
  WCHAR wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, s->captureFile, -1, wide, MAX_PATH) == 0) wide[0] = L'\0';
  int n = size > 0x7FFFFFF ? 0x7FFFFFF : static_cast<int>(size);
  lstrcpynW(out, wide, n);
  return TRUE;
}
