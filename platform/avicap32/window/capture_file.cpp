// The capture file's name: set and read back, bounded. It is kept wide; the
// ANSI requests convert with the system's code page.
#include <windows.h>
#include <vfw.h>

#include <string>

#include "common/path_names.h"
#include "core/text/path_text.h"
#include "window/capture_window.h"

LRESULT SetCaptureFileW(CaptureWindowState* s, const WCHAR* path) {
  if (path == nullptr || path[0] == L'\0' || IsRecording(s)) return FALSE;
  if (!PathFits(path)) return FALSE;  // too long
  lstrcpynW(s->captureFile, path, MAX_PATH);
  return TRUE;
}

LRESULT SetCaptureFile(CaptureWindowState* s, const char* path) {
  return path == nullptr ? FALSE : SetCaptureFileW(s, WidenAnsi(path).c_str());
}

LRESULT GetCaptureFile(CaptureWindowState* s, WPARAM size, char* out) {
  if (out == nullptr || size == 0) return FALSE;
  CopyTextOut(InCodePage(s->captureFile), out, size);
  return TRUE;
}

LRESULT GetCaptureFileW(CaptureWindowState* s, WPARAM size, WCHAR* out) {
  if (out == nullptr || size == 0) return FALSE;
  lstrcpynW(out, s->captureFile, capcore::ClampTextCount(size));
  return TRUE;
}
