// The capture window class: per-window state fetched at the top of the
// procedure, one switch that unpacks each request and hands it to a small
// handler. Unknown requests go to the default window procedure, and no
// exception leaves the procedure.
#include <windows.h>
#include <vfw.h>

#include <new>

#include "window/capture_window.h"
#include "dialogs/dialog_runner.h"
#include "dialogs/dialogs.h"
#include "module.h"

const char kCaptureWindowClass[] = "MorvaCaptureWindow";

namespace {

enum { kStateSlot = 0 };

CaptureWindowState* StateOf(HWND w) {
  return reinterpret_cast<CaptureWindowState*>(GetWindowLongPtrA(w, kStateSlot));
}

bool OnNcCreate(HWND w) {
  CaptureWindowState* s = new (std::nothrow) CaptureWindowState;
  if (s == nullptr) return false;
  s->window = w;
  s->module = ModuleInstance();
  SetWindowLongPtrA(w, kStateSlot, reinterpret_cast<LONG_PTR>(s));
  return true;
}

void OnCreate(CaptureWindowState* s) { CreateRecordingState(s); }

void OnDestroy(CaptureWindowState* s) {
  EndDriverDialogOf(s);
  ReleaseRecordingState(s);
  StopView(s);
}

void OnNcDestroy(HWND w, CaptureWindowState* s) {
  SetWindowLongPtrA(w, kStateSlot, 0);
  delete s;
}

LRESULT Dispatch(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    if (!OnNcCreate(w)) return FALSE;
    return DefWindowProcA(w, msg, wp, lp);
  }
  CaptureWindowState* s = StateOf(w);
  if (s == nullptr) return DefWindowProcA(w, msg, wp, lp);
  const char* pathA = reinterpret_cast<const char*>(lp);
  const WCHAR* pathW = reinterpret_cast<const WCHAR*>(lp);
  switch (msg) {
    case WM_CREATE: OnCreate(s); return 0;
    case WM_DESTROY: OnDestroy(s); return 0;
    case WM_NCDESTROY: OnNcDestroy(w, s); return DefWindowProcA(w, msg, wp, lp);
    case WM_TIMER: OnPreviewTimer(s); return 0;
    case WM_PAINT: PaintCaptureWindow(s); return 0;
    case WM_ERASEBKGND: return 1;

    case WM_CAP_SET_CALLBACK_ERRORA: return SetErrorCallbackA(s, reinterpret_cast<CAPERRORCALLBACKA>(lp));
    case WM_CAP_SET_CALLBACK_STATUSA: return SetStatusCallbackA(s, reinterpret_cast<CAPSTATUSCALLBACKA>(lp));
    case WM_CAP_SET_CALLBACK_ERRORW: return SetErrorCallbackW(s, reinterpret_cast<CAPERRORCALLBACKW>(lp));
    case WM_CAP_SET_CALLBACK_STATUSW: return SetStatusCallbackW(s, reinterpret_cast<CAPSTATUSCALLBACKW>(lp));

    case WM_CAP_DRIVER_CONNECT: return ConnectDriver(s, wp);
    case WM_CAP_DRIVER_DISCONNECT: return DisconnectDriver(s);
    case WM_CAP_DRIVER_GET_NAMEA: return GetDriverName(s, wp, reinterpret_cast<char*>(lp));
    case WM_CAP_DRIVER_GET_VERSIONA: return GetDriverVersion(s, wp, reinterpret_cast<char*>(lp));
    case WM_CAP_DRIVER_GET_NAMEW: return GetDriverNameW(s, wp, reinterpret_cast<WCHAR*>(lp));
    case WM_CAP_DRIVER_GET_VERSIONW: return GetDriverVersionW(s, wp, reinterpret_cast<WCHAR*>(lp));
    case WM_CAP_DRIVER_GET_CAPS: return GetDriverCaps(s, wp, reinterpret_cast<CAPDRIVERCAPS*>(lp));
    case WM_CAP_GET_STATUS: return GetStatus(s, wp, reinterpret_cast<CAPSTATUS*>(lp));

    case WM_CAP_FILE_SET_CAPTURE_FILEA: return SetCaptureFile(s, pathA);
    case WM_CAP_FILE_GET_CAPTURE_FILEA: return GetCaptureFile(s, wp, reinterpret_cast<char*>(lp));
    case WM_CAP_FILE_SET_CAPTURE_FILEW: return SetCaptureFileW(s, pathW);
    case WM_CAP_FILE_GET_CAPTURE_FILEW: return GetCaptureFileW(s, wp, reinterpret_cast<WCHAR*>(lp));
    case WM_CAP_FILE_SAVEDIBA: return SaveDib(s, pathA);
    case WM_CAP_FILE_SAVEDIBW: return SaveDibW(s, pathW);
    case WM_CAP_EDIT_COPY: return CopyFrame(s);

    case WM_CAP_GET_VIDEOFORMAT: return GetVideoFormat(s, wp, reinterpret_cast<BITMAPINFO*>(lp));
    case WM_CAP_SET_VIDEOFORMAT: return SetVideoFormat(s, wp, reinterpret_cast<const BITMAPINFO*>(lp));
    case WM_CAP_DLG_VIDEOFORMAT: return ShowFormatDialog(s);
    case WM_CAP_DLG_VIDEOSOURCE: return ShowSourceDialog(s);
    case WM_CAP_DLG_VIDEODISPLAY: return ShowDisplayDialog(s);

    case WM_CAP_SET_PREVIEW: return SetPreview(s, wp != 0);
    case WM_CAP_SET_OVERLAY: return SetOverlay(s, wp != 0);
    case WM_CAP_SET_PREVIEWRATE: return SetPreviewRate(s, static_cast<UINT>(wp));
    case WM_CAP_SET_SCALE: return SetScale(s, wp != 0);
    case WM_CAP_GRAB_FRAME: return GrabFrame(s, true);
    case WM_CAP_GRAB_FRAME_NOSTOP: return GrabFrame(s, false);

    case WM_CAP_GET_SEQUENCE_SETUP: return GetRecordingSetup(s, wp, reinterpret_cast<CAPTUREPARMS*>(lp));
    case WM_CAP_SET_SEQUENCE_SETUP: return SetRecordingSetup(s, wp, reinterpret_cast<const CAPTUREPARMS*>(lp));
    case WM_CAP_SEQUENCE: return StartRecording(s, true);
    case WM_CAP_SEQUENCE_NOFILE: return StartRecording(s, false);
    case WM_CAP_STOP: return StopRecording(s, false);
    case WM_CAP_ABORT: return StopRecording(s, true);
    case WM_CAP_GET_AUDIOFORMAT: return GetAudioFormat(s, wp, reinterpret_cast<WAVEFORMATEX*>(lp));
    case WM_CAP_SET_AUDIOFORMAT: return SetAudioFormat(s, wp, reinterpret_cast<const WAVEFORMATEX*>(lp));
    case WM_CAP_FILE_SAVEASA: return SaveRecordingAs(s, pathA);
    case WM_CAP_FILE_ALLOCATE: return AllocateCaptureFile(s, static_cast<DWORD>(lp));
    case WM_CAP_FILE_SET_INFOCHUNK: return SetInfoChunk(s, reinterpret_cast<const CAPINFOCHUNK*>(lp));
    case WM_CAP_DLG_VIDEOCOMPRESSION: return ShowCompressionDialog(s);
    default: return DefWindowProcA(w, msg, wp, lp);
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
