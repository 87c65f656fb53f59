// The video source dialog: the pattern and the picture adjustments.
#include <windows.h>
#include <windowsx.h>
#include <vfw.h>

#include <cstdlib>

#include "avicap32_resource.h"
#include "window/capture_window.h"
#include "dialogs/dialog_runner.h"
#include "drivers/drivers.h"
#include "dialogs/dialogs.h"

namespace {

const capcore::Pattern kPatterns[] = {capcore::Pattern::Bars, capcore::Pattern::Checker,
                                      capcore::Pattern::Gradient};
const char* const kPatternLabels[] = {"Colour bars", "Checkerboard", "Colour gradient"};

BOOL OnInitDialog(HWND d, CaptureWindowState* s) {
  HWND combo = GetDlgItem(d, IDC_SRC_PATTERN);
  for (int i = 0; i < 3; ++i) {
    ComboBox_AddString(combo, kPatternLabels[i]);
    if (kPatterns[i] == s->source.pattern) ComboBox_SetCurSel(combo, i);
  }
  SetDlgItemInt(d, IDC_SRC_BRIGHTNESS, static_cast<UINT>(s->source.brightness), TRUE);
  SetDlgItemInt(d, IDC_SRC_CONTRAST, static_cast<UINT>(s->source.contrast), TRUE);
  CheckDlgButton(d, IDC_SRC_STAMP, s->source.stamp ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void OnOk(HWND d, CaptureWindowState* s) {
  capcore::SourceSettings next = s->source;
  int sel = ComboBox_GetCurSel(GetDlgItem(d, IDC_SRC_PATTERN));
  if (sel >= 0 && sel < 3) next.pattern = kPatterns[sel];
  BOOL ok = FALSE;
  int v = static_cast<int>(GetDlgItemInt(d, IDC_SRC_BRIGHTNESS, &ok, TRUE));
  if (ok) next.brightness = v;
  v = static_cast<int>(GetDlgItemInt(d, IDC_SRC_CONTRAST, &ok, TRUE));
  if (ok) next.contrast = v;
  next.stamp = IsDlgButtonChecked(d, IDC_SRC_STAMP) == BST_CHECKED;
  s->source = capcore::ClampSource(next);
  SaveDriverSettings(s);
  if (s->haveFrame && !s->preview && !s->overlay) MakeFrame(s);  // the frozen picture follows
  EndDialog(d, IDOK);
}

}  // namespace

LRESULT ShowSourceDialog(CaptureWindowState* s) {
  return ShowDriverDialog(s, s->driver.hasSourceDialog, IDD_CAP_SOURCE, DriverDialogProc<OnInitDialog, OnOk>);
}
