// The caller's own value and procedures: user data, the frame procedure with
// grabs, previews and single frames (and the AVI that single frames make),
// the stream, yield and capture-control procedures of a recording in the
// window's thread and on its worker, and the scroll position of a picture
// larger than the window.
#include "test_record_fixture.h"

namespace {

struct Event {
  char kind;  // F frame, V video stream, W wave stream, Y yield, P preroll, C capturing, S status
  LPARAM arg;
  DWORD thread;
};

struct EventLog {
  EventLog() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  std::vector<Event> events;
  char stopKind = 0;     // 'P': refuse the start; 'Y' or 'C': answer FALSE once stopAfter frames were seen
  int stopAfter = 0;
  LRESULT userDataSeen = 0;
} g_log;

int Calls(char kind) {
  EnterCriticalSection(&g_log.lock);
  int n = 0;
  for (const Event& e : g_log.events) n += e.kind == kind;
  LeaveCriticalSection(&g_log.lock);
  return n;
}

// Notes the call; TRUE unless this kind is to stop the recording now.
LRESULT Note(char kind, LPARAM arg) {
  bool stop = g_log.stopKind == kind && (kind == 'P' || Calls('V') >= g_log.stopAfter);
  EnterCriticalSection(&g_log.lock);
  g_log.events.push_back({kind, arg, GetCurrentThreadId()});
  LeaveCriticalSection(&g_log.lock);
  return stop ? FALSE : TRUE;
}

LRESULT CALLBACK OnFrame(HWND w, LPVIDEOHDR h) {
  g_log.userDataSeen = capGetUserData(w);
  return Note('F', static_cast<LPARAM>(h->dwBytesUsed));
}
LRESULT CALLBACK OnVideo(HWND, LPVIDEOHDR h) { return Note('V', static_cast<LPARAM>(h->dwTimeCaptured)); }
LRESULT CALLBACK OnWave(HWND, LPWAVEHDR h) { return Note('W', static_cast<LPARAM>(h->dwBytesRecorded)); }
LRESULT CALLBACK OnYield(HWND) { return Note('Y', 0); }
LRESULT CALLBACK OnControl(HWND, int state) { return Note(state == CONTROLCALLBACK_PREROLL ? 'P' : 'C', state); }
LRESULT CALLBACK OnStatus(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  return Note('S', id);
}

}  // namespace

class CallerProcTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    g_log.events.clear();
    g_log.stopKind = 0;
    SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(OnStatus));
  }
  void InstallRecordingProcedures() {
    ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<const void*>(OnVideo)));
    ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_WAVESTREAM, 0, reinterpret_cast<const void*>(OnWave)));
    ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_YIELD, 0, reinterpret_cast<const void*>(OnYield)));
    ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_CAPCONTROL, 0, reinterpret_cast<const void*>(OnControl)));
  }
  LRESULT Record(bool onWorker) {
    LRESULT r = Send(WM_CAP_SEQUENCE);
    for (int i = 0; onWorker && i < 400 && Status().fCapturingNow; ++i) PumpMessages(10);
    return r;
  }
};

TEST_F(CallerProcTest, UserDataIsKeptPerWindowAndSeenByTheProcedures) {
  const LONG_PTR values[] = {-1, 0x7EDCBA98, ~static_cast<LONG_PTR>(0) / 3};
  for (LONG_PTR value : values) {
    ASSERT_TRUE(Send(WM_CAP_SET_USER_DATA, 0, value));
    EXPECT_EQ(value, Send(WM_CAP_GET_USER_DATA));
  }
  HWND other = capCreateCaptureWindowA("other", WS_CHILD, 0, 0, 10, 10, parent_, 1);
  EXPECT_EQ(0, SendMessageA(other, WM_CAP_GET_USER_DATA, 0, 0));
  DestroyWindow(other);
  ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<const void*>(OnFrame)));
  ASSERT_TRUE(Send(WM_CAP_GRAB_FRAME));
  EXPECT_EQ(values[2], g_log.userDataSeen);
}

TEST_F(CallerProcTest, TheFrameProcedureGetsEveryGrabAndPreviewFrameUntilCleared) {
  ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<const void*>(OnFrame)));
  const struct {
    const char* what;
    std::function<void()> run;
  } cases[] = {
      {"grab", [&] { Send(WM_CAP_GRAB_FRAME); }},
      {"grab without stopping", [&] { Send(WM_CAP_GRAB_FRAME_NOSTOP); }},
      {"preview",
       [&] {
         Send(WM_CAP_SET_PREVIEWRATE, 20);
         Send(WM_CAP_SET_PREVIEW, 1);
         PumpMessages(200);
         Send(WM_CAP_SET_PREVIEW, 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    g_log.events.clear();
    DWORD before = Status().dwCurrentVideoFrame;
    c.run();
    int made = static_cast<int>(Status().dwCurrentVideoFrame - before);
    EXPECT_GE(made, 1);
    EXPECT_EQ(made, Calls('F'));
    ASSERT_FALSE(g_log.events.empty());
    EXPECT_EQ(160 * 120 * 3, g_log.events.back().arg);  // the whole frame
  }
  ASSERT_TRUE(Send(WM_CAP_SET_CALLBACK_FRAME, 0, 0));
  g_log.events.clear();
  EXPECT_TRUE(Send(WM_CAP_GRAB_FRAME));
  EXPECT_EQ(0, Calls('F'));
}

TEST_F(CallerProcTest, ARecordingCallsItsProceduresAtTheirMomentsOnItsOwnThread) {
  FastClock();
  InstallRecordingProcedures();
  for (bool onWorker : {false, true}) {
    SCOPED_TRACE(onWorker ? "on the worker" : "in the window's thread");
    UseFile(onWorker ? "procs_worker.avi" : "procs_inline.avi");  // 1 s: 15 frames, 11025 bytes of audio
    Setup(1, [&](CAPTUREPARMS& p) { p.fYield = onWorker; });
    g_log.events.clear();
    EXPECT_TRUE(Record(onWorker));
    std::vector<Event> ev = g_log.events;
    ASSERT_GE(ev.size(), 4u);
    // A worker's reports reach this thread later than its own calls: only
    // the end is sure to come last.
    if (!onWorker) {
      EXPECT_EQ(IDS_CAP_BEGIN, ev.front().arg);
    }
    EXPECT_EQ(IDS_CAP_END, ev.back().arg);
    int video = 0, preroll = 0;
    LPARAM waveBytes = 0;
    for (const Event& e : ev) {
      if (e.kind != 'S') {
        EXPECT_EQ(onWorker, e.thread != GetCurrentThreadId()) << e.kind;
      }
      if (e.kind == 'P') {
        EXPECT_EQ(0, video);  // the preroll comes before the first frame
        ++preroll;
      } else if (e.kind == 'V') {
        EXPECT_EQ(video * 66667 / 1000, e.arg);  // its time in the recording
        ++video;
      } else if (e.kind == 'W') {
        waveBytes += e.arg;
      }
    }
    EXPECT_EQ(1, preroll);
    EXPECT_EQ(15, video);
    EXPECT_GT(waveBytes, 0);
    EXPECT_EQ(static_cast<LPARAM>(Status().dwCurrentWaveSamples), waveBytes);  // 8-bit mono: a byte a sample
    EXPECT_GE(Calls('Y'), 15);
    EXPECT_GE(Calls('C'), 15);
  }
}

TEST_F(CallerProcTest, TheControlAndYieldProceduresStartAndStopTheRecording) {
  FastClock();
  InstallRecordingProcedures();
  const struct {
    char stopKind;
    bool onWorker;
    LRESULT result;
    uint32_t frames;  // in the file; 0: no file
  } cases[] = {
      {'P', false, FALSE, 0}, {'P', true, TRUE, 0}, {'C', false, TRUE, 5},
      {'C', true, TRUE, 5},   {'Y', false, TRUE, 5}, {'Y', true, TRUE, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.stopKind) + (c.onWorker ? " on the worker" : " in the window's thread"));
    std::string path = UseFile("procs_stop.avi");
    Setup(0, [&](CAPTUREPARMS& p) { p.fYield = c.onWorker; });  // no limit: only the procedure stops it
    g_log.events.clear();
    g_log.stopKind = c.stopKind;
    g_log.stopAfter = 5;
    ErrorReports().clear();
    EXPECT_EQ(c.result, Record(c.onWorker));
    EXPECT_FALSE(Status().fCapturingNow);
    EXPECT_TRUE(ErrorReports().empty());
    EXPECT_EQ(c.frames > 0, Exists(path));
    AviCounts avi = ReadAviCounts(path);
    EXPECT_EQ(c.frames, avi.totalFrames);
    EXPECT_EQ(c.frames, avi.videoLength);
  }
}

TEST_F(RecordTest, SingleFramesMakeAnAviOfExactlyThoseFrames) {
  std::string path = UseFile("single_frames.avi");
  Setup(0, [](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = 200000; });
  g_log.events.clear();
  ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<const void*>(OnFrame)));
  ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME_OPEN));
  EXPECT_FALSE(Send(WM_CAP_SINGLE_FRAME_OPEN));  // open already
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(Send(WM_CAP_SINGLE_FRAME));
  EXPECT_TRUE(Send(WM_CAP_SINGLE_FRAME_CLOSE));
  EXPECT_EQ(5, Calls('F'));
  AviCounts avi = ReadAviCounts(path);
  EXPECT_EQ(200000u, avi.microSecPerFrame);
  EXPECT_EQ(5u, avi.totalFrames);
  EXPECT_EQ(1u, avi.streams);
  EXPECT_EQ(5u, avi.videoLength);
  EXPECT_EQ(5u, avi.indexEntries);
  EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(RecordTest, SingleFrameRequestsOutOfTurnAnswerFalse) {
  const struct {
    const char* what;
    std::function<void()> setUp;
    UINT request;
    int error;  // the error reported, 0: none
  } cases[] = {
      {"a frame before opening", [] {}, WM_CAP_SINGLE_FRAME, 0},
      {"closing before opening", [] {}, WM_CAP_SINGLE_FRAME_CLOSE, 0},
      {"opening without a driver", [&] { Send(WM_CAP_DRIVER_DISCONNECT); }, WM_CAP_SINGLE_FRAME_OPEN, 0},
      {"opening an unwritable file",
       [&] { SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, (folder_ + "\\no such folder\\x.avi").c_str()); },
       WM_CAP_SINGLE_FRAME_OPEN, IDS_CAP_FILE_OPEN_ERROR},
      {"opening while recording",
       [&] {
         Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; });
         Send(WM_CAP_SEQUENCE_NOFILE);
       },
       WM_CAP_SINGLE_FRAME_OPEN, 0},
      {"closing without a frame", [&] { Send(WM_CAP_SINGLE_FRAME_OPEN); }, WM_CAP_SINGLE_FRAME_CLOSE,
       IDS_CAP_NO_FRAME_CAP_ERROR},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Recreate();
    ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
    SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
    std::string path = UseFile("single_refused.avi");
    ErrorReports().clear();
    c.setUp();
    EXPECT_FALSE(Send(c.request));
    EXPECT_EQ(c.error, ErrorReports().empty() ? 0 : ErrorReports()[0].id);
    EXPECT_FALSE(Exists(path));
  }
}

TEST_F(ServiceTest, ScrollShowsALargerPictureFromItsPositionWithinThePicture) {
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SCROLL, 0, nullptr));
  POINT to{100, 50};
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SCROLL, 0, &to));  // no driver
  ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
  ASSERT_TRUE(SetFormat(640, 480, 24));  // in a 320 x 240 window
  ASSERT_TRUE(Send(WM_CAP_GRAB_FRAME));
  ASSERT_TRUE(Send(WM_CAP_EDIT_COPY));
  Dib frame;
  ASSERT_TRUE(ReadClipboardDib(&frame));
  const struct {
    POINT asked, shown;
  } cases[] = {{{100, 50}, {100, 50}}, {{1000, -5}, {320, 0}}, {{0, 239}, {0, 239}}, {{-1, 500}, {0, 240}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.asked.x) + "," + std::to_string(c.asked.y));
    EXPECT_TRUE(SendPtr(WM_CAP_SET_SCROLL, 0, &c.asked));
    CAPSTATUS st = Status();
    EXPECT_EQ(c.shown.x, st.ptScroll.x);
    EXPECT_EQ(c.shown.y, st.ptScroll.y);
    UpdateWindow(cap_);
    for (POINT at : {POINT{5, 7}, POINT{300, 200}}) {
      capcore::Rgb p = FramePixel(frame, at.x + c.shown.x, at.y + c.shown.y);
      EXPECT_EQ(RGB(p.r, p.g, p.b), ScreenPixel(cap_, at.x, at.y)) << at.x << "," << at.y;
    }
  }
  ASSERT_TRUE(SetFormat(160, 120, 24));  // smaller than the window: nothing to scroll
  EXPECT_EQ(0, Status().ptScroll.x);
}
