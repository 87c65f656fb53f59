// The caller's value kept per window (WM_CAP_SET_USER_DATA) and its frame
// procedure (WM_CAP_SET_CALLBACK_FRAME), called with each frame that a
// preview, a grab or a single frame makes.
#include <windows.h>
#include <vfw.h>

#include "window/capture_window.h"

LRESULT SetUserData(CaptureWindowState* s, LONG_PTR value) {
  s->userData = value;
  return TRUE;
}

LRESULT GetUserData(CaptureWindowState* s) { return static_cast<LRESULT>(s->userData); }

LRESULT SetFrameCallback(CaptureWindowState* s, CAPVIDEOCALLBACK cb) {
  s->frameCallback = cb;
  return TRUE;
}

bool CallFrameCallback(CaptureWindowState* s) {
  if (s->gone) return false;
  CAPVIDEOCALLBACK cb = s->frameCallback;
  if (cb == nullptr || s->inFrameCallback || !s->haveFrame) return true;
  std::shared_ptr<CaptureWindowState> hold = Hold(s);
  VIDEOHDR h{};
  h.lpData = s->frame.data();
  h.dwBufferLength = static_cast<DWORD>(s->frame.size());
  h.dwBytesUsed = h.dwBufferLength;
  h.dwTimeCaptured = s->frameTimeMs;
  h.dwFlags = VHDR_DONE | VHDR_PREPARED | VHDR_KEYFRAME;
  s->inFrameCallback = true;
  cb(s->window, &h);
  if (s->gone) return false;  // the procedure destroyed the window
  s->inFrameCallback = false;
  return true;
}
