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
  CopyTextOut(s->captureFile, out, size);
  return TRUE;
}

LRESULT SetCaptureFileW(CaptureWindowState* s, const WCHAR* path) {
  char narrow[MAX_PATH];
  return NarrowPath(path, narrow) ? SetCaptureFile(s, narrow) : FALSE;
}

LRESULT GetCaptureFileW(CaptureWindowState* s, WPARAM size, WCHAR* out) {
  if (out == nullptr || size == 0) return FALSE;
  CopyTextOutW(s->captureFile, out, size);
  return TRUE;
}
