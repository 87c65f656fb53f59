// Whole runs of the application inside the test process: what start-up
// builds, the message loop, and the settings file written once at the end.
#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "app/application_context.h"
#include "resources/resource.h"
#include "tests/wine/support/app_runner.h"
#include "tests/wine/support/dialog_watcher.h"
#include "tests/wine/support/fake_cap_api.h"
#include "tests/wine/support/profile_recorder.h"
#include "tests/wine/support/settings_file.h"
#include "ui/frame_windows.h"

namespace {

class ShellRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetApplicationContext();
    FakeCapApi().Reset();
    DeleteSettingsFile();
  }
  void TearDown() override {
    ResetApplicationContext();
    DeleteSettingsFile();
  }
  static std::string Text(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
  DialogWatcher watcher_;
};

TEST_F(ShellRunTest, AfterARunTheFileHoldsAllTwelveKeysInTheirSections) {
  WriteSettingsFile("[Setting]\r\nDriverID=-1\r\n");
  ASSERT_EQ(1, RunApplicationUntilClosed());
  EXPECT_EQ("100", ReadSettingsKey("Position", "XPOS"));
  EXPECT_EQ("100", ReadSettingsKey("Position", "YPOS"));
  EXPECT_EQ("300", ReadSettingsKey("Position", "Width"));   // unchanged window: unchanged size
  EXPECT_EQ("300", ReadSettingsKey("Position", "Height"));
  EXPECT_EQ("15", ReadSettingsKey("Setting", "FrameRate"));
  EXPECT_EQ("10", ReadSettingsKey("Setting", "TimeInterval"));
  EXPECT_EQ("-1", ReadSettingsKey("Setting", "DriverID"));
  EXPECT_EQ("10", ReadSettingsKey("Setting", "SelfTimer"));
  EXPECT_EQ("1", ReadSettingsKey("Setting", "CaptureAudio"));
  EXPECT_EQ("1", ReadSettingsKey("Setting", "UseOverlay"));
  EXPECT_EQ("1", ReadSettingsKey("Setting", "EnableTimeLimit"));
  EXPECT_EQ("C:\\", ReadSettingsKey("Directory", "LastDir"));

  // Exactly the three sections and the twelve keys, nothing else.
  const std::string file = ReadSettingsFile();
  size_t keys = 0, sections = 0;
  for (size_t i = 0; i < file.size(); ++i) {
    if (file[i] == '=') ++keys;
    if (file[i] == '[') ++sections;
  }
  EXPECT_EQ(12u, keys);
  EXPECT_EQ(3u, sections);
  EXPECT_TRUE(watcher_.Seen().empty());
}

TEST_F(ShellRunTest, SettingsAreWrittenExactlyOnceAfterTheLoopHasEnded) {
  ProfileRecorder recorder;
  ASSERT_TRUE(recorder.installed());
  size_t writesDuringLoop = 99;
  bool fileDuringLoop = true;
  const int rc = RunApplicationUntilClosed([&] {
    writesDuringLoop = recorder.writes().size();
    fileDuringLoop = SettingsFileExists();
  });
  EXPECT_EQ(1, rc);
  EXPECT_EQ(0u, writesDuringLoop);
  EXPECT_FALSE(fileDuringLoop);
  ASSERT_EQ(12u, recorder.writes().size());  // one SaveSettings, one write per key
  for (const ProfileCall& w : recorder.writes()) {
    EXPECT_FALSE(w.mainWindowAlive) << w.key << " written before the main window was gone";
  }
  EXPECT_EQ(12u, recorder.reads().size());   // and read once, at start-up
}

TEST_F(ShellRunTest, ClosingTheVideoFrameWindowAlsoEndsTheLoop) {
  ProfileRecorder recorder;
  ASSERT_TRUE(recorder.installed());
  // Only the video frame window is closed: its destruction alone must end
  // the loop, so the main window still stands when the settings are saved.
  const int rc = RunApplicationUntilClosed(
      [] { PostMessageA(g_context.videoFrameWindow, WM_CLOSE, 0, 0); }, false);
  EXPECT_EQ(1, rc);
  ASSERT_EQ(12u, recorder.writes().size());
  EXPECT_TRUE(recorder.writes()[0].mainWindowAlive);
  EXPECT_FALSE(IsWindow(g_context.videoFrameWindow));
}

TEST_F(ShellRunTest, MissingMenuEndsWithZeroAndLeavesTheFileAlone) {
  const std::string before = "[Position]\r\nXPOS=7\r\n; keep me\r\n";
  WriteSettingsFile(before);
  ProfileRecorder recorder;
  ASSERT_TRUE(recorder.installed());
  // The fake capture service's module has no resources at all, so menu 101
  // cannot be loaded from it.
  HINSTANCE noResources = GetModuleHandleA("avicap32.dll");
  ASSERT_NE(nullptr, noResources);
  ASSERT_EQ(nullptr, FindResourceA(noResources, MAKEINTRESOURCEA(IDR_MAINMENU), RT_MENU));

  EXPECT_EQ(0, RunApplication(noResources));
  EXPECT_EQ(nullptr, g_context.mainWindow);
  EXPECT_EQ(nullptr, g_context.videoFrameWindow);
  EXPECT_TRUE(recorder.writes().empty());
  EXPECT_EQ(before, ReadSettingsFile());
  EXPECT_EQ(7, g_context.settings.XPOS);  // the settings were loaded first (step 4)
  EXPECT_TRUE(watcher_.Seen().empty());   // no message box either
}

TEST_F(ShellRunTest, HostileSettingsFileStillStartsAndRuns) {
  std::string file = "[Position]\r\nXPOS=99999999999999999999\r\nWidth=" +
                     std::string(10000, '7') + "\r\n[Directory]\r\nLastDir=" +
                     std::string(5000, 'z') + "\r\n";
  for (int i = 0; i < 4096; ++i) file += static_cast<char>((i * 37) & 0xFF);
  WriteSettingsFile(file);
  EXPECT_EQ(1, RunApplicationUntilClosed());
  EXPECT_EQ(199u, lstrlenA(g_context.settings.LastDir));
}

TEST_F(ShellRunTest, WindowsAreBuiltAsDescribed) {
  ASSERT_EQ(1, StartApplication(GetModuleHandleA(nullptr)));
  EXPECT_STREQ("Capture Application", g_context.caption);
  EXPECT_EQ(GetModuleHandleA(nullptr), g_context.instance);

  HWND main = g_context.mainWindow;
  char cls[64] = "";
  GetClassNameA(main, cls, sizeof cls);
  EXPECT_STREQ("Capture Application", cls);
  EXPECT_EQ("Capture Application", Text(main));
  EXPECT_EQ(0x12CE0000u, static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & 0x12CE0000u);
  EXPECT_EQ(0u, static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & WS_MAXIMIZEBOX);
  EXPECT_EQ(nullptr, GetParent(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(g_context.menu, GetMenu(main));
  EXPECT_EQ(5, GetMenuItemCount(g_context.menu));

  WNDCLASSA c{};
  ASSERT_TRUE(GetClassInfoA(g_context.instance, "Capture Application", &c));
  EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW), c.style);
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), c.hbrBackground);
  EXPECT_NE(nullptr, c.hIcon);
  EXPECT_NE(nullptr, c.hCursor);

  HWND frame = g_context.videoFrameWindow;
  EXPECT_EQ(main, GetParent(frame));
  EXPECT_EQ("Capture Application", Text(frame));
  EXPECT_EQ(0x50400000u, static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)) & 0x50400000u);
  EXPECT_EQ(0, GetDlgCtrlID(frame));

  HWND toolbar = g_context.toolbarWindow;
  ASSERT_NE(nullptr, toolbar);
  EXPECT_EQ(main, GetParent(toolbar));
  ASSERT_EQ(9, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  const int commands[9] = {40017, 40028, 0, 40020, 40021, 40029, 40022, 0, 40002};
  for (int i = 0; i < 9; ++i) {
    TBBUTTON b{};
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(commands[i], b.idCommand) << "position " << i;
    EXPECT_EQ(commands[i] == 0, (b.fsStyle & TBSTYLE_SEP) != 0) << "position " << i;
  }
  HWND status = g_context.statusWindow;
  ASSERT_NE(nullptr, status);
  EXPECT_EQ(main, GetParent(status));
  EXPECT_NE(0u, static_cast<DWORD>(GetWindowLongA(status, GWL_STYLE)) & SBARS_SIZEGRIP);
}

TEST_F(ShellRunTest, FirstLayoutReplacesTheInitialStatusText) {
  // Steps 5 to 8 by hand: the status bar starts with "Load Completed".
  g_context.instance = GetModuleHandleA(nullptr);
  LoadSettings();
  g_context.menu = LoadMenuA(g_context.instance, MAKEINTRESOURCEA(IDR_MAINMENU));
  ASSERT_EQ(1, CreateFrameWindows());
  CreateToolbar();
  CreateStatusBar();
  EXPECT_EQ("Load Completed", Text(g_context.statusWindow));
  // Step 9: the first layout begins with CancelCountdown, which empties it.
  SendMessageA(g_context.videoFrameWindow, WM_SIZE, 0, 0);
  EXPECT_EQ("", Text(g_context.statusWindow));
}

TEST_F(ShellRunTest, DestroyRecordsTheWindowsRealGeometry) {
  ASSERT_EQ(1, StartApplication(GetModuleHandleA(nullptr)));
  // Created at (100, 100) sized 300 x 300 and closed unchanged.
  DestroyWindow(g_context.mainWindow);
  EXPECT_EQ(100, g_context.settings.XPOS);
  EXPECT_EQ(100, g_context.settings.YPOS);
  EXPECT_EQ(300, g_context.settings.Width);
  EXPECT_EQ(300, g_context.settings.Height);
  ResetApplicationContext();

  ASSERT_EQ(1, StartApplication(GetModuleHandleA(nullptr)));
  SetWindowPos(g_context.mainWindow, nullptr, 40, 60, 420, 333, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r;
  GetWindowRect(g_context.mainWindow, &r);
  DestroyWindow(g_context.mainWindow);
  EXPECT_EQ(r.left, g_context.settings.XPOS);
  EXPECT_EQ(r.top, g_context.settings.YPOS);
  EXPECT_EQ(r.right - r.left, g_context.settings.Width);
  EXPECT_EQ(r.bottom - r.top, g_context.settings.Height);
}

TEST_F(ShellRunTest, StoredGeometryOffScreenOrOversizedStillGivesAReachableWindow) {
  const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  struct Row {
    const char* position;
    RECT expected;  // left, top, width, height; width -1: the screen's width
  } rows[] = {
      {"XPOS=40\r\nYPOS=60\r\nWidth=420\r\nHeight=333", {40, 60, 420, 333}},  // as stored
      {"XPOS=-100000", {100, 100, 300, 300}},
      {"YPOS=5000000\r\nWidth=500", {100, 100, 300, 300}},
      {"Width=2147483647", {100, 100, -1, 300}},
  };
  for (const Row& row : rows) {
    ResetApplicationContext();
    WriteSettingsFile(std::string("[Position]\r\n") + row.position + "\r\n");
    ASSERT_EQ(1, StartApplication(GetModuleHandleA(nullptr))) << row.position;
    RECT r;
    GetWindowRect(g_context.mainWindow, &r);
    const LONG width = row.expected.right < 0 ? screenWidth : row.expected.right;
    EXPECT_EQ(row.expected.left, r.left) << row.position;
    EXPECT_EQ(row.expected.top, r.top) << row.position;
    EXPECT_EQ(width, r.right - r.left) << row.position;
    EXPECT_EQ(row.expected.bottom, r.bottom - r.top) << row.position;
    DestroyWindow(g_context.mainWindow);  // and that is what is saved
    EXPECT_EQ(r.left, g_context.settings.XPOS) << row.position;
    EXPECT_EQ(width, g_context.settings.Width) << row.position;
  }
}

TEST_F(ShellRunTest, SecondRunInOneProcessStartsAgain) {
  // The window class is registered once; a second run must still work.
  EXPECT_EQ(1, RunApplicationUntilClosed());
  ResetApplicationContext();
  EXPECT_EQ(1, RunApplicationUntilClosed());
}

}  // namespace
