// winctl: a small command-line helper for scripts that drive the application
// under Wine from outside: wait for a top-level window to appear, close it.
//   winctl wait  <title> <timeout-ms>   exit 0 once a visible window has the title
//   winctl close <title> <timeout-ms>   post WM_CLOSE, exit 0 once it is gone
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindVisible(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  return (w && IsWindowVisible(w)) ? w : nullptr;
}

bool WaitFor(const char* title, DWORD timeoutMs, bool present) {
  const DWORD start = GetTickCount();
  for (;;) {
    if ((FindVisible(title) != nullptr) == present) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: winctl wait|close <title> <timeout-ms>\n");
    return 2;
  }
  const char* verb = argv[1];
  const char* title = argv[2];
  const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
  if (std::strcmp(verb, "wait") == 0) {
    return WaitFor(title, timeout, true) ? 0 : 1;
  }
  if (std::strcmp(verb, "close") == 0) {
    HWND w = FindVisible(title);
    if (!w) return 1;
    PostMessageA(w, WM_CLOSE, 0, 0);
    return WaitFor(title, timeout, false) ? 0 : 1;
  }
  std::fprintf(stderr, "winctl: unknown verb %s\n", verb);
  return 2;
}
