// A camera read through ffmpeg (its test source at 30 frames/s) under Wine:
//   bench_ffmpeg_camera preview WIDTH HEIGHT SECONDS   live picture at 30 frames/s
//   bench_ffmpeg_camera record WIDTH HEIGHT SECONDS    24-bit recording at 30 frames/s
// Prints the frames shown or recorded, the dropped ones, and the CPU share
// (of one core) of this Wine process and of its ffmpeg.
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
  std::string text;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
  CloseHandle(f);
  return text;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  return static_cast<double>(k.QuadPart + u.QuadPart) / 1e7;
}

// The ffmpeg of this process's camera, from its pid file.
long FfmpegPid() {
  // Our Unix id: the /proc entry that is a task of /proc/self (Wine's server
  // opens files for its clients, so /proc/self/stat would be the server's).
  long self = 0;
  WIN32_FIND_DATAA fd;
  HANDLE all = FindFirstFileA("Z:\\proc\\*", &fd);
  if (all == INVALID_HANDLE_VALUE) return 0;
  do {
    if (GetFileAttributesA((std::string("Z:\\proc\\self\\task\\") + fd.cFileName).c_str()) != INVALID_FILE_ATTRIBUTES)
      self = std::atol(fd.cFileName);
  } while (self == 0 && FindNextFileA(all, &fd));
  FindClose(all);
  // The launcher's folder matches too, without a pid file: the first folder
  // that has one is the camera's.
  std::string pattern = "Z:\\tmp\\morva-sh-" + std::to_string(self) + "-*";
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  long pid = 0;
  do {
    pid = std::atol(ReadAll(std::string("Z:\\tmp\\") + fd.cFileName + "\\pid").c_str());
  } while (pid == 0 && FindNextFileA(h, &fd));
  FindClose(h);
  return pid;
}

// utime + stime of a Unix process, in seconds (clock ticks of 1/100 s).
double UnixCpuSeconds(long pid) {
  std::string stat = ReadAll("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  const char* p = stat.c_str() + close + 2;
  for (int field = 3; field < 14 && *p; ++field) {  // to field 14, utime
    p = std::strchr(p, ' ');
    if (!p) return 0;
    ++p;
  }
  char* end = nullptr;
  double utime = std::strtod(p, &end);
  double stime = std::strtod(end, nullptr);
  return (utime + stime) / 100.0;
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
}

CAPSTATUS StatusOf(HWND cap) {
  CAPSTATUS st{};
  SendMessageA(cap, WM_CAP_GET_STATUS, sizeof st, reinterpret_cast<LPARAM>(&st));
  return st;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: bench_ffmpeg_camera preview|record WIDTH HEIGHT SECONDS\n");
    return 2;
  }
  bool record = std::strcmp(argv[1], "record") == 0;
  int width = std::atoi(argv[2]), height = std::atoi(argv[3]), seconds = std::atoi(argv[4]);
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string cameras = std::string(temp) + "bench_ffmpeg_cameras.ini";
  std::string ini = "[Driver0]\r\nDescription=ffmpeg test source\r\nInput=-f lavfi -i testsrc2=size=" + std::to_string(width) +
                    "x" + std::to_string(height) + ":rate=30\r\n";
  HANDLE f = CreateFileA(cameras.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD wrote = 0;
  WriteFile(f, ini.data(), static_cast<DWORD>(ini.size()), &wrote, nullptr);
  CloseHandle(f);
  SetEnvironmentVariableA("MORVA_CAMERAS", cameras.c_str());
  SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", "none");

  HWND cap = capCreateCaptureWindowA("bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, 0);
  if (cap == nullptr || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, 0, 0)) {
    std::fprintf(stderr, "the ffmpeg camera did not connect\n");
    return 1;
  }
  SendMessageA(cap, WM_CAP_SET_PREVIEWRATE, 33, 0);
  SendMessageA(cap, WM_CAP_SET_PREVIEW, 1, 0);
  Pump(1000);  // settle
  long ffmpeg = FfmpegPid();
  double cpu0 = ProcessCpuSeconds(), ff0 = UnixCpuSeconds(ffmpeg);
  DWORD f0 = StatusOf(cap).dwCurrentVideoFrame, t0 = GetTickCount();
  DWORD frames = 0, dropped = 0;
  if (record) {
    std::string avi = std::string(temp) + "bench_ffmpeg.avi";
    SendMessageA(cap, WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(avi.c_str()));
    CAPTUREPARMS p{};
    SendMessageA(cap, WM_CAP_GET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
    p.dwRequestMicroSecPerFrame = 33333;
    p.fCaptureAudio = FALSE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = static_cast<UINT>(seconds);
    p.fAbortLeftMouse = p.fAbortRightMouse = FALSE;
    p.vKeyAbort = 0;
    p.fYield = FALSE;
    SendMessageA(cap, WM_CAP_SET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
    SendMessageA(cap, WM_CAP_SEQUENCE, 0, 0);
    CAPSTATUS st = StatusOf(cap);
    frames = st.dwCurrentVideoFrame;
    dropped = st.dwCurrentVideoFramesDropped;
    DeleteFileA(avi.c_str());
  } else {
    Pump(static_cast<DWORD>(seconds) * 1000);
    frames = StatusOf(cap).dwCurrentVideoFrame - f0;
  }
  double wall = (GetTickCount() - t0) / 1000.0;
  double cpu = ProcessCpuSeconds() - cpu0, ff = UnixCpuSeconds(ffmpeg) - ff0;
  if (record)
    std::printf("ffmpeg camera record %dx%d: %lu frames (%lu dropped) in %.1f s, Wine process %.1f%% of a core, ffmpeg %.1f%%\n",
                width, height, static_cast<unsigned long>(frames), static_cast<unsigned long>(dropped), wall,
                100.0 * cpu / wall, 100.0 * ff / wall);
  else
    std::printf("ffmpeg camera preview %dx%d: %lu frames shown in %.1f s (%.1f/s), Wine process %.1f%% of a core, ffmpeg %.1f%%\n",
                width, height, static_cast<unsigned long>(frames), wall, frames / wall, 100.0 * cpu / wall,
                100.0 * ff / wall);
  DestroyWindow(cap);
  DeleteFileA(cameras.c_str());
  return 0;
}
