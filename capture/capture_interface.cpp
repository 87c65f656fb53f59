// SendCapture: the one path of every request to the capture window.
#include "capture/capture_interface.h"

#include "app/application_context.h"

LRESULT SendCapture(UINT request, WPARAM first, LPARAM second) {
  HWND capture = g_context.captureWindow;
  if (!capture || !IsWindow(capture)) return 0;
  return SendMessageA(capture, request, first, second);
}
