// Status and error reports from the capture service.
#include "ui/status_report.h"

#include <vfw.h>

#include <cstdio>

#include "app/application_context.h"
#include "ui/status_bar.h"

namespace {

// The report "Status : <number> <text>", cut to fit the 200-byte buffer.
void FormatReport(char (&report)[kTextSize], int number, LPCSTR text) {
  std::snprintf(report, sizeof report, "Status : %d %s", number, text ? text : "");
}

void ShowStatus(int number, LPCSTR text) {
  char report[kTextSize];
  FormatReport(report, number, text);
  switch (number) {
    case IDS_CAP_END:
      SetWindowTextA(g_context.mainWindow, g_context.caption);
      MessageBoxA(g_context.mainWindow, report, g_context.caption, MB_OK);
      StatusBar_SetWindowText(g_context.statusWindow, "");
      break;
    case IDS_CAP_STAT_VIDEOCURRENT:
      SetWindowTextA(g_context.mainWindow, report);
      StatusBar_SetWindowText(g_context.statusWindow, report);
      break;
    case IDS_CAP_STAT_CAP_L_FRAMES:
    case IDS_CAP_STAT_VIDEOAUDIO:
    case IDS_CAP_STAT_VIDEOONLY:
    case IDS_CAP_STAT_FRAMESDROPPED:
      StatusBar_SetWindowText(g_context.statusWindow, report);
      break;
    default:
      break;
  }
}

}  // namespace

LRESULT CALLBACK StatusProcedure(HWND captureWindow, int number, LPCSTR text) {
  (void)captureWindow;
  try {
    ShowStatus(number, text);
  } catch (...) {
  }
  return 1;
}

LRESULT CALLBACK ErrorProcedure(HWND captureWindow, int number, LPCSTR text) {
  (void)captureWindow;
  try {
    if (number != 0) MessageBoxA(nullptr, text ? text : "", g_context.caption, MB_OK);
  } catch (...) {
  }
  return 1;
}
