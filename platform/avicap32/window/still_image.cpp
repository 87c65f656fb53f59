// Still images of the current frame (the frozen one when the view is off):
// SAVEDIB to a BMP file, written whole to a temporary file beside it and then
// moved over the name, and EDIT_COPY to the clipboard as CF_DIB.
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstring>

#include "core/image/bmp_encoder.h"
#include "window/capture_window.h"

namespace {

// Makes sure there is a frame to save: the first one when none was made yet.
bool EnsureFrame(CaptureWindowState* s) {
  if (!s->connected) return false;
  if (!s->haveFrame) MakeFrame(s);
  return s->haveFrame;
}

bool WriteWhole(HANDLE f, const uint8_t* bytes, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD chunk = static_cast<DWORD>(size - done > (1u << 30) ? (1u << 30) : size - done);
    DWORD wrote = 0;
    if (!WriteFile(f, bytes + done, chunk, &wrote, nullptr) || wrote == 0) return false;
    done += wrote;
  }
  return true;
}

// The temporary name: the target's folder, "~mcap" and a unique number.
bool TempNameBeside(const char* path, char* out, size_t size) {
  char folder[MAX_PATH];
  lstrcpynA(folder, path, sizeof folder);
  char* slash = strrchr(folder, '\\');
  char* fwd = strrchr(folder, '/');
  if (fwd != nullptr && (slash == nullptr || fwd > slash)) slash = fwd;
  if (slash != nullptr)
    slash[1] = '\0';
  else
    lstrcpynA(folder, ".\\", sizeof folder);
  int n = std::snprintf(out, size, "%s~mcap%08lx%04lx.tmp", folder,
                        static_cast<unsigned long>(GetTickCount()),
                        static_cast<unsigned long>(GetCurrentProcessId() & 0xFFFF));
  return n > 0 && static_cast<size_t>(n) < size;
}

LRESULT SaveFailed(CaptureWindowState* s, const char* path, const char* temp) {
  if (temp != nullptr && temp[0] != '\0') DeleteFileA(temp);
  char text[MAX_PATH + 100];
  std::snprintf(text, sizeof text, "The still image could not be written to %s.", path);
  ReportError(s, IDS_CAP_ERRORDIBSAVE, text);
  return FALSE;
}

}  // namespace

LRESULT SaveDib(CaptureWindowState* s, const char* path) {
  if (path == nullptr || path[0] == '\0') return FALSE;
  if (!EnsureFrame(s)) return FALSE;
  char shown[MAX_PATH];
  lstrcpynA(shown, path, sizeof shown);
  if (strnlen(path, MAX_PATH) >= MAX_PATH) return SaveFailed(s, shown, nullptr);
  // Headers, then the rows straight from the frame: no copy of the picture.
  uint8_t headers[capcore::kBmpFileHeaderSize + capcore::kBmpInfoHeaderSize];
  capcore::FrameFormat format = FrameFormatOf(s);
  if (!capcore::EncodeBmpHeaders(format, headers) || s->frame.size() < capcore::FrameBytes(format))
    return SaveFailed(s, path, nullptr);
  char temp[MAX_PATH];
  if (!TempNameBeside(path, temp, sizeof temp)) return SaveFailed(s, path, nullptr);
  HANDLE f = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return SaveFailed(s, path, nullptr);
  bool ok = WriteWhole(f, headers, sizeof headers) &&
            WriteWhole(f, s->frame.data(), capcore::FrameBytes(format));
  ok = CloseHandle(f) && ok;
  if (!ok) return SaveFailed(s, path, temp);
  if (!MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING)) return SaveFailed(s, path, temp);
  return TRUE;
}

LRESULT SaveDibW(CaptureWindowState* s, const WCHAR* path) {
  if (path == nullptr) return FALSE;
  char narrow[MAX_PATH];
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr) == 0)
    return FALSE;
  return SaveDib(s, narrow);
}

LRESULT CopyFrame(CaptureWindowState* s) {
  if (!EnsureFrame(s)) return FALSE;
  size_t bytes = sizeof(BITMAPINFOHEADER) + s->frame.size();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (mem == nullptr) {
    ReportError(s, IDS_CAP_OUTOFMEM, "There is not enough memory to copy the frame.");
    return FALSE;
  }
  uint8_t* p = static_cast<uint8_t*>(GlobalLock(mem));
  if (p == nullptr) {
    GlobalFree(mem);
    ReportError(s, IDS_CAP_OUTOFMEM, "There is not enough memory to copy the frame.");
    return FALSE;
  }
  std::memcpy(p, &s->videoFormat, sizeof(BITMAPINFOHEADER));
  std::memcpy(p + sizeof(BITMAPINFOHEADER), s->frame.data(), s->frame.size());
  GlobalUnlock(mem);
  if (!OpenClipboard(s->window)) {
    GlobalFree(mem);
    ReportError(s, IDS_CAP_OUTOFMEM, "The clipboard is in use; the frame was not copied.");
    return FALSE;
  }
  EmptyClipboard();
  bool ok = SetClipboardData(CF_DIB, mem) != nullptr;
  CloseClipboard();
  if (!ok) {
    GlobalFree(mem);
    ReportError(s, IDS_CAP_OUTOFMEM, "The frame could not be put on the clipboard.");
    return FALSE;
  }
  return TRUE;
}
