// Status and error reports through the installed procedures, ANSI and wide,
// and the procedures' installation.
#include <windows.h>
#include <vfw.h>

#include <cstdarg>
#include <cstdio>

#include "window/capture_window.h"

namespace {

void Widen(const char* text, WCHAR* out, int size) {
  out[0] = L'\0';
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, size) == 0) out[size - 1] = L'\0';
}

// Calls A then W, each as installed when its turn comes: the second is not
// called when the first took it away or destroyed the window.
template <typename ProcA, typename ProcW>
void Deliver(CaptureWindowState* s, ProcA CaptureWindowState::*slotA, ProcW CaptureWindowState::*slotW, int id,
             const char* text) {
  std::shared_ptr<CaptureWindowState> hold = Hold(s);
  HWND window = s->window;
  ProcA a = s->*slotA;
  if (a != nullptr) a(window, id, text);
  ProcW w = s->*slotW;
  if (w == nullptr || s->gone) return;
  WCHAR wide[kReportTextSize];
  Widen(text, wide, static_cast<int>(kReportTextSize));
  w(window, id, wide);
}

void DeliverPendingConfigError(CaptureWindowState* s) {
  if (s->pendingConfigError[0] == '\0' || (s->errorA == nullptr && s->errorW == nullptr)) return;
  char text[sizeof s->pendingConfigError];
  lstrcpynA(text, s->pendingConfigError, sizeof text);
  lstrcpynA(s->lastConfigError, text, sizeof s->lastConfigError);
  s->pendingConfigError[0] = '\0';
  Report(s, ReportKind::Error, IDS_CAP_DRIVER_ERROR, "%s", text);
}

// Installs a report procedure; an error about the cameras file that waited
// for an error procedure goes to it now.
template <typename Proc>
LRESULT Install(CaptureWindowState* s, Proc* slot, Proc proc) {
  *slot = proc;
  DeliverPendingConfigError(s);
  return TRUE;
}

}  // namespace

void Report(CaptureWindowState* s, ReportKind kind, int id, const char* format, ...) {
  if (s->gone) return;
  bool status = kind == ReportKind::Status;
  if (status ? (s->statusA == nullptr && s->statusW == nullptr) : (s->errorA == nullptr && s->errorW == nullptr))
    return;
  char text[kReportTextSize];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n < 0) text[0] = '\0';
  if (status) Deliver(s, &CaptureWindowState::statusA, &CaptureWindowState::statusW, id, text);
  else Deliver(s, &CaptureWindowState::errorA, &CaptureWindowState::errorW, id, text);
}

void QueueConfigError(CaptureWindowState* s, const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  if (lstrcmpA(text, s->lastConfigError) == 0) return;  // told already
  lstrcpynA(s->pendingConfigError, text, sizeof s->pendingConfigError);
  DeliverPendingConfigError(s);
}

LRESULT SetErrorCallbackA(CaptureWindowState* s, CAPERRORCALLBACKA cb) { return Install(s, &s->errorA, cb); }
LRESULT SetStatusCallbackA(CaptureWindowState* s, CAPSTATUSCALLBACKA cb) { return Install(s, &s->statusA, cb); }
LRESULT SetErrorCallbackW(CaptureWindowState* s, CAPERRORCALLBACKW cb) { return Install(s, &s->errorW, cb); }
LRESULT SetStatusCallbackW(CaptureWindowState* s, CAPSTATUSCALLBACKW cb) { return Install(s, &s->statusW, cb); }
