// The capture window class: per-window state fetched at the top of the
// procedure, window messages handed to small handlers, and the requests
// looked up in one table that unpacks each and calls its handler. Unknown
// requests go to the default window procedure, and no exception leaves the
// procedure. Every message holds the window's state while it runs (see
// capture_state.h).
#include <windows.h>
#include <vfw.h>

#include <new>

#include "dialogs/dialog_runner.h"
#include "dialogs/dialogs.h"
#include "module.h"
#include "window/capture_window.h"

const char kCaptureWindowClass[] = "MorvaCaptureWindow";

namespace {

enum { kStateSlot = 0 };

using State = CaptureWindowState;
template <typename T>
T* Arg(LPARAM lp) {
  return reinterpret_cast<T*>(lp);
}

struct Request {
  UINT message;
  LRESULT (*handle)(State* s, WPARAM wp, LPARAM lp);
};

// One line per request: its arguments unpacked, its handler called.
const Request kRequests[] = {
    {WM_CAP_SET_CALLBACK_ERRORA, [](State* s, WPARAM, LPARAM lp) { return SetErrorCallbackA(s, reinterpret_cast<CAPERRORCALLBACKA>(lp)); }},
    {WM_CAP_SET_CALLBACK_STATUSA, [](State* s, WPARAM, LPARAM lp) { return SetStatusCallbackA(s, reinterpret_cast<CAPSTATUSCALLBACKA>(lp)); }},
    {WM_CAP_SET_CALLBACK_ERRORW, [](State* s, WPARAM, LPARAM lp) { return SetErrorCallbackW(s, reinterpret_cast<CAPERRORCALLBACKW>(lp)); }},
    {WM_CAP_SET_CALLBACK_STATUSW, [](State* s, WPARAM, LPARAM lp) { return SetStatusCallbackW(s, reinterpret_cast<CAPSTATUSCALLBACKW>(lp)); }},
    {WM_CAP_SET_CALLBACK_YIELD, [](State* s, WPARAM, LPARAM lp) { return SetYieldCallback(s, reinterpret_cast<CAPYIELDCALLBACK>(lp)); }},
    {WM_CAP_SET_CALLBACK_FRAME, [](State* s, WPARAM, LPARAM lp) { return SetFrameCallback(s, reinterpret_cast<CAPVIDEOCALLBACK>(lp)); }},
    {WM_CAP_SET_CALLBACK_VIDEOSTREAM, [](State* s, WPARAM, LPARAM lp) { return SetVideoStreamCallback(s, reinterpret_cast<CAPVIDEOCALLBACK>(lp)); }},
    {WM_CAP_SET_CALLBACK_WAVESTREAM, [](State* s, WPARAM, LPARAM lp) { return SetWaveStreamCallback(s, reinterpret_cast<CAPWAVECALLBACK>(lp)); }},
    {WM_CAP_SET_CALLBACK_CAPCONTROL, [](State* s, WPARAM, LPARAM lp) { return SetControlCallback(s, reinterpret_cast<CAPCONTROLCALLBACK>(lp)); }},
    {WM_CAP_GET_USER_DATA, [](State* s, WPARAM, LPARAM) { return GetUserData(s); }},
    {WM_CAP_SET_USER_DATA, [](State* s, WPARAM, LPARAM lp) { return SetUserData(s, static_cast<LONG_PTR>(lp)); }},
    {WM_CAP_DRIVER_CONNECT, [](State* s, WPARAM wp, LPARAM) { return ConnectDriver(s, wp); }},
    {WM_CAP_DRIVER_DISCONNECT, [](State* s, WPARAM, LPARAM) { return DisconnectDriver(s); }},
    {WM_CAP_DRIVER_GET_NAMEA, [](State* s, WPARAM wp, LPARAM lp) { return GetDriverName(s, wp, Arg<char>(lp)); }},
    {WM_CAP_DRIVER_GET_VERSIONA, [](State* s, WPARAM wp, LPARAM lp) { return GetDriverVersion(s, wp, Arg<char>(lp)); }},
    {WM_CAP_DRIVER_GET_NAMEW, [](State* s, WPARAM wp, LPARAM lp) { return GetDriverNameW(s, wp, Arg<WCHAR>(lp)); }},
    {WM_CAP_DRIVER_GET_VERSIONW, [](State* s, WPARAM wp, LPARAM lp) { return GetDriverVersionW(s, wp, Arg<WCHAR>(lp)); }},
    {WM_CAP_DRIVER_GET_CAPS, [](State* s, WPARAM wp, LPARAM lp) { return GetDriverCaps(s, wp, Arg<CAPDRIVERCAPS>(lp)); }},
    {WM_CAP_GET_STATUS, [](State* s, WPARAM wp, LPARAM lp) { return GetStatus(s, wp, Arg<CAPSTATUS>(lp)); }},
    {WM_CAP_FILE_SET_CAPTURE_FILEA, [](State* s, WPARAM, LPARAM lp) { return SetCaptureFile(s, Arg<const char>(lp)); }},
    {WM_CAP_FILE_GET_CAPTURE_FILEA, [](State* s, WPARAM wp, LPARAM lp) { return GetCaptureFile(s, wp, Arg<char>(lp)); }},
    {WM_CAP_FILE_SET_CAPTURE_FILEW, [](State* s, WPARAM, LPARAM lp) { return SetCaptureFileW(s, Arg<const WCHAR>(lp)); }},
    {WM_CAP_FILE_GET_CAPTURE_FILEW, [](State* s, WPARAM wp, LPARAM lp) { return GetCaptureFileW(s, wp, Arg<WCHAR>(lp)); }},
    {WM_CAP_FILE_SAVEDIBA, [](State* s, WPARAM, LPARAM lp) { return SaveDib(s, Arg<const char>(lp)); }},
    {WM_CAP_FILE_SAVEDIBW, [](State* s, WPARAM, LPARAM lp) { return SaveDibW(s, Arg<const WCHAR>(lp)); }},
    {WM_CAP_EDIT_COPY, [](State* s, WPARAM, LPARAM) { return CopyFrame(s); }},
    {WM_CAP_GET_VIDEOFORMAT, [](State* s, WPARAM wp, LPARAM lp) { return GetVideoFormat(s, wp, Arg<BITMAPINFO>(lp)); }},
    {WM_CAP_SET_VIDEOFORMAT, [](State* s, WPARAM wp, LPARAM lp) { return SetVideoFormat(s, wp, Arg<const BITMAPINFO>(lp)); }},
    {WM_CAP_DLG_VIDEOFORMAT, [](State* s, WPARAM, LPARAM) { return ShowFormatDialog(s); }},
    {WM_CAP_DLG_VIDEOSOURCE, [](State* s, WPARAM, LPARAM) { return ShowSourceDialog(s); }},
    {WM_CAP_DLG_VIDEODISPLAY, [](State* s, WPARAM, LPARAM) { return ShowDisplayDialog(s); }},
    {WM_CAP_SET_PREVIEW, [](State* s, WPARAM wp, LPARAM) { return SetPreview(s, wp != 0); }},
    {WM_CAP_SET_OVERLAY, [](State* s, WPARAM wp, LPARAM) { return SetOverlay(s, wp != 0); }},
    {WM_CAP_SET_PREVIEWRATE, [](State* s, WPARAM wp, LPARAM) { return SetPreviewRate(s, static_cast<UINT>(wp)); }},
    {WM_CAP_SET_SCALE, [](State* s, WPARAM wp, LPARAM) { return SetScale(s, wp != 0); }},
    {WM_CAP_SET_SCROLL, [](State* s, WPARAM, LPARAM lp) { return SetScroll(s, Arg<const POINT>(lp)); }},
    {WM_CAP_GRAB_FRAME, [](State* s, WPARAM, LPARAM) { return GrabFrame(s, true); }},
    {WM_CAP_GRAB_FRAME_NOSTOP, [](State* s, WPARAM, LPARAM) { return GrabFrame(s, false); }},
    {WM_CAP_GET_SEQUENCE_SETUP, [](State* s, WPARAM wp, LPARAM lp) { return GetRecordingSetup(s, wp, Arg<CAPTUREPARMS>(lp)); }},
    {WM_CAP_SET_SEQUENCE_SETUP, [](State* s, WPARAM wp, LPARAM lp) { return SetRecordingSetup(s, wp, Arg<const CAPTUREPARMS>(lp)); }},
    {WM_CAP_SEQUENCE, [](State* s, WPARAM, LPARAM) { return StartRecording(s, true); }},
    {WM_CAP_SEQUENCE_NOFILE, [](State* s, WPARAM, LPARAM) { return StartRecording(s, false); }},
    {WM_CAP_STOP, [](State* s, WPARAM, LPARAM) { return StopRecording(s, false); }},
    {WM_CAP_ABORT, [](State* s, WPARAM, LPARAM) { return StopRecording(s, true); }},
    {WM_CAP_SINGLE_FRAME_OPEN, [](State* s, WPARAM, LPARAM) { return OpenSingleFrames(s); }},
    {WM_CAP_SINGLE_FRAME, [](State* s, WPARAM, LPARAM) { return TakeSingleFrame(s); }},
    {WM_CAP_SINGLE_FRAME_CLOSE, [](State* s, WPARAM, LPARAM) { return CloseSingleFrames(s); }},
    {WM_CAP_GET_AUDIOFORMAT, [](State* s, WPARAM wp, LPARAM lp) { return GetAudioFormat(s, wp, Arg<WAVEFORMATEX>(lp)); }},
    {WM_CAP_SET_AUDIOFORMAT, [](State* s, WPARAM wp, LPARAM lp) { return SetAudioFormat(s, wp, Arg<const WAVEFORMATEX>(lp)); }},
    {WM_CAP_FILE_SAVEASA, [](State* s, WPARAM, LPARAM lp) { return SaveRecordingAs(s, Arg<const char>(lp)); }},
    {WM_CAP_FILE_SAVEASW, [](State* s, WPARAM, LPARAM lp) { return SaveRecordingAsW(s, Arg<const WCHAR>(lp)); }},
    {WM_CAP_FILE_ALLOCATE, [](State* s, WPARAM, LPARAM lp) { return AllocateCaptureFile(s, static_cast<DWORD>(lp)); }},
    {WM_CAP_FILE_SET_INFOCHUNK, [](State* s, WPARAM, LPARAM lp) { return SetInfoChunk(s, Arg<const CAPINFOCHUNK>(lp)); }},
    {WM_CAP_DLG_VIDEOCOMPRESSION, [](State* s, WPARAM, LPARAM) { return ShowCompressionDialog(s); }},
};

// The request numbers the table is built on, as vfw.h publishes them.
static_assert(WM_CAP_START == WM_USER, "requests start at WM_USER");
static_assert(WM_CAP_SET_CALLBACK_ERRORA == WM_CAP_START + 2 && WM_CAP_DRIVER_CONNECT == WM_CAP_START + 10,
              "callback and driver requests");
static_assert(WM_CAP_FILE_SET_CAPTURE_FILEA == WM_CAP_START + 20 && WM_CAP_EDIT_COPY == WM_CAP_START + 30,
              "file requests");
static_assert(WM_CAP_SET_PREVIEW == WM_CAP_START + 50 && WM_CAP_SEQUENCE == WM_CAP_START + 62 &&
                  WM_CAP_STOP == WM_CAP_START + 68 && WM_CAP_ABORT == WM_CAP_START + 69,
              "view and recording requests");
static_assert(WM_CAP_SET_CALLBACK_ERRORW == WM_CAP_UNICODE_START + 2, "wide requests");
static_assert(WM_CAP_SET_CALLBACK_YIELD == WM_CAP_START + 4 && WM_CAP_SET_USER_DATA == WM_CAP_START + 9 &&
                  WM_CAP_SET_SCROLL == WM_CAP_START + 55 && WM_CAP_SINGLE_FRAME == WM_CAP_START + 72 &&
                  WM_CAP_SET_CALLBACK_CAPCONTROL == WM_CAP_START + 85,
              "caller procedure, scroll and single-frame requests");

CaptureWindowState* StateOf(HWND w) {
  return reinterpret_cast<CaptureWindowState*>(GetWindowLongPtrA(w, kStateSlot));
}

bool OnNcCreate(HWND w) {
  std::shared_ptr<CaptureWindowState> s = std::make_shared<CaptureWindowState>();
  s->self = s;
  s->window = w;
  s->module = ModuleInstance();
  SetWindowLongPtrA(w, kStateSlot, reinterpret_cast<LONG_PTR>(s.get()));
  return true;
}

void OnCreate(CaptureWindowState* s) { CreateRecordingState(s); }

void OnDestroy(CaptureWindowState* s) {
  s->gone = true;
  EndDriverDialogOf(s);
  ReleaseRecordingState(s);
  StopView(s);
  CloseCamera(s);
}

// The window lets go of its state; a request still running further up the
// stack holds it until it returns.
void OnNcDestroy(HWND w, CaptureWindowState* s) {
  SetWindowLongPtrA(w, kStateSlot, 0);
  s->self.reset();
}

LRESULT HandleRequest(HWND w, CaptureWindowState* s, UINT msg, WPARAM wp, LPARAM lp) {
  for (const Request& r : kRequests)
    if (r.message == msg) return r.handle(s, wp, lp);
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT Dispatch(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) return OnNcCreate(w) ? DefWindowProcA(w, msg, wp, lp) : FALSE;
  CaptureWindowState* s = StateOf(w);
  if (s == nullptr) return DefWindowProcA(w, msg, wp, lp);
  std::shared_ptr<CaptureWindowState> hold = Hold(s);
  switch (msg) {
    case WM_CREATE: OnCreate(s); return 0;
    case WM_DESTROY: OnDestroy(s); return 0;
    case WM_NCDESTROY: OnNcDestroy(w, s); return DefWindowProcA(w, msg, wp, lp);
    case WM_TIMER: OnPreviewTimer(s); return 0;
    case WM_PAINT: PaintCaptureWindow(s); return 0;
    case WM_ERASEBKGND: return 1;
    case kCameraEndedMessage: return ReportCameraEnd(s);
    default: return HandleRequest(w, s, msg, wp, lp);
  }
}

LRESULT CALLBACK CaptureWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return Dispatch(w, msg, wp, lp);
  } catch (...) {
    return 0;
  }
}

}  // namespace

std::shared_ptr<CaptureWindowState> Hold(CaptureWindowState* s) { return s->shared_from_this(); }

bool RegisterCaptureWindowClass() {
  WNDCLASSA existing;
  if (GetClassInfoA(ModuleInstance(), kCaptureWindowClass, &existing)) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = CaptureWindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kCaptureWindowClass;
  return RegisterClassA(&wc) != 0;
}
