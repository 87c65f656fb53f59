// In-process application runs for tests.
#include "tests/wine/support/app_runner.h"

#include <cstring>

#include "app/application.h"
#include "app/application_context.h"

namespace {

std::function<void()> g_duringLoop;

void CALLBACK CloseFromLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  try {
    if (g_duringLoop) g_duringLoop();
  } catch (...) {
  }
  if (g_context.mainWindow) PostMessageA(g_context.mainWindow, WM_CLOSE, 0, 0);
}

}  // namespace

void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
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

int RunApplicationUntilClosed(const std::function<void()>& duringLoop) {
  g_duringLoop = duringLoop;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseFromLoop);
  int rc = RunApplication(GetModuleHandleA(nullptr));
  KillTimer(nullptr, timer);
  g_duringLoop = nullptr;
  DrainMessages();
  return rc;
}
