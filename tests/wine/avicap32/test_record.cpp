// Recordings under Wine: the user's confirmation, the time limit with its
// reports, stopping and aborting, the worker thread, audio with and without
// a source, a recording that takes no frame. The files written are kept in
// MORVA_RECORD_OUT for tests/e2e/record_files.sh (ffprobe and ffmpeg).
#include <cstring>

#include "test_record_fixture.h"

namespace {

std::string MessageBoxText(HWND box) {
  char text[512] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

DWORD g_mainThread = 0;
bool g_reportOffThread = false;
HWND g_stopTarget = nullptr;
LRESULT CALLBACK StopOnFirstSecond(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  if (GetCurrentThreadId() != g_mainThread) g_reportOffThread = true;
  if (id == IDS_CAP_STAT_VIDEOCURRENT && g_stopTarget) SendMessageA(g_stopTarget, WM_CAP_STOP, 0, 0);
  return 1;
}

void CALLBACK PressF9(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  keybd_event(VK_F9, 0, 0, 0);
}

}  // namespace

TEST_F(RecordTest, RefusedConfirmationRecordsNothing) {
  std::string path = UseFile("refused.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.fMakeUserHitOKToCapture = TRUE; });
  std::string text;
  LRESULT r = 1;
  DialogSeen seen = WithDialog(
      [&](HWND box) {
        text = MessageBoxText(box);
        PressButton(box, IDCANCEL);
      },
      [&] { r = Send(WM_CAP_SEQUENCE); });
  ASSERT_TRUE(seen.appeared);
  EXPECT_FALSE(r);
  EXPECT_NE(std::string::npos, text.find(path)) << text;  // the box names the file
  EXPECT_EQ(parent_, seen.owner);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(0, Count(StatusReports(), IDS_CAP_BEGIN));
}

TEST_F(RecordTest, WindowDestroyedWhileTheConfirmationIsUpRecordsNothing) {
  std::string path = UseFile("confirm_destroyed.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.fMakeUserHitOKToCapture = TRUE; });
  LRESULT r = 1;
  HWND cap = cap_;
  DialogSeen seen = WithDialog(
      [&](HWND box) {
        DestroyWindow(cap);
        if (IsWindow(box)) PressButton(box, IDOK);
      },
      [&] { r = SendMessageA(cap, WM_CAP_SEQUENCE, 0, 0); });
  ASSERT_TRUE(seen.appeared);
  cap_ = nullptr;
  EXPECT_FALSE(r);
  EXPECT_FALSE(IsWindow(cap));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(0, Count(StatusReports(), IDS_CAP_BEGIN));
  Recreate();
}

TEST_F(RecordTest, ConfirmedRecordingStopsAtTheTimeLimitWithItsReports) {
  FastClock();
  std::string path = UseFile("rec_limit.avi");  // 2 s, 15 fps, 160x120, 8-bit mono 11025 Hz
  Setup(2, [](CAPTUREPARMS& p) { p.fMakeUserHitOKToCapture = TRUE; });
  LRESULT r = 0;
  DialogSeen seen = WithDialog([](HWND box) { PressButton(box, IDOK); }, [&] { r = Send(WM_CAP_SEQUENCE); });
  ASSERT_TRUE(seen.appeared);
  EXPECT_TRUE(r);
  CAPSTATUS st = Status();
  EXPECT_FALSE(st.fCapturingNow);
  EXPECT_EQ(30u, st.dwCurrentVideoFrame);  // 2 s at 66667 us
  EXPECT_EQ(2000u, st.dwCurrentTimeElapsedMS);
  EXPECT_EQ(22050u, st.dwCurrentWaveSamples);
  EXPECT_TRUE(Exists(path));

  std::vector<int> ids = Ids(StatusReports());
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ(IDS_CAP_BEGIN, ids.front());
  EXPECT_EQ(IDS_CAP_END, ids.back());
  EXPECT_GE(Count(StatusReports(), IDS_CAP_STAT_VIDEOCURRENT), 1);
  EXPECT_EQ(1, Count(StatusReports(), IDS_CAP_STAT_VIDEOAUDIO));
  EXPECT_EQ(0, Count(StatusReports(), IDS_CAP_STAT_VIDEOONLY));
  // The totals come after the progress and before the end.
  size_t totals = 0;
  for (size_t i = 0; i < ids.size(); ++i)
    if (ids[i] == IDS_CAP_STAT_VIDEOAUDIO) totals = i;
  EXPECT_EQ(IDS_CAP_STAT_VIDEOCURRENT, ids[totals - 1]);
  EXPECT_TRUE(ErrorReports().empty());
}

namespace {
int g_liveDuringRecording = -1;
LRESULT CALLBACK NoteLiveWindow(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  if (id == IDS_CAP_STAT_VIDEOCURRENT) {
    CAPSTATUS st{};
    SendMessageA(w, WM_CAP_GET_STATUS, sizeof st, reinterpret_cast<LPARAM>(&st));
    g_liveDuringRecording = st.fLiveWindow ? 1 : 0;
  }
  return 1;
}
}  // namespace

TEST_F(RecordTest, PreviewStopsWhileRecordingAndComesBackAfter) {
  FastClock();
  UseFile("rec_preview.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(NoteLiveWindow));
  ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
  ASSERT_TRUE(Status().fLiveWindow);
  g_liveDuringRecording = -1;
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_EQ(0, g_liveDuringRecording);
  EXPECT_TRUE(Status().fLiveWindow);
  // Bringing the picture back is no report of its own: the end stays last.
  ASSERT_FALSE(StatusReports().empty());
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
  Send(WM_CAP_SET_PREVIEW, 0);
  // Without preview before, none after.
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_FALSE(Status().fLiveWindow);
}

namespace {
std::vector<std::string> g_streamed;
LRESULT CALLBACK KeepStreamedFrame(HWND, LPVIDEOHDR h) {
  g_streamed.emplace_back(reinterpret_cast<const char*>(h->lpData), h->dwBytesUsed);
  return TRUE;
}

// The video chunks of an AVI file's first movie list, in order.
std::vector<std::string> VideoChunks(const std::string& avi) {
  std::vector<std::string> chunks;
  size_t movi = avi.find("movi");
  if (movi == std::string::npos || movi < 8) return chunks;
  uint32_t listSize = 0;
  std::memcpy(&listSize, avi.data() + movi - 4, 4);
  size_t end = movi + listSize < avi.size() ? movi + listSize : avi.size();
  for (size_t at = movi + 4; at + 8 <= end;) {
    uint32_t size = 0;
    std::memcpy(&size, avi.data() + at + 4, 4);
    if (at + 8 + size > end) break;
    if (avi.compare(at, 4, "00db") == 0) chunks.push_back(avi.substr(at + 8, size));
    at += 8 + size + (size & 1);
  }
  return chunks;
}
}  // namespace

// With the live picture on at the fastest rate every frame is shown as it is
// recorded: each is written as the video stream procedure saw it, and the
// window keeps the last.
TEST_F(RecordTest, FramesShownWhileRecordingAreWrittenAsRecordedAndTheLastStays) {
  FastClock();
  std::string path = UseFile("rec_shown.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
  ASSERT_TRUE(Send(WM_CAP_SET_PREVIEWRATE, 1));
  ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
  g_streamed.clear();
  SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<const void*>(KeepStreamedFrame));
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, nullptr);
  Send(WM_CAP_SET_PREVIEW, 0);
  std::vector<std::string> written = VideoChunks(ReadWholeFile(path));
  ASSERT_EQ(15u, g_streamed.size());
  ASSERT_EQ(g_streamed.size(), written.size());
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_TRUE(written[i] == g_streamed[i]) << "frame " << i;
    if (i > 0) {
      EXPECT_FALSE(written[i] == written[i - 1]) << "frame " << i;  // the stamps differ
    }
  }
  ASSERT_TRUE(Send(WM_CAP_EDIT_COPY));
  Dib shown;
  ASSERT_TRUE(ReadClipboardDib(&shown));
  EXPECT_TRUE(std::string(shown.bits.begin(), shown.bits.end()) == g_streamed.back());
}

TEST_F(RecordTest, StopFromTheStatusProcedureEndsTheRecordingInItsThread) {
  std::string path = UseFile("rec_stop.avi");
  Setup(0);  // no limit: only the stop ends it
  g_mainThread = GetCurrentThreadId();
  g_reportOffThread = false;
  g_stopTarget = cap_;
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(StopOnFirstSecond));
  DWORD t0 = GetTickCount();
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  DWORD took = GetTickCount() - t0;
  g_stopTarget = nullptr;
  EXPECT_LT(took, 10000u);
  CAPSTATUS st = Status();
  EXPECT_GE(st.dwCurrentVideoFrame, 15u);
  EXPECT_LE(st.dwCurrentVideoFrame, 17u);  // the stop is seen before the next frame
  EXPECT_FALSE(g_reportOffThread);
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
  EXPECT_FALSE(Send(WM_CAP_STOP));  // nothing to stop any more
}

TEST_F(RecordTest, WithYieldItReturnsAtOnceAndReportsOnTheWindowsThread) {
  std::string path = UseFile("rec_yield.avi");
  Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; });
  g_mainThread = GetCurrentThreadId();
  g_reportOffThread = false;
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(StopOnFirstSecond));
  DWORD t0 = GetTickCount();
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_LT(GetTickCount() - t0, 500u);
  EXPECT_TRUE(Status().fCapturingNow);
  EXPECT_FALSE(Send(WM_CAP_SEQUENCE));  // one recording at a time
  // Past the first second's report (a late start of the worker on a busy
  // machine only takes longer).
  for (int i = 0; i < 200 && Status().dwCurrentVideoFrame < 17; ++i) PumpMessages(50);
  PumpMessages(100);
  EXPECT_TRUE(Send(WM_CAP_ABORT));
  for (int i = 0; i < 100 && Status().fCapturingNow; ++i) PumpMessages(50);
  EXPECT_FALSE(Status().fCapturingNow);
  EXPECT_FALSE(g_reportOffThread);
  ASSERT_FALSE(StatusReports().empty());
  EXPECT_EQ(IDS_CAP_BEGIN, StatusReports().front().id);
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
  EXPECT_GE(Status().dwCurrentVideoFrame, 15u);
  EXPECT_TRUE(Exists(path));
}

TEST_F(RecordTest, AbortKeyEndsTheRecording) {
  std::string path = UseFile("rec_key.avi");
  // A key no one else presses here; the test holds it down after a second.
  Setup(6, [](CAPTUREPARMS& p) { p.vKeyAbort = VK_F9; });
  UINT_PTR timer = SetTimer(nullptr, 0, 1000, PressF9);
  DWORD t0 = GetTickCount();
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  DWORD took = GetTickCount() - t0;
  keybd_event(VK_F9, 0, KEYEVENTF_KEYUP, 0);
  KillTimer(nullptr, timer);
  EXPECT_LT(took, 4000u);
  EXPECT_LT(Status().dwCurrentVideoFrame, 60u);
}

TEST_F(RecordTest, NoAudioSourceGivesOneErrorAndAVideoOnlyFile) {
  FastClock();
  SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", "none");
  std::string path = UseFile("rec_noaudio.avi");  // 1 s, video only
  Setup(1, [](CAPTUREPARMS& p) { p.fCaptureAudio = TRUE; });
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  ASSERT_EQ(1u, ErrorReports().size());
  EXPECT_EQ(IDS_CAP_NO_AUDIO_CAP_ERROR, ErrorReports()[0].id);
  EXPECT_EQ(1, Count(StatusReports(), IDS_CAP_STAT_VIDEOONLY));
  EXPECT_EQ(0, Count(StatusReports(), IDS_CAP_STAT_VIDEOAUDIO));
  EXPECT_EQ(15u, Status().dwCurrentVideoFrame);
  EXPECT_EQ(0u, Status().dwCurrentWaveSamples);
  EXPECT_TRUE(Exists(path));
}

TEST_F(RecordTest, SixteenBitStereoAudioAndThirtyFramesPerSecond) {
  FastClock();
  std::string path = UseFile("rec_stereo.avi");  // 1 s, 30 fps (33333 us), 16-bit stereo 22050 Hz
  WAVEFORMATEX w{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
  ASSERT_TRUE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof w, &w));
  Setup(1, [](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = 33333; });
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  // Frame 30 starts at 0.99999 s, still inside the second.
  EXPECT_EQ(31u, Status().dwCurrentVideoFrame);
  EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(RecordTest, WithoutAFileNothingIsWritten) {
  FastClock();
  std::string path = UseFile("nofile.avi");
  Setup(1);
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE_NOFILE));
  EXPECT_EQ(15u, Status().dwCurrentVideoFrame);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
}

TEST_F(RecordTest, ARecordingWithoutFramesLeavesNoFileAndSaysSo) {
  std::string path = UseFile("empty.avi");
  Setup(0, [](CAPTUREPARMS& p) {
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = 0;
  });
  EXPECT_FALSE(Send(WM_CAP_SEQUENCE));
  EXPECT_FALSE(Exists(path));
  ASSERT_EQ(1u, ErrorReports().size());
  EXPECT_EQ(IDS_CAP_NO_FRAME_CAP_ERROR, ErrorReports()[0].id);
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
}

TEST_F(RecordTest, AnEarlierAudioErrorDoesNotHideTheMissingFile) {
  // The report about the missing audio source says nothing about the file:
  // the recording without frames must still say that it kept none.
  SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", "none");
  std::string path = UseFile("empty_noaudio.avi");
  Setup(0, [](CAPTUREPARMS& p) {
    p.fCaptureAudio = TRUE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = 0;
  });
  EXPECT_FALSE(Send(WM_CAP_SEQUENCE));
  EXPECT_FALSE(Exists(path));
  ASSERT_EQ(2u, ErrorReports().size());
  EXPECT_EQ(IDS_CAP_NO_AUDIO_CAP_ERROR, ErrorReports()[0].id);
  EXPECT_EQ(IDS_CAP_NO_FRAME_CAP_ERROR, ErrorReports()[1].id);
}

TEST_F(RecordTest, UnwritableCaptureFileIsReportedAndNothingRecorded) {
  std::string path = folder_ + "\\no such folder\\x.avi";
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
  Setup(1);
  EXPECT_FALSE(Send(WM_CAP_SEQUENCE));
  ASSERT_FALSE(ErrorReports().empty());
  EXPECT_EQ(IDS_CAP_FILE_OPEN_ERROR, ErrorReports()[0].id);
  EXPECT_NE(std::string::npos, ErrorReports()[0].text.find("x.avi"));
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
}

TEST_F(RecordTest, RequestsDuringARecordingAreRefused) {
  UseFile("rec_busy.avi");
  Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; });
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  CAPTUREPARMS p = Parms();
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
  WAVEFORMATEX w{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
  EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof w, &w));
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SAVEASA, 0, (folder_ + "\\copy.avi").c_str()));
  EXPECT_FALSE(Send(WM_CAP_FILE_ALLOCATE, 0, 1000000));
  EXPECT_TRUE(Send(WM_CAP_STOP));
  for (int i = 0; i < 100 && Status().fCapturingNow; ++i) PumpMessages(50);
  EXPECT_FALSE(Status().fCapturingNow);
}

TEST_F(RecordTest, DestroyingTheWindowDuringAWorkerRecordingEndsItCleanly) {
  std::string path = UseFile("rec_destroyed.avi");
  Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; });
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  PumpMessages(600);
  DestroyWindow(cap_);
  cap_ = nullptr;
  Recreate();
  PumpMessages(100);
  // The file was closed: it can be opened exclusively and starts as an AVI.
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  char head[12] = {};
  DWORD got = 0;
  ReadFile(f, head, sizeof head, &got, nullptr);
  CloseHandle(f);
  EXPECT_EQ(0, std::memcmp(head, "RIFF", 4));
  EXPECT_EQ(0, std::memcmp(head + 8, "AVI ", 4));
}

namespace {

LRESULT CALLBACK StallEachSecond(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  if (id == IDS_CAP_STAT_VIDEOCURRENT) Sleep(400);  // six frame periods go by
  return 1;
}

HWND g_destroyTarget = nullptr;
LRESULT CALLBACK DestroyOnFirstSecond(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  if (id == IDS_CAP_STAT_VIDEOCURRENT && g_destroyTarget) {
    HWND target = g_destroyTarget;
    g_destroyTarget = nullptr;
    DestroyWindow(target);
  }
  return 1;
}

}  // namespace

TEST_F(RecordTest, FramesMissedWhileStalledAreDroppedAndTheTimingStaysTrue) {
  std::string path = UseFile("rec_dropped.avi");  // 3 s: 45 frame periods, some dropped
  Setup(3, [](CAPTUREPARMS& p) {
    p.wPercentDropForError = 5;
    p.wNumVideoRequested = 1;  // the camera holds one frame only
  });
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(StallEachSecond));
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  CAPSTATUS st = Status();
  EXPECT_EQ(45u, st.dwCurrentVideoFrame);  // the file's length is its time
  EXPECT_GE(st.dwCurrentVideoFramesDropped, 8u);  // two stalls of six periods at least
  EXPECT_LE(st.dwCurrentVideoFramesDropped, 30u);
  EXPECT_EQ(1, Count(StatusReports(), IDS_CAP_STAT_FRAMESDROPPED));
  // The drop report comes after the totals, before the end.
  std::vector<int> ids = Ids(StatusReports());
  ASSERT_GE(ids.size(), 3u);
  EXPECT_EQ(IDS_CAP_STAT_FRAMESDROPPED, ids[ids.size() - 2]);
  EXPECT_EQ(IDS_CAP_STAT_VIDEOAUDIO, ids[ids.size() - 3]);
  WriteWholeFile(OutFolder() + "\\rec_dropped.frames", std::to_string(st.dwCurrentVideoFrame - st.dwCurrentVideoFramesDropped));
}

TEST_F(RecordTest, FewDropsBelowTheThresholdAreNotReported) {
  UseFile("rec_fewdrops.avi");
  Setup(2, [](CAPTUREPARMS& p) {
    p.wPercentDropForError = 90;
    p.wNumVideoRequested = 1;
  });
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(StallEachSecond));
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_GT(Status().dwCurrentVideoFramesDropped, 0u);
  EXPECT_EQ(0, Count(StatusReports(), IDS_CAP_STAT_FRAMESDROPPED));
}

static LRESULT CALLBACK StallBriefly(HWND w, int id, LPCSTR text) {
  RecordStatus(w, id, text);
  if (id == IDS_CAP_STAT_VIDEOCURRENT) Sleep(150);  // between two and three frame periods
  return 1;
}

TEST_F(RecordTest, TheCamerasBuffersCarryTheRecordingOverAShortStall) {
  UseFile("rec_buffered.avi");
  Setup(2);  // the default five buffers
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(StallBriefly));
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_EQ(30u, Status().dwCurrentVideoFrame);
  EXPECT_EQ(0u, Status().dwCurrentVideoFramesDropped);
}

TEST_F(RecordTest, DestroyingTheWindowWhileItRecordsInItsThreadEndsCleanly) {
  std::string path = UseFile("rec_destroyed_inline.avi");
  Setup(0);
  g_destroyTarget = cap_;
  SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(DestroyOnFirstSecond));
  EXPECT_FALSE(SendMessageA(cap_, WM_CAP_SEQUENCE, 0, 0));
  EXPECT_FALSE(IsWindow(cap_));
  cap_ = nullptr;
  size_t reports = StatusReports().size();
  PumpMessages(100);
  EXPECT_EQ(reports, StatusReports().size());  // nothing reported after the window went
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);  // closed: it opens exclusively
  CloseHandle(f);
  Recreate();
}

TEST_F(RecordTest, DestroyingTheWindowKeepsAQuitMessageThatIsWaiting) {
  // An application posts its quit message, then its windows go: the quit
  // must still end its message loop.
  PostQuitMessage(7);
  DestroyWindow(cap_);
  cap_ = nullptr;
  MSG m;
  bool quit = false;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(7u, m.wParam);
      break;
    }
  }
  EXPECT_TRUE(quit);
  Recreate();
}
