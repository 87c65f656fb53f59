// Creation of the window class and the two frame windows.
#include "ui/frame_windows.h"

#include "app/application_context.h"
#include "resources/resource.h"

static_assert(kMainWindowStyle == 0x12CE0000, "main window style");
static_assert(kVideoFrameStyle == 0x50400000, "video frame window style");

namespace {

void RegisterFrameClass() {
  WNDCLASSA c{};
  c.style = CS_HREDRAW | CS_VREDRAW;
  c.lpfnWndProc = FrameWindowProcedure;
  c.cbClsExtra = 0;
  c.cbWndExtra = 0;
  c.hInstance = g_context.instance;
  c.hIcon = LoadIconA(g_context.instance, MAKEINTRESOURCEA(IDI_MAINICON));
  c.hCursor = LoadCursorA(g_context.instance, MAKEINTRESOURCEA(IDC_MAINCURSOR));
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  c.lpszMenuName = nullptr;
  c.lpszClassName = g_context.caption;
  RegisterClassA(&c);  // a second registration (a second run in one process) fails harmlessly
}

}  // namespace

int CreateFrameWindows() {
  LoadStringA(g_context.instance, IDS_CAPTION, g_context.caption, sizeof g_context.caption);
  RegisterFrameClass();

  const Settings& s = g_context.settings;
  g_context.mainWindow =
      CreateWindowExA(0, g_context.caption, g_context.caption, kMainWindowStyle, s.XPOS, s.YPOS,
                      s.Width, s.Height, nullptr, g_context.menu, g_context.instance, nullptr);
  if (!g_context.mainWindow) return 0;
  ShowWindow(g_context.mainWindow, SW_SHOW);
  UpdateWindow(g_context.mainWindow);

  g_context.videoFrameWindow =
      CreateWindowExA(0, g_context.caption, g_context.caption, kVideoFrameStyle, 100, 100, 100, 100,
                      g_context.mainWindow, nullptr, g_context.instance, nullptr);
  if (!g_context.videoFrameWindow) return 0;
  ShowWindow(g_context.videoFrameWindow, SW_SHOW);
  UpdateWindow(g_context.videoFrameWindow);
  return 1;
}
