// The layout of the main window's children and the capture window's place
// inside the video frame window, with the fake capture service's formats.
#include <vector>

#include "tests/wine/app/shell_fixture.h"
#include "tests/wine/support/import_hook.h"
#include "ui/layout.h"

namespace {

// LocalAlloc as a platform that has no gigabyte to give: the same answer in
// the 32-bit and the 64-bit build.
const ImportHook* g_localAllocHook = nullptr;
HLOCAL WINAPI LocalAllocWithoutAGigabyte(UINT flags, SIZE_T size) {
  if (size >= 0x40000000) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return reinterpret_cast<HLOCAL(WINAPI*)(UINT, SIZE_T)>(g_localAllocHook->original())(flags, size);
}

class LayoutTest : public ShellTest {
 protected:
  void ExpectMargins() {
    RECT client;
    GetClientRect(g_context.mainWindow, &client);
    RECT toolbar, status;
    GetWindowRect(g_context.toolbarWindow, &toolbar);
    GetWindowRect(g_context.statusWindow, &status);
    const RECT frame = RectInParent(g_context.videoFrameWindow);
    EXPECT_EQ(5, frame.left);
    EXPECT_EQ(4, client.right - frame.right);
    EXPECT_EQ((toolbar.bottom - toolbar.top) + 6, frame.top);
    EXPECT_EQ((status.bottom - status.top) + 5, client.bottom - frame.bottom);
  }

  // Sizes the main window so that the video frame window's client area is
  // exactly width x height (the layout decides the frame's size).
  bool SizeFrameClient(int width, int height) {
    for (int attempt = 0; attempt < 4; ++attempt) {
      RECT c, w;
      GetClientRect(g_context.videoFrameWindow, &c);
      if (c.right == width && c.bottom == height) return true;
      GetWindowRect(g_context.mainWindow, &w);
      SetWindowPos(g_context.mainWindow, nullptr, 0, 0, (w.right - w.left) + width - c.right,
                   (w.bottom - w.top) + height - c.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
    RECT c;
    GetClientRect(g_context.videoFrameWindow, &c);
    return c.right == width && c.bottom == height;
  }

  int VideoFormatRequests() {
    int n = 0;
    for (UINT m : FakeCapRequestNumbers()) n += m == WM_CAP_GET_VIDEOFORMAT;
    return n;
  }
};

TEST_F(LayoutTest, VideoFrameKeepsItsMarginsAtStartAndAfterResizing) {
  ExpectMargins();
  SetWindowPos(g_context.mainWindow, nullptr, 0, 0, 517, 431, SWP_NOMOVE | SWP_NOZORDER);
  ExpectMargins();
  SetWindowPos(g_context.mainWindow, nullptr, 0, 0, 333, 250, SWP_NOMOVE | SWP_NOZORDER);
  ExpectMargins();
}

TEST_F(LayoutTest, SmallerVideoIsCentredAtItsOwnSize) {
  HWND capture = CaptureWindow();
  ASSERT_NE(nullptr, capture);
  ASSERT_TRUE(SizeFrameClient(320, 240));
  FakeCapApi().SetVideoFormat(160, 120);
  CentreCaptureWindow();
  const RECT r = RectInParent(capture);
  EXPECT_EQ(80, r.left);
  EXPECT_EQ(60, r.top);
  EXPECT_EQ(160, r.right - r.left);
  EXPECT_EQ(120, r.bottom - r.top);
}

TEST_F(LayoutTest, LargerVideoFillsTheFrameOnePixelBeyondItsClientArea) {
  HWND capture = CaptureWindow();
  ASSERT_NE(nullptr, capture);
  ASSERT_TRUE(SizeFrameClient(320, 240));
  FakeCapApi().SetVideoFormat(640, 480);
  CentreCaptureWindow();
  const RECT r = RectInParent(capture);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(321, r.right - r.left);
  EXPECT_EQ(241, r.bottom - r.top);
}

TEST_F(LayoutTest, ResizingReCentresTheCaptureWindow) {
  HWND capture = CaptureWindow();
  ASSERT_NE(nullptr, capture);
  FakeCapApi().SetVideoFormat(100, 50);
  ASSERT_TRUE(SizeFrameClient(300, 200));
  const RECT r = RectInParent(capture);
  EXPECT_EQ(100, r.left);  // (301 - 100) / 2
  EXPECT_EQ(75, r.top);    // (201 - 50) / 2
}

TEST_F(LayoutTest, WithoutAFormatTheCaptureWindowStaysWhereItIs) {
  HWND capture = CaptureWindow();
  ASSERT_NE(nullptr, capture);
  MoveWindow(capture, 7, 9, 33, 22, TRUE);
  FakeCapApi().Reset();  // no driver: format size 0
  CentreCaptureWindow();
  RECT r = RectInParent(capture);
  EXPECT_EQ(7, r.left);
  EXPECT_EQ(9, r.top);
  EXPECT_EQ(33, r.right - r.left);
  EXPECT_EQ(1, VideoFormatRequests());  // asked for the size only

  // A format shorter than a bitmap header is not read either.
  FakeCapApi().Reset();
  FakeCapApi().SetAnswer(WM_CAP_GET_VIDEOFORMAT, sizeof(BITMAPINFOHEADER) - 1);
  CentreCaptureWindow();
  r = RectInParent(capture);
  EXPECT_EQ(7, r.left);
  EXPECT_EQ(22, r.bottom - r.top);
  EXPECT_EQ(1, VideoFormatRequests());
}

TEST_F(LayoutTest, FormatTooLargeToAllocateLeavesTheCaptureWindowAlone) {
  const ImportHook hook("kernel32.dll", "LocalAlloc", reinterpret_cast<void*>(&LocalAllocWithoutAGigabyte));
  g_localAllocHook = &hook;
  ASSERT_TRUE(hook.installed());
  HWND capture = CaptureWindow();
  ASSERT_NE(nullptr, capture);
  MoveWindow(capture, 3, 4, 50, 40, TRUE);
  FakeCapApi().Reset();
  FakeCapApi().SetAnswer(WM_CAP_GET_VIDEOFORMAT, 0x7FFFFFF0);  // refused by the hook
  CentreCaptureWindow();
  const RECT r = RectInParent(capture);
  EXPECT_EQ(3, r.left);
  EXPECT_EQ(4, r.top);
  EXPECT_EQ(50, r.right - r.left);
  EXPECT_EQ(1, VideoFormatRequests());
}

TEST_F(LayoutTest, FormatIsAskedForBySizeThenReadIntoABufferOfThatSize) {
  CaptureWindow();
  FakeCapApi().Reset();
  FakeCapApi().SetVideoFormat(160, 120);
  CentreCaptureWindow();
  const std::vector<FakeCapRequest> log = FakeCapRequests();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(static_cast<UINT>(WM_CAP_GET_VIDEOFORMAT), log[0].message);
  EXPECT_EQ(0u, log[0].first);
  EXPECT_EQ(0, log[0].second);
  EXPECT_EQ(static_cast<UINT>(WM_CAP_GET_VIDEOFORMAT), log[1].message);
  EXPECT_EQ(sizeof(BITMAPINFOHEADER), log[1].first);
  EXPECT_NE(0, log[1].second);
}

TEST_F(LayoutTest, NoCaptureWindowMeansNothingIsAskedOrMoved) {
  if (g_context.captureWindow) DestroyWindow(g_context.captureWindow);
  g_context.captureWindow = nullptr;
  FakeCapApi().Reset();
  CentreCaptureWindow();
  SendMessageA(g_context.videoFrameWindow, WM_SIZE, 0, 0);
  EXPECT_EQ(0, FakeCapApi().RequestCount());
}

}  // namespace
