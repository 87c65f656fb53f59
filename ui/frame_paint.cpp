// Painting of the frame windows: a plain button-face fill.
#include "ui/frame_handlers.h"

#include "app/application_context.h"

LRESULT OnFramePaint(HWND window) {
  CancelCountdown(window);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  SetBkMode(dc, OPAQUE);
  RECT client;
  GetClientRect(window, &client);
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  EndPaint(window, &ps);
  return 0;
}
