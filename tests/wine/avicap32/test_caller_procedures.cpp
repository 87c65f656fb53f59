// The caller's own value and procedures: user data and the frame procedure,
// the stream, yield and capture-control procedures of a recording in the
// window's thread and on its worker, single frames (and the AVI they make),
// and the scroll position of a picture larger than the window.
#include <numeric>

#include "test_record_fixture.h"

namespace {

// Each call: F frame (its bytes), V video stream (its time), W wave stream
// (its bytes), Y yield, P preroll, C capturing, S status report (its id).
struct Event {
  char kind;
  LPARAM arg;
  DWORD thread;
};
std::vector<Event> g_events;
char g_stopKind = 0;      // P refuses the start; Y or C answer FALSE once 5 frames are in
LRESULT g_userDataSeen = 0;

// The worker's calls come from its own thread.
CRITICAL_SECTION* Lock() {
  static CRITICAL_SECTION cs;
  static bool ready = (InitializeCriticalSection(&cs), true);
  return ready ? &cs : nullptr;
}

std::vector<LPARAM> Args(char kind) {
  EnterCriticalSection(Lock());
  std::vector<LPARAM> v;
  for (const Event& e : g_events)
    if (e.kind == kind) v.push_back(e.arg);
  LeaveCriticalSection(Lock());
  return v;
}
int Calls(char kind) { return static_cast<int>(Args(kind).size()); }

LRESULT Note(char kind, LPARAM arg) {
  bool stop = g_stopKind == kind && (kind == 'P' || Calls('V') >= 5);
  EnterCriticalSection(Lock());
  g_events.push_back({kind, arg, GetCurrentThreadId()});
  LeaveCriticalSection(Lock());
  return stop ? FALSE : TRUE;
}

LRESULT CALLBACK OnFrame(HWND w, LPVIDEOHDR h) {
  g_userDataSeen = capGetUserData(w);
  return Note('F', static_cast<LPARAM>(h->dwBytesUsed));
}
LRESULT CALLBACK OnVideo(HWND, LPVIDEOHDR h) { return Note('V', static_cast<LPARAM>(h->dwTimeCaptured)); }
LRESULT CALLBACK OnWave(HWND, LPWAVEHDR h) { return Note('W', static_cast<LPARAM>(h->dwBytesRecorded)); }
LRESULT CALLBACK OnYield(HWND) { return Note('Y', 0); }
LRESULT CALLBACK OnControl(HWND, int state) { return Note(state == CONTROLCALLBACK_PREROLL ? 'P' : 'C', 0); }
LRESULT CALLBACK OnStatus(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  return Note('S', id);
}

// A report procedure of the A form that takes the W form's away; the W form counts its calls.
UINT g_clearWide = 0;
int g_wideCalls = 0;
LRESULT CALLBACK ClearsWide(HWND w, int, LPCSTR) {
  SendMessageA(w, g_clearWide, 0, 0);
  return 1;
}
LRESULT CALLBACK CountsWide(HWND, int, LPCWSTR) {
  ++g_wideCalls;
  return 1;
}

}  // namespace

class CallerProcTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    g_events.clear();
    g_stopKind = 0;
    const std::pair<UINT, const void*> procs[] = {
        {WM_CAP_SET_CALLBACK_STATUSA, reinterpret_cast<const void*>(OnStatus)},
        {WM_CAP_SET_CALLBACK_FRAME, reinterpret_cast<const void*>(OnFrame)},
        {WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<const void*>(OnVideo)},
        {WM_CAP_SET_CALLBACK_WAVESTREAM, reinterpret_cast<const void*>(OnWave)},
        {WM_CAP_SET_CALLBACK_YIELD, reinterpret_cast<const void*>(OnYield)},
        {WM_CAP_SET_CALLBACK_CAPCONTROL, reinterpret_cast<const void*>(OnControl)}};
    for (const auto& p : procs) ASSERT_TRUE(SendPtr(p.first, 0, p.second));
  }
  LRESULT Record(bool onWorker) {
    LRESULT r = Send(WM_CAP_SEQUENCE);
    for (int i = 0; onWorker && i < 400 && Status().fCapturingNow; ++i) PumpMessages(10);
    return r;
  }
};

TEST_F(CallerProcTest, TheFrameProcedureGetsEveryGrabAndPreviewFrameAndSeesTheUserData) {
  const LONG_PTR value = ~static_cast<LONG_PTR>(0) / 3;  // every other bit, pointer-wide
  ASSERT_TRUE(Send(WM_CAP_SET_USER_DATA, 0, value));
  EXPECT_EQ(value, Send(WM_CAP_GET_USER_DATA));
  HWND other = capCreateCaptureWindowA("other", WS_CHILD, 0, 0, 10, 10, parent_, 1);
  EXPECT_EQ(0, SendMessageA(other, WM_CAP_GET_USER_DATA, 0, 0));  // kept per window
  DestroyWindow(other);
  for (UINT request : {WM_CAP_GRAB_FRAME, WM_CAP_GRAB_FRAME_NOSTOP, WM_CAP_SET_PREVIEW}) {
    g_events.clear();
    DWORD before = Status().dwCurrentVideoFrame;
    Send(WM_CAP_SET_PREVIEWRATE, 20);
    Send(request, 1);
    PumpMessages(request == WM_CAP_SET_PREVIEW ? 200 : 0);
    Send(WM_CAP_SET_PREVIEW, 0);
    EXPECT_GE(Calls('F'), 1);
    EXPECT_EQ(static_cast<int>(Status().dwCurrentVideoFrame - before), Calls('F'));
    for (LPARAM bytes : Args('F')) EXPECT_EQ(160 * 120 * 3, bytes);  // the whole frame
  }
  EXPECT_EQ(value, g_userDataSeen);
  ASSERT_TRUE(Send(WM_CAP_SET_CALLBACK_FRAME, 0, 0));  // cleared: no more calls
  g_events.clear();
  EXPECT_TRUE(Send(WM_CAP_GRAB_FRAME));
  EXPECT_EQ(0, Calls('F'));
}

TEST_F(CallerProcTest, AReportProcedureThatTakesTheWideOneAwayIsNotFollowedByIt) {
  std::string missing = folder_ + "\\no such folder\\x.bmp";
  const struct {
    UINT setA, setW;
    std::function<void()> report;
  } cases[] = {
      {WM_CAP_SET_CALLBACK_STATUSA, WM_CAP_SET_CALLBACK_STATUSW, [&] { Send(WM_CAP_SET_PREVIEW, 1); }},
      {WM_CAP_SET_CALLBACK_ERRORA, WM_CAP_SET_CALLBACK_ERRORW, [&] { SendPtr(WM_CAP_FILE_SAVEDIBA, 0, missing.c_str()); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setA);
    g_wideCalls = 0;
    ASSERT_TRUE(SendPtr(c.setW, 0, reinterpret_cast<const void*>(CountsWide)));
    Send(WM_CAP_SET_PREVIEW, 0);
    c.report();
    EXPECT_EQ(1, g_wideCalls);  // both forms called
    g_clearWide = c.setW;
    ASSERT_TRUE(SendPtr(c.setA, 0, reinterpret_cast<const void*>(ClearsWide)));
    Send(WM_CAP_SET_PREVIEW, 0);
    c.report();
    EXPECT_EQ(1, g_wideCalls);  // taken away by the first: not called
  }
}

TEST_F(CallerProcTest, ARecordingCallsItsProceduresAtTheirMomentsOnItsOwnThread) {
  FastClock();
  for (bool onWorker : {false, true}) {
    SCOPED_TRACE(onWorker ? "on the worker" : "in the window's thread");
    UseFile("procs.avi");
    Setup(1, [&](CAPTUREPARMS& p) { p.fYield = onWorker; });  // 15 frames
    g_events.clear();
    EXPECT_TRUE(Record(onWorker));
    std::string kinds;
    for (const Event& e : g_events) {
      kinds += e.kind;
      if (e.kind != 'S') {
        EXPECT_EQ(onWorker, e.thread != GetCurrentThreadId()) << e.kind;
      }
    }
    EXPECT_EQ(1, Calls('P'));
    EXPECT_LT(kinds.find('P'), kinds.find('V'));  // the preroll comes before the first frame
    EXPECT_GE(Calls('Y'), 15);
    EXPECT_GE(Calls('C'), 15);
    std::vector<LPARAM> times = Args('V'), wave = Args('W');
    ASSERT_EQ(15u, times.size());
    for (size_t i = 0; i < times.size(); ++i) EXPECT_EQ(static_cast<LPARAM>(i * 66667 / 1000), times[i]);
    EXPECT_GT(Status().dwCurrentWaveSamples, 0u);  // 8-bit mono: a byte a sample, every one passed on
    EXPECT_EQ(static_cast<LPARAM>(Status().dwCurrentWaveSamples), std::accumulate(wave.begin(), wave.end(), LPARAM{0}));
    // A worker's reports reach this thread after its own calls: only the end is sure to come last.
    EXPECT_EQ(IDS_CAP_END, g_events.back().arg);
    if (!onWorker) {
      EXPECT_EQ(IDS_CAP_BEGIN, g_events.front().arg);
    }
  }
}

TEST_F(CallerProcTest, TheControlAndYieldProceduresStartAndStopTheRecording) {
  FastClock();
  const struct {
    char stopKind;
    bool onWorker;
    LRESULT result;
    uint32_t frames;  // in the file; 0: no file
  } cases[] = {{'P', false, FALSE, 0}, {'P', true, TRUE, 0},  {'C', false, TRUE, 5},
               {'C', true, TRUE, 5},   {'Y', false, TRUE, 5}, {'Y', true, TRUE, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.stopKind) + (c.onWorker ? " on the worker" : ""));
    std::string path = UseFile("procs_stop.avi");
    Setup(0, [&](CAPTUREPARMS& p) { p.fYield = c.onWorker; });  // no limit: only the procedure stops it
    g_events.clear();
    g_stopKind = c.stopKind;
    ErrorReports().clear();
    EXPECT_EQ(c.result, Record(c.onWorker));
    EXPECT_TRUE(ErrorReports().empty());
    EXPECT_EQ(c.frames > 0, Exists(path));
    EXPECT_EQ(c.frames, AviField(path, "avih", 24));  // frames
    EXPECT_EQ(c.frames, AviField(path, "strh", 40));  // the video stream's length
  }
}

TEST_F(RecordTest, SingleFramesMakeAnAviOfExactlyThoseFramesAndRefuseRequestsOutOfTurn) {
  std::string path = UseFile("single_frames.avi");  // read back by ffprobe in record_files.sh
  Setup(0, [](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = 200000; });
  EXPECT_FALSE(Send(WM_CAP_SINGLE_FRAME));  // not open
  EXPECT_FALSE(Send(WM_CAP_SINGLE_FRAME_CLOSE));
  g_events.clear();
  ASSERT_TRUE(SendPtr(WM_CAP_SET_CALLBACK_FRAME, 0, reinterpret_cast<const void*>(OnFrame)));
  ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME_OPEN));
  EXPECT_FALSE(Send(WM_CAP_SINGLE_FRAME_OPEN));  // open already
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(Send(WM_CAP_SINGLE_FRAME));
  EXPECT_TRUE(Send(WM_CAP_SINGLE_FRAME_CLOSE));
  EXPECT_EQ(5, Calls('F'));
  EXPECT_EQ(200000u, AviField(path, "avih", 8));  // microseconds per frame
  EXPECT_EQ(5u, AviField(path, "avih", 24));      // frames
  EXPECT_EQ(1u, AviField(path, "avih", 32));      // streams
  EXPECT_EQ(5u, AviField(path, "strh", 40));      // the video stream's length
  EXPECT_EQ(5u * 16, AviField(path, "idx1", 4));  // index entries
  EXPECT_TRUE(ErrorReports().empty());

  // Refusals, with the error reported where there is one to tell.
  std::string missing = folder_ + "\\no such folder\\x.avi";
  const struct {
    std::function<void()> setUp;
    UINT request;
    int error;
  } refused[] = {
      {[&] { Send(WM_CAP_SINGLE_FRAME_OPEN); }, WM_CAP_SINGLE_FRAME_CLOSE, IDS_CAP_NO_FRAME_CAP_ERROR},
      {[&] { SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, missing.c_str()); }, WM_CAP_SINGLE_FRAME_OPEN, IDS_CAP_FILE_OPEN_ERROR},
      {[&] { Send(WM_CAP_DRIVER_DISCONNECT); }, WM_CAP_SINGLE_FRAME_OPEN, 0},  // without a driver
      {[&] {
         Send(WM_CAP_DRIVER_CONNECT, 0);
         Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; });
         Send(WM_CAP_SEQUENCE_NOFILE);
       },
       WM_CAP_SINGLE_FRAME_OPEN, 0},  // while recording
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(&c - refused);
    path = UseFile("single_refused.avi");
    ErrorReports().clear();
    c.setUp();
    EXPECT_FALSE(Send(c.request));
    EXPECT_EQ(c.error, ErrorReports().empty() ? 0 : ErrorReports()[0].id);
    EXPECT_FALSE(Exists(path));
  }
}

TEST_F(ServiceTest, ScrollShowsALargerPictureFromItsPositionWithinThePicture) {
  POINT to{100, 50};
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SCROLL, 0, &to));  // no driver
  ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
  ASSERT_TRUE(SetFormat(640, 480, 24));  // in a 320 x 240 window
  ASSERT_TRUE(Send(WM_CAP_GRAB_FRAME));
  ASSERT_TRUE(Send(WM_CAP_EDIT_COPY));
  Dib frame;
  ASSERT_TRUE(ReadClipboardDib(&frame));
  const POINT cases[][2] = {{{100, 50}, {100, 50}}, {{1000, -5}, {320, 0}}, {{-1, 500}, {0, 240}}};  // asked, shown
  for (const auto& c : cases) {
    EXPECT_TRUE(SendPtr(WM_CAP_SET_SCROLL, 0, &c[0]));
    CAPSTATUS st = Status();
    EXPECT_EQ(c[1].x, st.ptScroll.x);
    EXPECT_EQ(c[1].y, st.ptScroll.y);
    UpdateWindow(cap_);
    for (POINT at : {POINT{5, 7}, POINT{300, 200}}) {
      capcore::Rgb p = FramePixel(frame, at.x + c[1].x, at.y + c[1].y);
      EXPECT_EQ(RGB(p.r, p.g, p.b), ScreenPixel(cap_, at.x, at.y)) << c[0].x << "," << c[0].y << " at " << at.x;
    }
  }
  ASSERT_TRUE(SetFormat(160, 120, 24));  // smaller than the window: nothing to scroll
  EXPECT_EQ(0, Status().ptScroll.x);
}
