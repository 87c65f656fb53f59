// A trivial Windows program: one top-level window filled with one colour
// (RGB 18, 52, 86, which nothing else on the screen has), shown at once and
// kept until it is closed. The benchmarks time its start under Wine, from
// launch to the colour on the screen, as the anchor for morva.exe's start to
// its first live frame.
//   one_window [x y width height]     (default 100 100 540 500)
#include <windows.h>

#include <cstdlib>

namespace {

const char kTitle[] = "Morva benchmark window";
const COLORREF kFill = RGB(18, 52, 86);

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  int place[4] = {100, 100, 540, 500};
  for (int i = 0; i < 4 && i + 1 < __argc; ++i) place[i] = std::atoi(__argv[i + 1]);
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(kFill);
  wc.lpszClassName = "MorvaBenchmarkWindow";
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, place[0], place[1],
                                place[2], place[3], nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
