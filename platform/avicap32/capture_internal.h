// The capture window's request handlers and helpers, one group per file,
// called from the window procedure's dispatch (capture_window.cpp).
#ifndef MORVA_AVICAP32_CAPTURE_INTERNAL_H
#define MORVA_AVICAP32_CAPTURE_INTERNAL_H

#include <string>

#include "capture_state.h"

// module.cpp
HINSTANCE Module_Instance();
bool CaptureWindow_RegisterClass();
extern const char kCaptureWindowClass[];

// reports.cpp
LRESULT SetErrorCallbackA(CaptureWindowState* s, CAPERRORCALLBACKA cb);
LRESULT SetStatusCallbackA(CaptureWindowState* s, CAPSTATUSCALLBACKA cb);
LRESULT SetErrorCallbackW(CaptureWindowState* s, CAPERRORCALLBACKW cb);
LRESULT SetStatusCallbackW(CaptureWindowState* s, CAPSTATUSCALLBACKW cb);
void QueueConfigError(CaptureWindowState* s, const char* text);  // reported once per text

// text_out.cpp: a text into a caller's buffer of `size` characters, cut and
// terminated; nothing for a null buffer or size 0.
void CopyTextOut(const std::string& text, char* out, size_t size);
void CopyTextOutW(const std::string& text, WCHAR* out, size_t sizeChars);

// connection.cpp
LRESULT DriverConnect(CaptureWindowState* s, WPARAM index);
LRESULT DriverDisconnect(CaptureWindowState* s);
LRESULT DriverGetName(CaptureWindowState* s, WPARAM size, char* out);
LRESULT DriverGetVersion(CaptureWindowState* s, WPARAM size, char* out);
LRESULT DriverGetNameW(CaptureWindowState* s, WPARAM sizeChars, WCHAR* out);
LRESULT DriverGetVersionW(CaptureWindowState* s, WPARAM sizeChars, WCHAR* out);
LRESULT DriverGetCaps(CaptureWindowState* s, WPARAM size, CAPDRIVERCAPS* out);
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
void MakeFrame(CaptureWindowState* s);  // the next frame into s->frame, shown
void OnPreviewTimer(CaptureWindowState* s);
void PaintCaptureWindow(CaptureWindowState* s);

// still_image.cpp
LRESULT SaveDib(CaptureWindowState* s, const char* path);
LRESULT SaveDibW(CaptureWindowState* s, const WCHAR* path);
LRESULT EditCopy(CaptureWindowState* s);

// dialog_*.cpp
LRESULT DlgVideoFormat(CaptureWindowState* s);
LRESULT DlgVideoSource(CaptureWindowState* s);
LRESULT DlgVideoDisplay(CaptureWindowState* s);

// driver_memory.cpp: per-driver picture format, source and display settings
// kept across runs in a small settings file of the service.
void DriverMemory_Load(CaptureWindowState* s);
void DriverMemory_Save(const CaptureWindowState* s);

#endif
