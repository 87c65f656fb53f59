// Shell scripts and their private folder (see shell_script.h).
#include "unix/shell_script.h"

#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "common/file_handle.h"
#include "common/file_io.h"
#include "unix/unix_host.h"

namespace {

enum { kMaxPidBytes = 32 };
enum : DWORD { kLauncherStartMs = 5000 };  // for the launcher to write its pid
enum : DWORD { kEndPollMs = 2 };           // AskToEnd looks this often

const char kShell[] = "/bin/sh";

std::wstring Widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> wide(static_cast<size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
  return std::wstring(wide.data());
}

bool WriteUnixFile(const std::string& unixPath, const std::string& text) {
  FileHandle f(CreateFileA(WindowsPathOf(unixPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  size_t done = 0;
  return f.valid() && WriteAll(f.get(), text.data(), text.size(), &done) == 0;
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
  std::string base = unixTempFolder + "/" + capcore::kScriptFolderPrefix + std::to_string(OwnUnixPid()) + "-";
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

void ScriptFolder::Wake() const {
  FileHandle f(CreateFileA(WindowsPathOf(File(capcore::kWakePipeName)).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD wrote = 0;
  if (f.valid()) WriteFile(f.get(), "\n", 1, &wrote, nullptr);
}

bool ScriptFolder::AskToEnd(const char* stopName, DWORD waitMs) const {
  if (unixPath_.empty()) return true;
  std::string folder = WindowsPathOf(unixPath_);
  if (!WriteUnixFile(File(stopName), "")) return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
  Wake();
  DWORD start = GetTickCount();
  for (;;) {
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    if (GetTickCount() - start >= waitMs) return false;
    Sleep(kEndPollMs);
  }
}

namespace {

// What Wine hands back for a Unix program is no process or thread handle
// (seen: 0, and numbers that may be other handles of this process, with ids
// that are no ids): only a handle that is what it claims to be is closed.
void CloseStartedHandles(const PROCESS_INFORMATION& pi) {
  if (pi.dwThreadId != 0 && GetThreadId(pi.hThread) == pi.dwThreadId) CloseHandle(pi.hThread);
  if (pi.dwProcessId != 0 && GetProcessId(pi.hProcess) == pi.dwProcessId) CloseHandle(pi.hProcess);
}

// Starts `script` with /bin/sh -c, detached. Every such start costs the
// service a handle Wine never closes, so only the launcher is started so.
bool StartDetached(const std::string& script) {
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
  CloseStartedHandles(pi);
  return true;
}

// The service's one launcher (see LauncherScript), for one temporary folder.
struct Launcher {
  std::mutex lock;
  std::string tempFolder;
  std::unique_ptr<ScriptFolder> folder;  // removing it ends the launcher
  long pid = 0;                          // 0: not known yet
  DWORD startedAt = 0;
};

Launcher& TheLauncher() {
  static Launcher launcher;
  return launcher;
}

// The launcher running for `tempFolder`: started when there is none, it
// has ended, or it watches another folder. Called under its lock.
bool EnsureLauncher(Launcher* l, const std::string& tempFolder) {
  if (l->folder && l->tempFolder == tempFolder) {
    std::string text;
    if (l->pid == 0 && ReadUnixFile(l->folder->File("launcher"), &text, kMaxPidBytes))
      l->pid = std::strtol(text.c_str(), nullptr, 10);
    bool starting = l->pid == 0 && GetTickCount() - l->startedAt < kLauncherStartMs;
    if (starting || UnixProcessRunning(l->pid)) return true;
  }
  l->folder.reset();
  l->pid = 0;
  std::unique_ptr<ScriptFolder> folder(new ScriptFolder);
  if (!folder->Create(tempFolder)) return false;
  if (!StartDetached(capcore::LauncherScript(tempFolder, folder->Path(), OwnUnixPid()))) return false;
  l->folder = std::move(folder);
  l->tempFolder = tempFolder;
  l->startedAt = GetTickCount();
  return true;
}

}  // namespace

bool StartShellScript(const ScriptFolder& folder, const std::string& script, const std::string& unixTempFolder) {
  Launcher& l = TheLauncher();
  std::lock_guard<std::mutex> hold(l.lock);
  if (!EnsureLauncher(&l, unixTempFolder) || !WriteUnixFile(folder.File("run"), script) ||
      !WriteUnixFile(folder.File("go"), ""))
    return false;
  l.folder->Wake();  // it looks for the request at once rather than at its next second
  return true;
}
