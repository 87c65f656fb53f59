// The frames the window takes from its camera: the next one for the live
// picture, a grab or a still image, shown at once (the display copy is
// always 32-bit); a recording's frames shown in the window; and the end of
// the camera's stream, which stops the live picture (the last frame stays)
// and is reported once from the window's own message loop.
#include <windows.h>
#include <vfw.h>

#include <string>

#include "core/image/pixel_convert.h"
#include "window/capture_window.h"

namespace {

// How long a one-off request (no live picture) waits for a camera's frame.
const uint32_t kOneOffWaitMs = 1000;

void ShowCurrentFrame(CaptureWindowState* s) {
  // Painting converts what it shows; a frame counts only when all of it
  // could be.
  s->haveFrame = capcore::DisplayFits(FrameFormatOf(s), s->frame.size(), s->displayPixels.size());
  s->displayDone = capcore::FramePart{};
  InvalidateRect(s->window, nullptr, FALSE);
}

// Reported from the window's own message loop, where the error procedure
// may do anything, even destroy the window; a recording reports it itself,
// with what became of its file.
void CameraEnded(CaptureWindowState* s) {
  StopView(s);  // the last frame stays
  std::string text;
  if (IsRecording(s) || !s->camera->ClaimEndReport(&text)) return;
  s->cameraEnd = text;
  PostMessageA(s->window, kCameraEndedMessage, 0, 0);
}

}  // namespace

bool MakeFrame(CaptureWindowState* s) {
  if (!s->connected || !s->camera) return false;
  WindowFrameRequest request;
  request.number = s->framesMade;
  request.timeMs = GetTickCount() - s->connectTick;
  request.source = s->source;
  request.waitMs = s->preview ? 0 : kOneOffWaitMs;
  CameraTake t = s->camera->TakeForWindow(request, FrameOut{FrameFormatOf(s), s->frame.data(), s->frame.size()});
  if (t == CameraTake::Ended) CameraEnded(s);
  if (t != CameraTake::Frame) return false;
  ++s->framesMade;
  s->frameTimeMs = request.timeMs;
  ShowCurrentFrame(s);
  return s->haveFrame;
}

void ShowFrame(CaptureWindowState* s, std::vector<uint8_t>& frame) {
  if (!s->connected || frame.size() != s->frame.size()) return;
  s->frame.swap(frame);
  ShowCurrentFrame(s);
}

LRESULT ReportCameraEnd(CaptureWindowState* s) {
  if (!s->connected || s->cameraEnd.empty()) return 0;
  std::string text;
  text.swap(s->cameraEnd);
  Report(s, ReportKind::Error, IDS_CAP_DRIVER_ERROR, "%s", text.c_str());
  return 0;
}
