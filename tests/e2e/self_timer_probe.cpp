// self_timer_probe: drives the running application from another process, as
// a user would, for the self-timer and Options checks, and reports what it
// sees (command_driver posts menu commands and answers the save dialog). The
// main window is found by its title, "Capture Application".
//   click <command>             clicks the toolbar button of the command with the mouse
//   status                      prints "window <l> <t> <r> <b>" and "status <l> <t> <r> <b>":
//                               the main window and the status bar's client area, screen pixels
//   rect <dialog title> <ms>    waits for the dialog, prints "rect <l> <t> <r> <b>"
//                               and "client <x> <y>": the main window's client origin
//   fields <dialog title> <id>...  prints "<id> <check state> <text>" for each control
//   set <dialog title> <id> <text>  replaces a control's text
//   press <dialog title> <id>   clicks a button of the dialog
//   shutter <command> <ms>      empties the clipboard, clicks the button and prints
//                               "clicked", then watches for up to <ms>: prints
//                               "clipboard <ms> <width> <height>"
//                               when a picture reaches the clipboard and "prompt <ms>"
//                               when the save dialog opens, both timed from before the
//                               click ("none" when it did not happen)
// Exit code 0 on success, 1 when a window is missing, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kMainTitle[] = "Capture Application";
const char kSaveTitle[] = "Save Video As...";

HWND MainWindow() { return FindWindowA(kMainTitle, kMainTitle); }

HWND Dialog(const char* title) {
  HWND w = FindWindowA("#32770", title);
  return (w && IsWindowVisible(w)) ? w : nullptr;
}

HWND WaitForDialog(const char* title, DWORD ms) {
  const DWORD start = GetTickCount();
  HWND w;
  while (!(w = Dialog(title)) && GetTickCount() - start < ms) Sleep(20);
  return w;
}

// The screen rectangle of a toolbar button, read through memory in the
// application's process (the toolbar answers with a pointer).
bool ButtonRect(HWND toolbar, int command, RECT* out) {
  const LRESULT index = SendMessageA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0);
  if (index < 0) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, out, sizeof *out, nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (ok) MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(out), 2);
  return ok;
}

bool ClickButton(int command) {
  HWND toolbar = FindWindowExA(MainWindow(), nullptr, TOOLBARCLASSNAMEA, nullptr);
  RECT r;
  if (!toolbar || !ButtonRect(toolbar, command, &r)) return false;
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Sleep(50);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, input, sizeof(INPUT)) == 2;
}

bool ClipboardPicture(LONG* width, LONG* height) {
  if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(nullptr)) return false;
  bool found = false;
  HANDLE data = GetClipboardData(CF_DIB);
  const auto* header = data ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(data)) : nullptr;
  if (header) {
    *width = header->biWidth;
    *height = header->biHeight;
    found = true;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return found;
}

int Shutter(int command, DWORD ms) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  const DWORD start = GetTickCount();
  if (!ClickButton(command)) return 1;
  std::printf("clicked\n");
  std::fflush(stdout);
  long clipboardAt = -1, promptAt = -1;
  LONG width = 0, height = 0;
  while (promptAt < 0 && GetTickCount() - start < ms) {
    if (clipboardAt < 0 && ClipboardPicture(&width, &height)) {
      clipboardAt = static_cast<long>(GetTickCount() - start);
    }
    if (Dialog(kSaveTitle)) promptAt = static_cast<long>(GetTickCount() - start);
    Sleep(5);
  }
  if (clipboardAt >= 0) {
    std::printf("clipboard %ld %ld %ld\n", clipboardAt, width, height);
  } else {
    std::printf("clipboard none\n");
  }
  if (promptAt >= 0) {
    std::printf("prompt %ld\n", promptAt);
  } else {
    std::printf("prompt none\n");
  }
  return 0;
}

void PrintRect(const char* what, const RECT& r) {
  std::printf("%s %ld %ld %ld %ld\n", what, r.left, r.top, r.right, r.bottom);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: self_timer_probe <verb> ...\n");
    return 2;
  }
  const char* verb = argv[1];
  HWND main = MainWindow();
  if (!main) {
    std::fprintf(stderr, "self_timer_probe: no window titled %s\n", kMainTitle);
    return 1;
  }
  int rc = 2;
  if (!std::strcmp(verb, "click") && argc == 3) {
    rc = ClickButton(std::atoi(argv[2])) ? 0 : 1;
  } else if (!std::strcmp(verb, "status") && argc == 2) {
    HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
    RECT r;
    rc = 1;
    if (status && GetWindowRect(main, &r)) PrintRect("window", r);
    if (status && GetClientRect(status, &r)) {
      MapWindowPoints(status, nullptr, reinterpret_cast<POINT*>(&r), 2);
      PrintRect("status", r);
      rc = 0;
    }
  } else if (!std::strcmp(verb, "rect") && argc == 4) {
    HWND dialog = WaitForDialog(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    RECT r;
    POINT origin = {0, 0};
    rc = 1;
    if (dialog && GetWindowRect(dialog, &r) && ClientToScreen(main, &origin)) {
      PrintRect("rect", r);
      std::printf("client %ld %ld\n", origin.x, origin.y);
      rc = 0;
    }
  } else if (!std::strcmp(verb, "fields") && argc >= 4) {
    HWND dialog = Dialog(argv[2]);
    rc = dialog ? 0 : 1;
    for (int i = 3; dialog && i < argc; ++i) {
      const int id = std::atoi(argv[i]);
      char text[200] = "";
      GetDlgItemTextA(dialog, id, text, sizeof text);
      std::printf("%d %u %s\n", id, IsDlgButtonChecked(dialog, id), text);
    }
  } else if (!std::strcmp(verb, "set") && argc == 5) {
    HWND dialog = Dialog(argv[2]);
    rc = dialog && SetDlgItemTextA(dialog, std::atoi(argv[3]), argv[4]) ? 0 : 1;
  } else if (!std::strcmp(verb, "press") && argc == 4) {
    HWND dialog = Dialog(argv[2]);
    HWND button = dialog ? GetDlgItem(dialog, std::atoi(argv[3])) : nullptr;
    rc = button ? 0 : 1;
    if (button) SendMessageA(button, BM_CLICK, 0, 0);
  } else if (!std::strcmp(verb, "shutter") && argc == 4) {
    rc = Shutter(std::atoi(argv[2]), static_cast<DWORD>(std::atol(argv[3])));
  }
  if (rc == 2) std::fprintf(stderr, "self_timer_probe: bad usage of %s\n", verb);
  std::fflush(stdout);
  return rc;
}
