// Self-timer routes. Not built yet: the countdown and the gauge drawing come
// later. Until then StartCountdown and Tick do nothing and DrawGauge draws nothing; it only
// gives the owner-draw request its result of 1.
#include "capture/self_timer.h"

void StartCountdown(HWND window) {
  (void)window;
}

void Tick(HWND window, UINT_PTR timerId) {
  (void)window;
  (void)timerId;
}

LRESULT DrawGauge(const DRAWITEMSTRUCT* item) {
  (void)item;
  return 1;
}
