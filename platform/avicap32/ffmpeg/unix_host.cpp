// The Linux machine under Wine (see unix_host.h).
#include "ffmpeg/unix_host.h"

#include <windows.h>

#include <cstdlib>

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

bool ReadUnixFile(const std::string& unixPath, std::string* out, size_t maxBytes) {
  HANDLE f = CreateFileA(WindowsPathOf(unixPath).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  out->clear();
  char buf[4096];
  DWORD got = 0;
  // Files under /proc and /sys report no size: read until the end.
  while (out->size() < maxBytes && ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
    out->append(buf, got < maxBytes - out->size() ? got : maxBytes - out->size());
  CloseHandle(f);
  return true;
}

bool UnixPathExists(const std::string& unixPath) {
  return GetFileAttributesA(WindowsPathOf(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

long OwnUnixPid() {
  std::string stat;
  if (!ReadUnixFile("/proc/self/stat", &stat, 64)) return 0;
  return std::strtol(stat.c_str(), nullptr, 10);
}

bool UnixProcessRunning(long pid) {
  if (pid <= 0) return false;
  std::string stat;
  if (!ReadUnixFile("/proc/" + std::to_string(pid) + "/stat", &stat, 512)) return false;
  // "pid (name) S ...": the state follows the name's closing parenthesis.
  size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 2 >= stat.size()) return false;
  char state = stat[close + 2];
  return state != 'Z' && state != 'X';
}

std::string FfmpegProgram() {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("MORVA_FFMPEG", path, sizeof path);
  if (n > 0 && n < sizeof path && path[0] == '/') return path;
  return "/usr/bin/ffmpeg";
}

bool FfmpegAvailable() {
  return RunningUnderWine() && UnixPathExists(FfmpegProgram());
}
