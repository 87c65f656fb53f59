// The Options dialog: frame rate, time interval and self-timer as numbers,
// audio, overlay and the time limit as check boxes. OK stores what converts;
// a field that does not convert leaves its setting as it was.
#include "ui/options_dialog.h"

#include "app/application_context.h"
#include "resources/resource.h"
#include "ui/button_face_paint.h"
#include "ui/option_values.h"

namespace {

// A number field as the setting it edits; false when the text does not convert.
bool ReadField(HWND dialog, int id, int* value) {
  char text[kTextSize] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return ReadOptionNumber(text, value);
}

int IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) != BST_UNCHECKED ? 1 : 0; }

void StoreOptions(HWND dialog) {
  Settings& s = g_context.settings;
  int value = 0;
  if (ReadField(dialog, IDC_FRAMERATE, &value)) s.FrameRate = value;
  if (s.FrameRate == 0) s.FrameRate = 1;
  if (ReadField(dialog, IDC_TIMEINTERVAL, &value)) s.TimeInterval = value;
  if (ReadField(dialog, IDC_SELFTIMER, &value)) s.SelfTimer = LimitSelfTimer(value);
  s.CaptureAudio = IsChecked(dialog, IDC_CAPTUREAUDIO);
  s.UseOverlay = IsChecked(dialog, IDC_USEOVERLAY);
  s.EnableTimeLimit = IsChecked(dialog, IDC_ENABLETIMELIMIT);
}

INT_PTR OnInitDialog(HWND dialog) {
  const Settings& s = g_context.settings;
  // Shown as unsigned numbers; the check states exactly as stored.
  SetDlgItemInt(dialog, IDC_FRAMERATE, static_cast<UINT>(s.FrameRate), FALSE);
  SetDlgItemInt(dialog, IDC_TIMEINTERVAL, static_cast<UINT>(s.TimeInterval), FALSE);
  SetDlgItemInt(dialog, IDC_SELFTIMER, static_cast<UINT>(s.SelfTimer), FALSE);
  CheckDlgButton(dialog, IDC_CAPTUREAUDIO, static_cast<UINT>(s.CaptureAudio));
  CheckDlgButton(dialog, IDC_USEOVERLAY, static_cast<UINT>(s.UseOverlay));
  CheckDlgButton(dialog, IDC_ENABLETIMELIMIT, static_cast<UINT>(s.EnableTimeLimit));
  return TRUE;  // the focus goes to the first tab stop: OK
}

INT_PTR OnPaint(HWND dialog) {
  PaintButtonFace(dialog);
  return TRUE;
}

INT_PTR OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
      StoreOptions(dialog);
      EndDialog(dialog, 0);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR Dispatch(HWND dialog, UINT message, WPARAM first) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_PAINT:      return OnPaint(dialog);
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(first));
    default:            return FALSE;
  }
}

}  // namespace

INT_PTR CALLBACK OptionsProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
  (void)second;
  try {
    return Dispatch(dialog, message, first);
  } catch (...) {
    return FALSE;  // nothing may leave a dialog procedure
  }
}

void ShowOptions(HWND owner) {
  DialogBoxParamA(g_context.instance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsProcedure, 0);
}
