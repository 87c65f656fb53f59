// HandleCommand with the fake capture service: each identifier's requests in
// order after the countdown is stopped, the driver dialogs only when the
// driver has them, the recording's parameters and the audio format chooser.
// The save dialog is Wine's real one, answered through its window; the audio
// compression manager's functions are replaced through import hooks.
#include "tests/wine/app/test_driver_fixture.h"

#include <commdlg.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstring>
#include <memory>

#include "capture/command_handler.h"
#include "capture/sequence_setup.h"
#include "tests/wine/support/dialog_watcher.h"
#include "tests/wine/support/import_hook.h"

namespace driver_test {
namespace {

const char kFolder[] = "C:\\morva_command_test";
const char kSaveTitle[] = "Save Video As...";
const char kCancel[] = "";  // answer that cancels the save dialog

// What the hooked audio compression manager answers and what it was given.
struct AcmDouble {
  MMRESULT metricsResult = MMSYSERR_NOERROR;
  DWORD maxFormat = 50;
  MMRESULT chooseResult = MMSYSERR_NOERROR;
  int chooserCalls = 0;
  ACMFORMATCHOOSEA chooser{};
  WAVEFORMATEX shown{};        // the format in the buffer when the chooser opened
  HGLOBAL allocated = nullptr;
  UINT allocFlags = 0;
  SIZE_T allocSize = 0;
  int frees = 0;
  UINT locksAtFree = 99;
  SIZE_T refuseFrom = 0;  // sizes from this on are refused as the platform would (0: none)
};
AcmDouble g_acm;
std::unique_ptr<ImportHook> g_allocHook;

MMRESULT WINAPI FakeMetrics(HACMOBJ, UINT metric, LPVOID out) {
  if (metric == ACM_METRIC_MAX_SIZE_FORMAT && g_acm.metricsResult == MMSYSERR_NOERROR) {
    *static_cast<DWORD*>(out) = g_acm.maxFormat;
  }
  return g_acm.metricsResult;
}

MMRESULT WINAPI FakeChooser(LPACMFORMATCHOOSEA chooser) {
  g_acm.chooserCalls++;
  g_acm.chooser = *chooser;
  std::memcpy(&g_acm.shown, chooser->pwfx, sizeof g_acm.shown);
  if (g_acm.chooseResult == MMSYSERR_NOERROR) {
    chooser->pwfx->nSamplesPerSec = 22050;  // the user's choice
    chooser->pwfx->nAvgBytesPerSec = 22050;
  }
  return g_acm.chooseResult;
}

HGLOBAL WINAPI RecordingGlobalAlloc(UINT flags, SIZE_T size) {
  auto real = reinterpret_cast<HGLOBAL(WINAPI*)(UINT, SIZE_T)>(g_allocHook->original());
  g_acm.allocFlags = flags;
  g_acm.allocSize = size;
  if (g_acm.refuseFrom != 0 && size >= g_acm.refuseFrom) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    g_acm.allocated = nullptr;
  } else {
    g_acm.allocated = real(flags, size);
  }
  return g_acm.allocated;
}

std::unique_ptr<ImportHook> g_freeHook;
HGLOBAL WINAPI RecordingGlobalFree(HGLOBAL memory) {
  if (memory && memory == g_acm.allocated) {
    g_acm.frees++;
    g_acm.locksAtFree = GlobalFlags(memory) & GMEM_LOCKCOUNT;
  }
  return reinterpret_cast<HGLOBAL(WINAPI*)(HGLOBAL)>(g_freeHook->original())(memory);
}

class CommandTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    CreateCaptureWindow();
    CreateDirectoryA(kFolder, nullptr);
    g_acm = AcmDouble{};
    metrics_ = std::make_unique<ImportHook>("msacm32.dll", "acmMetrics",
                                            reinterpret_cast<void*>(&FakeMetrics));
    chooser_ = std::make_unique<ImportHook>("msacm32.dll", "acmFormatChooseA",
                                            reinterpret_cast<void*>(&FakeChooser));
    g_allocHook = std::make_unique<ImportHook>("kernel32.dll", "GlobalAlloc",
                                               reinterpret_cast<void*>(&RecordingGlobalAlloc));
    g_freeHook = std::make_unique<ImportHook>("kernel32.dll", "GlobalFree",
                                              reinterpret_cast<void*>(&RecordingGlobalFree));
    ASSERT_TRUE(metrics_->installed() && chooser_->installed());
    ASSERT_TRUE(g_allocHook->installed() && g_freeHook->installed());
    Fresh({1, 1, 1});
  }

  void TearDown() override {
    g_freeHook.reset();
    g_allocHook.reset();
    chooser_.reset();
    metrics_.reset();
    ContextTest::TearDown();
  }

  struct Caps {
    UINT source, format, display;
  };

  // A fresh double with a capture file in the test folder and a picture, the
  // given dialog flags, and a countdown running on the main window.
  void Fresh(Caps caps) {
    FakeCapApi().Reset();
    FakeCapApi().SetCaptureFile((std::string(kFolder) + "\\clip.avi").c_str());
    FakeCapApi().SetVideoFormat(160, 120);
    g_context.driverCaps = CAPDRIVERCAPS{};
    g_context.driverCaps.fHasDlgVideoSource = caps.source;
    g_context.driverCaps.fHasDlgVideoFormat = caps.format;
    g_context.driverCaps.fHasDlgVideoDisplay = caps.display;
    HWND main = g_context.mainWindow;
    g_context.timerRunning = SetTimer(main, reinterpret_cast<UINT_PTR>(main), 60000, nullptr);
  }

  // Runs the command on the main window; the save dialog gets `saveAs`
  // typed and confirmed (kCancel: cancelled), any other dialog its OK.
  std::vector<std::string> Run(int id, const char* saveAs = kCancel) {
    DialogWatcher watcher;
    watcher.SetAction([saveAs](HWND dialog, const SeenDialog& seen) {
      if (seen.caption == kSaveTitle && *saveAs) {
        SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(saveAs));
        SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(saveAs));
      }
      const int button = seen.caption == kSaveTitle && !*saveAs ? IDCANCEL : IDOK;
      PostMessageA(dialog, WM_COMMAND, button, 0);
    });
    EXPECT_EQ(0, HandleCommand(g_context.mainWindow, id));
    return Log();
  }

  // Whether the countdown Fresh started was stopped (KillTimer finds no timer).
  static bool CountdownStopped() {
    HWND main = g_context.mainWindow;
    return g_context.timerRunning == 0 && !KillTimer(main, reinterpret_cast<UINT_PTR>(main));
  }

  static std::string InFolder(const char* name) { return std::string(kFolder) + "\\" + name; }

  std::unique_ptr<ImportHook> metrics_;
  std::unique_ptr<ImportHook> chooser_;
};

TEST_F(CommandTest, EveryIdentifierDrivesItsRequestsInOrderAfterStoppingTheCountdown) {
  using Lines = std::vector<std::string>;
  const Lines hold = {"PREVIEW 0", "OVERLAY 1"};
  const Lines restore = {"PREVIEW 1", "OVERLAY 1"};
  auto join = [](std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  struct Row {
    int id;
    const char* saveAs;
    Lines expected;
    Caps caps = {1, 1, 1};
  } rows[] = {
      {40002, kCancel, {}},  // About: a dialog, no request
      {40003, kCancel, {"DLG_VIDEOSOURCE"}},
      {40003, kCancel, {"DLG_VIDEOSOURCE"}, {2, 2, 2}},  // any non-zero flag counts for the source
      {40003, kCancel, {}, {0, 1, 1}},
      {40004, kCancel, {"DLG_VIDEOFORMAT", "VIDEOFORMAT"}},  // confirmed: re-centred
      {40004, kCancel, {}, {1, 2, 1}},  // only 1 counts for format and display
      {40004, kCancel, {}, {1, 0, 1}},
      {40017, "new1", {"GET_CAPTURE_FILE 200", "SET_CAPTURE_FILE " + InFolder("new1.avi")}},
      {40017, kCancel, {"GET_CAPTURE_FILE 200"}},
      {40019, kCancel, {"PREVIEWRATE 66", "PREVIEW 1", "OVERLAY 1"}},
      {40020, kCancel, {"EDIT_COPY"}},
      {40021, "still1",
       join({hold, {"GET_CAPTURE_FILE 200", "SAVEDIB " + InFolder("still1.bmp")}, restore})},
      {40021, kCancel, join({hold, {"GET_CAPTURE_FILE 200"}, restore})},
      {40022, kCancel, {"GET_SEQUENCE_SETUP 96", "SET_SEQUENCE_SETUP 96", "SEQUENCE"}},
      {40024, kCancel, join({hold, restore})},  // the driver list, closed without a choice
      {40025, kCancel, {"DLG_VIDEOCOMPRESSION"}},
      {40026, kCancel, {"DLG_VIDEODISPLAY"}},
      {40026, kCancel, {}, {1, 1, 2}},
      {40026, kCancel, {}, {1, 1, 0}},
      {40027, kCancel, {"GET_AUDIOFORMAT 0", "GET_AUDIOFORMAT 50", "SET_AUDIOFORMAT 50"}},
      {40028, "copy1", {"GET_CAPTURE_FILE 200", "SAVEAS " + InFolder("copy1.avi")}},
      {40028, kCancel, {"GET_CAPTURE_FILE 200"}},
      {40029, kCancel, {}},  // the self-timer sends nothing until its shot
      {0, kCancel, {}},
      {40005, kCancel, {}},
      {40018, kCancel, {}},
      {40023, kCancel, {}},
      {65535, kCancel, {}},
  };
  for (const Row& row : rows) {
    Fresh(row.caps);
    EXPECT_EQ(row.expected, Run(row.id, row.saveAs)) << row.id << " " << row.saveAs;
    if (row.id == 40029) {
      CancelCountdown(g_context.mainWindow);  // it started a countdown of its own
    } else {
      EXPECT_TRUE(CountdownStopped()) << row.id;
    }
  }
  // Video Format cancelled: the layout stays as it is.
  Fresh({1, 1, 1});
  FakeCapApi().SetAnswer(WM_CAP_DLG_VIDEOFORMAT, 0);
  EXPECT_EQ((Lines{"DLG_VIDEOFORMAT"}), Run(40004));
}

TEST_F(CommandTest, ExitDestroysTheWindowThatGotItAndSendsNothing) {
  HWND other = CreateWindowExA(0, PlainWindowClass(), "other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                               nullptr, g_context.instance, nullptr);
  ASSERT_TRUE(other);
  EXPECT_EQ(0, HandleCommand(other, 40001));
  EXPECT_FALSE(IsWindow(other));
  EXPECT_TRUE(IsWindow(g_context.mainWindow));
  EXPECT_TRUE(Log().empty());
}

TEST_F(CommandTest, SequenceSetupChangesOnlyItsSixFieldsFromTheSettings) {
  struct Row {
    int frameRate, captureAudio, enableLimit, interval;
    DWORD microSeconds;
    UINT limit;
  } rows[] = {
      {15, 1, 1, 10, 66666, 10},
      {30, 0, 0, 3, 33333, 3},
      {0, 1, 1, -4, 1000000, 0},  // a rate of 0 counts as 1; a negative interval as 0
  };
  for (const Row& row : rows) {
    Fresh({1, 1, 1});
    CAPTUREPARMS before;
    std::memset(&before, 0xA5, sizeof before);
    SendMessageA(g_context.captureWindow, WM_CAP_SET_SEQUENCE_SETUP, sizeof before,
                 reinterpret_cast<LPARAM>(&before));
    Settings& s = g_context.settings;
    s.FrameRate = row.frameRate;
    s.CaptureAudio = row.captureAudio;
    s.EnableTimeLimit = row.enableLimit;
    s.TimeInterval = row.interval;
    s.SelfTimer = 7;  // not the limit
    SetupSequence();
    CAPTUREPARMS after{};
    ASSERT_TRUE(FakeCapApi().GetSequenceSetup(&after));
    EXPECT_EQ(row.microSeconds, after.dwRequestMicroSecPerFrame);
    EXPECT_EQ(TRUE, after.fMakeUserHitOKToCapture);
    EXPECT_EQ(row.captureAudio, after.fCaptureAudio);
    EXPECT_EQ(FALSE, after.fAbortLeftMouse);
    EXPECT_EQ(FALSE, after.fAbortRightMouse);
    EXPECT_EQ(row.enableLimit, after.fLimitEnabled);
    EXPECT_EQ(row.limit, after.wTimeLimit);
    // Every other field as read.
    CAPTUREPARMS rest = after;
    rest.dwRequestMicroSecPerFrame = before.dwRequestMicroSecPerFrame;
    rest.fMakeUserHitOKToCapture = before.fMakeUserHitOKToCapture;
    rest.fCaptureAudio = before.fCaptureAudio;
    rest.fAbortLeftMouse = before.fAbortLeftMouse;
    rest.fAbortRightMouse = before.fAbortRightMouse;
    rest.fLimitEnabled = before.fLimitEnabled;
    rest.wTimeLimit = before.wTimeLimit;
    EXPECT_EQ(0, std::memcmp(&before, &rest, sizeof rest)) << row.frameRate;
  }
}

TEST_F(CommandTest, AudioFormatBufferChooserRecordAndItsRelease) {
  struct Row {
    MMRESULT metrics;
    DWORD maxFormat;
    MMRESULT choose;
    DWORD size;       // buffer size, 0: not allocated
    bool formatSet;
  } rows[] = {
      {MMSYSERR_NOERROR, 50, MMSYSERR_NOERROR, 50, true},
      {MMSYSERR_NOERROR, 50, ACMERR_CANCELED, 50, false},
      {MMSYSERR_NOERROR, 10, MMSYSERR_NOERROR, 18, true},      // never below a WAVEFORMATEX
      {MMSYSERR_ERROR, 500, MMSYSERR_NOERROR, 18, true},       // no metric: the current size
      {MMSYSERR_NOERROR, 0x7FFFFFF0, MMSYSERR_NOERROR, 0, false},  // refused: no memory that large
  };
  for (const Row& row : rows) {
    Fresh({1, 1, 1});
    g_acm = AcmDouble{};
    g_acm.refuseFrom = 0x40000000;  // the platform's limit, the same in both builds
    g_acm.metricsResult = row.metrics;
    g_acm.maxFormat = row.maxFormat;
    g_acm.chooseResult = row.choose;
    Run(40027);
    const std::vector<std::string> sent = Log();  // before the test's own request below
    const std::string tag = std::to_string(row.maxFormat) + " " + std::to_string(row.choose);
    WAVEFORMATEX now{};
    SendMessageA(g_context.captureWindow, WM_CAP_GET_AUDIOFORMAT, sizeof now,
                 reinterpret_cast<LPARAM>(&now));
    EXPECT_EQ(row.formatSet ? 22050u : 11025u, now.nSamplesPerSec) << tag;
    if (row.size == 0) {
      EXPECT_EQ(row.maxFormat, g_acm.allocSize) << tag;  // asked for, and refused
      EXPECT_EQ(0, g_acm.chooserCalls) << tag;
      EXPECT_EQ((std::vector<std::string>{"GET_AUDIOFORMAT 0"}), sent) << tag;
      continue;
    }
    EXPECT_EQ(static_cast<UINT>(GMEM_MOVEABLE | GMEM_ZEROINIT), g_acm.allocFlags) << tag;
    EXPECT_EQ(row.size, g_acm.allocSize) << tag;
    EXPECT_EQ(1, g_acm.frees) << tag;
    EXPECT_EQ(0u, g_acm.locksAtFree) << tag;
    ASSERT_EQ(1, g_acm.chooserCalls) << tag;
    const ACMFORMATCHOOSEA& c = g_acm.chooser;
    EXPECT_EQ(sizeof(void*) == 4 ? 232u : sizeof(ACMFORMATCHOOSEA), c.cbStruct);
    EXPECT_EQ(0x40u, c.fdwStyle);
    EXPECT_EQ(g_context.mainWindow, c.hwndOwner);
    EXPECT_EQ(row.size, c.cbwfx);
    EXPECT_EQ(0x00C00000u, c.fdwEnum);
    EXPECT_EQ(11025u, g_acm.shown.nSamplesPerSec) << tag;  // opened at the current format
    ACMFORMATCHOOSEA rest = c;
    rest.cbStruct = 0;
    rest.fdwStyle = 0;
    rest.hwndOwner = nullptr;
    rest.pwfx = nullptr;
    rest.cbwfx = 0;
    rest.fdwEnum = 0;
    const ACMFORMATCHOOSEA zero{};
    EXPECT_EQ(0, std::memcmp(&zero, &rest, sizeof rest)) << tag;
  }
}

}  // namespace
}  // namespace driver_test
