// The capture window's lifetime against its callers: a report procedure that
// destroys the window, in every path that reports, and any other procedure
// of the caller's, wherever it is called, leave nothing reading the freed
// state (the procedure fills freed memory with a pattern, so a read of it
// calls into garbage); STOP, ABORT and DestroyWindow take effect at once
// during a worker recording, whatever its frame period; and once a request
// that takes a procedure away or ends the worker returns, the procedure is
// not running and never called again (a client's close sequence).
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "test_record_fixture.h"

namespace {

HWND g_victim = nullptr;
bool g_destroyOnError = false;
std::vector<void*> g_filler;

// Reuses freed memory, filling it with a pattern that is no valid address.
void FillFreedMemory() {
  for (size_t n = 16; n <= 8192; n += 8) {
    void* p = std::malloc(n);
    if (p == nullptr) continue;
    std::memset(p, 0xFE, n);
    g_filler.push_back(p);
  }
}

// Destroys the window on the first report of the chosen kind.
void DestroyVictim(bool isError) {
  if (g_victim == nullptr || isError != g_destroyOnError) return;
  HWND victim = g_victim;
  g_victim = nullptr;
  DestroyWindow(victim);
  FillFreedMemory();
}

// The other procedures: the chosen one destroys the window after letting
// the given number of calls pass (through the window's thread when it runs
// on a worker).
enum class Proc { Frame, VideoStream, WaveStream, Yield, Preroll, Capturing };
Proc g_destroyIn = Proc::Frame;
int g_callsToPass = 0;
HWND g_procVictim = nullptr;

LRESULT DestroyFrom(Proc p) {
  if (p != g_destroyIn || g_procVictim == nullptr || g_callsToPass-- > 0) return TRUE;
  HWND victim = g_procVictim;
  g_procVictim = nullptr;
  SendMessageA(victim, WM_CLOSE, 0, 0);
  FillFreedMemory();
  return TRUE;
}
LRESULT CALLBACK DestroyingFrame(HWND, LPVIDEOHDR) { return DestroyFrom(Proc::Frame); }
LRESULT CALLBACK DestroyingVideo(HWND, LPVIDEOHDR) { return DestroyFrom(Proc::VideoStream); }
LRESULT CALLBACK DestroyingWave(HWND, LPWAVEHDR) { return DestroyFrom(Proc::WaveStream); }
LRESULT CALLBACK DestroyingYield(HWND) { return DestroyFrom(Proc::Yield); }
LRESULT CALLBACK DestroyingControl(HWND, int state) {
  return DestroyFrom(state == CONTROLCALLBACK_PREROLL ? Proc::Preroll : Proc::Capturing);
}

LRESULT CALLBACK DestroyingStatus(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  DestroyVictim(false);
  return 1;
}

LRESULT CALLBACK DestroyingError(HWND w, int id, LPCSTR text) {
  RecordError(w, id, text);
  DestroyVictim(true);
  return 1;
}

LRESULT CALLBACK WideStatus(HWND, int, LPCWSTR) { return 1; }
LRESULT CALLBACK WideError(HWND, int, LPCWSTR) { return 1; }

}  // namespace

class LifetimeTest : public RecordTest {
 protected:
  // A fresh connected window with procedures that destroy it.
  void Arm(bool onError) {
    if (cap_ != nullptr && !IsWindow(cap_)) cap_ = nullptr;
    Recreate();
    ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
    ASSERT_TRUE(SetFormat(160, 120, 24));
    SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(DestroyingStatus));
    SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(DestroyingError));
    SendPtr(WM_CAP_SET_CALLBACK_STATUSW, 0, reinterpret_cast<const void*>(WideStatus));
    SendPtr(WM_CAP_SET_CALLBACK_ERRORW, 0, reinterpret_cast<const void*>(WideError));
    g_destroyOnError = onError;
    g_victim = cap_;
  }
  void TearDown() override {
    for (void* p : g_filler) std::free(p);
    g_filler.clear();
    g_victim = nullptr;
    if (cap_ != nullptr && !IsWindow(cap_)) cap_ = nullptr;
    RecordTest::TearDown();
  }
  void WaitUntilGone(HWND w) {
    for (int i = 0; i < 200 && IsWindow(w); ++i) PumpMessages(25);
  }
  // A file written is closed soon (a worker let go finishes on its own).
  static bool ClosedSoon(const std::string& path) {
    for (int i = 0; i < 100 && Exists(path); ++i) {
      HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      if (f != INVALID_HANDLE_VALUE) {
        CloseHandle(f);
        return true;
      }
      PumpMessages(20);
    }
    return !Exists(path);
  }
};

TEST_F(LifetimeTest, AReportProcedureMayDestroyTheWindowInEveryPathThatReports) {
  FastClock();
  std::string missing = folder_ + "\\no such folder\\x";
  struct Case {
    const char* path;
    bool onError;
    std::function<void()> setUp;
    std::function<void()> request;
  };
  const Case cases[] = {
      {"recording in the window's thread", false, [&] { Setup(1); },
       [&] { Send(WM_CAP_SEQUENCE); }},
      {"recording on the worker", false, [&] { Setup(1, [](CAPTUREPARMS& p) { p.fYield = TRUE; }); },
       [&] { Send(WM_CAP_SEQUENCE); }},
      {"WM_CAP_SEQUENCE_NOFILE", false, [&] { Setup(1); }, [&] { Send(WM_CAP_SEQUENCE_NOFILE); }},
      {"SAVEDIB to a missing folder", true, [] {}, [&] { SendPtr(WM_CAP_FILE_SAVEDIBA, 0, (missing + ".bmp").c_str()); }},
      {"save-as of a missing capture file", true,
       [&] { SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, (missing + ".avi").c_str()); },
       [&] { SendPtr(WM_CAP_FILE_SAVEASA, 0, (folder_ + "\\copy.avi").c_str()); }},
      {"the write-limit stop", true,
       [&] {
         SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", "4000000");
         UseFile("lifetime_limit.avi");
         Setup(10, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
       },
       [&] { Send(WM_CAP_SEQUENCE); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Arm(c.onError);
    HWND cap = cap_;
    c.setUp();
    c.request();
    WaitUntilGone(cap);
    EXPECT_FALSE(IsWindow(cap));
    EXPECT_EQ(nullptr, g_victim);  // the procedure was called, and destroyed it
    PumpMessages(50);
    cap_ = nullptr;
    SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", nullptr);
  }
}

TEST_F(LifetimeTest, StopAbortAndDestroyEndAWorkerRecordingAtOnceWhateverItsFramePeriod) {
  enum class Action { Stop, Abort, Destroy };
  for (Action action : {Action::Stop, Action::Abort, Action::Destroy}) {
    SCOPED_TRACE(static_cast<int>(action));
    Arm(false);
    g_victim = nullptr;  // nothing destroys it here
    UseFile("lifetime_timelapse.avi");
    Setup(0, [](CAPTUREPARMS& p) {
      p.fYield = TRUE;
      p.dwRequestMicroSecPerFrame = 60000000;  // one frame a minute
    });
    ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
    for (int i = 0; i < 400 && Status().dwCurrentVideoFrame < 1; ++i) PumpMessages(25);
    ASSERT_EQ(1u, Status().dwCurrentVideoFrame);  // the first frame is in; the next is a minute away
    DWORD t0 = GetTickCount();
    if (action == Action::Destroy) {
      DestroyWindow(cap_);
      cap_ = nullptr;
    } else {
      EXPECT_TRUE(Send(action == Action::Stop ? WM_CAP_STOP : WM_CAP_ABORT));
      for (int i = 0; i < 400 && Status().fCapturingNow; ++i) PumpMessages(5);
      EXPECT_FALSE(Status().fCapturingNow);
    }
    EXPECT_LT(GetTickCount() - t0, 500u);
  }
}

TEST_F(LifetimeTest, ACallerProcedureMayDestroyTheWindowWhereverItIsCalled) {
  FastClock();
  auto preview = [&] {
    Send(WM_CAP_SET_PREVIEWRATE, 10);
    Send(WM_CAP_SET_PREVIEW, 1);
  };
  auto grab = [&] { Send(WM_CAP_GRAB_FRAME); };
  auto singleFrames = [&] {
    for (UINT r : {WM_CAP_SINGLE_FRAME_OPEN, WM_CAP_SINGLE_FRAME, WM_CAP_SINGLE_FRAME}) Send(r);
  };
  auto record = [&] { Send(WM_CAP_SEQUENCE); };
  const struct {
    const char* where;
    Proc proc;
    int callsToPass;
    std::function<void()> request;
  } sites[] = {{"preview", Proc::Frame, 2, preview},          {"grab", Proc::Frame, 0, grab},
               {"single frame", Proc::Frame, 1, singleFrames}, {"video stream", Proc::VideoStream, 3, record},
               {"wave stream", Proc::WaveStream, 3, record},   {"yield", Proc::Yield, 3, record},
               {"preroll", Proc::Preroll, 0, record},          {"capturing", Proc::Capturing, 3, record}};
  const std::pair<UINT, const void*> procs[] = {
      {WM_CAP_SET_CALLBACK_FRAME, reinterpret_cast<const void*>(DestroyingFrame)},
      {WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<const void*>(DestroyingVideo)},
      {WM_CAP_SET_CALLBACK_WAVESTREAM, reinterpret_cast<const void*>(DestroyingWave)},
      {WM_CAP_SET_CALLBACK_YIELD, reinterpret_cast<const void*>(DestroyingYield)},
      {WM_CAP_SET_CALLBACK_CAPCONTROL, reinterpret_cast<const void*>(DestroyingControl)}};
  int n = 0;
  for (const auto& site : sites) {
    for (bool onWorker : {false, true}) {
      if (onWorker && site.proc == Proc::Frame) continue;  // called in the window's thread only
      SCOPED_TRACE(std::string(site.where) + (onWorker ? " on the worker" : ""));
      Arm(false);
      g_victim = nullptr;  // no report destroys it here
      for (const auto& p : procs) SendPtr(p.first, 0, p.second);
      std::string path = UseFile("lifetime_procedure" + std::to_string(++n) + ".avi");
      Setup(1, [&](CAPTUREPARMS& p) { p.fYield = onWorker; });
      g_destroyIn = site.proc;
      g_callsToPass = site.callsToPass;
      g_procVictim = cap_;
      HWND cap = cap_;
      site.request();
      WaitUntilGone(cap);
      cap_ = nullptr;
      EXPECT_FALSE(IsWindow(cap));
      EXPECT_EQ(nullptr, g_procVictim);  // the procedure was called, and destroyed it
      // What was written is closed as a whole AVI (a worker let go closes it on its own).
      EXPECT_TRUE(ClosedSoon(path));
      EXPECT_EQ(AviField(path, "avih", 24), AviField(path, "strh", 40));
      EXPECT_EQ(Exists(path), AviField(path, "avih", 24) > 0);  // no file without frames
    }
  }
}

namespace {

// A client's procedure on the worker, as a capture client writes one: it
// works on a context of the client's (a frame's worth of time), may ask the
// window for its status on the way, and marks its entry and exit. The
// client frees the context once its close sequence has returned.
struct ClientContext {
  DWORD workMs = 0;
  bool asksStatus = false;
  long frames = 0;
};
std::atomic<ClientContext*> g_context{nullptr};
std::atomic<long> g_inside{0};
std::atomic<long> g_calls{0};

LRESULT ClientWork(HWND w) {
  ++g_inside;
  ++g_calls;
  ClientContext* c = g_context;
  if (c != nullptr) {
    if (c->asksStatus) {
      CAPSTATUS st{};
      SendMessageA(w, WM_CAP_GET_STATUS, sizeof st, reinterpret_cast<LPARAM>(&st));
    }
    Sleep(c->workMs);
    ++c->frames;  // freed memory, were the client's close sequence over
  }
  --g_inside;
  return TRUE;
}
LRESULT CALLBACK ClientVideo(HWND w, LPVIDEOHDR) { return ClientWork(w); }
LRESULT CALLBACK ClientWave(HWND w, LPWAVEHDR) { return ClientWork(w); }
LRESULT CALLBACK ClientYield(HWND w) { return ClientWork(w); }
LRESULT CALLBACK ClientControl(HWND w, int) { return ClientWork(w); }

// Pumps this thread's messages until the procedure is inside (or a second passed).
void UntilInside() {
  for (int i = 0; i < 1000 && (g_calls < 2 || g_inside == 0); ++i) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(1);
  }
}

enum class Close { ClientClose, Destroy, Clear, Stop, Abort, Disconnect };
struct ClientProc {
  UINT request;  // the request that sets it
  const void* proc;
};
const ClientProc kVideo{WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<const void*>(ClientVideo)};
const ClientProc kWave{WM_CAP_SET_CALLBACK_WAVESTREAM, reinterpret_cast<const void*>(ClientWave)};
const ClientProc kYield{WM_CAP_SET_CALLBACK_YIELD, reinterpret_cast<const void*>(ClientYield)};
const ClientProc kControl{WM_CAP_SET_CALLBACK_CAPCONTROL, reinterpret_cast<const void*>(ClientControl)};

}  // namespace

class ClientCloseTest : public LifetimeTest {
 protected:
  // A worker recording (no file, as a capture client makes it) with the
  // procedure in, caught while the procedure is inside.
  void StartInside(const ClientProc& p, DWORD workMs, bool asksStatus) {
    Arm(false);
    g_victim = nullptr;
    Setup(0, [](CAPTUREPARMS& parms) { parms.fYield = TRUE; });
    g_context = new ClientContext{workMs, asksStatus, 0};
    g_inside = 0;
    g_calls = 0;
    ASSERT_TRUE(SendPtr(p.request, 0, p.proc));
    ASSERT_TRUE(Send(WM_CAP_SEQUENCE_NOFILE));
    UntilInside();
    ASSERT_GE(g_calls.load(), 2);
  }
  // Takes the procedure away, or ends the worker or the window, as `how` says.
  void Finish(const ClientProc& p, Close how) {
    switch (how) {
      case Close::ClientClose:
        // The close sequence of a capture client: stream procedure cleared,
        // driver disconnected, window destroyed (its context freed after).
        EXPECT_TRUE(Send(p.request, 0, 0));
        EXPECT_TRUE(Send(WM_CAP_DRIVER_DISCONNECT));
        // fall through
      case Close::Destroy:
        EXPECT_TRUE(DestroyWindow(cap_));
        cap_ = nullptr;
        break;
      case Close::Clear: EXPECT_TRUE(Send(p.request, 0, 0)); break;
      case Close::Stop: EXPECT_TRUE(Send(WM_CAP_STOP)); break;
      case Close::Abort: EXPECT_TRUE(Send(WM_CAP_ABORT)); break;
      case Close::Disconnect: EXPECT_TRUE(Send(WM_CAP_DRIVER_DISCONNECT)); break;
    }
  }
};

TEST_F(ClientCloseTest, NoProcedureRunsOnceTheRequestThatTookItAwayOrEndedTheWorkerReturned) {
  FastClock();
  const struct {
    const char* what;
    ClientProc proc;
    DWORD workMs;  // a frame's work
    bool asksStatus;
    Close close;
    int times;
  } cases[] = {
      {"slow video stream, client close", kVideo, 40, false, Close::ClientClose, 8},
      {"fast video stream asking status, client close", kVideo, 5, true, Close::ClientClose, 12},
      {"slow yield asking status, destroyed", kYield, 40, true, Close::Destroy, 4},
      {"wave stream, destroyed", kWave, 5, false, Close::Destroy, 3},
      {"slow video stream asking status, cleared", kVideo, 40, true, Close::Clear, 3},
      {"wave stream, cleared", kWave, 5, false, Close::Clear, 3},
      {"yield asking status, cleared", kYield, 5, true, Close::Clear, 3},
      {"slow control, cleared", kControl, 40, false, Close::Clear, 3},
      {"slow control asking status, stopped", kControl, 40, true, Close::Stop, 3},
      {"wave stream asking status, aborted", kWave, 5, true, Close::Abort, 3},
      {"slow video stream asking status, disconnected", kVideo, 40, true, Close::Disconnect, 3},
  };
  for (const auto& c : cases) {
    for (int n = 0; n < c.times; ++n) {
      SCOPED_TRACE(std::string(c.what) + " #" + std::to_string(n));
      StartInside(c.proc, c.workMs, c.asksStatus);
      Finish(c.proc, c.close);
      EXPECT_EQ(0, g_inside.load());
      delete g_context.exchange(nullptr);
      long calls = g_calls.load();
      PumpMessages(60);
      EXPECT_EQ(calls, g_calls.load());  // never entered again
      if (cap_ == nullptr) continue;
      EXPECT_EQ(c.close == Close::Clear, Status().fCapturingNow != 0);  // only the procedure went
      CAPDRIVERCAPS caps{};
      EXPECT_EQ(c.close != Close::Disconnect, SendPtr(WM_CAP_DRIVER_GET_CAPS, sizeof caps, &caps) != 0);
    }
  }
}

namespace {

// A video-stream procedure that sends `g_ownRequest` to the window on its
// third call, noting the result and the calls made until then.
UINT g_ownRequest = 0;
std::atomic<LRESULT> g_ownResult{-1};
std::atomic<long> g_callsAtRequest{-1};
LRESULT CALLBACK SendsOwnRequest(HWND w, LPVIDEOHDR) {
  ++g_inside;
  if (++g_calls == 3) {
    g_ownResult = SendMessageA(w, g_ownRequest, 0, 0);
    g_callsAtRequest = g_calls.load();
  }
  Sleep(2);
  --g_inside;
  return TRUE;
}

}  // namespace

TEST_F(ClientCloseTest, AProcedureMaySendTheRequestThatTakesItAwayOrEndsTheWorker) {
  FastClock();
  const struct {
    UINT request;
    LRESULT result;
    bool recordingGoesOn;
  } cases[] = {{WM_CAP_SET_CALLBACK_VIDEOSTREAM, TRUE, true},
               {WM_CAP_STOP, TRUE, false},
               {WM_CAP_ABORT, TRUE, false},
               {WM_CAP_DRIVER_DISCONNECT, FALSE, false}};  // it cannot wait for itself: stopped, not disconnected
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    g_ownRequest = c.request;
    g_ownResult = -1;
    g_callsAtRequest = -1;
    StartInside({WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<const void*>(SendsOwnRequest)}, 0, false);
    for (int i = 0; i < 200 && g_callsAtRequest < 0; ++i) PumpMessages(5);
    PumpMessages(100);
    EXPECT_EQ(c.result, g_ownResult.load());
    EXPECT_EQ(g_callsAtRequest.load(), g_calls.load());  // not called once its request returned
    EXPECT_EQ(c.recordingGoesOn, Status().fCapturingNow != 0);
    delete g_context.exchange(nullptr);
  }
}
