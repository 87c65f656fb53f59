// Driver connection: the start-up order, the scan for a working driver, and
// switching drivers with its messages.
#include "capture/driver_connection.h"

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "capture/driver_list.h"
#include "capture/frame_rate.h"
#include "capture/view.h"
#include "resources/resource.h"
#include "ui/layout.h"
#include "ui/status_report.h"

namespace {

enum {
  kMaxDrivers = 10,
  kCaptureWindowStyle = 0x50400000,  // child, visible, dialog-frame border
  kCaptureWindowWidth = 240,
  kCaptureWindowHeight = 120,
};

const char kDriverNotWorkable[] = "Selected Driver is not workable";
const char kNoVideoSource[] = "We can not drive new video source..";

bool ConnectDriver(int index) { return SendCapture(WM_CAP_DRIVER_CONNECT, index, 0) != 0; }

void RefreshDriverCaps() {
  SendCapture(WM_CAP_DRIVER_GET_CAPS, sizeof(CAPDRIVERCAPS),
              reinterpret_cast<LPARAM>(&g_context.driverCaps));
}

// Walks the installed drivers in index order up to the first gap and keeps
// the first one that connects; a driver that refuses is skipped.
void ScanForDriver() {
  Settings& settings = g_context.settings;
  for (int index = 0; index < kMaxDrivers && settings.DriverID == -1; ++index) {
    char name[kTextSize];
    char version[kTextSize];
    if (!capGetDriverDescriptionA(index, name, sizeof name, version, sizeof version)) break;
    if (ConnectDriver(index)) settings.DriverID = index;
  }
}

void Tell(const char* text) { MessageBoxA(g_context.mainWindow, text, g_context.caption, MB_OK); }

}  // namespace

int ConnectAtStartup() {
  Settings& settings = g_context.settings;
  g_context.captureWindow =
      capCreateCaptureWindowA(nullptr, kCaptureWindowStyle, 0, 0, kCaptureWindowWidth,
                              kCaptureWindowHeight, g_context.videoFrameWindow, 0);

  bool connected = settings.DriverID != -1 && ConnectDriver(settings.DriverID);
  if (!connected) {
    settings.DriverID = -1;
    ScanForDriver();
  }

  RefreshDriverCaps();
  SendCapture(WM_CAP_SET_PREVIEWRATE, PreviewIntervalMs(settings.FrameRate), 0);
  RestoreView();
  CentreCaptureWindow();
  SendCapture(WM_CAP_SET_CALLBACK_STATUS, 0, reinterpret_cast<LPARAM>(&StatusProcedure));
  SendCapture(WM_CAP_SET_CALLBACK_ERROR, 0, reinterpret_cast<LPARAM>(&ErrorProcedure));
  return 1;
}

void ChooseDriver() {
  INT_PTR chosen = DialogBoxParamA(g_context.instance, MAKEINTRESOURCEA(IDD_DRIVERLIST),
                                   g_context.videoFrameWindow, DriverListProcedure, 0);
  SelectDriver(static_cast<int>(chosen));
}

int SelectDriver(int index) {
  if (index == -1) return 0;
  Settings& settings = g_context.settings;
  SendCapture(WM_CAP_SET_PREVIEW, 0, 0);

  if (ConnectDriver(index)) {
    settings.DriverID = index;
  } else {
    Tell(kDriverNotWorkable);
    if (settings.DriverID == -1) return 0;
    if (!ConnectDriver(settings.DriverID)) {
      Tell(kNoVideoSource);
      return 0;
    }
  }

  RefreshDriverCaps();
  SendCapture(WM_CAP_SET_PREVIEW, 1, 0);
  CentreCaptureWindow();
  return 1;
}
