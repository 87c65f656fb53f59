// The per-window state of the capture window, and the small interface that
// the request handlers (and the recording code in recording/) use to
// reach the connected driver, the picture and the report callbacks.
// Everything here runs on the thread that owns the capture window.
//
// Lifetime: the window owns its state through `self`; the window procedure
// holds a reference for the length of every request (Hold), so that a
// report procedure that destroys the window frees nothing under the code
// that called it. After WM_DESTROY `gone` is set, and nothing reports,
// draws or changes the window's state any more.
#ifndef MORVA_AVICAP32_WINDOW_CAPTURE_STATE_H
#define MORVA_AVICAP32_WINDOW_CAPTURE_STATE_H

#include <windows.h>
#include <vfw.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cameras/camera.h"
#include "core/camera/camera_config.h"
#include "core/image/frame_synth.h"
#include "core/image/pixel_convert.h"

// Display options set by the display dialog.
struct DisplaySettings {
  bool keepAspect = true;   // scaled picture keeps its proportions
  bool darkBackground = true;  // the area beside the picture: black, else grey
};

struct RecordingState;

// The preview period of a new window, in milliseconds (about 15 frames a second).
constexpr UINT kDefaultPreviewMs = 66;
// Characters of one status or error report (longer texts are cut).
constexpr size_t kReportTextSize = 512;

struct CaptureWindowState : std::enable_shared_from_this<CaptureWindowState> {
  std::shared_ptr<CaptureWindowState> self;  // the window's own reference, dropped at WM_NCDESTROY
  bool gone = false;                         // WM_DESTROY has run
  HWND window = nullptr;          // the capture window
  HINSTANCE module = nullptr;     // avicap32.dll (dialog resources)

  // Connection. `driver` describes the connected driver while connected,
  // and `camera` gives its frames (cameras/camera.h); the end of its stream
  // waits in `cameraEnd` for the window's message loop to report it.
  bool connected = false;
  int driverIndex = -1;
  capcore::DriverConfig driver;
  std::shared_ptr<Camera> camera;
  std::string cameraEnd;

  // Current picture format (BI_RGB, bottom-up, biSizeImage filled), the
  // source adjustments and the display options of the connected driver.
  BITMAPINFOHEADER videoFormat{};
  capcore::SourceSettings source;
  DisplaySettings display;

  // Kept wide: the wide requests take any name the file system does.
  WCHAR captureFile[MAX_PATH] = L"C:\\CAPTURE.AVI";

  // View: preview and overlay exclude each other; both off freezes the
  // last frame.
  bool preview = false;
  bool overlay = false;
  bool scale = false;
  UINT previewRateMs = kDefaultPreviewMs;

  // Frames made since connection, and the tick count at connection (the
  // time stamp drawn in is the time since then).
  DWORD framesMade = 0;
  DWORD connectTick = 0;

  // The last frame made, in videoFormat; empty before the first one. The
  // 32-bit display copy is kept beside it: painting converts into it the
  // part of the frame it shows (displayDone, so far), so that what is off
  // the screen or hidden by the parent costs nothing. Both buffers are
  // reused.
  std::vector<uint8_t> frame;
  std::vector<uint32_t> displayPixels;
  capcore::FramePart displayDone{};
  bool haveFrame = false;

  // The caller's own value (WM_CAP_SET_USER_DATA), and its frame procedure:
  // called on this thread with every preview frame, grab and single frame
  // (none: not called; nor for a frame that it makes itself while it runs).
  LONG_PTR userData = 0;
  CAPVIDEOCALLBACK frameCallback = nullptr;
  bool inFrameCallback = false;
  DWORD frameTimeMs = 0;  // the last frame's time since connection

  // Where an unscaled picture larger than the window is shown from
  // (WM_CAP_SET_SCROLL); ScrollOf bounds it to the picture.
  POINT scroll{};

  // Installed report procedures (none: not called).
  CAPSTATUSCALLBACKA statusA = nullptr;
  CAPERRORCALLBACKA errorA = nullptr;
  CAPSTATUSCALLBACKW statusW = nullptr;
  CAPERRORCALLBACKW errorW = nullptr;

  // An error about the cameras file waiting for an error procedure, and the
  // text of the last one delivered (each distinct one is reported once).
  char pendingConfigError[kReportTextSize] = "";
  char lastConfigError[kReportTextSize] = "";

  // The driver dialog running modally on this window, if any (its
  // dialogs/dialog_runner.cpp bookkeeping; the window ends it when it goes).
  struct DriverDialogRun* driverDialog = nullptr;

  // The recording's settings and the recording in progress (recording/).
  std::shared_ptr<RecordingState> recording;
};

// --- For the recording code -------------------------------------------------

// The current video format as a frame format (width, height, bit count).
capcore::FrameFormat FrameFormatOf(const CaptureWindowState* s);
// Shows `frame` (one frame in the current format) in the window as the
// current frame, as preview would. The window takes the buffer itself and
// gives back its own of the same size, whose content is the caller's to
// overwrite: nothing is copied.
void ShowFrame(CaptureWindowState* s, std::vector<uint8_t>& frame);

// Preview on or off, as WM_CAP_SET_PREVIEW does (turning it on turns overlay
// off). Returns the request's result: FALSE when not connected.
LRESULT SetPreview(CaptureWindowState* s, bool on);

// Preview back on after a recording, without a report: the recording's
// IDS_CAP_END stays the last report of a recording.
void ResumePreview(CaptureWindowState* s);

// A reference that keeps the window's state alive (not the window) while
// it is held.
std::shared_ptr<CaptureWindowState> Hold(CaptureWindowState* s);

// Calls the installed status or error procedures (A form, then W form) with
// the text formatted into kReportTextSize characters; none installed:
// nothing is called. A procedure may destroy the window: nothing more is
// called then, and the caller finds `s->gone` set.
enum class ReportKind { Status, Error };
void Report(CaptureWindowState* s, ReportKind kind, int id, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

#endif
