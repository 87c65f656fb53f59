// A message-only window on the capture window's thread that delivers the
// status and error reports of a recording running on its worker thread, so
// that the report procedures always run on the window's own thread.
#include <cstring>
#include <new>

#include "recording/recording_state.h"

namespace {

const char kRelayClass[] = "MorvaRecordingRelay";
enum : UINT { kStatusMsg = WM_APP + 1, kErrorMsg, kFinishedMsg };

struct Report {
  int id;
  char text[512];
};

LRESULT CALLBACK RelayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    RecordingState* rec = reinterpret_cast<RecordingState*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
      case kStatusMsg:
      case kErrorMsg: {
        Report* r = reinterpret_cast<Report*>(lp);
        if (rec && rec->window && r) {
          if (msg == kStatusMsg) ReportStatus(rec->window, r->id, "%s", r->text);
          else ReportError(rec->window, r->id, r->text);
        }
        delete r;
        return 0;
      }
      case kFinishedMsg:
        if (rec) FinishWorkerRecording(rec);
        return 0;
      default:
        (void)wp;
        return DefWindowProcA(w, msg, wp, lp);
    }
  } catch (...) {
    return 0;
  }
}

void Post(RecordingState* rec, UINT msg, int id, const char* text) {
  Report* r = new (std::nothrow) Report;
  if (!r) return;
  r->id = id;
  lstrcpynA(r->text, text ? text : "", sizeof r->text);
  if (!rec->relay || !PostMessageA(rec->relay, msg, 0, reinterpret_cast<LPARAM>(r))) delete r;
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
  while (PeekMessageA(&m, rec->relay, kStatusMsg, kErrorMsg, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      continue;
    }
    delete reinterpret_cast<Report*>(m.lParam);
  }
  if (quit) PostQuitMessage(quitCode);
  SetWindowLongPtrA(rec->relay, GWLP_USERDATA, 0);
  DestroyWindow(rec->relay);
  rec->relay = nullptr;
}

void RelayStatus(RecordingState* rec, bool direct, int id, const char* text) {
  if (direct) {
    if (!rec->orphaned) ReportStatus(rec->window, id, "%s", text);
  } else {
    Post(rec, kStatusMsg, id, text);
  }
}

void RelayError(RecordingState* rec, bool direct, int id, const char* text) {
  if (direct) {
    if (!rec->orphaned) ReportError(rec->window, id, text);
  } else {
    Post(rec, kErrorMsg, id, text);
  }
}

void PostRecordingFinished(RecordingState* rec) {
  if (rec->relay) PostMessageA(rec->relay, kFinishedMsg, 0, 0);
}
