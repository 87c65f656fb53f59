// Creation of the window class and the two frame windows.
#include "ui/frame_windows.h"

#include "app/application_context.h"
#include "resources/resource.h"
#include "ui/layout_arithmetic.h"

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

enum { kMaxMonitors = 16 };

struct WorkAreas {
  Placement areas[kMaxMonitors];
  int count;
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  auto* found = reinterpret_cast<WorkAreas*>(list);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (found->count < kMaxMonitors && GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcWork;
    found->areas[found->count++] = Placement{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  return TRUE;
}

// The stored geometry, moved back to the defaults when it lies off every
// monitor and kept within the screen's size, so that the window can always
// be reached. The Settings themselves stay as loaded.
Placement MainWindowPlacement() {
  const Settings& s = g_context.settings;
  WorkAreas found{};
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&found));
  return ReachableMainWindow(Placement{s.XPOS, s.YPOS, s.Width, s.Height}, found.areas, found.count,
                             GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

}  // namespace

int CreateFrameWindows() {
  LoadStringA(g_context.instance, IDS_CAPTION, g_context.caption, sizeof g_context.caption);
  RegisterFrameClass();

  const Placement place = MainWindowPlacement();
  g_context.mainWindow = CreateWindowExA(0, g_context.caption, g_context.caption, kMainWindowStyle,
                                         place.x, place.y, place.width, place.height, nullptr,
                                         g_context.menu, g_context.instance, nullptr);
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
