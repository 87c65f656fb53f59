// The capture window's side of a camera read through ffmpeg. At connection
// its sizes are found (the source's own size, or the sizes a V4L2 device
// offers) and its stream started at the chosen size; a new size restarts the
// stream; the preview, grabs and still images take its newest frame, and a
// recording takes the stream along (FfmpegFeedOf). The stream's end is
// reported once, and the last frame stays on show. Each function that can
// fail reports why through the window's error procedure.
#ifndef MORVA_AVICAP32_FFMPEG_FFMPEG_CAMERA_H
#define MORVA_AVICAP32_FFMPEG_FFMPEG_CAMERA_H

#include <memory>

#include "core/camera/camera_config.h"
#include "window/capture_state.h"

class FfmpegFeed;

// Before connection: checks that ffmpeg is there and completes the sizes
// of `d`; false when the camera cannot be connected.
bool PrepareFfmpegCamera(CaptureWindowState* s, capcore::DriverConfig* d);
// After the format is chosen: starts the stream at its size.
bool OpenFfmpegCamera(CaptureWindowState* s);
// Stops the stream (a recording holding it keeps it until it ends).
void CloseFfmpegCamera(CaptureWindowState* s);
// A new picture size: the stream restarts at it (at the old one again when
// the new one fails).
bool ResizeFfmpegCamera(CaptureWindowState* s, int width, int height);
// The newest frame into s->frame, when there is one the window has not
// shown; a one-off request (no live picture) waits a moment for it. The
// end of the stream ends the live picture, and its report (once) is posted
// to the window as kFfmpegEndedMessage, handled by ReportFfmpegEnd.
bool TakeFfmpegFrame(CaptureWindowState* s);
enum : UINT { kFfmpegEndedMessage = WM_APP + 0x110 };
LRESULT ReportFfmpegEnd(CaptureWindowState* s);
// The stream, for a recording; null for a synthetic camera.
std::shared_ptr<FfmpegFeed> FfmpegFeedOf(const CaptureWindowState* s);

#endif
