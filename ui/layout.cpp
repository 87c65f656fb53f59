// The layout of the main window's children and the capture window's place.
#include "ui/layout.h"

#include <windows.h>
#include <vfw.h>

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "ui/layout_arithmetic.h"

namespace {

int Height(const RECT& r) { return r.bottom - r.top; }
int Width(const RECT& r) { return r.right - r.left; }

}  // namespace

void LayOutFrameWindows() {
  if (!g_context.statusWindow) return;
  SendMessageA(g_context.statusWindow, WM_SIZE, 0, 0);
  if (!g_context.toolbarWindow) return;
  SendMessageA(g_context.toolbarWindow, WM_SIZE, 0, 0);
  if (!g_context.videoFrameWindow || !g_context.mainWindow) return;

  RECT client = {}, toolbar = {}, status = {};
  GetClientRect(g_context.mainWindow, &client);
  GetWindowRect(g_context.toolbarWindow, &toolbar);
  GetWindowRect(g_context.statusWindow, &status);
  const Placement p =
      VideoFramePlacement(Width(client), Height(client), Height(toolbar), Height(status));
  MoveWindow(g_context.videoFrameWindow, p.x, p.y, p.width, p.height, TRUE);
  CentreCaptureWindow();
}

void CentreCaptureWindow() {
  if (!g_context.captureWindow) return;
  RECT frame = {};  // stays empty if the video frame window is gone
  GetClientRect(g_context.videoFrameWindow, &frame);
  const int frameWidth = frame.right - frame.left + 1;
  const int frameHeight = frame.bottom - frame.top + 1;

  const DWORD size = static_cast<DWORD>(SendCapture(WM_CAP_GET_VIDEOFORMAT, 0, 0));
  if (size < sizeof(BITMAPINFOHEADER)) return;  // no format (no driver) or a truncated one
  HLOCAL buffer = LocalAlloc(LPTR, size);
  if (!buffer) return;
  SendCapture(WM_CAP_GET_VIDEOFORMAT, size, reinterpret_cast<LPARAM>(buffer));
  const auto* header = static_cast<const BITMAPINFOHEADER*>(buffer);
  const Placement p = CapturePlacement(frameWidth, frameHeight, header->biWidth, header->biHeight);
  MoveWindow(g_context.captureWindow, p.x, p.y, p.width, p.height, TRUE);
  LocalFree(buffer);
}
