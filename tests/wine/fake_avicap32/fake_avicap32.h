// Test double of the capture service at the DLL boundary. Built as an
// avicap32.dll that the application's test executables load instead of the
// real one: its capture window records every request with its arguments and
// answers as the test says. Tests reach its control functions through
// FakeCapApi(), which looks them up in the loaded avicap32.dll.
#ifndef MORVA_TESTS_FAKE_AVICAP32_H
#define MORVA_TESTS_FAKE_AVICAP32_H

#include <windows.h>

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
}

#endif
