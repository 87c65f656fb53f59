// The Options and About dialogs opened from the running shell and worked by
// the dialog watcher as a user would: what they show, where, and what their
// buttons store.
#include <windows.h>

#include <array>
#include <functional>

#include "resources/resource.h"
#include "tests/wine/app/shell_fixture.h"
#include "tests/wine/app/test_driver_fixture.h"
#include "ui/about_dialog.h"
#include "ui/options_dialog.h"

namespace {

// FrameRate, TimeInterval, SelfTimer, CaptureAudio, UseOverlay, EnableTimeLimit.
using Options = std::array<int, 6>;
const int kFields[3] = {IDC_FRAMERATE, IDC_TIMEINTERVAL, IDC_SELFTIMER};
const int kBoxes[3] = {IDC_CAPTUREAUDIO, IDC_USEOVERLAY, IDC_ENABLETIMELIMIT};

HWND g_dialog = nullptr;  // the dialog that Run saw

void CALLBACK EndLateDialog(HWND, UINT, UINT_PTR, DWORD) {
  if (g_dialog && IsWindow(g_dialog)) {
    ADD_FAILURE() << "the dialog did not close";
    EndDialog(g_dialog, 0);
  }
}

class DialogTest : public ShellTest {
 protected:
  static void Load(const Options& o) {
    Settings& s = g_context.settings;
    s.FrameRate = o[0], s.TimeInterval = o[1], s.SelfTimer = o[2];
    s.CaptureAudio = o[3], s.UseOverlay = o[4], s.EnableTimeLimit = o[5];
  }

  static Options Stored() {
    const Settings& s = g_context.settings;
    return {s.FrameRate, s.TimeInterval, s.SelfTimer, s.CaptureAudio, s.UseOverlay, s.EnableTimeLimit};
  }

  // Opens a dialog through `open`; `work` gets it once it shows. One still
  // open 5 s later is ended and fails the test.
  void Run(const std::function<void()>& open, const std::function<void(HWND)>& work) {
    g_dialog = nullptr;
    watcher_->SetAction([&](HWND dialog, const SeenDialog&) { work(g_dialog = dialog); });
    const UINT_PTR safety = SetTimer(nullptr, 0, 5000, EndLateDialog);
    open();
    KillTimer(nullptr, safety);
    ASSERT_NE(nullptr, g_dialog) << "no dialog opened";
    EXPECT_FALSE(IsWindow(g_dialog));
  }

  static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

  // Each control in template order: identifier, class, text, position and
  // size; and the same line made from dialog units as the dialog maps them.
  static std::vector<std::string> Controls(HWND dialog) {
    std::vector<std::string> lines;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[16] = "";
      GetClassNameA(c, cls, sizeof cls);
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      const RECT placed = {r.left, r.top, r.right - r.left, r.bottom - r.top};
      lines.push_back(Line(static_cast<short>(GetDlgCtrlID(c)), cls, Text(c), placed));
    }
    return lines;
  }
  static std::string Expected(HWND dialog, int id, const char* cls, const char* text, RECT units) {
    MapDialogRect(dialog, &units);  // x, y, width, height each mapped on its own
    return Line(id, cls, text, units);
  }
  static std::string Line(int id, const std::string& cls, const std::string& text, const RECT& r) {
    return std::to_string(id) + " " + cls + " '" + text + "' " + std::to_string(r.left) + "," +
           std::to_string(r.top) + " " + std::to_string(r.right) + "x" + std::to_string(r.bottom);
  }

  // (0, 0) of the main window's client area is the dialog's client origin.
  static void ExpectAtMainClientOrigin(HWND dialog) {
    POINT main = {0, 0}, own = {0, 0};
    ClientToScreen(g_context.mainWindow, &main);
    ClientToScreen(dialog, &own);
    EXPECT_EQ(main.x, own.x);
    EXPECT_EQ(main.y, own.y);
  }
};

TEST_F(DialogTest, OptionsShowTheSettingsAndStoreWhatConverts) {
  struct Case {
    const char* what;
    Options loaded;
    const char* typed[3];  // frame rate, time interval, self-timer; null: as shown
    std::vector<int> clicks;
    Options stored;
  };
  const Case cases[] = {
      {"empty frame rate", {12, 7, 5, 1, 1, 1}, {"", nullptr, nullptr}, {}, {12, 7, 5, 1, 1, 1}},
      {"frame rate 0", {12, 7, 5, 1, 1, 1}, {"0", nullptr, nullptr}, {}, {1, 7, 5, 1, 1, 1}},
      {"self-timer 1", {15, 10, 10, 1, 1, 1}, {nullptr, nullptr, "1"}, {}, {15, 10, 3, 1, 1, 1}},
      {"self-timer 60", {15, 10, 5, 1, 1, 1}, {nullptr, nullptr, "60"}, {}, {15, 10, 10, 1, 1, 1}},
      {"empty self-timer", {15, 10, 25, 1, 1, 1}, {nullptr, nullptr, ""}, {}, {15, 10, 25, 1, 1, 1}},
      {"time interval 0", {15, 10, 10, 1, 1, 1}, {nullptr, "0", nullptr}, {}, {15, 0, 10, 1, 1, 1}},
      {"over-long numbers", {12, 7, 5, 1, 1, 1}, {"2147483648", "99999999999", "4294967299"}, {},
       {12, 7, 5, 1, 1, 1}},
      {"check boxes", {20, 10, 10, 0, 1, 2}, {}, {IDC_CAPTUREAUDIO, IDC_USEOVERLAY}, {20, 10, 10, 1, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.loaded);
    Options shown{};
    Run([] { ShowOptions(g_context.mainWindow); }, [&](HWND d) {
      for (int i = 0; i < 3; ++i) {
        shown[i] = static_cast<int>(GetDlgItemInt(d, kFields[i], nullptr, FALSE));
        shown[3 + i] = IsDlgButtonChecked(d, kBoxes[i]) ? 1 : 0;
        if (c.typed[i]) SetDlgItemTextA(d, kFields[i], c.typed[i]);
      }
      for (int id : c.clicks) Click(d, id);
      Click(d, IDOK);
    });
    const Options& l = c.loaded;
    EXPECT_EQ((Options{l[0], l[1], l[2], l[3] != 0, l[4] != 0, l[5] != 0}), shown);
    EXPECT_EQ(c.stored, Stored());
  }
}

TEST_F(DialogTest, OptionsCancelChangesNothingButThePreviewRateIsSentAgain) {
  const Options loaded = {12, 7, 5, 1, 0, 1};
  Load(loaded);
  FakeCapApi().Reset();
  Run([] { SendMessageA(g_context.mainWindow, WM_COMMAND, IDM_OPTION, 0); }, [](HWND d) {
    SetDlgItemTextA(d, IDC_FRAMERATE, "30");
    SetDlgItemTextA(d, IDC_SELFTIMER, "8");
    Click(d, IDC_CAPTUREAUDIO);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(loaded, Stored());
  EXPECT_EQ((std::vector<std::string>{"PREVIEWRATE 83", "PREVIEW 1", "OVERLAY 0"}), driver_test::Log());
}

TEST_F(DialogTest, OptionsTemplateTabOrderFocusAndPlace) {
  std::vector<std::string> controls, expected, tabs;
  std::string title;
  bool focusOnOk = false;
  Run([] { ShowOptions(g_context.mainWindow); }, [&](HWND d) {
    title = Text(d);
    HWND ok = GetDlgItem(d, IDOK);
    focusOnOk = GetFocus() == ok;
    controls = Controls(d);
    expected = {
        Expected(d, IDOK, "Button", "OK", {27, 79, 40, 12}),
        Expected(d, IDCANCEL, "Button", "Cancel", {93, 79, 40, 12}),
        Expected(d, -1, "Static", "Frame Rate (Frame/Sec.)", {7, 9, 85, 10}),
        Expected(d, IDC_FRAMERATE, "Edit", "15", {100, 7, 30, 12}),
        Expected(d, IDC_TIMEINTERVAL, "Edit", "10", {100, 17, 30, 12}),
        Expected(d, -1, "Static", "Time Interval (Sec,)", {7, 19, 85, 10}),
        Expected(d, IDC_CAPTUREAUDIO, "Button", "Capture Audio Stream", {7, 62, 87, 10}),
        Expected(d, IDC_SELFTIMER, "Edit", "10", {100, 27, 30, 12}),
        Expected(d, -1, "Static", "AutoShutterTimer (Sec.)", {7, 29, 85, 10}),
        Expected(d, IDC_ENABLETIMELIMIT, "Button", "Enable Time Interval", {7, 42, 88, 10}),
        Expected(d, IDC_USEOVERLAY, "Button", "Use Overlay if Available", {7, 52, 88, 10}),
    };
    for (HWND c = ok; c && tabs.size() < 20; c = GetNextDlgTabItem(d, c, FALSE)) {
      if (!tabs.empty() && c == ok) break;
      tabs.push_back(std::to_string(GetDlgCtrlID(c)));
    }
    RECT client, units = {0, 0, 160, 98};
    GetClientRect(d, &client);
    MapDialogRect(d, &units);
    EXPECT_EQ(units.right, client.right);
    EXPECT_EQ(units.bottom, client.bottom);
    EXPECT_EQ(ES_NUMBER, GetWindowLongA(GetDlgItem(d, IDC_SELFTIMER), GWL_STYLE) & ES_NUMBER);
    EXPECT_EQ(BS_AUTOCHECKBOX, GetWindowLongA(GetDlgItem(d, IDC_USEOVERLAY), GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_NE(0, GetWindowLongA(d, GWL_STYLE) & WS_SYSMENU);
    ExpectAtMainClientOrigin(d);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ("Capture Setting", title);
  EXPECT_EQ(expected, controls);
  EXPECT_EQ((std::vector<std::string>{"1", "2", "1000", "1001", "1018", "1002", "1019", "1020"}), tabs);
  EXPECT_TRUE(focusOnOk);
}

TEST_F(DialogTest, AboutShowsTheCaptionAndClosesOnOkAndOnEscape) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "OK");
    std::vector<std::string> controls, expected;
    std::string title;
    Run([] { SendMessageA(g_context.mainWindow, WM_COMMAND, IDM_ABOUT, 0); }, [&](HWND d) {
      title = Text(d);
      controls = Controls(d);
      expected = {Expected(d, -1, "Static", "Image Capture Products", {19, 24, 81, 8}),
                  Expected(d, IDOK, "Button", "OK", {43, 48, 34, 14})};
      EXPECT_EQ(0, GetWindowLongA(d, GWL_STYLE) & WS_SYSMENU);
      ExpectAtMainClientOrigin(d);
      if (escape) PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      else Click(d, IDOK);
    });
    EXPECT_EQ("Capture Application", title);
    EXPECT_EQ(expected, controls);
  }
}

}  // namespace
