// A message-only window on the capture window's thread that delivers the
// status and error reports of a recording running on its worker thread, so
// that the report procedures always run on the window's own thread.
#include <cstring>
#include <new>

#include "sequence_impl.h"

namespace {

const char kRelayClass[] = "MorvaRecordingRelay";
enum : UINT { kStatusMsg = WM_APP + 1, kErrorMsg, kFinishedMsg };

struct Report {
  int id;
  char text[512];
};

LRESULT CALLBACK RelayProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    SequenceImpl* impl = reinterpret_cast<SequenceImpl*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
      case kStatusMsg:
      case kErrorMsg: {
        Report* r = reinterpret_cast<Report*>(lp);
        if (impl && impl->window && r) {
          if (msg == kStatusMsg) ReportStatus(impl->window, r->id, "%s", r->text);
          else ReportError(impl->window, r->id, r->text);
        }
        delete r;
        return 0;
      }
      case kFinishedMsg:
        if (impl) Relay_Finished(impl);
        return 0;
      default:
        (void)wp;
        return DefWindowProcA(w, msg, wp, lp);
    }
  } catch (...) {
    return 0;
  }
}

void Post(SequenceImpl* impl, UINT msg, int id, const char* text) {
  Report* r = new (std::nothrow) Report;
  if (!r) return;
  r->id = id;
  lstrcpynA(r->text, text ? text : "", sizeof r->text);
  if (!impl->relay || !PostMessageA(impl->relay, msg, 0, reinterpret_cast<LPARAM>(r))) delete r;
}

}  // namespace

void Relay_Create(SequenceImpl* impl) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RelayProc;
  wc.hInstance = impl->window->module;
  wc.lpszClassName = kRelayClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  impl->relay = CreateWindowA(kRelayClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, impl->window->module, nullptr);
  if (impl->relay) SetWindowLongPtrA(impl->relay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl));
}

void Relay_Destroy(SequenceImpl* impl) {
  if (!impl->relay) return;
  // A filtered PeekMessage still hands out WM_QUIT: put it back, or the
  // application's message loop never sees the quit posted while its windows
  // are being destroyed.
  MSG m;
  bool quit = false;
  int quitCode = 0;
  while (PeekMessageA(&m, impl->relay, kStatusMsg, kErrorMsg, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      quit = true;
      quitCode = static_cast<int>(m.wParam);
      continue;
    }
    delete reinterpret_cast<Report*>(m.lParam);
  }
  if (quit) PostQuitMessage(quitCode);
  SetWindowLongPtrA(impl->relay, GWLP_USERDATA, 0);
  DestroyWindow(impl->relay);
  impl->relay = nullptr;
}

void Relay_Status(SequenceImpl* impl, bool direct, int id, const char* text) {
  if (direct) {
    if (!impl->orphaned) ReportStatus(impl->window, id, "%s", text);
  } else {
    Post(impl, kStatusMsg, id, text);
  }
}

void Relay_Error(SequenceImpl* impl, bool direct, int id, const char* text) {
  if (direct) {
    if (!impl->orphaned) ReportError(impl->window, id, text);
  } else {
    Post(impl, kErrorMsg, id, text);
  }
}

void Relay_PostFinished(SequenceImpl* impl) {
  if (impl->relay) PostMessageA(impl->relay, kFinishedMsg, 0, 0);
}
