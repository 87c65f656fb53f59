// Still images of the current frame (the frozen one when the view is off):
// SAVEDIB to a BMP file, written whole beside it and then moved over the
// name, and EDIT_COPY to the clipboard as CF_DIB.
#include <windows.h>
#include <vfw.h>

#include <cstring>

#include "common/file_io.h"
#include "common/path_names.h"
#include "core/image/bmp_encoder.h"
#include "window/capture_window.h"

namespace {

// Makes sure there is a frame to save: the first one when none was made yet.
bool EnsureFrame(CaptureWindowState* s) {
  if (!s->connected) return false;
  if (!s->haveFrame) MakeFrame(s);
  return s->haveFrame;
}

LRESULT SaveFailed(CaptureWindowState* s, const WCHAR* path) {
  Report(s, ReportKind::Error, IDS_CAP_ERRORDIBSAVE, "The still image could not be written to %s.",
         ShownName(path).c_str());
  return FALSE;
}

LRESULT CopyFailed(CaptureWindowState* s, const char* text) {
  Report(s, ReportKind::Error, IDS_CAP_OUTOFMEM, "%s", text);
  return FALSE;
}

}  // namespace

LRESULT SaveDibW(CaptureWindowState* s, const WCHAR* path) {
  if (path == nullptr || path[0] == L'\0') return FALSE;
  if (!EnsureFrame(s)) return FALSE;
  if (!PathFits(path)) return SaveFailed(s, path);
  // Headers, then the rows straight from the frame: no copy of the picture.
  uint8_t headers[capcore::kBmpFileHeaderSize + capcore::kBmpInfoHeaderSize];
  capcore::FrameFormat format = FrameFormatOf(s);
  size_t bytes = capcore::FrameBytes(format);
  if (!capcore::EncodeBmpHeaders(format, headers) || s->frame.size() < bytes) return SaveFailed(s, path);
  const uint8_t* rows = s->frame.data();
  DWORD code = ReplaceFileWith(path, [&](HANDLE f) {
    size_t done = 0;
    DWORD c = WriteAll(f, headers, sizeof headers, &done);
    return c ? c : WriteAll(f, rows, bytes, &done);
  });
  return code ? SaveFailed(s, path) : TRUE;
}

LRESULT SaveDib(CaptureWindowState* s, const char* path) {
  return path == nullptr ? FALSE : SaveDibW(s, WidenAnsi(path).c_str());
}

LRESULT CopyFrame(CaptureWindowState* s) {
  if (!EnsureFrame(s)) return FALSE;
  size_t bytes = sizeof(BITMAPINFOHEADER) + s->frame.size();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (mem == nullptr) return CopyFailed(s, "There is not enough memory to copy the frame.");
  uint8_t* p = static_cast<uint8_t*>(GlobalLock(mem));
  if (p == nullptr) {
    GlobalFree(mem);
    return CopyFailed(s, "There is not enough memory to copy the frame.");
  }
  std::memcpy(p, &s->videoFormat, sizeof(BITMAPINFOHEADER));
  std::memcpy(p + sizeof(BITMAPINFOHEADER), s->frame.data(), s->frame.size());
  GlobalUnlock(mem);
  if (!OpenClipboard(s->window)) {
    GlobalFree(mem);
    return CopyFailed(s, "The clipboard is in use; the frame was not copied.");
  }
  EmptyClipboard();
  bool ok = SetClipboardData(CF_DIB, mem) != nullptr;
  CloseClipboard();
  if (!ok) {
    GlobalFree(mem);
    return CopyFailed(s, "The frame could not be put on the clipboard.");
  }
  return TRUE;
}
