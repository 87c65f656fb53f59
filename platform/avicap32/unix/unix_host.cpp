// The Linux machine under Wine (see unix_host.h).
#include "unix/unix_host.h"

#include <windows.h>

#include <cstdlib>

#include "common/file_handle.h"
#include "common/file_io.h"

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:";
  for (char c : unixPath) path += c == '/' ? '\\' : c;
  return path;
}

bool UnixPathOf(const wchar_t* path, std::string* out) {
  // Wine's own export: a UTF-8 path in a block of the process heap.
  typedef char*(__cdecl * UnixFileName)(const WCHAR*);
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  UnixFileName unixName =
      kernel32 ? reinterpret_cast<UnixFileName>(GetProcAddress(kernel32, "wine_get_unix_file_name")) : nullptr;
  if (unixName == nullptr || path == nullptr) return false;
  char* name = unixName(path);
  if (name == nullptr) return false;
  out->assign(name);
  HeapFree(GetProcessHeap(), 0, name);
  return !out->empty() && (*out)[0] == '/';
}

bool ReadUnixFile(const std::string& unixPath, std::string* out, size_t maxBytes) {
  FileHandle f(CreateFileA(WindowsPathOf(unixPath).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  return f.valid() && ReadUpTo(f.get(), maxBytes, out);
}

bool UnixPathExists(const std::string& unixPath) {
  return GetFileAttributesA(WindowsPathOf(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

long OwnUnixPid() {
  // Wine's server opens files for its clients, so /proc/self read through
  // CreateFile is the server's; a path's attributes are looked up by this
  // process itself. Of the processes listed in /proc, ours is the one whose
  // id is a task of /proc/self.
  static volatile LONG known = 0;
  if (known != 0) return known;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  long pid = 0;
  do {
    if (fd.cFileName[0] < '1' || fd.cFileName[0] > '9') continue;
    std::string task = std::string("Z:\\proc\\self\\task\\") + fd.cFileName;
    if (GetFileAttributesA(task.c_str()) != INVALID_FILE_ATTRIBUTES) pid = std::strtol(fd.cFileName, nullptr, 10);
  } while (pid == 0 && FindNextFileA(h, &fd));
  FindClose(h);
  InterlockedExchange(&known, pid);
  return pid;
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

bool FfmpegAvailable(const ServiceKnobs& knobs) {
  return RunningUnderWine() && UnixPathExists(knobs.ffmpegProgram);
}
