// The test double's state, shared by its exports and its capture window: the
// request and creation logs, the installed drivers and the configured answers.
#ifndef MORVA_TESTS_FAKE_STATE_H
#define MORVA_TESTS_FAKE_STATE_H

#include <map>
#include <string>
#include <vector>

#include "tests/wine/fake_avicap32/fake_avicap32.h"

enum { kFakeDriverCount = 10 };

struct FakeDriver {
  bool installed = false;
  std::string name;
  std::string version;
  int connectResult = -1;  // -1: connect succeeds when installed; else 0 or 1
};

struct FakeState {
  std::vector<FakeCapRequest> requests;
  std::vector<FakeCapCreation> creations;
  FakeDriver drivers[kFakeDriverCount];
  std::map<UINT, LRESULT> answers;  // fixed results by request number
  int connectedIndex = -1;
  bool capsOverridden = false;
  CAPDRIVERCAPS caps{};
  LONG videoWidth = 0;
  LONG videoHeight = 0;
  std::string captureFile = "C:\\CAPTURE.AVI";
  CAPTUREPARMS sequence{};
  WAVEFORMATEX audio{};
  FARPROC statusCallback = nullptr;
  FARPROC errorCallback = nullptr;
};

FakeState& Fake();          // the one state of the loaded DLL
void FakeResetState();      // back to the defaults described in fake_avicap32.h
HINSTANCE FakeModule();     // this DLL's instance handle
const char* FakeWindowClass();  // registers the capture window class once

// The capture window's procedure: records and answers WM_CAP_* requests.
LRESULT CALLBACK FakeCaptureWindowProcedure(HWND window, UINT message, WPARAM first, LPARAM second);

#endif
