// The status bar: its creation and thin wrappers for the two ways its text
// is set, so that callers do not cast SendMessage arguments by hand.
#ifndef MORVA_UI_STATUS_BAR_H
#define MORVA_UI_STATUS_BAR_H

#include <windows.h>
#include <commctrl.h>

// Start-up step 8: the status bar with "Load Completed"; always 1.
int CreateStatusBar();

// The status bar's set-text request for one part, with drawing flags
// (0, or SBT_OWNERDRAW with data instead of text).
inline void StatusBar_SetPartText(HWND status, int part, UINT flags, LPCSTR text) {
  SendMessageA(status, SB_SETTEXTA, static_cast<WPARAM>(part | flags),
               reinterpret_cast<LPARAM>(text));
}

// The window-text operation on the status bar: the text of its only part.
inline void StatusBar_SetWindowText(HWND status, LPCSTR text) { SetWindowTextA(status, text); }

#endif
