// FrameWindowProcedure's routes: commands, owner-draw, move, size, paint,
// close and destroy, on both frame windows.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "tests/wine/app/shell_fixture.h"

namespace {

class FrameProcedureTest : public ShellTest {
 protected:
  std::string StatusPartText() {
    char text[256] = "";
    const LRESULT info = SendMessageA(g_context.statusWindow, SB_GETTEXTLENGTHA, 0, 0);
    if (LOWORD(info) < sizeof text) {
      SendMessageA(g_context.statusWindow, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    }
    return text;
  }

  // A countdown as the self-timer runs it: the main window's timer with its
  // own handle as identifier, timerRunning set, something in the status bar.
  void StartFakeCountdown(UINT period = 10) {
    HWND main = g_context.mainWindow;
    g_context.timerRunning = SetTimer(main, reinterpret_cast<UINT_PTR>(main), period, nullptr);
    ASSERT_NE(0u, g_context.timerRunning);
    SendMessageA(g_context.statusWindow, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("counting"));
    ASSERT_EQ("counting", StatusPartText());
  }

  // Whether the main window's countdown timer still ticks within `ms`.
  bool MainTimerTicks(DWORD ms) {
    HWND main = g_context.mainWindow;
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
      if (PeekMessageA(&msg, main, WM_TIMER, WM_TIMER, PM_REMOVE) &&
          msg.wParam == reinterpret_cast<WPARAM>(main)) {
        return true;
      }
      Sleep(5);
    }
    return false;
  }
};

TEST_F(FrameProcedureTest, AnyCommandStopsTheCountdownAndClearsTheStatusText) {
  StartFakeCountdown();
  EXPECT_EQ(0, SendMessageA(g_context.mainWindow, WM_COMMAND, MAKEWPARAM(12345, 0), 0));
  EXPECT_EQ(0u, g_context.timerRunning);
  EXPECT_EQ("", StatusPartText());
  EXPECT_FALSE(MainTimerTicks(150));
}

TEST_F(FrameProcedureTest, OwnerDrawRequestsAnswerOne) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.hDC = GetDC(g_context.statusWindow);
  GetClientRect(g_context.statusWindow, &item.rcItem);
  EXPECT_EQ(1, SendMessageA(g_context.mainWindow, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)));
  ReleaseDC(g_context.statusWindow, item.hDC);
}

TEST_F(FrameProcedureTest, MoveRecordsBothWordsUnsignedAndStopsTheCountdown) {
  StartFakeCountdown();
  EXPECT_EQ(0, SendMessageA(g_context.mainWindow, WM_MOVE, 0, MAKELPARAM(0xFFF0, 0x8001)));
  EXPECT_EQ(0xFFF0, g_context.settings.XPOS);
  EXPECT_EQ(0x8001, g_context.settings.YPOS);
  EXPECT_EQ(0u, g_context.timerRunning);
  EXPECT_EQ("", StatusPartText());
}

TEST_F(FrameProcedureTest, SizeOfTheMainWindowRecordsItsClientSize) {
  SendMessageA(g_context.mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(222, 111));
  EXPECT_EQ(222, g_context.settings.Width);
  EXPECT_EQ(111, g_context.settings.Height);
  // The video frame window's size changes leave them alone.
  SendMessageA(g_context.videoFrameWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 60));
  EXPECT_EQ(222, g_context.settings.Width);
  EXPECT_EQ(111, g_context.settings.Height);
}

TEST_F(FrameProcedureTest, ResizingTheMainWindowEndsTheCountdown) {
  StartFakeCountdown();
  SetWindowPos(g_context.mainWindow, nullptr, 0, 0, 410, 390, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(0u, g_context.timerRunning);
  EXPECT_EQ("", StatusPartText());
  EXPECT_FALSE(MainTimerTicks(150));
}

TEST_F(FrameProcedureTest, PaintingTheVideoFrameClearsButLeavesTheMainTimerRunning) {
  StartFakeCountdown();
  InvalidateRect(g_context.videoFrameWindow, nullptr, TRUE);
  UpdateWindow(g_context.videoFrameWindow);
  EXPECT_EQ(0u, g_context.timerRunning);
  EXPECT_EQ("", StatusPartText());
  // Only a timer the painted window owns is stopped: the main window's goes on.
  EXPECT_TRUE(MainTimerTicks(3000));
}

TEST_F(FrameProcedureTest, PaintFillsWithTheButtonFaceColour) {
  InvalidateRect(g_context.videoFrameWindow, nullptr, TRUE);
  UpdateWindow(g_context.videoFrameWindow);
  // A corner the capture window does not cover (it sits at the top left,
  // sized by the video format, 240 x 120 before any).
  RECT c;
  GetClientRect(g_context.videoFrameWindow, &c);
  HDC dc = GetDC(g_context.videoFrameWindow);
  const COLORREF pixel = GetPixel(dc, c.right - 2, c.bottom - 2);
  ReleaseDC(g_context.videoFrameWindow, dc);
  ASSERT_NE(CLR_INVALID, pixel);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pixel);
}

TEST_F(FrameProcedureTest, ClosingTheVideoFrameDestroysItAndPostsQuit) {
  const Settings before = g_context.settings;
  DrainMessages();
  EXPECT_EQ(0, SendMessageA(g_context.videoFrameWindow, WM_CLOSE, 0, 0));
  EXPECT_FALSE(IsWindow(g_context.videoFrameWindow));
  EXPECT_TRUE(IsWindow(g_context.mainWindow));
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(before.Width, g_context.settings.Width);  // only the main window records geometry
  EXPECT_EQ(before.XPOS, g_context.settings.XPOS);
}

TEST_F(FrameProcedureTest, DestroyingTheMainWindowDetachesTheCallbacksStatusFirst) {
  ASSERT_NE(nullptr, CaptureWindow());
  FakeCapApi().Reset();
  SendMessageA(g_context.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(g_context.mainWindow));
  const std::vector<FakeCapRequest> log = FakeCapRequests();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(static_cast<UINT>(WM_CAP_SET_CALLBACK_STATUSA), log[0].message);
  EXPECT_EQ(0, log[0].second);
  EXPECT_EQ(static_cast<UINT>(WM_CAP_SET_CALLBACK_ERRORA), log[1].message);
  EXPECT_EQ(0, log[1].second);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(FrameProcedureTest, OtherMessagesGoToTheDefaultProcedure) {
  // WM_SETTEXT handled by the default procedure changes the title.
  SendMessageA(g_context.mainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other"));
  EXPECT_EQ("Other", Text(g_context.mainWindow));
  EXPECT_EQ(0, SendMessageA(g_context.mainWindow, WM_CREATE, 0, 0));
}

}  // namespace
