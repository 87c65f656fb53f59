// A message-only window on the capture window's thread that delivers the
// status and error reports of a recording running on its worker thread, so
// that the report procedures always run on the window's own thread.
#include <cstring>
#include <new>

#include "recording/recording_state.h"
#include "window/capture_window.h"

namespace {

const char kRelayClass[] = "MorvaRecordingRelay";
enum : UINT { kReportMsg = WM_APP + 1, kFinishedMsg };

struct RelayedReport {
  ReportKind kind;
  int id;
  char text[kReportTextSize];
};

void Deliver(RecordingState* rec, const RelayedReport& r) {
  // A procedure may destroy the window, which lets go of the recording.
  std::shared_ptr<RecordingState> hold = rec->shared_from_this();
  if (!rec->windowGone) Report(rec->window, r.kind, r.id, "%s", r.text);
}

LRESULT CALLBACK RelayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    RecordingState* rec = reinterpret_cast<RecordingState*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
      case kReportMsg: {
        RelayedReport* r = reinterpret_cast<RelayedReport*>(lp);
        if (rec && r) Deliver(rec, *r);
        delete r;
        return 0;
      }
      case kFinishedMsg:
        if (rec) FinishWorkerRecording(rec, static_cast<unsigned>(wp));
        return 0;
      default:
        return DefWindowProcA(w, msg, wp, lp);
    }
  } catch (...) {
    return 0;
  }
}

}  // namespace

void CreateRelay(RecordingState* rec) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RelayProc;
  wc.hInstance = rec->window->module;
  wc.lpszClassName = kRelayClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  rec->relay = CreateWindowA(kRelayClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, rec->window->module, nullptr);
  if (rec->relay) SetWindowLongPtrA(rec->relay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
}

void DestroyRelay(RecordingState* rec) {
  if (!rec->relay) return;
  // A filtered PeekMessage still hands out WM_QUIT: put it back, or the
  // application's message loop never sees the quit posted while its windows
  // are being destroyed.
  MSG m;
  bool quit = false;
  int quitCode = 0;
  while (PeekMessageA(&m, rec->relay, kReportMsg, kReportMsg, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      continue;
    }
    delete reinterpret_cast<RelayedReport*>(m.lParam);
  }
  if (quit) PostQuitMessage(quitCode);
  SetWindowLongPtrA(rec->relay, GWLP_USERDATA, 0);
  DestroyWindow(rec->relay);
  rec->relay = nullptr;
}

namespace {

// From the worker: the window's end destroys the relay, and may not wait for
// the worker to do so (see recording_state.h).
bool PostToRelay(RecordingState* rec, UINT msg, WPARAM wp, LPARAM lp) {
  CalloutLock lock(rec);
  return !rec->windowGone && rec->relay && PostMessageA(rec->relay, msg, wp, lp);
}

}  // namespace

void RelayReport(RecordingState* rec, bool direct, ReportKind kind, int id, const char* text) {
  if (rec->windowGone) return;
  if (direct) {
    Report(rec->window, kind, id, "%s", text);
    return;
  }
  RelayedReport* r = new (std::nothrow) RelayedReport;
  if (!r) return;
  r->kind = kind;
  r->id = id;
  lstrcpynA(r->text, text ? text : "", sizeof r->text);
  if (!PostToRelay(rec, kReportMsg, 0, reinterpret_cast<LPARAM>(r))) delete r;
}

void PostRecordingFinished(RecordingState* rec, unsigned run) { PostToRelay(rec, kFinishedMsg, run, 0); }
