// FrameWindowProcedure: the dispatch table shared by the main window and the
// video frame window. Each message goes to the routine that owns it.
#include <windowsx.h>

#include "capture/command_handler.h"
#include "capture/self_timer.h"
#include "ui/frame_handlers.h"
#include "ui/frame_windows.h"
#include "ui/menu_help.h"

namespace {

LRESULT Dispatch(HWND window, UINT message, WPARAM first, LPARAM second) {
  switch (message) {
    case WM_CREATE:        return 0;
    case WM_DESTROY:       return OnFrameDestroy(window);
    case WM_MOVE:          return OnFrameMove(window, LOWORD(second), HIWORD(second));
    case WM_SIZE:          return OnFrameSize(window, LOWORD(second), HIWORD(second));
    case WM_PAINT:         return OnFramePaint(window);
    case WM_CLOSE:         return OnFrameClose(window);
    case WM_DRAWITEM:      return DrawGauge(reinterpret_cast<const DRAWITEMSTRUCT*>(second));
    case WM_NOTIFY:        return HandleNotify(reinterpret_cast<NMHDR*>(second));
    case WM_COMMAND:       return HandleCommand(window, LOWORD(first));
    case WM_TIMER:         Tick(window, first); return 0;
    case WM_INITMENUPOPUP: return HandlePopupOpened(window, LOWORD(second), HIWORD(second));
    case WM_MENUSELECT:    return HandleMenuSelect(window, LOWORD(first), HIWORD(first));
    default:               return DefWindowProcA(window, message, first, second);
  }
}

}  // namespace

LRESULT CALLBACK FrameWindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
  try {
    return Dispatch(window, message, first, second);
  } catch (...) {
    return 0;  // nothing may leave a window procedure
  }
}
