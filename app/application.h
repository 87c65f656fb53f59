// The application's lifetime: the start-up steps in their fixed order, the
// message loop and the final save. WinMain only hands its instance here, so
// tests can run the whole program inside their own process.
#ifndef MORVA_APP_APPLICATION_H
#define MORVA_APP_APPLICATION_H

#include <windows.h>

// Start-up steps 1 to 10. Returns 1, or 0 when the menu cannot be loaded or
// a frame window cannot be created (nothing is saved then).
int StartApplication(HINSTANCE instance);

// Fetches and dispatches messages while the fetch returns exactly 1.
void RunMessageLoop();

// Start-up, the loop, then the settings are written once. Returns the exit
// code: 1 after a normal run, 0 when start-up failed.
int RunApplication(HINSTANCE instance);

#endif
