// The button-face fill of a paint request.
#include "ui/button_face_paint.h"

void PaintButtonFace(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  SetBkMode(dc, OPAQUE);
  RECT client = {};
  GetClientRect(window, &client);
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  EndPaint(window, &ps);
}
