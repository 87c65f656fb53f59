// In-process application runs for tests.
#include "tests/wine/support/app_runner.h"

#include <cstring>

#include "app/application.h"
#include "app/application_context.h"

namespace {

std::function<void()> g_duringLoop;
bool g_closeMain = true;

void CALLBACK CloseFromLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  try {
    if (g_duringLoop) g_duringLoop();
  } catch (...) {
  }
  if (g_closeMain && g_context.mainWindow) PostMessageA(g_context.mainWindow, WM_CLOSE, 0, 0);
}

void CALLBACK CloseAtLast(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_context.mainWindow) PostMessageA(g_context.mainWindow, WM_CLOSE, 0, 0);
}

}  // namespace

void DrainMessages() {
  // A window that needs painting yields WM_PAINT until it is painted, so
  // paint messages are dispatched (which validates) rather than dropped; the
  // bound keeps a window that never validates from holding the test forever.
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_PAINT) DispatchMessageA(&msg);
  }
}

void ResetApplicationContext() {
  if (g_context.mainWindow && IsWindow(g_context.mainWindow)) DestroyWindow(g_context.mainWindow);
  if (g_context.videoFrameWindow && IsWindow(g_context.videoFrameWindow)) {
    DestroyWindow(g_context.videoFrameWindow);
  }
  DrainMessages();
  std::memset(&g_context, 0, sizeof g_context);
}

int RunApplicationUntilClosed(const std::function<void()>& duringLoop, bool closeMain) {
  g_duringLoop = duringLoop;
  g_closeMain = closeMain;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseFromLoop);
  UINT_PTR safety = closeMain ? 0 : SetTimer(nullptr, 0, 5000, CloseAtLast);
  int rc = RunApplication(GetModuleHandleA(nullptr));
  KillTimer(nullptr, timer);
  if (safety) KillTimer(nullptr, safety);
  g_duringLoop = nullptr;
  DrainMessages();
  return rc;
}
