// The self-timer: the countdown that HandleCommand starts, and its routes
// from the frame window procedure: timer ticks and the owner-drawn gauge in
// the status bar.
#ifndef MORVA_CAPTURE_SELF_TIMER_H
#define MORVA_CAPTURE_SELF_TIMER_H

#include <windows.h>

void StartCountdown(HWND window);                   // Still Image (Auto)
void Tick(HWND window, UINT_PTR timerId);          // WM_TIMER
LRESULT DrawGauge(const DRAWITEMSTRUCT* item);      // WM_DRAWITEM; returns 1

#endif
