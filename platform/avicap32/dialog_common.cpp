// Running the driver dialogs modally (see dialog_common.h).
#include "dialog_common.h"

INT_PTR RunDriverDialog(CaptureWindowState* s, int id, DLGPROC proc) {
  HWND owner = GetAncestor(s->window, GA_ROOT);
  if (owner == nullptr) owner = s->window;
  return DialogBoxParamA(s->module, MAKEINTRESOURCEA(id), owner, proc,
                         reinterpret_cast<LPARAM>(s));
}

CaptureWindowState* DialogState(HWND dialog) {
  return reinterpret_cast<CaptureWindowState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void SetDialogState(HWND dialog, LPARAM state) { SetWindowLongPtrA(dialog, DWLP_USER, state); }
