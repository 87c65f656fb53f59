// The self-timer in the running shell, on a clock of the test's own: the
// gauges drawn, the moment and the requests of the shot, and what ends a
// countdown. Hooks answer the save prompt and record every gauge bitmap and
// memory context that the drawing makes.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <functional>

#include "capture/self_timer.h"
#include "tests/wine/app/shell_fixture.h"
#include "tests/wine/app/test_driver_fixture.h"
#include "tests/wine/support/import_hook.h"

namespace {

DWORD g_now = 0;
DWORD WINAPI TestClock() { return g_now; }

std::vector<int> g_loaded;    // gauge bitmaps loaded, in order
std::vector<HGDIOBJ> g_made;  // those bitmaps and the memory contexts
ImportHook* g_loadHook = nullptr;
ImportHook* g_dcHook = nullptr;
const char* g_answer = nullptr;  // the save prompt's answer; null cancels it

HBITMAP WINAPI LoadBitmapHook(HINSTANCE instance, LPCSTR name) {
  HBITMAP b = reinterpret_cast<HBITMAP(WINAPI*)(HINSTANCE, LPCSTR)>(g_loadHook->original())(instance, name);
  g_loaded.push_back(static_cast<int>(reinterpret_cast<UINT_PTR>(name)));
  g_made.push_back(b);
  return b;
}

HDC WINAPI CreateCompatibleDCHook(HDC dc) {
  HDC memory = reinterpret_cast<HDC(WINAPI*)(HDC)>(g_dcHook->original())(dc);
  g_made.push_back(memory);
  return memory;
}

BOOL WINAPI GetSaveFileNameHook(OPENFILENAMEA* dialog) {
  if (g_answer) lstrcpynA(dialog->lpstrFile, g_answer, static_cast<int>(dialog->nMaxFile));
  return g_answer != nullptr;
}

class SelfTimerTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_NE(nullptr, CaptureWindow());
    g_context.settings.SelfTimer = 3;
    previousClock_ = SetCountdownClock(TestClock);
    g_loaded.clear();
    g_made.clear();
    g_answer = nullptr;
    hooks_.emplace_back(
        new ImportHook("user32.dll", "LoadBitmapA", reinterpret_cast<void*>(&LoadBitmapHook)));
    g_loadHook = hooks_.back().get();
    hooks_.emplace_back(new ImportHook("gdi32.dll", "CreateCompatibleDC",
                                       reinterpret_cast<void*>(&CreateCompatibleDCHook)));
    g_dcHook = hooks_.back().get();
    hooks_.emplace_back(new ImportHook("comdlg32.dll", "GetSaveFileNameA",
                                       reinterpret_cast<void*>(&GetSaveFileNameHook)));
    for (const auto& hook : hooks_) ASSERT_TRUE(hook->installed());
    DrainMessages();  // start-up's pending paints would end the countdown
  }

  void TearDown() override {
    KillTimer(main(), reinterpret_cast<UINT_PTR>(main()));
    hooks_.clear();
    SetCountdownClock(previousClock_);
    ShellTest::TearDown();
  }

  static HWND main() { return g_context.mainWindow; }

  // A countdown started at tick `start`, with an empty request log.
  void Start(DWORD start) {
    start_ = g_now = start;
    FakeCapApi().Reset();
    g_loaded.clear();
    StartCountdown(main());
    ASSERT_NE(0u, g_context.timerRunning);
  }

  // A tick of the main window's timer `ms` after the start.
  void TickAt(DWORD ms) {
    g_now = start_ + ms;
    SendMessageA(main(), WM_TIMER, reinterpret_cast<WPARAM>(main()), 0);
  }

  static std::vector<std::string> Requests() {
    std::vector<std::string> log;
    for (const FakeCapRequest& r : FakeCapRequests()) {
      if (r.message == WM_CAP_EDIT_COPY) log.push_back("COPY");
      else if (r.message == WM_CAP_FILE_SAVEDIBA) log.push_back(std::string("SAVEDIB ") + r.text);
      else log.push_back(driver_test::Describe(r));
    }
    return log;
  }

  // Dispatches the main window's own timer ticks until the shot is taken,
  // for at most `ms`.
  static bool ShotWithin(DWORD ms) {
    auto taken = [] { auto log = Requests(); return std::count(log.begin(), log.end(), "COPY") > 0; };
    MSG msg;
    for (const DWORD begin = GetTickCount(); !taken() && GetTickCount() - begin < ms; Sleep(5)) {
      if (PeekMessageA(&msg, main(), WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return taken();
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

  DWORD start_ = 0;
  CountdownClock previousClock_ = nullptr;
  std::vector<std::unique_ptr<ImportHook>> hooks_;
};

TEST_F(SelfTimerTest, GaugeEachSecondThenTheShotStrictlyAfterTheSelfTimer) {
  struct Case { DWORD start; const char* answer; std::vector<std::string> shot; };
  const Case cases[] = {
      {5000, nullptr,  // prompt cancelled: the frame is on the clipboard all the same
       {"COPY", "PREVIEW 0", "OVERLAY 0", "GET_CAPTURE_FILE 200", "PREVIEW 1", "OVERLAY 1"}},
      {0xFFFFFFFFu - 1500, "C:\\still.bmp",  // the tick count wraps during the countdown
       {"COPY", "PREVIEW 0", "OVERLAY 0", "GET_CAPTURE_FILE 200", "SAVEDIB C:\\still.bmp", "PREVIEW 1",
        "OVERLAY 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    g_answer = c.answer;
    Start(c.start);
    EXPECT_EQ("<gauge>", StatusPart());
    for (DWORD ms : {0, 500, 999, 1000, 1999, 2000, 2999, 3000}) {
      TickAt(ms);
      EXPECT_EQ(static_cast<int>(ms / 1000 + 121), g_context.lastGaugeBitmap) << ms;
    }
    SendMessageA(main(), WM_TIMER, 77, 0);  // another timer: nothing
    EXPECT_EQ((std::vector<int>{121, 122, 123, 124}), g_loaded);  // a redraw only when g changes
    EXPECT_TRUE(Requests().empty());
    TickAt(3001);
    EXPECT_EQ(c.shot, Requests());
    EXPECT_FALSE(KillTimer(main(), reinterpret_cast<UINT_PTR>(main())));  // already stopped
    EXPECT_EQ("", StatusPart());
  }
}

TEST_F(SelfTimerTest, MainWindowEventsEndTheCountdownVideoFrameEventsDoNot) {
  HWND frame = g_context.videoFrameWindow;
  auto repaint = [](HWND w) { InvalidateRect(w, nullptr, TRUE); UpdateWindow(w); };
  // The pop-up help replaces the status text; the others leave it empty.
  struct Case { const char* event; std::function<void()> happen; bool shot; bool emptied; };
  const Case cases[] = {
      {"command", [] { SendMessageA(main(), WM_COMMAND, 12345, 0); }, false, true},
      {"menu opened", [] { SendMessageA(main(), WM_INITMENUPOPUP,
                                        reinterpret_cast<WPARAM>(GetSubMenu(g_context.menu, 3)), 3); },
       false, false},
      {"main moved", [] { SetWindowPos(main(), nullptr, 130, 120, 0, 0, SWP_NOSIZE); }, false, true},
      {"main sized", [] { SetWindowPos(main(), nullptr, 0, 0, 420, 380, SWP_NOMOVE); }, false, true},
      {"main painted", [&] { repaint(main()); }, false, true},
      {"frame moved", [&] { SendMessageA(frame, WM_MOVE, 0, MAKELPARAM(5, 30)); }, true, true},
      {"frame sized", [&] { SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(280, 180)); }, true, true},
      {"frame painted", [&] { repaint(frame); }, true, true},
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
    // A timer that runs ticks every 33 ms: the wait for it is generous.
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

TEST_F(SelfTimerTest, AltThenEscapeLeavesTheCountdownRunning) {
  Start(40000);
  TickAt(500);
  g_mainProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingMenuLoop)));
  PostMessageA(main(), WM_SYSKEYDOWN, VK_MENU, 0x20380001);
  PostMessageA(main(), WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001u));
  PostMessageA(main(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  MSG msg;
  for (int i = 0; i < 3 && PeekMessageA(&msg, main(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE); ++i) {
    DispatchMessageA(&msg);  // the Alt key runs the menu loop, which takes the Escape
  }
  SetWindowLongPtrA(main(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProcedure));
  ASSERT_TRUE(g_menuLoopEnded);
  EXPECT_NE(0u, g_context.timerRunning);
  // Emptied when the menu closed; a status bar that keeps the part
  // owner-drawn shows the gauge instead, but never the menu help.
  const std::string between = StatusPart();
  EXPECT_TRUE(between.empty() || between == "<gauge>") << between;
  TickAt(1000);
  EXPECT_EQ("<gauge>", StatusPart());
  EXPECT_EQ(122, g_context.lastGaugeBitmap);
  g_now = start_ + 3001;
  EXPECT_TRUE(ShotWithin(5000));
}

TEST_F(SelfTimerTest, GaugeStretchesOverTheItemBelowItsTopLineAndLeaksNothing) {
  // A 200 x 49 item: the 200 x 48 bitmap lands 1:1 from row 1 on.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 200, 49);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  DRAWITEMSTRUCT item{};
  item.hDC = dc;
  item.rcItem = {0, 0, 200, 49};
  auto count = [&](int row, COLORREF colour) {
    int n = 0;
    for (int x = 0; x < 200; ++x) n += GetPixel(dc, x, row) == colour;
    return n;
  };
  const COLORREF white = RGB(255, 255, 255);
  // Elapsed ms, width of the grey bar, GO in green; no bitmap: nothing drawn.
  struct Case { DWORD ms; int grey; bool go; bool bitmaps; };
  const Case cases[] = {{0, 180, false, true},  {1500, 160, false, true}, {8000, 20, false, true},
                        {9000, 0, true, true},  {60000, 0, true, true},   {0, 0, false, false}};
  const HINSTANCE own = g_context.instance;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ms);
    FillRect(dc, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    g_context.instance = c.bitmaps ? own : GetModuleHandleA("kernel32.dll");
    g_context.timerStartTick = 1000;
    g_now = 1000 + c.ms;
    EXPECT_EQ(1, DrawGauge(&item));
    EXPECT_EQ(200, count(0, white));
    EXPECT_EQ(c.grey, count(24, RGB(128, 128, 128)));
    EXPECT_EQ(c.go, count(24, RGB(0, 255, 0)) > 0);
    EXPECT_EQ(c.bitmaps ? 0 : 200, count(48, white));
  }
  g_context.instance = own;
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ASSERT_GT(g_made.size(), 5u);
  for (HGDIOBJ o : g_made) EXPECT_EQ(0u, GetObjectType(o));
}

}  // namespace
