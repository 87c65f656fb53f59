// The Options and About dialogs, opened from the running shell and worked by
// the dialog watcher as a user would: what they show, where, and what their
// buttons store.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/wine/app/shell_fixture.h"
#include "tests/wine/app/test_driver_fixture.h"
#include "ui/about_dialog.h"
#include "ui/options_dialog.h"

namespace {

// The three number fields and the three check boxes, in the dialog's terms.
struct OptionValues {
  int frameRate, timeInterval, selfTimer, audio, overlay, timeLimit;
  bool operator==(const OptionValues& o) const {
    return frameRate == o.frameRate && timeInterval == o.timeInterval && selfTimer == o.selfTimer &&
           audio == o.audio && overlay == o.overlay && timeLimit == o.timeLimit;
  }
};

HWND g_openDialog = nullptr;  // the dialog that Run opened

void CALLBACK EndLateDialog(HWND, UINT, UINT_PTR, DWORD) {
  if (g_openDialog && IsWindow(g_openDialog)) {
    ADD_FAILURE() << "the dialog did not close";
    EndDialog(g_openDialog, 0);
  }
}

void PrintTo(const OptionValues& v, std::ostream* os) {
  *os << v.frameRate << "/" << v.timeInterval << "/" << v.selfTimer << " audio " << v.audio
      << " overlay " << v.overlay << " limit " << v.timeLimit;
}

class DialogTest : public ShellTest {
 protected:
  void Load(const OptionValues& v) {
    Settings& s = g_context.settings;
    s.FrameRate = v.frameRate;
    s.TimeInterval = v.timeInterval;
    s.SelfTimer = v.selfTimer;
    s.CaptureAudio = v.audio;
    s.UseOverlay = v.overlay;
    s.EnableTimeLimit = v.timeLimit;
  }

  static OptionValues Stored() {
    const Settings& s = g_context.settings;
    return {s.FrameRate, s.TimeInterval, s.SelfTimer, s.CaptureAudio, s.UseOverlay, s.EnableTimeLimit};
  }

  // Opens a dialog through `open`; once it shows, `work` gets it. A dialog
  // still open 5 s later is ended, and the test fails.
  void Run(const std::function<void()>& open, const std::function<void(HWND)>& work) {
    g_openDialog = nullptr;
    watcher_->SetAction([&](HWND dialog, const SeenDialog&) {
      g_openDialog = dialog;
      work(dialog);
    });
    const UINT_PTR safety = SetTimer(nullptr, 0, 5000, EndLateDialog);
    open();
    KillTimer(nullptr, safety);
    EXPECT_NE(nullptr, g_openDialog) << "no dialog opened";
    EXPECT_FALSE(g_openDialog && IsWindow(g_openDialog));
  }

  static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

  static std::string Item(HWND dialog, int id) {
    char text[kTextSize] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
  }

  // The controls in template order: identifier, class, text, then the
  // rectangle in dialog units, which the dialog maps itself.
  static std::vector<std::string> Controls(HWND dialog) {
    std::vector<std::string> lines;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[32] = "", text[64] = "";
      GetClassNameA(c, cls, sizeof cls);
      GetWindowTextA(c, text, sizeof text);
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      lines.push_back(std::to_string(static_cast<short>(GetDlgCtrlID(c))) + " " + cls + " '" + text +
                      "' " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                      std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
    }
    return lines;
  }

  // As the dialog manager places a control: position and size are each
  // mapped from dialog units on their own.
  static std::string Expected(HWND dialog, int id, const char* cls, const char* text, int x, int y,
                              int w, int h) {
    RECT r = {x, y, w, h};
    MapDialogRect(dialog, &r);
    return std::to_string(id) + " " + cls + " '" + text + "' " + std::to_string(r.left) + "," +
           std::to_string(r.top) + " " + std::to_string(r.right) + "x" + std::to_string(r.bottom);
  }

  // The dialog stands at (0, 0) of the main window's client area: their
  // client areas share their origin.
  static void ExpectAtMainClientOrigin(HWND dialog) {
    POINT main = {0, 0}, own = {0, 0};
    ClientToScreen(g_context.mainWindow, &main);
    ClientToScreen(dialog, &own);
    EXPECT_EQ(main.x, own.x);
    EXPECT_EQ(main.y, own.y);
  }
};

TEST_F(DialogTest, OptionsStoresWhatConvertsAndKeepsTheRest) {
  struct Case {
    const char* what;
    OptionValues loaded;
    const char* typed[3];  // frame rate, time interval, self-timer; null: as shown
    std::vector<int> clicks;
    OptionValues stored;
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
      {"check boxes", {20, 10, 10, 0, 1, 2},
       {nullptr, nullptr, nullptr}, {IDC_CAPTUREAUDIO, IDC_USEOVERLAY}, {20, 10, 10, 1, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(c.loaded);
    std::vector<std::string> shown;
    Run([] { ShowOptions(g_context.mainWindow); },
        [&](HWND dialog) {
          shown = {Item(dialog, IDC_FRAMERATE), Item(dialog, IDC_TIMEINTERVAL), Item(dialog, IDC_SELFTIMER)};
          for (int id : {IDC_CAPTUREAUDIO, IDC_USEOVERLAY, IDC_ENABLETIMELIMIT}) {
            shown.push_back(IsDlgButtonChecked(dialog, id) ? "on" : "off");
          }
          const int fields[3] = {IDC_FRAMERATE, IDC_TIMEINTERVAL, IDC_SELFTIMER};
          for (int i = 0; i < 3; ++i) {
            if (c.typed[i]) SetDlgItemTextA(dialog, fields[i], c.typed[i]);
          }
          for (int id : c.clicks) Click(dialog, id);
          Click(dialog, IDOK);
        });
    auto onOff = [](int v) { return std::string(v ? "on" : "off"); };
    EXPECT_EQ((std::vector<std::string>{std::to_string(c.loaded.frameRate),
                                        std::to_string(c.loaded.timeInterval),
                                        std::to_string(c.loaded.selfTimer), onOff(c.loaded.audio),
                                        onOff(c.loaded.overlay), onOff(c.loaded.timeLimit)}),
              shown);
    EXPECT_EQ(c.stored, Stored());
  }
}

TEST_F(DialogTest, OptionsCancelChangesNothingButThePreviewRateIsSentAgain) {
  const OptionValues loaded = {12, 7, 5, 1, 0, 1};
  Load(loaded);
  FakeCapApi().Reset();
  Run([] { SendMessageA(g_context.mainWindow, WM_COMMAND, IDM_OPTION, 0); },
      [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_FRAMERATE, "30");
        SetDlgItemTextA(dialog, IDC_SELFTIMER, "8");
        Click(dialog, IDC_CAPTUREAUDIO);
        Click(dialog, IDCANCEL);
      });
  EXPECT_EQ(loaded, Stored());
  EXPECT_EQ((std::vector<std::string>{"PREVIEWRATE 83", "PREVIEW 1", "OVERLAY 0"}), driver_test::Log());
}

TEST_F(DialogTest, OptionsTemplateControlsTabOrderAndPlace) {
  std::vector<std::string> controls, expected, tabs;
  std::string title;
  HWND focus = nullptr, ok = nullptr;
  LONG editStyle = 0, checkStyle = 0, okStyle = 0, dialogStyle = 0;
  Run([] { ShowOptions(g_context.mainWindow); },
      [&](HWND d) {
        title = Text(d);
        focus = GetFocus();
        ok = GetDlgItem(d, IDOK);
        dialogStyle = GetWindowLongA(d, GWL_STYLE);
        editStyle = GetWindowLongA(GetDlgItem(d, IDC_SELFTIMER), GWL_STYLE);
        checkStyle = GetWindowLongA(GetDlgItem(d, IDC_USEOVERLAY), GWL_STYLE);
        okStyle = GetWindowLongA(ok, GWL_STYLE);
        controls = Controls(d);
        expected = {
            Expected(d, IDOK, "Button", "OK", 27, 79, 40, 12),
            Expected(d, IDCANCEL, "Button", "Cancel", 93, 79, 40, 12),
            Expected(d, -1, "Static", "Frame Rate (Frame/Sec.)", 7, 9, 85, 10),
            Expected(d, IDC_FRAMERATE, "Edit", "15", 100, 7, 30, 12),
            Expected(d, IDC_TIMEINTERVAL, "Edit", "10", 100, 17, 30, 12),
            Expected(d, -1, "Static", "Time Interval (Sec,)", 7, 19, 85, 10),
            Expected(d, IDC_CAPTUREAUDIO, "Button", "Capture Audio Stream", 7, 62, 87, 10),
            Expected(d, IDC_SELFTIMER, "Edit", "10", 100, 27, 30, 12),
            Expected(d, -1, "Static", "AutoShutterTimer (Sec.)", 7, 29, 85, 10),
            Expected(d, IDC_ENABLETIMELIMIT, "Button", "Enable Time Interval", 7, 42, 88, 10),
            Expected(d, IDC_USEOVERLAY, "Button", "Use Overlay if Available", 7, 52, 88, 10),
        };
        HWND c = ok;
        do {
          tabs.push_back(std::to_string(GetDlgCtrlID(c)));
          c = GetNextDlgTabItem(d, c, FALSE);
        } while (c && c != ok && tabs.size() < 20);
        RECT client;
        GetClientRect(d, &client);
        RECT units = {0, 0, 160, 98};  // the template's size, in dialog units
        MapDialogRect(d, &units);
        EXPECT_EQ(units.right, client.right);
        EXPECT_EQ(units.bottom, client.bottom);
        ExpectAtMainClientOrigin(d);
        Click(d, IDCANCEL);
      });
  EXPECT_EQ("Capture Setting", title);
  EXPECT_EQ(expected, controls);
  EXPECT_EQ((std::vector<std::string>{"1", "2", "1000", "1001", "1018", "1002", "1019", "1020"}), tabs);
  EXPECT_EQ(ok, focus);
  EXPECT_EQ(static_cast<LONG>(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
            dialogStyle & (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(ES_NUMBER, editStyle & ES_NUMBER);
  EXPECT_EQ(BS_AUTOCHECKBOX, checkStyle & BS_TYPEMASK);
  EXPECT_EQ(BS_DEFPUSHBUTTON, okStyle & BS_TYPEMASK);
}

TEST_F(DialogTest, AboutShowsTheCaptionAndClosesOnOkAndOnEscape) {
  for (bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "OK");
    std::vector<std::string> controls, expected;
    std::string title;
    LONG style = 0;
    Run([] { ShowAbout(g_context.mainWindow); },
        [&](HWND d) {
          title = Text(d);
          style = GetWindowLongA(d, GWL_STYLE);
          controls = Controls(d);
          expected = {Expected(d, -1, "Static", "Image Capture Products", 19, 24, 81, 8),
                      Expected(d, IDOK, "Button", "OK", 43, 48, 34, 14)};
          ExpectAtMainClientOrigin(d);
          if (escape) {
            PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
          } else {
            Click(d, IDOK);
          }
        });
    EXPECT_EQ("Capture Application", title);
    EXPECT_EQ(expected, controls);
    EXPECT_EQ(0, style & WS_SYSMENU);
  }
}

}  // namespace
