// Records from the synthetic camera through the capture service and prints
// frames, dropped frames and the process's CPU use. Run under Wine by
// scripts/benchmarks.sh. Usage: bench_recording SECONDS [WIDTH HEIGHT FPS [keep] [mjpeg]]
// (keep: the file stays in the temp folder for a reader to check; mjpeg: the
// camera remembers Morva's Motion JPEG codec, so the frames are compressed).
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(const FILETIME& f) {
  ULARGE_INTEGER v;
  v.LowPart = f.dwLowDateTime;
  v.HighPart = f.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 1e7;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

bool HasFlag(int argc, char** argv, const char* flag) {
  for (int i = 5; i < argc; ++i)
    if (lstrcmpA(argv[i], flag) == 0) return true;
  return false;
}

// The camera at index 0 remembers the codec in a settings file of this run.
void RememberCodec() {
  char ini[MAX_PATH], name[256] = "", version[64];
  GetTempPathA(sizeof ini, ini);
  lstrcatA(ini, "morva_bench_settings.ini");
  DeleteFileA(ini);
  SetEnvironmentVariableA("MORVA_CAPTURE_SETTINGS", ini);
  capGetDriverDescriptionA(0, name, sizeof name, version, sizeof version);
  WritePrivateProfileStringA("Camera0", "Description", name, ini);
  WritePrivateProfileStringA("Camera0", "Compressor", "MJPG", ini);
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  int width = argc > 4 ? std::atoi(argv[2]) : 640;
  int height = argc > 4 ? std::atoi(argv[3]) : 480;
  int fps = argc > 4 ? std::atoi(argv[4]) : 30;
  if (seconds <= 0 || width <= 0 || height <= 0 || fps <= 0) return 2;
  const bool mjpeg = HasFlag(argc, argv, "mjpeg");
  if (mjpeg) RememberCodec();
  HWND cap = capCreateCaptureWindowA("bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, 0);
  if (!cap || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, 0, 0)) {
    std::fprintf(stderr, "no capture window or camera\n");
    return 1;
  }
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biSizeImage = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
  if (!SendMessageA(cap, WM_CAP_SET_VIDEOFORMAT, sizeof format, reinterpret_cast<LPARAM>(&format))) {
    std::fprintf(stderr, "the camera does not take %dx%d 24-bit\n", width, height);
    return 1;
  }
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  lstrcatA(path, "morva_bench_recording.avi");
  SendMessageA(cap, WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(path));
  CAPTUREPARMS p{};
  SendMessageA(cap, WM_CAP_GET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
  p.dwRequestMicroSecPerFrame = static_cast<DWORD>(1000000 / fps);
  p.fLimitEnabled = TRUE;
  p.wTimeLimit = static_cast<UINT>(seconds);
  p.fAbortLeftMouse = p.fAbortRightMouse = FALSE;
  p.vKeyAbort = 0;
  SendMessageA(cap, WM_CAP_SET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
  SendMessageA(cap, WM_CAP_SET_PREVIEW, TRUE, 0);

  double cpu0 = CpuSeconds();
  DWORD t0 = GetTickCount();
  LRESULT ok = SendMessageA(cap, WM_CAP_SEQUENCE, 0, 0);
  double wall = (GetTickCount() - t0) / 1000.0;
  double cpu = CpuSeconds() - cpu0;
  CAPSTATUS st{};
  SendMessageA(cap, WM_CAP_GET_STATUS, sizeof st, reinterpret_cast<LPARAM>(&st));
  WIN32_FILE_ATTRIBUTE_DATA d{};
  GetFileAttributesExA(path, GetFileExInfoStandard, &d);
  double mb = ((static_cast<double>(d.nFileSizeHigh) * 4294967296.0) + d.nFileSizeLow) / 1e6;
  std::printf("recording %dx%d 24-bit%s at %d fps for %d s: %s, %lu frames, %lu dropped, %.1f MB, "
              "CPU %.1f s in %.1f s = %.1f%% of one core\n",
              width, height, mjpeg ? " to MJPG" : "", fps, seconds, ok ? "ok" : "FAILED", static_cast<unsigned long>(st.dwCurrentVideoFrame),
              static_cast<unsigned long>(st.dwCurrentVideoFramesDropped), mb, cpu, wall,
              wall > 0 ? 100.0 * cpu / wall : 0.0);
  DestroyWindow(cap);
  if (HasFlag(argc, argv, "keep")) std::printf("kept %s\n", path);
  else DeleteFileA(path);
  return ok ? 0 : 1;
}
