// Connecting and disconnecting a driver, and what the window tells about it:
// name, version, capabilities and status.
#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <string>

#include "drivers/drivers.h"
#include "window/capture_window.h"

namespace {

LRESULT CopyOut(const std::string& text, WPARAM size, char* out) {
  if (out == nullptr || size == 0) return FALSE;
  CopyTextOut(text, out, size);
  return TRUE;
}

LRESULT CopyOutW(const std::string& text, WPARAM size, WCHAR* out) {
  if (out == nullptr || size == 0) return FALSE;
  CopyTextOutW(text, out, size);
  return TRUE;
}

void Fail(CaptureWindowState* s, const std::string& error) {
  if (!error.empty()) Report(s, ReportKind::Error, IDS_CAP_VIDEO_OPEN_ERROR, "%s", error.c_str());
}

}  // namespace

LRESULT ConnectDriver(CaptureWindowState* s, WPARAM index) {
  if (IsRecording(s)) return FALSE;
  CameraList cameras = LoadCameraList();
  QueueConfigError(s, cameras.error.c_str());
  if (s->gone) return FALSE;  // the error procedure destroyed the window
  if (s->connected) DisconnectDriver(s);
  if (index >= capcore::kMaxDrivers) return FALSE;
  capcore::DriverConfig& d = cameras.list.drivers[index];
  if (!d.present || d.connectFails || d.sizes.empty() || d.bitDepths.empty()) return FALSE;
  std::shared_ptr<Camera> camera = MakeCamera(d);
  std::string error;
  if (!camera->Prepare(&d, &error)) {
    Fail(s, error);
    return FALSE;
  }
  s->camera = camera;
  s->driver = d;
  s->driverIndex = static_cast<int>(index);
  s->connected = true;
  s->source = capcore::SourceSettings();
  s->source.pattern = d.pattern;
  s->display = DisplaySettings();
  s->framesMade = 0;
  s->connectTick = GetTickCount();
  SetFormat(s, d.sizes[0].width, d.sizes[0].height, d.bitDepths[0]);
  LoadDriverSettings(s);
  if (!camera->Open(FrameFormatOf(s), &error)) {
    DisconnectDriver(s);
    Fail(s, error);  // the last act: the procedure may destroy the window
    return FALSE;
  }
  return TRUE;
}

LRESULT DisconnectDriver(CaptureWindowState* s) {
  if (!s->connected || !EndWorkerRecording(s) || !s->connected) return FALSE;
  StopView(s);
  CloseCamera(s);
  s->connected = false;
  s->driverIndex = -1;
  s->driver = capcore::DriverConfig();
  s->videoFormat = BITMAPINFOHEADER{};
  s->haveFrame = false;
  InvalidateRect(s->window, nullptr, FALSE);
  return TRUE;
}

void CloseCamera(CaptureWindowState* s) {
  std::shared_ptr<Camera> camera = std::move(s->camera);
  s->cameraEnd.clear();
  if (camera) camera->Close();
}

LRESULT GetDriverName(CaptureWindowState* s, WPARAM size, char* out) {
  return s->connected ? CopyOut(s->driver.description, size, out) : FALSE;
}

LRESULT GetDriverVersion(CaptureWindowState* s, WPARAM size, char* out) {
  return s->connected ? CopyOut(s->driver.version, size, out) : FALSE;
}

LRESULT GetDriverNameW(CaptureWindowState* s, WPARAM size, WCHAR* out) {
  return s->connected ? CopyOutW(s->driver.description, size, out) : FALSE;
}

LRESULT GetDriverVersionW(CaptureWindowState* s, WPARAM size, WCHAR* out) {
  return s->connected ? CopyOutW(s->driver.version, size, out) : FALSE;
}

LRESULT GetDriverCaps(CaptureWindowState* s, WPARAM size, CAPDRIVERCAPS* out) {
  if (!s->connected || out == nullptr || size == 0) return FALSE;
  CAPDRIVERCAPS caps{};
  caps.wDeviceIndex = static_cast<UINT>(s->driverIndex);
  caps.fHasOverlay = s->driver.hasOverlay ? 1 : 0;
  caps.fHasDlgVideoSource = s->driver.hasSourceDialog ? 1 : 0;
  caps.fHasDlgVideoFormat = s->driver.hasFormatDialog ? 1 : 0;
  caps.fHasDlgVideoDisplay = s->driver.hasDisplayDialog ? 1 : 0;
  caps.fCaptureInitialized = TRUE;
  caps.fDriverSuppliesPalettes = FALSE;
  std::memcpy(out, &caps, size < sizeof caps ? size : sizeof caps);
  return TRUE;
}

LRESULT GetStatus(CaptureWindowState* s, WPARAM size, CAPSTATUS* out) {
  if (out == nullptr || size == 0) return FALSE;
  CAPSTATUS st{};
  st.uiImageWidth = s->connected ? static_cast<UINT>(s->videoFormat.biWidth) : 0;
  st.uiImageHeight = s->connected ? static_cast<UINT>(s->videoFormat.biHeight) : 0;
  st.fLiveWindow = s->preview;
  st.fOverlayWindow = s->overlay;
  st.fScale = s->scale;
  st.ptScroll = ScrollOf(s);
  st.fCapFileExists = GetFileAttributesW(s->captureFile) != INVALID_FILE_ATTRIBUTES;
  st.dwCurrentVideoFrame = s->framesMade;
  st.fCapturingNow = IsRecording(s);
  FillRecordingStatus(s, &st);
  std::memcpy(out, &st, size < sizeof st ? size : sizeof st);
  return s->connected ? TRUE : FALSE;
}
