// The driver list dialog: holds the picture while it is open, shows a row per
// installed driver and shortens itself by one row per missing one.
#include "capture/driver_list.h"

#include <vfw.h>

#include <cstdio>

#include "app/settings.h"
#include "capture/view.h"
#include "resources/resource.h"
#include "ui/button_face_paint.h"

namespace {

enum { kDriverRows = IDC_DRIVER_LAST - IDC_DRIVER_FIRST + 1 };

int Height(const RECT& r) { return r.bottom - r.top + 1; }

// One row per index: labelled and shown when a driver is installed there,
// hidden otherwise. Returns whether the row is shown.
bool FillDriverRow(HWND dialog, int index) {
  HWND button = GetDlgItem(dialog, IDC_DRIVER_FIRST + index);
  char name[kTextSize];
  char version[kTextSize];
  if (capGetDriverDescriptionA(index, name, sizeof name, version, sizeof version) != TRUE) {
    ShowWindow(button, SW_HIDE);
    return false;
  }
  char label[kTextSize];
  std::snprintf(label, sizeof label, "%.*s %.*s", kTextSize - 1, name, kTextSize - 1, version);
  SetWindowTextA(button, label);
  EnableWindow(button, TRUE);
  ShowWindow(button, SW_SHOW);
  return true;
}

BOOL OnInitDialog(HWND dialog) {
  HoldView();
  RECT row = {};
  GetWindowRect(GetDlgItem(dialog, IDC_DRIVER_FIRST), &row);
  const int rowHeight = Height(row);
  RECT frame = {};
  GetWindowRect(dialog, &frame);
  int height = Height(frame);
  for (int index = 0; index < kDriverRows; ++index) {
    if (!FillDriverRow(dialog, index)) height -= rowHeight;
  }
  MoveWindow(dialog, frame.left, frame.top, frame.right - frame.left + 1, height, FALSE);
  return TRUE;
}

// Every command brings the picture back; Enter and Escape end with -1, a
// driver button with its index, anything else leaves the list open.
void OnCommand(HWND dialog, int id) {
  RestoreView();
  switch (id) {
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, -1);
      break;
    default:
      if (id >= IDC_DRIVER_FIRST && id <= IDC_DRIVER_LAST) EndDialog(dialog, id - IDC_DRIVER_FIRST);
      break;
  }
}

}  // namespace

INT_PTR CALLBACK DriverListProcedure(HWND dialog, UINT message, WPARAM first, LPARAM) {
  try {
    switch (message) {
      case WM_INITDIALOG: return OnInitDialog(dialog);
      case WM_PAINT: PaintButtonFace(dialog); return TRUE;  // no countdown stops here
      case WM_COMMAND: OnCommand(dialog, LOWORD(first)); return TRUE;
      default: return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}
