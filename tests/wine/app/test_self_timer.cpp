// The self-timer in the running shell, on a clock of the test's own: the
// gauges it has the status bar draw, the moment and the requests of the shot,
// and the events that end a countdown. The save prompt is answered by a hook
// on GetSaveFileNameA, and LoadBitmapA is watched to see which gauges are
// drawn and that each bitmap is let go of again.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "capture/self_timer.h"
#include "resources/resource.h"
#include "tests/wine/app/shell_fixture.h"
#include "tests/wine/app/test_driver_fixture.h"
#include "tests/wine/support/import_hook.h"

namespace {

DWORD g_now = 0;
DWORD WINAPI TestClock() { return g_now; }

std::vector<int> g_loaded;           // gauge bitmaps loaded, in order
std::vector<HGDIOBJ> g_objects;      // their handles and those of the memory contexts
ImportHook* g_loadHook = nullptr;
ImportHook* g_dcHook = nullptr;

HDC WINAPI RecordingCreateCompatibleDC(HDC dc) {
  HDC memory = reinterpret_cast<HDC(WINAPI*)(HDC)>(g_dcHook->original())(dc);
  g_objects.push_back(memory);
  return memory;
}

HBITMAP WINAPI RecordingLoadBitmap(HINSTANCE instance, LPCSTR name) {
  auto real = reinterpret_cast<HBITMAP(WINAPI*)(HINSTANCE, LPCSTR)>(g_loadHook->original());
  HBITMAP bitmap = real(instance, name);
  if (IS_INTRESOURCE(name)) g_loaded.push_back(static_cast<int>(reinterpret_cast<UINT_PTR>(name)));
  g_objects.push_back(bitmap);
  return bitmap;
}

const char* g_answer = nullptr;  // the name the save prompt confirms; null cancels
int g_prompts = 0;

BOOL WINAPI AnsweringGetSaveFileName(OPENFILENAMEA* dialog) {
  ++g_prompts;
  if (!g_answer) return FALSE;
  lstrcpynA(dialog->lpstrFile, g_answer, static_cast<int>(dialog->nMaxFile));
  return TRUE;
}

class SelfTimerTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_NE(nullptr, CaptureWindow());
    g_context.settings.SelfTimer = 3;
    previousClock_ = SetCountdownClock(TestClock);
    g_loaded.clear();
    g_objects.clear();
    g_answer = nullptr;
    g_prompts = 0;
    loadHook_ = std::make_unique<ImportHook>("user32.dll", "LoadBitmapA",
                                             reinterpret_cast<void*>(&RecordingLoadBitmap));
    g_loadHook = loadHook_.get();
    dcHook_ = std::make_unique<ImportHook>("gdi32.dll", "CreateCompatibleDC",
                                           reinterpret_cast<void*>(&RecordingCreateCompatibleDC));
    g_dcHook = dcHook_.get();
    saveHook_ = std::make_unique<ImportHook>("comdlg32.dll", "GetSaveFileNameA",
                                             reinterpret_cast<void*>(&AnsweringGetSaveFileName));
    ASSERT_TRUE(loadHook_->installed());
    ASSERT_TRUE(dcHook_->installed());
    ASSERT_TRUE(saveHook_->installed());
    DrainMessages();  // start-up's pending paints would end the countdown
  }

  void TearDown() override {
    KillTimer(main(), reinterpret_cast<UINT_PTR>(main()));
    saveHook_.reset();
    loadHook_.reset();
    dcHook_.reset();
    g_loadHook = nullptr;
    g_dcHook = nullptr;
    SetCountdownClock(previousClock_);
    ShellTest::TearDown();
  }

  static HWND main() { return g_context.mainWindow; }

  // Starts a countdown at tick `start` with an empty request log.
  void Start(DWORD start) {
    g_now = start;
    FakeCapApi().Reset();
    g_loaded.clear();
    StartCountdown(main());
    ASSERT_NE(0u, g_context.timerRunning);
  }

  // A timer tick `ms` after the start, as the main window receives it.
  void TickAt(DWORD start, DWORD ms) {
    g_now = start + ms;
    SendMessageA(main(), WM_TIMER, reinterpret_cast<WPARAM>(main()), 0);
  }

  static bool ShotTaken() {
    for (const FakeCapRequest& r : FakeCapRequests()) {
      if (r.message == WM_CAP_EDIT_COPY) return true;
    }
    return false;
  }

  // Dispatches the main window's own timer ticks for up to `ms`, or until
  // the shot has been taken.
  static bool ShotWithin(DWORD ms) {
    const DWORD begin = GetTickCount();
    MSG msg;
    while (!ShotTaken() && GetTickCount() - begin < ms) {
      if (PeekMessageA(&msg, main(), WM_TIMER, WM_TIMER, PM_REMOVE)) {
        DispatchMessageA(&msg);
      } else {
        Sleep(5);
      }
    }
    return ShotTaken();
  }

  static std::vector<std::string> ShotLog() {
    std::vector<std::string> log;
    for (const FakeCapRequest& r : FakeCapRequests()) {
      if (r.message == WM_CAP_EDIT_COPY) {
        log.push_back("COPY");
      } else if (r.message == WM_CAP_FILE_SAVEDIBA) {
        log.push_back(std::string("SAVEDIB ") + r.text);
      } else {
        log.push_back(driver_test::Describe(r));
      }
    }
    return log;
  }

  // Part 0's text, or "<gauge>" while it is owner-drawn.
  static std::string StatusPart() {
    const LRESULT info = SendMessageA(g_context.statusWindow, SB_GETTEXTLENGTHA, 0, 0);
    if (HIWORD(info) & SBT_OWNERDRAW) return "<gauge>";
    char text[kTextSize] = "";
    if (LOWORD(info) < sizeof text) {
      SendMessageA(g_context.statusWindow, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    }
    return text;
  }

  CountdownClock previousClock_ = nullptr;
  std::unique_ptr<ImportHook> loadHook_;
  std::unique_ptr<ImportHook> dcHook_;
  std::unique_ptr<ImportHook> saveHook_;
};

TEST_F(SelfTimerTest, GaugeEachSecondThenTheShotStrictlyAfterTheSelfTimer) {
  struct Case { DWORD start; const char* answer; std::vector<std::string> shot; };
  const Case cases[] = {
      {5000, nullptr,  // prompt cancelled: the frame is on the clipboard all the same
       {"COPY", "PREVIEW 0", "OVERLAY 0", "GET_CAPTURE_FILE 200", "PREVIEW 1", "OVERLAY 1"}},
      {0xFFFFFFFFu - 1500, "C:\\still.bmp",  // the tick count wraps during the countdown
       {"COPY", "PREVIEW 0", "OVERLAY 0", "GET_CAPTURE_FILE 200", "SAVEDIB C:\\still.bmp",
        "PREVIEW 1", "OVERLAY 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    g_answer = c.answer;
    Start(c.start);
    EXPECT_EQ("<gauge>", StatusPart());
    // Each tick: ms after the start, the gauge asked for so far.
    const std::pair<DWORD, int> ticks[] = {{0, 121},    {500, 121},  {999, 121},  {1000, 122},
                                           {1999, 122}, {2000, 123}, {2999, 123}, {3000, 124}};
    for (const auto& t : ticks) {
      TickAt(c.start, t.first);
      EXPECT_EQ(t.second, g_context.lastGaugeBitmap) << t.first;
    }
    SendMessageA(main(), WM_TIMER, 77, 0);  // someone else's timer: no shot
    EXPECT_EQ((std::vector<int>{121, 122, 123, 124}), g_loaded);  // drawn once per second
    EXPECT_FALSE(ShotTaken());
    EXPECT_EQ(0, g_prompts);

    TickAt(c.start, 3001);
    EXPECT_EQ(c.shot, ShotLog());
    EXPECT_EQ(1, g_prompts);
    EXPECT_EQ(0u, g_context.timerRunning);
    EXPECT_FALSE(KillTimer(main(), reinterpret_cast<UINT_PTR>(main())));  // stopped
    EXPECT_EQ("", StatusPart());
  }
}

TEST_F(SelfTimerTest, MainWindowEventsEndTheCountdownVideoFrameEventsDoNot) {
  HWND frame = g_context.videoFrameWindow;
  auto repaint = [](HWND w) { InvalidateRect(w, nullptr, TRUE); UpdateWindow(w); };
  // The pop-up help replaces the status text: only the cancellations through
  // CancelCountdown are sure to leave it empty.
  struct Case { const char* event; std::function<void()> happen; bool shot; bool emptied = true; };
  const Case cases[] = {
      {"command", [] { SendMessageA(main(), WM_COMMAND, MAKEWPARAM(12345, 0), 0); }, false},
      {"menu opened", [] {
         SendMessageA(main(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(g_context.menu, 3)), 3);
       }, false, false},
      {"main moved", [] { SetWindowPos(main(), nullptr, 130, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }, false},
      {"main sized", [] { SetWindowPos(main(), nullptr, 0, 0, 420, 380, SWP_NOMOVE | SWP_NOZORDER); }, false},
      {"main painted", [&] { repaint(main()); }, false},
      {"frame moved", [&] { SendMessageA(frame, WM_MOVE, 0, MAKELPARAM(5, 30)); }, true},
      {"frame sized", [&] { SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(280, 180)); }, true},
      {"frame painted", [&] { repaint(frame); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    Start(GetTickCount());
    c.happen();
    EXPECT_EQ(0u, g_context.timerRunning);
    if (c.emptied) {
      EXPECT_EQ("", StatusPart());
    }
    g_now += 3001;
    // The main window's timer is either gone (no tick can come) or ticks
    // every 33 ms; the wait for a tick that must come is generous.
    EXPECT_EQ(c.shot, ShotWithin(c.shot ? 5000 : 300));
    KillTimer(main(), reinterpret_cast<UINT_PTR>(main()));
  }
}

bool g_menuLoopEnded = false;
WNDPROC g_mainProcedure = nullptr;

LRESULT CALLBACK WatchingMenuLoop(HWND window, UINT message, WPARAM first, LPARAM second) {
  if (message == WM_EXITMENULOOP) g_menuLoopEnded = true;
  return CallWindowProcA(g_mainProcedure, window, message, first, second);
}

TEST_F(SelfTimerTest, AltThenEscapeLeavesTheCountdownRunningAndTheGaugeComesBack) {
  const DWORD start = 40000;
  Start(start);
  TickAt(start, 500);
  g_menuLoopEnded = false;
  g_mainProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      main(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingMenuLoop)));
  PostMessageA(main(), WM_SYSKEYDOWN, VK_MENU, 0x20380001);
  PostMessageA(main(), WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001u));
  PostMessageA(main(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(main(), WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
  MSG msg;
  for (int i = 0; i < 4 && PeekMessageA(&msg, main(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);  // the Alt key runs the menu loop, which takes the Escape
  }
  SetWindowLongPtrA(main(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProcedure));
  ASSERT_TRUE(g_menuLoopEnded);
  EXPECT_NE(0u, g_context.timerRunning);
  // Emptied by the closing menu; the status bar may still draw the part as
  // owner-drawn (then with the gauge), but shows no menu help.
  const std::string between = StatusPart();
  EXPECT_TRUE(between == "" || between == "<gauge>") << between;
  TickAt(start, 1000);
  EXPECT_EQ("<gauge>", StatusPart());
  EXPECT_EQ(122, g_context.lastGaugeBitmap);
  g_now = start + 3001;
  EXPECT_TRUE(ShotWithin(5000));
}

TEST_F(SelfTimerTest, GaugeBitmapsStretchOverTheItemBelowItsTopLine) {
  // A 200 x 49 item: the bitmap lands 1:1 from row 1 on; row 0 stays white.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 200, 49);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  DRAWITEMSTRUCT item{};
  item.hDC = dc;
  item.rcItem = {0, 0, 200, 49};
  const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128), green = RGB(0, 255, 0);
  auto count = [&](int row, COLORREF colour) {
    int n = 0;
    for (int x = 0; x < 200; ++x) n += GetPixel(dc, x, row) == colour;
    return n;
  };
  struct Case { DWORD ms; int greyWidth; bool go; };
  const Case cases[] = {{0, 180, false},     {1500, 160, false}, {8000, 20, false},
                        {9000, 0, true},     {10000, 0, true},   {60000, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ms);
    RECT all = item.rcItem;
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    g_context.timerStartTick = 1000;
    g_now = 1000 + c.ms;
    EXPECT_EQ(1, DrawGauge(&item));
    EXPECT_EQ(200, count(0, white));
    EXPECT_EQ(c.greyWidth, count(24, grey));
    EXPECT_EQ(c.go, count(24, green) > 0);
    EXPECT_EQ(0, count(48, white));
  }
  // Without the bitmaps (a module that has none) nothing is drawn, still 1.
  const HINSTANCE own = g_context.instance;
  g_context.instance = GetModuleHandleA("kernel32.dll");
  RECT all = item.rcItem;
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(1, DrawGauge(&item));
  EXPECT_EQ(200, count(24, white));
  g_context.instance = own;
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  // Every bitmap and memory context that the drawing made is gone again.
  ASSERT_FALSE(g_objects.empty());
  for (HGDIOBJ o : g_objects) EXPECT_EQ(0u, GetObjectType(o));
}

}  // namespace
