// The one process-wide state: window handles, caption, settings, driver
// capabilities and the self-timer's countdown state. Zeroed before the entry
// point runs; every part of the program reads and writes it directly.
#ifndef MORVA_APP_APPLICATION_CONTEXT_H
#define MORVA_APP_APPLICATION_CONTEXT_H

#include <windows.h>
#include <vfw.h>

#include "app/settings.h"

struct ApplicationContext {
  HINSTANCE instance;
  char caption[kTextSize];     // string 1: class name, titles, message box captions
  HMENU menu;                  // menu resource 101
  HWND mainWindow;
  HWND videoFrameWindow;
  HWND statusWindow;
  HWND toolbarWindow;
  HWND captureWindow;
  Settings settings;
  CAPDRIVERCAPS driverCaps;    // refreshed after every successful connection
  UINT_PTR timerRunning;       // result of the self-timer's SetTimer, 0 when idle
  DWORD timerStartTick;
  int lastGaugeBitmap;         // -1 right after a countdown starts
};

extern ApplicationContext g_context;

// Stops the self-timer owned by `window` (identifier = the window's handle),
// clears timerRunning and empties status bar part 0.
void CancelCountdown(HWND window);

#endif
