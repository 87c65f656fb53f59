// Test double of the capture service at the DLL boundary. Built as an
// avicap32.dll that the application's test executables load instead of the
// real one: its capture window records every request with its arguments and
// answers as the test says. Tests reach its control functions through
// FakeCapApi(), which looks them up in the loaded avicap32.dll.
#ifndef MORVA_TESTS_FAKE_AVICAP32_H
#define MORVA_TESTS_FAKE_AVICAP32_H

#include <windows.h>
#include <vfw.h>

// How the fake answers, after FakeCap_Reset():
//   - no drivers installed; WM_CAP_DRIVER_CONNECT (i) succeeds when a driver
//     was set at index i, unless FakeCap_SetConnectResult says otherwise;
//   - WM_CAP_DRIVER_GET_CAPS fills up to 44 bytes (all three dialogs present,
//     wDeviceIndex = connected index) and returns TRUE while connected;
//   - WM_CAP_GET_VIDEOFORMAT (0, 0) returns sizeof(BITMAPINFOHEADER) once a
//     format was set with a non-zero width, else 0; with a buffer it copies
//     at most the given size of a 24-bit header and returns the bytes copied;
//   - WM_CAP_FILE_GET_CAPTURE_FILE copies the capture file (default
//     "C:\CAPTURE.AVI"), cut to the given size; SET_CAPTURE_FILE replaces it;
//   - WM_CAP_GET/SET_SEQUENCE_SETUP read and store a 96-byte CAPTUREPARMS;
//   - WM_CAP_GET_AUDIOFORMAT (0, 0) returns 18; with a buffer it copies at
//     most the given size of an 11025 Hz mono 8-bit PCM format;
//   - callbacks are stored; every other request returns TRUE.
// FakeCap_SetAnswer (message, result) replaces all of that for one request
// number: the request is still recorded, and the fixed result is returned
// without any other effect (no buffer filled, no state changed).

struct FakeCapRequest {
  UINT message;        // WM_CAP_* number
  WPARAM first;
  LPARAM second;
  char text[264];      // copy of a string argument (paths), else empty
  int driverIndex;     // for connect requests: the index; else -1
};

struct FakeCapCreation {
  char title[64];
  DWORD style;
  int x, y, width, height;
  HWND parent;
  int id;
};

// Control functions exported by the fake (undecorated, cdecl).
extern "C" {
typedef void (*FakeCap_Reset_t)();                       // log cleared, answers to defaults
typedef void (*FakeCap_SetDriver_t)(int index, const char* name, const char* version);  // name null: none
typedef void (*FakeCap_SetConnectResult_t)(int index, BOOL ok);
typedef void (*FakeCap_SetAnswer_t)(UINT message, LRESULT result);  // fixed result for a request
typedef void (*FakeCap_SetVideoFormat_t)(LONG width, LONG height);  // width 0: format size 0
typedef void (*FakeCap_SetCaptureFile_t)(const char* path);
typedef int (*FakeCap_RequestCount_t)();
typedef BOOL (*FakeCap_GetRequest_t)(int i, FakeCapRequest* out);
typedef int (*FakeCap_CreationCount_t)();
typedef BOOL (*FakeCap_GetCreation_t)(int i, FakeCapCreation* out);
typedef FARPROC (*FakeCap_GetCallback_t)(UINT setRequest);  // installed status or error procedure
typedef void (*FakeCap_SetCaps_t)(const CAPDRIVERCAPS* caps);   // replaces the answered capabilities
typedef BOOL (*FakeCap_GetSequenceSetup_t)(CAPTUREPARMS* out);  // the parameters held now
}

#endif
