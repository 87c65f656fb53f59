// The video format dialog: picture size and bit depth among what the driver
// offers. Answers 1 only when the user confirmed it.
#include <windows.h>
#include <windowsx.h>
#include <vfw.h>

#include <cstdio>

#include "avicap32_resource.h"
#include "window/capture_window.h"
#include "dialogs/dialog_runner.h"
#include "dialogs/dialogs.h"

namespace {

BOOL OnInitDialog(HWND d, CaptureWindowState* s) {
  HWND sizes = GetDlgItem(d, IDC_FMT_SIZE), depths = GetDlgItem(d, IDC_FMT_DEPTH);
  for (size_t i = 0; i < s->driver.sizes.size(); ++i) {
    char text[48];
    std::snprintf(text, sizeof text, "%d x %d", s->driver.sizes[i].width, s->driver.sizes[i].height);
    ComboBox_AddString(sizes, text);
    if (s->driver.sizes[i].width == s->videoFormat.biWidth &&
        s->driver.sizes[i].height == s->videoFormat.biHeight)
      ComboBox_SetCurSel(sizes, static_cast<int>(i));
  }
  for (size_t i = 0; i < s->driver.bitDepths.size(); ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "%d bits", s->driver.bitDepths[i]);
    ComboBox_AddString(depths, text);
    if (s->driver.bitDepths[i] == s->videoFormat.biBitCount)
      ComboBox_SetCurSel(depths, static_cast<int>(i));
  }
  return TRUE;
}

void OnOk(HWND d, CaptureWindowState* s) {
  int si = ComboBox_GetCurSel(GetDlgItem(d, IDC_FMT_SIZE));
  int di = ComboBox_GetCurSel(GetDlgItem(d, IDC_FMT_DEPTH));
  if (si < 0 || di < 0 || static_cast<size_t>(si) >= s->driver.sizes.size() ||
      static_cast<size_t>(di) >= s->driver.bitDepths.size()) {
    EndDialog(d, IDCANCEL);
    return;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = s->driver.sizes[static_cast<size_t>(si)].width;
  bi.bmiHeader.biHeight = s->driver.sizes[static_cast<size_t>(si)].height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(s->driver.bitDepths[static_cast<size_t>(di)]);
  bi.bmiHeader.biCompression = BI_RGB;
  EndDialog(d, SetVideoFormat(s, sizeof bi.bmiHeader, &bi) ? IDOK : IDCANCEL);
}

}  // namespace

LRESULT ShowFormatDialog(CaptureWindowState* s) {
  bool offered = s->driver.hasFormatDialog && !IsRecording(s);
  return ShowDriverDialog(s, offered, IDD_CAP_FORMAT, DriverDialogProc<OnInitDialog, OnOk>);
}
