// The keys and buttons that end a recording (the setup's vKeyAbort and the
// mouse buttons); each counts only once it has been up since the start (a
// click that started the recording does not stop it).
#ifndef MORVA_AVICAP32_RECORDING_ABORT_KEYS_H
#define MORVA_AVICAP32_RECORDING_ABORT_KEYS_H

#include <windows.h>
#include <vfw.h>

class AbortKeys {
 public:
  explicit AbortKeys(const CAPTUREPARMS& p) {
    if (p.vKeyAbort & 0xFF) keys_[n_++] = {static_cast<int>(p.vKeyAbort & 0xFF), false};
    if (p.fAbortLeftMouse) keys_[n_++] = {VK_LBUTTON, false};
    if (p.fAbortRightMouse) keys_[n_++] = {VK_RBUTTON, false};
  }
  bool Pressed() {
    for (int i = 0; i < n_; ++i) {
      bool down = (GetAsyncKeyState(keys_[i].vk) & 0x8000) != 0;
      if (!down) keys_[i].seenUp = true;
      else if (keys_[i].seenUp) return true;
    }
    return false;
  }

 private:
  struct Key {
    int vk;
    bool seenUp;
  };
  Key keys_[3]{};
  int n_ = 0;
};

#endif
