// The plain test window class (see plain_window.h).
#include "tests/wine/support/plain_window.h"

const char* PlainWindowClass() {
  static const char name[] = "MorvaTestPlainWindow";
  static bool registered = false;
  if (!registered) {
    WNDCLASSA c{};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = name;
    c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&c);
    registered = true;
  }
  return name;
}
