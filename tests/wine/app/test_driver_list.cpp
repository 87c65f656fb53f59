// The driver list dialog, opened through Select Camera: its rows and height
// for the installed drivers, the held picture while it is open, and what each
// way of closing it does.
#include "tests/wine/app/test_driver_fixture.h"

#include <cstring>

#include "capture/driver_connection.h"
#include "capture/driver_list.h"
#include "resources/resource.h"
#include "tests/wine/support/dialog_watcher.h"

namespace driver_test {
namespace {

using Lines = std::vector<std::string>;

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// What the dialog showed while it was open.
struct Shown {
  bool seen = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  RECT window{};
  std::vector<int> visibleRows;
  std::vector<std::string> labels;  // of the visible rows
  std::vector<std::string> logWhileOpen;
};

class DriverListTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    CreateCaptureWindow();
  }

  // Opens the list through ChooseDriver; once it shows, records it and then
  // posts `closing` (a message to the focused control or the dialog).
  Shown Choose(std::function<void(HWND dialog)> closing) {
    Shown shown;
    size_t start = LogSize();
    DialogWatcher watcher;
    watcher.SetAction([&](HWND dialog, const SeenDialog&) {
      shown.seen = true;
      shown.owner = GetWindow(dialog, GW_OWNER);
      shown.ownerEnabled = IsWindowEnabled(g_context.mainWindow) != FALSE;
      GetWindowRect(dialog, &shown.window);
      for (int i = 0; i < 10; ++i) {
        HWND row = GetDlgItem(dialog, IDC_DRIVER_FIRST + i);
        if (!IsWindowVisible(row)) continue;
        shown.visibleRows.push_back(i);
        char label[512] = "";
        GetWindowTextA(row, label, sizeof label);
        shown.labels.push_back(label);
      }
      shown.logWhileOpen = Log(start);
      closing(dialog);
    });
    ChooseDriver();
    return shown;
  }

  static void PressEscape(HWND dialog) {
    HWND focus = GetFocus();
    PostMessageA(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  }

  static void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
};

TEST_F(DriverListTest, TemplateControlsInTheirTabOrderAndPlaces) {
  HWND dialog = CreateDialogParamA(g_context.instance, MAKEINTRESOURCEA(IDD_DRIVERLIST),
                                   g_context.mainWindow, Inert, 0);
  ASSERT_TRUE(dialog);
  std::vector<int> order;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    order.push_back(static_cast<int>(static_cast<short>(GetDlgCtrlID(c))));
  }
  EXPECT_EQ((std::vector<int>{1009, 1011, 1014, 1007, 1015, 1012, 1008, 1013, 1010, -1, 1016}),
            order);
  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_EQ(0, style & WS_CAPTION & ~WS_BORDER) << "no caption";
  EXPECT_NE(0, style & WS_BORDER);
  for (int i = 0; i < 10; ++i) {
    // Position and size are converted from dialog units separately.
    RECT expected = {5, 24 + 10 * i, 0, 0};
    MapDialogRect(dialog, &expected);
    RECT size = {0, 0, 134, 10};
    MapDialogRect(dialog, &size);
    RECT row;
    HWND button = GetDlgItem(dialog, IDC_DRIVER_FIRST + i);
    GetWindowRect(button, &row);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&row), 2);
    EXPECT_EQ(expected.left, row.left) << i;
    EXPECT_EQ(expected.top, row.top) << i;
    EXPECT_EQ(size.right, row.right - row.left) << i;
    EXPECT_EQ(size.bottom, row.bottom - row.top) << i;
    char text[8] = "";
    GetWindowTextA(button, text, sizeof text);
    EXPECT_EQ(std::to_string(i), text);
  }
  DestroyWindow(dialog);
}

TEST_F(DriverListTest, TwoDriversShowTwoRowsAndShortenTheDialogByEightRows) {
  // The dialog as the template makes it, before the list shortens it.
  HWND plain = CreateDialogParamA(g_context.instance, MAKEINTRESOURCEA(IDD_DRIVERLIST),
                                  g_context.videoFrameWindow, Inert, 0);
  ASSERT_TRUE(plain);
  RECT natural;
  GetWindowRect(plain, &natural);
  RECT button;
  GetWindowRect(GetDlgItem(plain, IDC_DRIVER_FIRST), &button);
  DestroyWindow(plain);
  const int r = button.bottom - button.top + 1;

  Drivers({0, 1});
  FakeCapApi().SetDriver(1, "Second Camera", "Version 2.5");
  Shown shown = Choose(PressEscape);
  ASSERT_TRUE(shown.seen);
  EXPECT_EQ(g_context.mainWindow, shown.owner);  // the video frame window's top-level window
  EXPECT_FALSE(shown.ownerEnabled) << "modal";
  EXPECT_EQ((std::vector<int>{0, 1}), shown.visibleRows);
  EXPECT_EQ((Lines{"Camera 0 v0.0", "Second Camera Version 2.5"}), shown.labels);
  EXPECT_EQ(natural.left, shown.window.left);
  EXPECT_EQ(natural.top, shown.window.top);
  EXPECT_EQ(natural.right - natural.left + 1, shown.window.right - shown.window.left);
  EXPECT_EQ(natural.bottom - natural.top + 1 - 8 * r, shown.window.bottom - shown.window.top);
}

TEST_F(DriverListTest, MissingIndicesHideTheirRowsWithoutEndingTheList) {
  Drivers({1, 4, 9});
  Shown shown = Choose(PressEscape);
  EXPECT_EQ((std::vector<int>{1, 4, 9}), shown.visibleRows);
  EXPECT_EQ((Lines{"Camera 1 v1.0", "Camera 4 v4.0", "Camera 9 v9.0"}), shown.labels);
}

TEST_F(DriverListTest, OverlongNameAndVersionAreCutToTheLabelBuffer) {
  const std::string name(199, 'n');
  const std::string version(199, 'v');
  FakeCapApi().SetDriver(0, name.c_str(), version.c_str());
  Shown shown = Choose(PressEscape);
  ASSERT_EQ(1u, shown.labels.size());
  EXPECT_EQ(name, shown.labels[0]);  // 199 characters fill the buffer: the version is cut off

  FakeCapApi().SetDriver(0, "Cam", version.c_str());
  shown = Choose(PressEscape);
  ASSERT_EQ(1u, shown.labels.size());
  EXPECT_EQ("Cam " + version.substr(0, 199 - 4), shown.labels[0]);
}

TEST_F(DriverListTest, EscapeKeepsTheDriverAndRestoresThePicture) {
  Drivers({0, 1});
  ASSERT_NE(0, SendMessageA(g_context.captureWindow, WM_CAP_DRIVER_CONNECT, 0, 0));
  g_context.settings.DriverID = 0;
  size_t start = LogSize();
  Shown shown = Choose(PressEscape);
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 1"}), shown.logWhileOpen);
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 1", "PREVIEW 1", "OVERLAY 1"}), Log(start));
  EXPECT_EQ(0, g_context.settings.DriverID);
}

TEST_F(DriverListTest, HeldViewFollowsTheOverlaySetting) {
  Drivers({0});
  g_context.settings.UseOverlay = 0;
  size_t start = LogSize();
  Choose(PressEscape);
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 0", "PREVIEW 1", "OVERLAY 0"}), Log(start));
}

TEST_F(DriverListTest, EnterEndsTheListWithoutChoosing) {
  Drivers({0, 1});
  size_t start = LogSize();
  Choose([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 1", "PREVIEW 1", "OVERLAY 1"}), Log(start));
  EXPECT_EQ(0, g_context.settings.DriverID);
}

TEST_F(DriverListTest, ChoosingARowSwitchesToThatDriver) {
  Drivers({0, 1, 2});
  size_t start = LogSize();
  Choose([](HWND dialog) { Click(dialog, IDC_DRIVER_FIRST + 2); });
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 1", "PREVIEW 1", "OVERLAY 1", "PREVIEW 0", "CONNECT 2",
                   GetCapsLine(), "PREVIEW 1", "VIDEOFORMAT"}),
            Log(start));
  EXPECT_EQ(2, g_context.settings.DriverID);
}

TEST_F(DriverListTest, OtherCommandsRestoreThePictureAndLeaveTheListOpen) {
  Drivers({0});
  size_t start = LogSize();
  Choose([](HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, 1017, 0);
    PressEscape(dialog);
  });
  EXPECT_EQ((Lines{"PREVIEW 0", "OVERLAY 1", "PREVIEW 1", "OVERLAY 1", "PREVIEW 1", "OVERLAY 1"}),
            Log(start));
}

}  // namespace
}  // namespace driver_test
