// Status and error reports through the installed procedures, ANSI and wide.
#include <windows.h>
#include <vfw.h>

#include <cstdarg>
#include <cstdio>

#include "window/capture_window.h"

namespace {

enum { kReportSize = 512 };

void Widen(const char* text, WCHAR* out, int size) {
  out[0] = L'\0';
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, size) == 0) out[size - 1] = L'\0';
}

void DeliverPendingConfigError(CaptureWindowState* s) {
  if (s->pendingConfigError[0] == '\0' || (s->errorA == nullptr && s->errorW == nullptr)) return;
  char text[sizeof s->pendingConfigError];
  lstrcpynA(text, s->pendingConfigError, sizeof text);
  lstrcpynA(s->lastConfigError, text, sizeof s->lastConfigError);
  s->pendingConfigError[0] = '\0';
  ReportError(s, IDS_CAP_DRIVER_ERROR, text);
}

}  // namespace

void ReportStatus(CaptureWindowState* s, int id, const char* format, ...) {
  if (s->statusA == nullptr && s->statusW == nullptr) return;
  char text[kReportSize];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n < 0) text[0] = '\0';
  if (s->statusA != nullptr) s->statusA(s->window, id, text);
  if (s->statusW != nullptr) {
    WCHAR wide[kReportSize];
    Widen(text, wide, kReportSize);
    s->statusW(s->window, id, wide);
  }
}

void ReportError(CaptureWindowState* s, int id, const char* text) {
  if (text == nullptr) text = "";
  if (s->errorA != nullptr) s->errorA(s->window, id, text);
  if (s->errorW != nullptr) {
    WCHAR wide[kReportSize];
    Widen(text, wide, kReportSize);
    s->errorW(s->window, id, wide);
  }
}

void QueueConfigError(CaptureWindowState* s, const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  if (lstrcmpA(text, s->lastConfigError) == 0) return;  // told already
  lstrcpynA(s->pendingConfigError, text, sizeof s->pendingConfigError);
  DeliverPendingConfigError(s);
}

LRESULT SetErrorCallbackA(CaptureWindowState* s, CAPERRORCALLBACKA cb) {
  s->errorA = cb;
  DeliverPendingConfigError(s);
  return TRUE;
}

LRESULT SetStatusCallbackA(CaptureWindowState* s, CAPSTATUSCALLBACKA cb) {
  s->statusA = cb;
  return TRUE;
}

LRESULT SetErrorCallbackW(CaptureWindowState* s, CAPERRORCALLBACKW cb) {
  s->errorW = cb;
  DeliverPendingConfigError(s);
  return TRUE;
}

LRESULT SetStatusCallbackW(CaptureWindowState* s, CAPSTATUSCALLBACKW cb) {
  s->statusW = cb;
  return TRUE;
}
