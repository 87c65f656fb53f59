// Running the driver dialogs modally (see dialog_runner.h).
#include "dialogs/dialog_runner.h"

// One running driver dialog; a dialog opened while another is up links to it.
struct DriverDialogRun {
  HWND dialog = nullptr;
  DriverDialogRun* outer = nullptr;
};

INT_PTR RunDriverDialog(CaptureWindowState* s, int id, DLGPROC proc) {
  HWND owner = GetAncestor(s->window, GA_ROOT);
  if (owner == nullptr) owner = s->window;
  DriverDialogRun run;
  run.outer = s->driverDialog;
  s->driverDialog = &run;
  INT_PTR result = DialogBoxParamA(s->module, MAKEINTRESOURCEA(id), owner, proc,
                                   reinterpret_cast<LPARAM>(s));
  if (s->gone) return IDCANCEL;  // held by the window's request, but the window went
  s->driverDialog = run.outer;
  return result;
}

CaptureWindowState* DialogState(HWND dialog) {
  return reinterpret_cast<CaptureWindowState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void SetDialogState(HWND dialog, LPARAM state) {
  SetWindowLongPtrA(dialog, DWLP_USER, state);
  CaptureWindowState* s = reinterpret_cast<CaptureWindowState*>(state);
  if (s != nullptr && s->driverDialog != nullptr) s->driverDialog->dialog = dialog;
}

void EndDriverDialogOf(CaptureWindowState* s) {
  for (DriverDialogRun* run = s->driverDialog; run != nullptr; run = run->outer) {
    if (run->dialog != nullptr) {
      SetWindowLongPtrA(run->dialog, DWLP_USER, 0);
      EndDialog(run->dialog, IDCANCEL);
    }
  }
  s->driverDialog = nullptr;
}

namespace {

void OnOkIfWindowLives(HWND dialog, void (*onOk)(HWND, CaptureWindowState*)) {
  CaptureWindowState* s = DialogState(dialog);
  if (s != nullptr) onOk(dialog, s);
  else EndDialog(dialog, IDCANCEL);
}

}  // namespace

INT_PTR DriverDialogMessage(HWND d, UINT msg, WPARAM wp, LPARAM lp,
                            BOOL (*onInit)(HWND, CaptureWindowState*),
                            void (*onOk)(HWND, CaptureWindowState*)) {
  try {
    switch (msg) {
      case WM_INITDIALOG:
        SetDialogState(d, lp);
        return onInit(d, reinterpret_cast<CaptureWindowState*>(lp));
      case WM_COMMAND:
        switch (LOWORD(wp)) {
          case IDOK: OnOkIfWindowLives(d, onOk); return TRUE;
          case IDCANCEL: EndDialog(d, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
  } catch (...) {
    EndDialog(d, IDCANCEL);
  }
  return FALSE;
}

LRESULT ShowDriverDialog(CaptureWindowState* s, bool offered, int id, DLGPROC proc) {
  if (!s->connected || !offered) return FALSE;
  return RunDriverDialog(s, id, proc) == IDOK ? 1 : 0;
}
