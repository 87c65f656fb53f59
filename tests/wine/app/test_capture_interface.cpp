// SendCapture, checked through the fake capture service, and the capture
// request numbers, held at compile time.
#include <gtest/gtest.h>

#include "app/application_context.h"
#include "capture/capture_interface.h"
#include "tests/wine/support/app_runner.h"
#include "tests/wine/support/fake_cap_api.h"

namespace {

class SendCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplicationContext();
    FakeCapApi().Reset();
    parent_ = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
    ResetApplicationContext();
  }
  HWND NewCaptureWindow() {
    return capCreateCaptureWindowA("", WS_CHILD, 0, 0, 10, 10, parent_, 0);
  }
  HWND parent_ = nullptr;
};

TEST_F(SendCaptureTest, WithoutCaptureWindowSendsNothingAndReturnsZero) {
  FakeCapApi().SetAnswer(WM_CAP_EDIT_COPY, 77);
  g_context.captureWindow = nullptr;
  EXPECT_EQ(0, SendCapture(WM_CAP_EDIT_COPY, 0, 0));

  // A handle that no longer names a window counts as none as well.
  HWND gone = NewCaptureWindow();
  ASSERT_NE(nullptr, gone);
  DestroyWindow(gone);
  g_context.captureWindow = gone;
  EXPECT_EQ(0, SendCapture(WM_CAP_EDIT_COPY, 0, 0));
  EXPECT_EQ(0, FakeCapApi().RequestCount());
}

TEST_F(SendCaptureTest, ForwardsRequestWithArgumentsAndReturnsItsResult) {
  g_context.captureWindow = NewCaptureWindow();
  ASSERT_NE(nullptr, g_context.captureWindow);
  FakeCapApi().SetAnswer(WM_CAP_SET_PREVIEWRATE, 1234);
  EXPECT_EQ(1234, SendCapture(WM_CAP_SET_PREVIEWRATE, 66, 5));
  char path[] = "C:\\clip.avi";
  SendCapture(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(path));

  const std::vector<FakeCapRequest> log = FakeCapRequests();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(static_cast<UINT>(WM_CAP_SET_PREVIEWRATE), log[0].message);
  EXPECT_EQ(66u, log[0].first);
  EXPECT_EQ(5, log[0].second);
  EXPECT_EQ(static_cast<UINT>(WM_CAP_FILE_SET_CAPTURE_FILEA), log[1].message);
  EXPECT_STREQ("C:\\clip.avi", log[1].text);
}

// The request numbers the program relies on, held against the names that
// vfw.h publishes.
static_assert(WM_CAP_SET_CALLBACK_ERRORA == 1026 && WM_CAP_SET_CALLBACK_STATUSA == 1027, "callbacks");
static_assert(WM_CAP_DRIVER_CONNECT == 1034 && WM_CAP_DRIVER_GET_CAPS == 1038, "driver");
static_assert(WM_CAP_FILE_SET_CAPTURE_FILEA == 1044 && WM_CAP_FILE_GET_CAPTURE_FILEA == 1045 &&
                  WM_CAP_FILE_SAVEASA == 1047 && WM_CAP_FILE_SAVEDIBA == 1049 && WM_CAP_EDIT_COPY == 1054,
              "files");
static_assert(WM_CAP_SET_AUDIOFORMAT == 1059 && WM_CAP_GET_AUDIOFORMAT == 1060, "audio format");
static_assert(WM_CAP_DLG_VIDEOFORMAT == 1065 && WM_CAP_DLG_VIDEOSOURCE == 1066 && WM_CAP_DLG_VIDEODISPLAY == 1067 &&
                  WM_CAP_GET_VIDEOFORMAT == 1068 && WM_CAP_DLG_VIDEOCOMPRESSION == 1070,
              "dialogs and format");
static_assert(WM_CAP_SET_PREVIEW == 1074 && WM_CAP_SET_OVERLAY == 1075 && WM_CAP_SET_PREVIEWRATE == 1076, "view");
static_assert(WM_CAP_SEQUENCE == 1086 && WM_CAP_SET_SEQUENCE_SETUP == 1088 && WM_CAP_GET_SEQUENCE_SETUP == 1089,
              "recording");
// CAPDRIVERCAPS holds handles: 44 bytes in the 32-bit build, 64 in a 64-bit one.
static_assert(sizeof(CAPDRIVERCAPS) == (sizeof(void*) == 4 ? 44u : 64u) && sizeof(CAPTUREPARMS) == 96, "record sizes");

}  // namespace
