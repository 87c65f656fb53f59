// The video display dialog: how the picture is shown in the window.
#include <windows.h>
#include <vfw.h>

#include "avicap32_resource.h"
#include "window/capture_window.h"
#include "dialogs/dialog_runner.h"
#include "drivers/drivers.h"
#include "dialogs/dialogs.h"

namespace {

BOOL OnInitDialog(HWND d, CaptureWindowState* s) {
  CheckDlgButton(d, IDC_DSP_KEEPASPECT, s->display.keepAspect ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(d, IDC_DSP_DARK, s->display.darkBackground ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void OnOk(HWND d, CaptureWindowState* s) {
  s->display.keepAspect = IsDlgButtonChecked(d, IDC_DSP_KEEPASPECT) == BST_CHECKED;
  s->display.darkBackground = IsDlgButtonChecked(d, IDC_DSP_DARK) == BST_CHECKED;
  SaveDriverSettings(s);
  InvalidateRect(s->window, nullptr, FALSE);
  EndDialog(d, IDOK);
}

}  // namespace

LRESULT ShowDisplayDialog(CaptureWindowState* s) {
  return ShowDriverDialog(s, s->driver.hasDisplayDialog, IDD_CAP_DISPLAY, DriverDialogProc<OnInitDialog, OnOk>);
}
