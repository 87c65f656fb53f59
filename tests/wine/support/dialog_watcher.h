// Watches for dialogs and message boxes that the code under test opens on
// this thread, records each one (text, caption, owner) and closes it, so that
// no test ever waits for a hand. A thread timer does the watching: it fires
// inside the modal loop of every message box and dialog.
#ifndef MORVA_TESTS_SUPPORT_DIALOG_WATCHER_H
#define MORVA_TESTS_SUPPORT_DIALOG_WATCHER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
  std::string text;     // message box text (control 0xFFFF), else the first static text
  std::string caption;  // window title
  HWND owner;           // GetWindow(GW_OWNER) when it appeared
  HWND window;          // handle while it was open (no longer valid afterwards)
};

class DialogWatcher {
 public:
  // What to do with a dialog once recorded. The default presses `button`.
  using Action = std::function<void(HWND dialog, const SeenDialog& seen)>;

  explicit DialogWatcher(int button = IDOK);
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;
  ~DialogWatcher();

  // Replaces the default action (pressing the button) for dialogs seen from now on.
  void SetAction(Action action);

  const std::vector<SeenDialog>& Seen() const { return seen_; }
  void Clear() { seen_.clear(); }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  static BOOL CALLBACK OnThreadWindow(HWND window, LPARAM watcher);
  void Handle(HWND window);  // records and answers one window if it is a new dialog
  void Look();

  int button_;
  Action action_;
  UINT_PTR timer_ = 0;
  std::vector<SeenDialog> seen_;
  std::vector<HWND> handled_;
};

#endif
