// Start-up in its fixed order, the message loop and the save at the end.
#include "app/application.h"

#include <commctrl.h>

#include "app/application_context.h"
#include "app/settings.h"
#include "capture/driver_connection.h"
#include "resources/resource.h"
#include "ui/frame_windows.h"

int StartApplication(HINSTANCE instance) {
  g_context.instance = instance;                                   // 1
  g_context.timerRunning = 0;
  InitCommonControls();                                            // 2
  g_context.mainWindow = nullptr;                                  // 3
  g_context.statusWindow = nullptr;
  g_context.toolbarWindow = nullptr;
  g_context.videoFrameWindow = nullptr;
  g_context.captureWindow = nullptr;
  LoadSettings();                                                  // 4
  g_context.menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU));  // 5
  if (!g_context.menu) return 0;
  if (!CreateFrameWindows()) return 0;                             // 6
  CreateToolbar();                                                 // 7
  CreateStatusBar();                                               // 8
  SendMessageA(g_context.videoFrameWindow, WM_SIZE, 0, 0);         // 9: first layout
  ConnectAtStartup();                                              // 10
  return 1;
}

void RunMessageLoop() {
  MSG msg;
  // 0 is the quit message, -1 an error: both end the loop.
  while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int RunApplication(HINSTANCE instance) {
  if (!StartApplication(instance)) return 0;
  RunMessageLoop();                                                // 11
  SaveSettings();                                                  // 12
  return 1;                                                        // 13
}
