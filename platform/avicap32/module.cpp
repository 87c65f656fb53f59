// The DLL's entry point: remembers the module instance (for the dialog
// resources and the window class) and unregisters the class on unload.
#include <windows.h>

#include "window/capture_window.h"
#include "module.h"

namespace {
HINSTANCE g_module = nullptr;
}

HINSTANCE ModuleInstance() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    UnregisterClassA(kCaptureWindowClass, instance);
  }
  return TRUE;
}
