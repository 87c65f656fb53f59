// The live picture: preview and overlay (both made by a timer at the
// preview rate), grabbing single frames, the frozen last frame, the scroll
// position of an unscaled picture larger than the window, and painting.
// Preview frames and grabs go to the caller's frame procedure.
#include <windows.h>
#include <vfw.h>

#include "window/capture_window.h"

namespace {

enum { kPreviewTimer = 1 };

void StartTimer(CaptureWindowState* s) {
  SetTimer(s->window, kPreviewTimer, s->previewRateMs, nullptr);
}

}  // namespace

void StopView(CaptureWindowState* s) {
  KillTimer(s->window, kPreviewTimer);
  s->preview = false;
  s->overlay = false;
}

namespace {

void StartPreview(CaptureWindowState* s) {
  s->overlay = false;
  s->preview = true;
  StartTimer(s);
  if (!s->haveFrame && MakeFrame(s)) CallFrameCallback(s);
}

}  // namespace

LRESULT SetPreview(CaptureWindowState* s, bool on) {
  if (!s->connected) return FALSE;
  if (!on) {
    if (s->preview) StopView(s);
    return TRUE;
  }
  bool was = s->preview;
  StartPreview(s);  // its first frame may have gone to a procedure that destroyed the window
  if (!was) Report(s, ReportKind::Status, IDS_CAP_STAT_LIVE_MODE, "Live picture");
  return TRUE;
}

void ResumePreview(CaptureWindowState* s) {
  if (s->connected) StartPreview(s);
}

LRESULT SetOverlay(CaptureWindowState* s, bool on) {
  if (!s->connected) return FALSE;
  if (!on) {
    if (s->overlay) StopView(s);
    return TRUE;
  }
  if (!s->driver.hasOverlay) return FALSE;
  bool was = s->overlay;
  s->preview = false;
  s->overlay = true;
  StartTimer(s);
  if (!s->haveFrame) MakeFrame(s);
  if (!was) Report(s, ReportKind::Status, IDS_CAP_STAT_OVERLAY_MODE, "Overlay picture");
  return TRUE;
}

LRESULT SetPreviewRate(CaptureWindowState* s, UINT ms) {
  s->previewRateMs = ms == 0 ? 1 : ms;
  if (s->preview || s->overlay) StartTimer(s);  // same id: the period changes
  return TRUE;
}

LRESULT SetScale(CaptureWindowState* s, bool on) {
  s->scale = on;
  InvalidateRect(s->window, nullptr, FALSE);
  return TRUE;
}

LRESULT GrabFrame(CaptureWindowState* s, bool stopView) {
  if (!s->connected || IsRecording(s)) return FALSE;
  if (stopView) StopView(s);
  if (MakeFrame(s)) CallFrameCallback(s);
  return TRUE;
}

void OnPreviewTimer(CaptureWindowState* s) {
  if (s->overlay) MakeFrame(s);
  else if (s->preview && MakeFrame(s)) CallFrameCallback(s);
}

namespace {

// `v` within 0..(picture - window), 0 when the picture fits.
LONG WithinPicture(LONG v, LONG picture, LONG window) {
  LONG most = picture > window ? picture - window : 0;
  return v < 0 ? 0 : v > most ? most : v;
}

}  // namespace

POINT ScrollOf(const CaptureWindowState* s) {
  POINT p{0, 0};
  RECT client;
  if (!s->connected || !GetClientRect(s->window, &client)) return p;
  p.x = WithinPicture(s->scroll.x, s->videoFormat.biWidth, client.right);
  p.y = WithinPicture(s->scroll.y, s->videoFormat.biHeight, client.bottom);
  return p;
}

LRESULT SetScroll(CaptureWindowState* s, const POINT* to) {
  if (!s->connected || to == nullptr) return FALSE;
  s->scroll = *to;
  s->scroll = ScrollOf(s);
  InvalidateRect(s->window, nullptr, FALSE);
  return TRUE;
}

namespace {

// Where a scaled picture of vw x vh goes in a cw x ch client area: all of
// it, or centred in its proportions when the display keeps them.
RECT ScaledPicture(const CaptureWindowState* s, int cw, int ch, int vw, int vh) {
  RECT pic = {0, 0, cw, ch};
  if (!s->display.keepAspect || vw <= 0 || vh <= 0 || cw <= 0 || ch <= 0) return pic;
  long long fitW = static_cast<long long>(ch) * vw / vh;
  if (fitW <= cw) {
    pic.left = static_cast<LONG>((cw - fitW) / 2);
    pic.right = pic.left + static_cast<LONG>(fitW);
  } else {
    long long fitH = static_cast<long long>(cw) * vh / vw;
    pic.top = static_cast<LONG>((ch - fitH) / 2);
    pic.bottom = pic.top + static_cast<LONG>(fitH);
  }
  return pic;
}

// The part of the frame that a painting shows, converted into the display
// copy unless it is there already.
void PrepareDisplay(CaptureWindowState* s, const capcore::FramePart& part) {
  if (capcore::Covers(s->displayDone, part)) return;
  capcore::ConvertToBgrx32(FrameFormatOf(s), s->frame.data(), s->frame.size(), s->displayPixels.data(),
                           s->displayPixels.size(), part);
  s->displayDone = part;
}

// Draws the picture where `paint` (client coordinates) needs it and
// returns where it went.
RECT DrawPicture(CaptureWindowState* s, HDC dc, int cw, int ch, const RECT& paint) {
  int vw = s->videoFormat.biWidth, vh = s->videoFormat.biHeight;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = vw;
  bi.bmiHeader.biHeight = vh;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  if (s->scale) {
    PrepareDisplay(s, capcore::WholeFrame(FrameFormatOf(s)));
    RECT pic = ScaledPicture(s, cw, ch, vw, vh);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, pic.left, pic.top, pic.right - pic.left, pic.bottom - pic.top, 0, 0, vw, vh,
                  s->displayPixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
    return pic;
  }
  POINT at = ScrollOf(s);
  PrepareDisplay(s, capcore::FramePart{paint.left + at.x, paint.top + at.y, paint.right + at.x, paint.bottom + at.y});
  RECT pic = {-at.x, -at.y, vw - at.x, vh - at.y};
  SetDIBitsToDevice(dc, pic.left, pic.top, static_cast<DWORD>(vw), static_cast<DWORD>(vh), 0, 0, 0,
                    static_cast<UINT>(vh), s->displayPixels.data(), &bi, DIB_RGB_COLORS);
  return pic;
}

}  // namespace

void PaintCaptureWindow(CaptureWindowState* s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(s->window, &ps);
  RECT client;
  GetClientRect(s->window, &client);
  HBRUSH ground = static_cast<HBRUSH>(
      GetStockObject(s->display.darkBackground ? BLACK_BRUSH : GRAY_BRUSH));
  int cw = client.right, ch = client.bottom;
  if (!s->connected || !s->haveFrame) {
    FillRect(dc, &client, ground);
    EndPaint(s->window, &ps);
    return;
  }
  RECT pic = DrawPicture(s, dc, cw, ch, ps.rcPaint);
  // The ground beside the picture.
  RECT parts[4] = {{0, 0, cw, pic.top}, {0, pic.bottom, cw, ch},
                   {0, pic.top, pic.left, pic.bottom}, {pic.right, pic.top, cw, pic.bottom}};
  for (RECT& r : parts)
    if (r.right > r.left && r.bottom > r.top) FillRect(dc, &r, ground);
  EndPaint(s->window, &ps);
}
