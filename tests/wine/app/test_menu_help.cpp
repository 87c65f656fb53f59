// The help texts: the toolbar's tooltips through the real tooltip, the
// status bar's line while a menu is open, and a countdown ended by opening a
// menu.
#include <windows.h>
#include <commctrl.h>

#include "tests/wine/app/shell_fixture.h"

namespace {

class MenuHelpTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    SetWindowTextA(g_context.statusWindow, "before");
  }

  static std::string Status() { return Text(g_context.statusWindow); }

  static void Select(unsigned item, unsigned flags) {
    SendMessageA(g_context.mainWindow, WM_MENUSELECT, MAKEWPARAM(item, flags),
                 reinterpret_cast<LPARAM>(g_context.menu));
  }
};

TEST_F(MenuHelpTest, MenuSelectionShowsTheItemsHelpLine) {
  struct Row {
    unsigned item, flags;
    const char* expected;
  } rows[] = {
      {40024, MF_HILITE, "Select Camera Driver"},
      {40001, 0, "Exit This Program"},
      {40003, MF_HILITE, "Settin Driver's Video Source "},
      {40027, MF_HILITE | MF_MOUSESELECT, "Settin Audio Format"},
      {0, MF_SEPARATOR, "before"},               // a separator changes nothing
      {2, MF_POPUP | MF_HILITE, "before"},       // nor does a pop-up
      {40005, MF_HILITE, "before"},              // nor an item without help
      {0, 0xFFFF, ""},                           // the menu closed
  };
  for (const Row& row : rows) {
    SetWindowTextA(g_context.statusWindow, "before");
    Select(row.item, row.flags);
    EXPECT_EQ(row.expected, Status()) << row.item << " " << row.flags;
  }
}

TEST_F(MenuHelpTest, OpeningAPopUpShowsItsHelpAndEndsTheCountdown) {
  struct Row {
    unsigned position;
    const char* expected;
  } rows[] = {
      {0, "File"}, {3, "Capture ..."}, {4, "Help"}, {5, "before"}, {0xFFFF, "before"},
  };
  HWND main = g_context.mainWindow;
  for (const Row& row : rows) {
    SetWindowTextA(g_context.statusWindow, "before");
    g_context.timerRunning = SetTimer(main, reinterpret_cast<UINT_PTR>(main), 60000, nullptr);
    ASSERT_NE(0u, g_context.timerRunning);
    EXPECT_EQ(0, SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_context.menu),
                              MAKELPARAM(row.position, 0)));
    EXPECT_EQ(row.expected, Status()) << row.position;
    EXPECT_EQ(0u, g_context.timerRunning);
    EXPECT_FALSE(KillTimer(main, reinterpret_cast<UINT_PTR>(main))) << "the timer still runs";
  }
}

TEST_F(MenuHelpTest, TooltipsComeFromTheStringTable) {
  HWND tips = reinterpret_cast<HWND>(SendMessageA(g_context.toolbarWindow, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(nullptr, tips);
  struct Row {
    UINT command;
    const char* expected;
  } rows[] = {
      {40021, "Still Image By Manual Shutter"},
      {40017, "Assign New File for Saving"},
      {40029, "Still Image By Auto Shutter"},
      {40002, "About .."},
  };
  for (const Row& row : rows) {
    // The tooltip asks the toolbar, which asks the main window.
    char text[200] = "";
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = g_context.toolbarWindow;
    tool.uId = row.command;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(row.expected, text) << row.command;
  }
  // Another notification, or the wide request, is left alone.
  NMTTDISPINFOA request{};
  request.hdr.idFrom = 40021;
  request.lpszText = request.szText;
  for (UINT code : {static_cast<UINT>(TTN_GETDISPINFOW), static_cast<UINT>(NM_CLICK)}) {
    request.hdr.code = code;
    EXPECT_EQ(0, SendMessageA(g_context.mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request)));
    EXPECT_EQ(request.szText, request.lpszText);
    EXPECT_EQ(nullptr, request.hinst);
  }
}

}  // namespace
