// Fixture of the shell's window tests: the application started in-process
// (start-up steps 1 to 10) with no settings file and the fake capture service
// reset, a dialog watcher closing anything that opens, and everything torn
// down afterwards.
#ifndef MORVA_TESTS_APP_SHELL_FIXTURE_H
#define MORVA_TESTS_APP_SHELL_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/application.h"
#include "app/application_context.h"
#include "tests/wine/support/app_runner.h"
#include "tests/wine/support/dialog_watcher.h"
#include "tests/wine/support/fake_cap_api.h"
#include "tests/wine/support/settings_file.h"

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplicationContext();
    FakeCapApi().Reset();
    DeleteSettingsFile();
    watcher_ = std::make_unique<DialogWatcher>(IDOK);
    ASSERT_EQ(1, StartApplication(GetModuleHandleA(nullptr)));
    ASSERT_NE(nullptr, g_context.mainWindow);
    ASSERT_NE(nullptr, g_context.videoFrameWindow);
  }

  void TearDown() override {
    watcher_.reset();
    ResetApplicationContext();
    DeleteSettingsFile();
  }

  // The capture window the start-up made, or a fresh one in the video frame
  // window when start-up made none.
  HWND CaptureWindow() {
    if (!g_context.captureWindow) {
      g_context.captureWindow = capCreateCaptureWindowA(
          nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 240, 120, g_context.videoFrameWindow, 0);
    }
    return g_context.captureWindow;
  }

  static std::string Text(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }

  // Window rectangle of `child` in its parent's client coordinates.
  static RECT RectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  std::unique_ptr<DialogWatcher> watcher_;
};

#endif
