// The self-timer's countdown: a 33 ms timer on the main window, identified by
// the window's own handle, and status bar part 0 owner-drawn so that the main
// window draws the gauge of the current second into it. The status bar is
// asked to draw again only when the whole seconds change.
#include "capture/self_timer.h"

#include <vfw.h>

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "capture/countdown_arithmetic.h"
#include "capture/view.h"
#include "ui/file_prompt.h"
#include "ui/status_bar.h"

namespace {

const UINT kTickPeriodMs = 33;

CountdownClock g_clock = GetTickCount;

std::int32_t ElapsedSinceStart() { return ElapsedMs(g_clock(), g_context.timerStartTick); }

// Part 0 of the status bar becomes owner-drawn (data 0): the status bar then
// asks its parent, the main window, to draw it.
void RequestGaugeDrawing() { StatusBar_SetPartText(g_context.statusWindow, 0, SBT_OWNERDRAW, nullptr); }

// Stretches the whole bitmap over the item, one pixel below its top edge.
void StretchOnto(const DRAWITEMSTRUCT& item, HBITMAP bitmap) {
  HDC memory = CreateCompatibleDC(item.hDC);
  if (!memory) return;
  BITMAP size = {};
  GetObjectA(bitmap, sizeof size, &size);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const RECT& rc = item.rcItem;
  StretchBlt(item.hDC, rc.left, rc.top + 1, rc.right - rc.left, rc.bottom - rc.top - 1, memory, 0,
             0, size.bmWidth, size.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

}  // namespace

CountdownClock SetCountdownClock(CountdownClock clock) {
  const CountdownClock previous = g_clock;
  g_clock = clock ? clock : GetTickCount;
  return previous;
}

void StartCountdown(HWND window) {
  g_context.timerStartTick = g_clock();
  g_context.timerRunning =
      SetTimer(window, reinterpret_cast<UINT_PTR>(window), kTickPeriodMs, nullptr);
  g_context.lastGaugeBitmap = -1;
  RequestGaugeDrawing();
}

void Tick(HWND window, UINT_PTR timerId) {
  if (timerId != reinterpret_cast<UINT_PTR>(window)) return;
  const std::int32_t elapsed = ElapsedSinceStart();
  if (ShotIsDue(elapsed, g_context.settings.SelfTimer)) {
    TakeShot(window);
  } else if (GaugeNumber(elapsed) != g_context.lastGaugeBitmap) {
    RequestGaugeDrawing();
  }
}

LRESULT DrawGauge(const DRAWITEMSTRUCT* item) {
  const int gauge = GaugeNumber(ElapsedSinceStart());
  // The number itself is remembered, so that a countdown past the last
  // bitmap asks for a redraw once a second, not at every tick.
  g_context.lastGaugeBitmap = gauge;
  if (!item) return 1;
  HBITMAP bitmap = LoadBitmapA(g_context.instance, MAKEINTRESOURCEA(GaugeBitmap(gauge)));
  if (!bitmap) return 1;
  StretchOnto(*item, bitmap);
  DeleteObject(bitmap);
  return 1;
}

void TakeShot(HWND window) {
  CancelCountdown(window);
  SendCapture(WM_CAP_EDIT_COPY, 0, 0);
  SendCapture(WM_CAP_SET_PREVIEW, 0, 0);
  SendCapture(WM_CAP_SET_OVERLAY, 0, 0);
  char path[kTextSize] = "";
  if (PromptForFileName(path, kImageFilter) == 1) {
    SendCapture(WM_CAP_FILE_SAVEDIBA, 0, reinterpret_cast<LPARAM>(path));
  }
  RestoreView();
}
