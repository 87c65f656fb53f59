// Video format requests, the driver dialogs and the per-driver memory.
#include <windowsx.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/avicap32/avicap32_resource.h"
#include "service_fixture.h"

namespace {


TEST_F(ServiceTest, VideoFormatSizeRecordAndBoundedCopy) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(Send(WM_CAP_GET_VIDEOFORMAT, 0, 0), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
  BITMAPINFOHEADER h = Format();
  EXPECT_EQ(h.biSize, sizeof h);
  EXPECT_EQ(h.biWidth, 320);
  EXPECT_EQ(h.biHeight, 240);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(h.biSizeImage, 320u * 3u * 240u);

  unsigned char buf[64];
  std::memset(buf, 0xCD, sizeof buf);
  EXPECT_EQ(SendPtr(WM_CAP_GET_VIDEOFORMAT, 12, buf), 12);
  LONG width;
  std::memcpy(&width, buf + 4, 4);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(buf[12], 0xCD);
}

TEST_F(ServiceTest, SetVideoFormatTakesOnlyWhatTheDriverOffers) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);  // a frozen 320 x 240 frame
  EXPECT_TRUE(SetFormat(160, 120, 32));
  // The frozen picture is made again in the new format: the copy matches it.
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib clip;
  ASSERT_TRUE(ReadClipboardDib(&clip));
  EXPECT_EQ(clip.header.biWidth, 160);
  EXPECT_EQ(clip.header.biBitCount, 32);
  EXPECT_EQ(clip.bits.size(), 160u * 4u * 120u);
  EXPECT_EQ(Format().biWidth, 160);
  EXPECT_EQ(Format().biBitCount, 32);
  EXPECT_EQ(Format().biSizeImage, 160u * 4u * 120u);
  EXPECT_EQ(Status().uiImageWidth, 160u);
  EXPECT_FALSE(SetFormat(100, 100, 24));
  EXPECT_FALSE(SetFormat(160, 120, 8));
  EXPECT_EQ(Format().biWidth, 160);
  EXPECT_EQ(Format().biBitCount, 32);
  BITMAPINFOHEADER tooShort{};
  EXPECT_EQ(SendPtr(WM_CAP_SET_VIDEOFORMAT, 20, &tooShort), 0);
}

TEST_F(ServiceTest, FormatDialogAppliesOnlyWhenConfirmed) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  LRESULT result = -1;
  DialogSeen seen = WithDialog(
      [](HWND d) {
        ComboBox_SetCurSel(GetDlgItem(d, IDC_FMT_SIZE), 2);   // 640 x 480
        ComboBox_SetCurSel(GetDlgItem(d, IDC_FMT_DEPTH), 1);  // 32 bits
        PressButton(d, IDCANCEL);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEOFORMAT); });
  EXPECT_TRUE(seen.appeared);
  EXPECT_EQ(seen.owner, parent_);  // owned by the top-level window
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Format().biWidth, 320);

  seen = WithDialog(
      [](HWND d) {
        ComboBox_SetCurSel(GetDlgItem(d, IDC_FMT_SIZE), 2);
        ComboBox_SetCurSel(GetDlgItem(d, IDC_FMT_DEPTH), 1);
        PressButton(d, IDOK);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEOFORMAT); });
  EXPECT_TRUE(seen.appeared);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Format().biWidth, 640);
  EXPECT_EQ(Format().biHeight, 480);
  EXPECT_EQ(Format().biBitCount, 32);
}

// The built-in camera's sizes in its order, up to 3840 x 2160, which the
// dialog applies as any other.
TEST_F(ServiceTest, FormatDialogListsEveryBuiltInSize) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  const char* const expected[] = {"320 x 240", "160 x 120", "640 x 480", "1280 x 720", "1920 x 1080", "3840 x 2160"};
  std::vector<std::string> listed;
  LRESULT result = -1;
  DialogSeen seen = WithDialog(
      [&](HWND d) {
        HWND sizes = GetDlgItem(d, IDC_FMT_SIZE);
        for (int i = 0; i < ComboBox_GetCount(sizes); ++i) {
          char text[64] = "";
          if (ComboBox_GetLBTextLen(sizes, i) < static_cast<int>(sizeof text)) ComboBox_GetLBText(sizes, i, text);
          listed.push_back(text);
        }
        ComboBox_SetCurSel(sizes, ComboBox_GetCount(sizes) - 1);
        PressButton(d, IDOK);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEOFORMAT); });
  ASSERT_TRUE(seen.appeared);
  EXPECT_EQ(listed, std::vector<std::string>(std::begin(expected), std::end(expected)));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Format().biWidth, 3840);
  EXPECT_EQ(Format().biHeight, 2160);
  EXPECT_EQ(Format().biSizeImage, 3840u * 3u * 2160u);
}

TEST_F(ServiceTest, WindowDestroyedWhileADriverDialogIsUpEndsTheDialog) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  HWND cap = cap_;
  LRESULT result = -1;
  LONG_PTR heldState = -1;
  DialogSeen seen = WithDialog(
      [&](HWND d) {
        ComboBox_SetCurSel(GetDlgItem(d, IDC_FMT_SIZE), 2);
        DestroyWindow(cap);
        // The dialog lets go of the state of the window that went, and its
        // OK no longer acts on it.
        heldState = GetWindowLongPtrA(d, DWLP_USER);
        if (IsWindow(d)) PressButton(d, IDOK);
      },
      [&] { result = SendMessageA(cap, WM_CAP_DLG_VIDEOFORMAT, 0, 0); });
  cap_ = nullptr;
  ASSERT_TRUE(seen.appeared);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(IsWindow(cap));
  EXPECT_EQ(0, heldState);
  Recreate();
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(Format().biWidth, 320);  // the dialog's choice was not applied
}

TEST_F(ServiceTest, SourceAndDisplayDialogsChangeThePicture) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib before, after;
  ASSERT_TRUE(ReadClipboardDib(&before));
  LRESULT result = -1;
  DialogSeen seen = WithDialog(
      [](HWND d) {
        ComboBox_SetCurSel(GetDlgItem(d, IDC_SRC_PATTERN), 1);  // checkerboard
        SetDlgItemTextA(d, IDC_SRC_BRIGHTNESS, "40");
        PressButton(d, IDOK);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEOSOURCE); });
  EXPECT_TRUE(seen.appeared);
  EXPECT_EQ(result, 1);
  // The frozen frame follows the new settings.
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  ASSERT_TRUE(ReadClipboardDib(&after));
  EXPECT_NE(before.bits, after.bits);

  seen = WithDialog(
      [](HWND d) {
        CheckDlgButton(d, IDC_DSP_KEEPASPECT, BST_UNCHECKED);
        PressButton(d, IDOK);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEODISPLAY); });
  EXPECT_TRUE(seen.appeared);
  EXPECT_EQ(result, 1);
}

TEST_F(ServiceTest, DriverComesBackAsItWasLeft) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  ASSERT_TRUE(SetFormat(640, 480, 16));
  WithDialog(
      [](HWND d) {
        ComboBox_SetCurSel(GetDlgItem(d, IDC_SRC_PATTERN), 2);
        PressButton(d, IDOK);
      },
      [&] { Send(WM_CAP_DLG_VIDEOSOURCE); });
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib left;
  ASSERT_TRUE(ReadClipboardDib(&left));

  Recreate();  // a new window, as in the next run
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  EXPECT_EQ(Format().biWidth, 640);
  EXPECT_EQ(Format().biBitCount, 16);
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib back;
  ASSERT_TRUE(ReadClipboardDib(&back));
  // Same pattern: the bottom rows, below the stamp, match.
  size_t stride = 640 * 2;
  ASSERT_EQ(back.bits.size(), left.bits.size());
  EXPECT_TRUE(std::equal(back.bits.begin(), back.bits.begin() + stride * 100, left.bits.begin()));

  // Driver 0 keeps its own settings; another camera at index 1 does not
  // inherit those of the first.
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  EXPECT_EQ(Format().biWidth, 320);
  UseCameras("[Driver1]\nDescription=Another camera\n");
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  EXPECT_EQ(Format().biWidth, 320);
  EXPECT_EQ(Format().biBitCount, 24);
}

}  // namespace
