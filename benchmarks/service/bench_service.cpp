// Capture service speed under Wine, through the real capture window:
//   bench_service preview [seconds [width height]]
//                                     24-bit preview at 30 frames/s (640 x 480 by
//                                     default): process CPU time over wall time
//   bench_service savedib [count]     SAVEDIB of a 640 x 480 24-bit frame: ms each
//   bench_service show [seconds]      just the live picture, for screenshots
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

double Seconds(const FILETIME& t) {
  ULARGE_INTEGER u;
  u.LowPart = t.dwLowDateTime;
  u.HighPart = t.dwHighDateTime;
  return static_cast<double>(u.QuadPart) / 1e7;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

HWND MakeCaptureWindow(int width, int height, HWND* parentOut) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MorvaBenchParent";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassA(&wc);
  RECT r = {0, 0, width, height};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND parent = CreateWindowExA(0, wc.lpszClassName, "Morva capture service: live picture",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  HWND cap = capCreateCaptureWindowA("", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent, 0);
  *parentOut = parent;
  if (cap == nullptr || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, 0, 0)) return nullptr;
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = BI_RGB;
  if (!SendMessageA(cap, WM_CAP_SET_VIDEOFORMAT, sizeof h, reinterpret_cast<LPARAM>(&h))) {
    std::printf("bench_service: the camera does not take %dx%d 24-bit\n", width, height);
    return nullptr;
  }
  return cap;
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
}

int Preview(HWND cap, int seconds, int width, int height) {
  SendMessageA(cap, WM_CAP_SET_PREVIEWRATE, 33, 0);
  SendMessageA(cap, WM_CAP_SET_PREVIEW, 1, 0);
  Pump(1000);  // settle
  CAPSTATUS st0{}, st1{};
  SendMessageA(cap, WM_CAP_GET_STATUS, sizeof st0, reinterpret_cast<LPARAM>(&st0));
  double cpu0 = CpuSeconds();
  DWORD t0 = GetTickCount();
  Pump(static_cast<DWORD>(seconds) * 1000);
  double wall = (GetTickCount() - t0) / 1000.0;
  double cpu = CpuSeconds() - cpu0;
  SendMessageA(cap, WM_CAP_GET_STATUS, sizeof st1, reinterpret_cast<LPARAM>(&st1));
  DWORD frames = st1.dwCurrentVideoFrame - st0.dwCurrentVideoFrame;
  std::printf("preview %dx%d 24-bit at 30 frames/s: %.1f%% of one core (%.2f s CPU over %.1f s), "
              "%.1f frames/s shown\n",
              width, height, 100.0 * cpu / wall, cpu, wall, frames / wall);
  return 0;
}

int SaveDib(HWND cap, int count) {
  SendMessageA(cap, WM_CAP_GRAB_FRAME, 0, 0);
  char folder[MAX_PATH], path[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  std::snprintf(path, sizeof path, "%smorva_bench_still.bmp", folder);
  SendMessageA(cap, WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(path));  // warm
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  int ok = 0;
  for (int i = 0; i < count; ++i)
    ok += SendMessageA(cap, WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(path)) ? 1 : 0;
  QueryPerformanceCounter(&b);
  double ms = 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart / count;
  std::printf("SAVEDIB 640x480 24-bit: %.2f ms per image (%d of %d written)\n", ms, ok, count);
  DeleteFileA(path);
  return ok == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "preview";
  const bool sized = std::strcmp(mode, "preview") == 0 && argc > 4;
  const int width = sized ? std::atoi(argv[3]) : 640;
  const int height = sized ? std::atoi(argv[4]) : 480;
  if (width <= 0 || height <= 0) return 2;
  HWND parent = nullptr;
  HWND cap = MakeCaptureWindow(width, height, &parent);
  if (cap == nullptr) {
    std::printf("bench_service: no capture window or driver\n");
    return 1;
  }
  int rc = 0;
  if (std::strcmp(mode, "show") == 0) {
    SendMessageA(cap, WM_CAP_SET_PREVIEWRATE, 33, 0);
    SendMessageA(cap, WM_CAP_SET_PREVIEW, 1, 0);
    Pump(static_cast<DWORD>(argc > 2 ? std::atoi(argv[2]) : 5) * 1000);
  } else if (std::strcmp(mode, "savedib") == 0)
    rc = SaveDib(cap, argc > 2 ? std::atoi(argv[2]) : 100);
  else
    rc = Preview(cap, argc > 2 ? std::atoi(argv[2]) : 10, width, height);
  DestroyWindow(parent);
  return rc;
}
