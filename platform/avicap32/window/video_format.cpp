// The current video format: reading and setting it (the camera follows).
#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>

#include "window/capture_window.h"
#include "drivers/drivers.h"

capcore::FrameFormat FrameFormatOf(const CaptureWindowState* s) {
  capcore::FrameFormat f;
  f.width = s->videoFormat.biWidth;
  f.height = s->videoFormat.biHeight;
  f.bitCount = s->videoFormat.biBitCount;
  return f;
}

void SetFormat(CaptureWindowState* s, int width, int height, int bitCount) {
  BITMAPINFOHEADER& h = s->videoFormat;
  h = BITMAPINFOHEADER{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bitCount);
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(capcore::FrameBytes(FrameFormatOf(s)));
  s->frame.assign(h.biSizeImage, 0);
  s->displayPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  s->displayDone = capcore::FramePart{};
  s->haveFrame = false;
}

LRESULT GetVideoFormat(CaptureWindowState* s, WPARAM size, BITMAPINFO* out) {
  if (!s->connected) return 0;
  if (size == 0 || out == nullptr) return sizeof(BITMAPINFOHEADER);
  size_t n = size < sizeof(BITMAPINFOHEADER) ? size : sizeof(BITMAPINFOHEADER);
  std::memcpy(out, &s->videoFormat, n);
  return static_cast<LRESULT>(n);
}

LRESULT SetVideoFormat(CaptureWindowState* s, WPARAM size, const BITMAPINFO* in) {
  if (!s->connected || in == nullptr || size < sizeof(BITMAPINFOHEADER)) return FALSE;
  if (IsRecording(s)) return FALSE;
  const BITMAPINFOHEADER& h = in->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB)
    return FALSE;
  if (!s->driver.OffersSize(h.biWidth, h.biHeight) || !s->driver.OffersDepth(h.biBitCount))
    return FALSE;
  capcore::FrameFormat wanted;
  wanted.width = h.biWidth;
  wanted.height = h.biHeight;
  wanted.bitCount = h.biBitCount;
  std::string error;
  if (!s->camera->ChangeFormat(FrameFormatOf(s), wanted, &error)) {
    Report(s, ReportKind::Error, IDS_CAP_VIDEO_OPEN_ERROR, "%s", error.c_str());
    return FALSE;
  }
  bool hadFrame = s->haveFrame;
  SetFormat(s, h.biWidth, h.biHeight, h.biBitCount);
  if (hadFrame) MakeFrame(s);  // the picture on screen at once in the new format
  SaveDriverSettings(s);
  return TRUE;
}
