// The two frame windows (the main window and the video frame window inside
// it), their shared window class and window procedure.
#ifndef MORVA_UI_FRAME_WINDOWS_H
#define MORVA_UI_FRAME_WINDOWS_H

#include <windows.h>

#include "ui/status_bar.h"
#include "ui/toolbar.h"

// Styles of the two windows.
enum : DWORD {
  kMainWindowStyle = WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                     WS_MINIMIZEBOX,                    // 0x12CE0000
  kVideoFrameStyle = WS_CHILD | WS_VISIBLE | WS_DLGFRAME,  // 0x50400000
};

// Start-up step 6: loads the caption, registers the class, creates, shows
// and updates both windows. 0 when either window cannot be created.
int CreateFrameWindows();

// Shared by both frame windows.
LRESULT CALLBACK FrameWindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second);

#endif
