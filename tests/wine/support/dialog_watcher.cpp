// The dialog watcher: a 10 ms thread timer looks at this thread's visible
// dialog windows and handles each new one once.
#include "tests/wine/support/dialog_watcher.h"

#include <algorithm>

namespace {

DialogWatcher* g_active = nullptr;  // one watcher at a time; the timer procedure has no context

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK FindStatic(HWND child, LPARAM found) {
  char cls[32] = "";
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextLengthA(child) > 0) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

std::string DialogText(HWND dialog) {
  HWND text = GetDlgItem(dialog, 0xFFFF);
  if (!text) EnumChildWindows(dialog, FindStatic, reinterpret_cast<LPARAM>(&text));
  return text ? WindowText(text) : std::string();
}

}  // namespace

DialogWatcher::DialogWatcher(int button) : button_(button) {
  g_active = this;
  timer_ = SetTimer(nullptr, 0, 10, OnTimer);
}

DialogWatcher::~DialogWatcher() {
  if (timer_) KillTimer(nullptr, timer_);
  if (g_active == this) g_active = nullptr;
}

void DialogWatcher::SetAction(Action action) { action_ = std::move(action); }

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  try {
    if (g_active) g_active->Look();
  } catch (...) {
  }
}

BOOL CALLBACK DialogWatcher::OnThreadWindow(HWND window, LPARAM watcher) {
  // Called back from EnumThreadWindows: nothing may unwind through it.
  try {
    reinterpret_cast<DialogWatcher*>(watcher)->Handle(window);
  } catch (...) {
  }
  return TRUE;
}

void DialogWatcher::Handle(HWND window) {
  char cls[16] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(window)) return;
  if (std::find(handled_.begin(), handled_.end(), window) != handled_.end()) {
    return;
  }
  handled_.push_back(window);
  SeenDialog seen{DialogText(window), WindowText(window), GetWindow(window, GW_OWNER), window};
  seen_.push_back(seen);
  if (action_) {
    action_(window, seen);
  } else {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button_)));
  }
}

void DialogWatcher::Look() {
  // A closed dialog's handle may be reused by the next one: forget handles
  // that are gone.
  handled_.erase(std::remove_if(handled_.begin(), handled_.end(),
                                [](HWND w) { return !IsWindow(w); }),
                 handled_.end());
  EnumThreadWindows(GetCurrentThreadId(), OnThreadWindow, reinterpret_cast<LPARAM>(this));
}
