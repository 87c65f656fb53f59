// The self-timer: the countdown that HandleCommand starts, and its routes
// from the frame window procedure: timer ticks and the owner-drawn gauge in
// the status bar. When the time is up the frame goes to the clipboard and the
// user is asked where to save it as a bitmap.
#ifndef MORVA_CAPTURE_SELF_TIMER_H
#define MORVA_CAPTURE_SELF_TIMER_H

#include <windows.h>

void StartCountdown(HWND window);                   // Still Image (Auto)
void Tick(HWND window, UINT_PTR timerId);          // WM_TIMER
LRESULT DrawGauge(const DRAWITEMSTRUCT* item);      // WM_DRAWITEM; returns 1

// Copies the frame to the clipboard, freezes the picture, asks for a bitmap
// file and saves the frame there, then brings the live view back.
void TakeShot(HWND window);

// The millisecond tick count that the countdown reads: GetTickCount unless a
// test puts its own clock in. Returns the clock used so far; null restores
// GetTickCount.
using CountdownClock = DWORD(WINAPI*)();
CountdownClock SetCountdownClock(CountdownClock clock);

#endif
