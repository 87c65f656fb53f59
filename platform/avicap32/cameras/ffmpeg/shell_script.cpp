// Shell scripts and their private folder (see shell_script.h).
#include "cameras/ffmpeg/shell_script.h"

#include <vector>

#include "cameras/ffmpeg/unix_host.h"

namespace {

enum { kMaxLogBytes = 64 * 1024, kPollMs = 20 };

const char kShell[] = "/bin/sh";

std::wstring Widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> wide(static_cast<size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
  return std::wstring(wide.data());
}

}  // namespace

ScriptFolder::~ScriptFolder() {
  if (unixPath_.empty()) return;
  std::string folder = WindowsPathOf(unixPath_);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

bool ScriptFolder::Create(const std::string& unixTempFolder) {
  static LONG counter = 0;
  std::string base = unixTempFolder + "/morva-ffmpeg-" + std::to_string(OwnUnixPid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = base + std::to_string(InterlockedIncrement(&counter)) + "-" +
                       std::to_string(GetTickCount() & 0xFFFF);
    if (CreateDirectoryA(WindowsPathOf(path).c_str(), nullptr)) {
      unixPath_ = path;
      return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

capcore::ScriptFiles ScriptFolder::Files() const {
  capcore::ScriptFiles f;
  f.folder = unixPath_;
  f.pidFile = File("pid");
  f.stopFile = File("stop");
  f.logFile = File("log");
  return f;
}

bool StartShellScript(const std::string& script) {
  std::wstring program = Widen(WindowsPathOf(kShell));
  std::wstring line = Widen(std::string(kShell) + " -c " + capcore::WindowsQuote(script));
  if (program.empty() || line.empty()) return false;
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                      nullptr, nullptr, &si, &pi))
    return false;
  // Wine gives no handles for a Unix program, and may leave any value in
  // their place (even that of a handle of ours): only real ones are closed.
  if (pi.hThread && pi.dwThreadId != 0 && GetThreadId(pi.hThread) == pi.dwThreadId) CloseHandle(pi.hThread);
  if (pi.hProcess && pi.dwProcessId != 0 && GetProcessId(pi.hProcess) == pi.dwProcessId) CloseHandle(pi.hProcess);
  return true;
}

bool RunFfmpegProbe(const ServiceKnobs& knobs, const capcore::Arguments& args, int seconds, std::string* log) {
  ScriptFolder folder;
  if (!folder.Create(knobs.unixTempFolder)) return false;
  capcore::ScriptFiles files = folder.Files();
  if (!StartShellScript(capcore::ProbeScript(knobs.ffmpegProgram, args, files, seconds))) return false;
  // The script's own time limit ends ffmpeg; allow the shell a little more.
  DWORD start = GetTickCount(), limit = static_cast<DWORD>(seconds) * 1000 + 2000;
  while (GetTickCount() - start < limit) {
    if (ReadUnixFile(files.logFile, log, kMaxLogBytes)) return true;
    Sleep(kPollMs);
  }
  return false;
}
