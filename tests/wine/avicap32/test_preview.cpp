// The live picture: frames made at the preview rate, the frozen last frame,
// and what reaches the screen, unscaled and scaled.
#include "service_fixture.h"

namespace {

TEST_F(ServiceTest, PreviewMakesFramesAndStoppedPreviewFreezesTheLastOne) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEWRATE, 20), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  DWORD first = Status().dwCurrentVideoFrame;
  PumpMessages(400);
  DWORD later = Status().dwCurrentVideoFrame;
  EXPECT_GT(later, first + 3);  // generous: about 20 are due
  EXPECT_TRUE(Status().fLiveWindow);

  EXPECT_EQ(Send(WM_CAP_SET_PREVIEW, 0), TRUE);
  EXPECT_FALSE(Status().fLiveWindow);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib a, b;
  ASSERT_TRUE(ReadClipboardDib(&a));
  DWORD frozen = Status().dwCurrentVideoFrame;
  PumpMessages(200);
  EXPECT_EQ(Status().dwCurrentVideoFrame, frozen);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  ASSERT_TRUE(ReadClipboardDib(&b));
  EXPECT_EQ(a.bits, b.bits);

  // A grab makes one new frame, and stops the view; NOSTOP keeps it running.
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  EXPECT_EQ(Status().dwCurrentVideoFrame, frozen + 1);
  Send(WM_CAP_SET_PREVIEW, 1);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME_NOSTOP), TRUE);
  EXPECT_TRUE(Status().fLiveWindow);
  EXPECT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  EXPECT_FALSE(Status().fLiveWindow);
}

TEST_F(ServiceTest, PaintsUnscaledFromTopLeftAndScaledToTheWindow) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_TRUE(SetFormat(160, 120, 24));
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib frame;
  ASSERT_TRUE(ReadClipboardDib(&frame));
  UpdateWindow(cap_);
  PumpMessages(50);
  // Unscaled: the picture at its own size at (0, 0), the ground beside it.
  capcore::Rgb c = FramePixel(frame, 150, 100);
  EXPECT_EQ(ScreenPixel(cap_, 150, 100), RGB(c.r, c.g, c.b));
  EXPECT_EQ(ScreenPixel(cap_, 250, 100), RGB(0, 0, 0));
  EXPECT_EQ(ScreenPixel(cap_, 100, 200), RGB(0, 0, 0));

  // Scaled (the window is 320 x 240, twice the picture): (150, 100) shows at (300, 200).
  EXPECT_EQ(Send(WM_CAP_SET_SCALE, 1), TRUE);
  UpdateWindow(cap_);
  PumpMessages(50);
  EXPECT_EQ(ScreenPixel(cap_, 301, 201), RGB(c.r, c.g, c.b));
}

TEST_F(ServiceTest, ScaledPictureKeepsItsProportionsUnlessTheDisplayDialogSaysNot) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);  // 320 x 240
  MoveWindow(cap_, 0, 0, 400, 240, TRUE);
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_SCALE, 1), TRUE);
  UpdateWindow(cap_);
  PumpMessages(50);
  EXPECT_EQ(ScreenPixel(cap_, 10, 120), RGB(0, 0, 0));      // ground left of the picture
  EXPECT_EQ(ScreenPixel(cap_, 390, 120), RGB(0, 0, 0));     // and right of it
  EXPECT_EQ(ScreenPixel(cap_, 60, 200), RGB(191, 191, 191)); // first bar starts at x = 40

  WithDialog(
      [](HWND d) {
        CheckDlgButton(d, 2301, BST_UNCHECKED);  // keep proportions: off
        CheckDlgButton(d, 2302, BST_UNCHECKED);  // grey ground
        PressButton(d, IDOK);
      },
      [&] { Send(WM_CAP_DLG_VIDEODISPLAY); });
  UpdateWindow(cap_);
  PumpMessages(50);
  EXPECT_EQ(ScreenPixel(cap_, 30, 200), RGB(191, 191, 191));  // stretched to the full width
  EXPECT_EQ(ScreenPixel(cap_, 390, 200), RGB(16, 16, 16));    // last bar at the right edge
}

TEST_F(ServiceTest, DisconnectStopsThePreviewAndClearsThePicture) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  Send(WM_CAP_SET_PREVIEWRATE, 20);
  ASSERT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  PumpMessages(100);
  EXPECT_NE(ScreenPixel(cap_, 60, 200), RGB(0, 0, 0));  // a bar
  ASSERT_EQ(Send(WM_CAP_DRIVER_DISCONNECT), TRUE);
  EXPECT_FALSE(Status().fLiveWindow);
  UpdateWindow(cap_);
  PumpMessages(100);
  EXPECT_EQ(ScreenPixel(cap_, 60, 200), RGB(0, 0, 0));
  // Reconnecting does not turn the preview back on by itself.
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  DWORD frames = Status().dwCurrentVideoFrame;
  PumpMessages(100);
  EXPECT_EQ(Status().dwCurrentVideoFrame, frames);
}

TEST_F(ServiceTest, PreviewRateSetsThePace) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEWRATE, 250), TRUE);
  ASSERT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  DWORD first = Status().dwCurrentVideoFrame;
  PumpMessages(600);
  EXPECT_LE(Status().dwCurrentVideoFrame - first, 5u);  // about 2 are due
  // A changed rate applies to a running preview at once.
  EXPECT_EQ(Send(WM_CAP_SET_PREVIEWRATE, 20), TRUE);
  first = Status().dwCurrentVideoFrame;
  PumpMessages(600);
  EXPECT_GE(Status().dwCurrentVideoFrame - first, 8u);  // about 30 are due
}

}  // namespace
