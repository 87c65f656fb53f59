// The About dialog: its title is the application caption, its text is in the
// template ("Image Capture Products").
#include "ui/about_dialog.h"

#include "app/application_context.h"
#include "resources/resource.h"

namespace {

const INT_PTR kAboutResult = -1;

INT_PTR OnInitDialog(HWND dialog) {
  SetWindowTextA(dialog, g_context.caption);
  return TRUE;
}

INT_PTR OnCommand(HWND dialog, int id) {
  // OK, and Escape (which the dialog manager turns into IDCANCEL), close it.
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, kAboutResult);
  return TRUE;
}

INT_PTR Dispatch(HWND dialog, UINT message, WPARAM first) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(first));
    default:            return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
  (void)second;
  try {
    return Dispatch(dialog, message, first);
  } catch (...) {
    return FALSE;  // nothing may leave a dialog procedure
  }
}

void ShowAbout(HWND owner) {
  DialogBoxParamA(g_context.instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProcedure, 0);
}
