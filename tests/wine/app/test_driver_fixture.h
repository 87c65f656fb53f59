// Shared set-up of the driver connection and file prompt tests: a fresh
// process-wide context with a plain main window and video frame window, the
// capture service's test double reset, and the request log rendered as short
// lines ("CONNECT 1", "PREVIEW 0") so that sequences compare readably.
#ifndef MORVA_TESTS_WINE_APP_TEST_DRIVER_FIXTURE_H
#define MORVA_TESTS_WINE_APP_TEST_DRIVER_FIXTURE_H

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application_context.h"
#include "tests/wine/support/fake_cap_api.h"
#include "tests/wine/support/plain_window.h"
#include "tests/wine/support/record_sizes.h"

// The fake service's log line for the capabilities request.
inline std::string GetCapsLine() { return "GET_CAPS " + std::to_string(kDriverCapsSize); }

namespace driver_test {

inline const char* FrameClass() { return PlainWindowClass(); }

// One request as a short line (paths with their text). The layout's format queries are all shown as
// "VIDEOFORMAT" (their arguments belong to the layout, not to this code).
inline std::string Describe(const FakeCapRequest& r) {
  auto with = [](const char* name, long long value) { return std::string(name) + " " + std::to_string(value); };
  switch (r.message) {
    case WM_CAP_DRIVER_CONNECT: return with("CONNECT", static_cast<long long>(r.first));
    case WM_CAP_DRIVER_GET_CAPS: return with("GET_CAPS", static_cast<long long>(r.first));
    case WM_CAP_SET_PREVIEWRATE: return with("PREVIEWRATE", static_cast<long long>(r.first));
    case WM_CAP_SET_PREVIEW: return with("PREVIEW", static_cast<long long>(r.first));
    case WM_CAP_SET_OVERLAY: return with("OVERLAY", static_cast<long long>(r.first));
    case WM_CAP_GET_VIDEOFORMAT: return "VIDEOFORMAT";
    case WM_CAP_SET_CALLBACK_STATUSA: return "CALLBACK_STATUS";
    case WM_CAP_SET_CALLBACK_ERRORA: return "CALLBACK_ERROR";
    case WM_CAP_FILE_GET_CAPTURE_FILEA: return with("GET_CAPTURE_FILE", static_cast<long long>(r.first));
    case WM_CAP_FILE_SET_CAPTURE_FILEA: return std::string("SET_CAPTURE_FILE ") + r.text;
    case WM_CAP_FILE_SAVEASA: return std::string("SAVEAS ") + r.text;
    case WM_CAP_FILE_SAVEDIBA: return std::string("SAVEDIB ") + r.text;
    case WM_CAP_EDIT_COPY: return "EDIT_COPY";
    case WM_CAP_DLG_VIDEOSOURCE: return "DLG_VIDEOSOURCE";
    case WM_CAP_DLG_VIDEOFORMAT: return "DLG_VIDEOFORMAT";
    case WM_CAP_DLG_VIDEODISPLAY: return "DLG_VIDEODISPLAY";
    case WM_CAP_DLG_VIDEOCOMPRESSION: return "DLG_VIDEOCOMPRESSION";
    case WM_CAP_GET_SEQUENCE_SETUP: return with("GET_SEQUENCE_SETUP", static_cast<long long>(r.first));
    case WM_CAP_SET_SEQUENCE_SETUP: return with("SET_SEQUENCE_SETUP", static_cast<long long>(r.first));
    case WM_CAP_SEQUENCE: return "SEQUENCE";
    case WM_CAP_GET_AUDIOFORMAT: return with("GET_AUDIOFORMAT", static_cast<long long>(r.first));
    case WM_CAP_SET_AUDIOFORMAT: return with("SET_AUDIOFORMAT", static_cast<long long>(r.first));
    default: return with("REQUEST", r.message);
  }
}

// The log from entry `from` on, with each run of format queries (one
// centring of the capture window) collapsed into a single "VIDEOFORMAT".
inline std::vector<std::string> Log(size_t from = 0) {
  std::vector<FakeCapRequest> all = FakeCapRequests();
  std::vector<std::string> lines;
  for (size_t i = from; i < all.size(); ++i) {
    std::string line = Describe(all[i]);
    if (line == "VIDEOFORMAT" && !lines.empty() && lines.back() == line) continue;
    lines.push_back(line);
  }
  return lines;
}

inline size_t LogSize() { return static_cast<size_t>(FakeCapApi().RequestCount()); }

class ContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeCapApi().Reset();
    g_context = ApplicationContext{};
    g_context.instance = GetModuleHandleA(nullptr);
    lstrcpynA(g_context.caption, "Capture Application", sizeof g_context.caption);
    Settings& s = g_context.settings;
    s.XPOS = 100;
    s.YPOS = 100;
    s.Width = 300;
    s.Height = 300;
    s.FrameRate = 15;
    s.TimeInterval = 10;
    s.DriverID = 0;
    s.CaptureAudio = 1;
    s.UseOverlay = 1;
    s.EnableTimeLimit = 1;
    s.SelfTimer = 10;
    lstrcpynA(s.LastDir, "C:\\", sizeof s.LastDir);
    g_context.mainWindow = CreateWindowExA(0, FrameClass(), "Capture Application",
                                           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                           50, 50, 420, 360, nullptr, nullptr,
                                           g_context.instance, nullptr);
    g_context.videoFrameWindow = CreateWindowExA(0, FrameClass(), "Capture Application",
                                                 WS_CHILD | WS_VISIBLE | WS_DLGFRAME, 5, 5, 330,
                                                 250, g_context.mainWindow, nullptr,
                                                 g_context.instance, nullptr);
    ASSERT_TRUE(g_context.mainWindow);
    ASSERT_TRUE(g_context.videoFrameWindow);
  }

  void TearDown() override {
    DestroyWindow(g_context.mainWindow);  // takes the frame and capture windows along
    g_context = ApplicationContext{};
  }

  // A capture window of the double's own, as start-up would have made it,
  // for tests that begin after start-up.
  void CreateCaptureWindow() {
    g_context.captureWindow = capCreateCaptureWindowA(nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 240,
                                                      120, g_context.videoFrameWindow, 0);
    ASSERT_TRUE(g_context.captureWindow);
  }

  static void Drivers(std::initializer_list<int> indices) {
    for (int i : indices) {
      std::string name = "Camera " + std::to_string(i);
      std::string version = "v" + std::to_string(i) + ".0";
      FakeCapApi().SetDriver(i, name.c_str(), version.c_str());
    }
  }

  static void Refuses(int index) { FakeCapApi().SetConnectResult(index, FALSE); }
};

}  // namespace driver_test

#endif
