// window/: the capture window. Its request handlers and helpers, one group
// per file, called from the window procedure's dispatch (capture_window.cpp).
#ifndef MORVA_AVICAP32_WINDOW_CAPTURE_WINDOW_H
#define MORVA_AVICAP32_WINDOW_CAPTURE_WINDOW_H

#include <string>

#include "recording/recording.h"
#include "window/capture_state.h"

// capture_window.cpp
bool RegisterCaptureWindowClass();
extern const char kCaptureWindowClass[];

// reports.cpp
LRESULT SetErrorCallbackA(CaptureWindowState* s, CAPERRORCALLBACKA cb);
LRESULT SetStatusCallbackA(CaptureWindowState* s, CAPSTATUSCALLBACKA cb);
LRESULT SetErrorCallbackW(CaptureWindowState* s, CAPERRORCALLBACKW cb);
LRESULT SetStatusCallbackW(CaptureWindowState* s, CAPSTATUSCALLBACKW cb);
void QueueConfigError(CaptureWindowState* s, const char* text);  // reported once per text

// text_copy.cpp: a text into a caller's buffer of `size` characters, cut and
// terminated; nothing for a null buffer or size 0.
void CopyTextOut(const std::string& text, char* out, size_t size);
void CopyTextOutW(const std::string& text, WCHAR* out, size_t sizeChars);

// connection.cpp
LRESULT ConnectDriver(CaptureWindowState* s, WPARAM index);
LRESULT DisconnectDriver(CaptureWindowState* s);
void CloseCamera(CaptureWindowState* s);  // stopped and let go (a recording keeps its frames)
LRESULT GetDriverName(CaptureWindowState* s, WPARAM size, char* out);
LRESULT GetDriverVersion(CaptureWindowState* s, WPARAM size, char* out);
LRESULT GetDriverNameW(CaptureWindowState* s, WPARAM sizeChars, WCHAR* out);
LRESULT GetDriverVersionW(CaptureWindowState* s, WPARAM sizeChars, WCHAR* out);
LRESULT GetDriverCaps(CaptureWindowState* s, WPARAM size, CAPDRIVERCAPS* out);
LRESULT GetStatus(CaptureWindowState* s, WPARAM size, CAPSTATUS* out);

// capture_file.cpp
LRESULT SetCaptureFile(CaptureWindowState* s, const char* path);
LRESULT GetCaptureFile(CaptureWindowState* s, WPARAM size, char* out);
LRESULT SetCaptureFileW(CaptureWindowState* s, const WCHAR* path);
LRESULT GetCaptureFileW(CaptureWindowState* s, WPARAM sizeChars, WCHAR* out);

// video_format.cpp
void SetFormat(CaptureWindowState* s, int width, int height, int bitCount);  // no checks
LRESULT GetVideoFormat(CaptureWindowState* s, WPARAM size, BITMAPINFO* out);
LRESULT SetVideoFormat(CaptureWindowState* s, WPARAM size, const BITMAPINFO* in);

// preview.cpp
LRESULT SetOverlay(CaptureWindowState* s, bool on);
LRESULT SetPreviewRate(CaptureWindowState* s, UINT ms);
LRESULT SetScale(CaptureWindowState* s, bool on);
LRESULT GrabFrame(CaptureWindowState* s, bool stopView);
void StopView(CaptureWindowState* s);   // preview and overlay off, timer stopped
void OnPreviewTimer(CaptureWindowState* s);
LRESULT SetScroll(CaptureWindowState* s, const POINT* to);
POINT ScrollOf(const CaptureWindowState* s);  // the scroll position within the present picture and window
void PaintCaptureWindow(CaptureWindowState* s);

// camera_frames.cpp
bool MakeFrame(CaptureWindowState* s);  // the camera's next frame into s->frame, shown; false: none made
// The end of the camera's stream, posted to the window by MakeFrame and
// reported (once) by ReportCameraEnd.
enum : UINT { kCameraEndedMessage = WM_APP + 0x110 };
LRESULT ReportCameraEnd(CaptureWindowState* s);

// caller_procedures.cpp
LRESULT SetUserData(CaptureWindowState* s, LONG_PTR value);
LRESULT GetUserData(CaptureWindowState* s);
LRESULT SetFrameCallback(CaptureWindowState* s, CAPVIDEOCALLBACK cb);
// The frame procedure with the current frame (s->frame), if one is
// installed; false when the window is gone, the procedure having destroyed it.
bool CallFrameCallback(CaptureWindowState* s);

// still_image.cpp
LRESULT SaveDib(CaptureWindowState* s, const char* path);  // the name in the code page
LRESULT SaveDibW(CaptureWindowState* s, const WCHAR* path);
LRESULT CopyFrame(CaptureWindowState* s);

#endif
