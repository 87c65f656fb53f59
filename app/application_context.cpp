// The process-wide ApplicationContext and CancelCountdown, which every
// window handler uses to stop a running self-timer.
#include "app/application_context.h"

#include "ui/status_bar.h"

ApplicationContext g_context;

void CancelCountdown(HWND window) {
  KillTimer(window, reinterpret_cast<UINT_PTR>(window));
  g_context.timerRunning = 0;
  // Part 0, no drawing flags; with no status bar yet this sends nothing.
  StatusBar_SetPartText(g_context.statusWindow, 0, 0, "");
}
