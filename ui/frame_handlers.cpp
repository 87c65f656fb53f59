// Destroy, move, size and close of the frame windows. Destroying the main
// window detaches the capture callbacks and records its geometry; destroying
// either window ends the message loop.
#include "ui/frame_handlers.h"

#include <vfw.h>

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "ui/layout.h"

LRESULT OnFrameDestroy(HWND window) {
  if (window == g_context.mainWindow) {
    SendCapture(WM_CAP_SET_CALLBACK_STATUSA, 0, 0);
    SendCapture(WM_CAP_SET_CALLBACK_ERRORA, 0, 0);
    RECT r;
    if (GetWindowRect(window, &r)) {
      Settings& s = g_context.settings;
      s.XPOS = r.left;
      s.YPOS = r.top;
      // The window's real extent, so that an unchanged window keeps its size
      // from one run to the next.
      s.Width = r.right - r.left;
      s.Height = r.bottom - r.top;
    }
    if (g_context.timerRunning) KillTimer(window, reinterpret_cast<UINT_PTR>(window));
  }
  PostQuitMessage(0);
  return 0;
}

LRESULT OnFrameMove(HWND window, unsigned x, unsigned y) {
  g_context.settings.XPOS = static_cast<int>(x);
  g_context.settings.YPOS = static_cast<int>(y);
  CancelCountdown(window);
  return 0;
}

LRESULT OnFrameSize(HWND window, unsigned width, unsigned height) {
  CancelCountdown(window);
  if (window == g_context.mainWindow) {
    // The client size for now; destroying the window records the real one.
    g_context.settings.Width = static_cast<int>(width);
    g_context.settings.Height = static_cast<int>(height);
  }
  LayOutFrameWindows();
  return 0;
}

LRESULT OnFrameClose(HWND window) {
  DestroyWindow(window);
  return 0;
}
