// Cameras read through ffmpeg, the whole way with ffmpeg's test source (the
// same code as a camera, only the input differs) and with fake ffmpegs
// (MORVA_FFMPEG) that stall, trickle or end: listing, connection, the
// moving picture, still image and clipboard, the format dialog restarting
// the stream at a new size, a recording (its frames are compared with
// ffmpeg's own by tests/e2e/ffmpeg_camera.sh), the stream stopping
// mid-preview and mid-recording, nothing started for a camera left after
// its connection or window goes (a wrapper around ffmpeg included), a
// handle count that stays flat over many connections, and the machine's
// cameras found in a stand-in /sys and /dev tree.
#include <windowsx.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_record_fixture.h"

namespace {

const char kTestSource[] = "-f lavfi -i testsrc2=size=640x480:rate=30";
enum { kFmtSize = 2101 };

// True while `pid` runs ffmpeg (not ended, not a zombie).
bool FfmpegRuns(long pid) {
  std::string stat = UnixFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z') return false;
  return stat.find("(ffmpeg)") != std::string::npos;
}

// The pids of this process's camera streams, from their pid files
// (/tmp/morva-sh-<our pid>-*/pid), whatever runs there now.
std::vector<long> OurStreamPids() {
  std::vector<long> pids;
  for (const std::string& folder : OurScriptFolders()) {
    long pid = std::atol(ReadWholeFile(folder + "\\pid").c_str());
    if (pid > 0) pids.push_back(pid);
  }
  return pids;
}

// The ffmpeg processes of this process's cameras.
std::vector<long> OurFfmpegs() {
  std::vector<long> pids;
  for (long pid : OurStreamPids())
    if (FfmpegRuns(pid)) pids.push_back(pid);
  return pids;
}

// True while Unix process `pid` runs (not ended, not a zombie).
bool Runs(long pid) {
  std::string stat = UnixFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(") ");
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Unix process `pid` and its children that run now ("pid (name) S ppid ...").
std::vector<long> Family(long pid) {
  std::vector<long> family = {pid};
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return family;
  do {
    if (fd.cFileName[0] < '1' || fd.cFileName[0] > '9') continue;
    std::string stat = UnixFile(std::string("/proc/") + fd.cFileName + "/stat");
    size_t close = stat.rfind(") ");
    char state = 0;
    long parent = 0;
    if (close != std::string::npos && std::sscanf(stat.c_str() + close + 2, "%c %ld", &state, &parent) == 2 &&
        parent == pid && state != 'Z')
      family.push_back(std::atol(fd.cFileName));
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return family;
}

bool NoneRuns(const std::vector<long>& pids) {
  for (long p : pids)
    if (Runs(p)) return false;
  return true;
}

// Runs a Unix command line, detached (its end is not waited for).
void RunUnix(const std::wstring& program, std::wstring line) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi)) {
    // Wine's are no handles for a Unix program: only true ones are closed.
    if (pi.dwThreadId != 0 && GetThreadId(pi.hThread) == pi.dwThreadId) CloseHandle(pi.hThread);
    if (pi.dwProcessId != 0 && GetProcessId(pi.hProcess) == pi.dwProcessId) CloseHandle(pi.hProcess);
  }
}

// An executable Unix file of `text` (a stand-in for ffmpeg, for
// MORVA_FFMPEG), removed by the fixture after the test. Returns its Unix
// path; empty when it was not made.
std::string StandIn(const std::string& name, const std::string& text) {
  std::string path = "/tmp/morva-standin-" + std::to_string(OwnUnixPid()) + "-" + name;
  std::string win = "Z:" + path;
  for (char& ch : win) ch = ch == '/' ? '\\' : ch;
  WriteWholeFile(win + ".part", text);
  std::wstring wide(path.begin(), path.end());
  RunUnix(L"Z:\\bin\\sh", L"/bin/sh -c \"chmod +x '" + wide + L".part' && mv '" + wide + L".part' '" + wide + L"'\"");
  DWORD start = GetTickCount();
  while (GetFileAttributesA(win.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 10000) Sleep(20);
  return GetFileAttributesA(win.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : path;
}

// A fake ffmpeg: it answers the size probe (64 x 48), connects to the
// stream's address, then runs `body` with the connection as descriptor 3
// (`frames N` sends N whole frames at 30 a second).
std::string FakeFfmpeg(const std::string& body) {
  return "#!/bin/bash\n"
         "for a; do [ \"$prev\" = -s ] && size=$a; prev=$a; last=$a; done\n"
         "case $last in tcp://*) ;; *) printf \"Input #0, lavfi, from 'stand-in':\\n"
         "  Stream #0:0: Video: rawvideo, bgr24, 64x48, 30 fps\\n\" >&2; exit 0;; esac\n"
         "w=${size%x*} h=${size#*x} at=${last#tcp://}\n"
         "exec 3<>\"/dev/tcp/${at%:*}/${at##*:}\" || exit 1\n"
         "frames() { for i in $(seq \"$1\"); do head -c $((w * h * 3)) /dev/zero >&3 || exit; sleep 0.03; done; }\n" +
         body + "\n";
}

void KillUnixProcess(long pid) { RunUnix(L"Z:\\bin\\kill", L"/bin/kill -9 " + std::to_wstring(pid)); }

// The handles this process holds. GetProcessHandleCount says 0 under this
// Wine, so then each handle number up to a bound is asked about.
DWORD HandleCount() {
  DWORD n = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &n) && n > 0) return n;
  for (uintptr_t v = 4; v < 0x10000; v += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags)) ++n;
  }
  return n;
}

// Removes every stand-in of this process.
void RemoveStandIns() {
  std::string pattern = "Z:\\tmp\\morva-standin-" + std::to_string(OwnUnixPid()) + "-*";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileA((std::string("Z:\\tmp\\") + fd.cFileName).c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// Pumps messages until `done` or `ms` pass; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < ms) PumpMessages(20);
  return done();
}

bool AllGone(const std::vector<long>& pids) {
  for (long p : pids)
    if (FfmpegRuns(p)) return false;
  return true;
}

class FfmpegCameraTest : public RecordTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", "none");
    UseCameras(std::string("[Driver0]\n[Driver1]\nDescription=ffmpeg test source\nInput=") + kTestSource + "\n");
    SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(RecordStatus));
    SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
  }
  void TearDown() override {
    RemoveStandIns();
    SetEnvironmentVariableA("MORVA_FFMPEG", nullptr);
    SetEnvironmentVariableA("MORVA_VIDEO4LINUX_ROOT", nullptr);
    RecordTest::TearDown();
  }
  void ConnectWithPreview() {
    ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE) << (ErrorReports().empty() ? "" : ErrorReports()[0].text);
    Send(WM_CAP_SET_PREVIEWRATE, 33);
    ASSERT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
  }
  // The one report of a stopped stream: it names the camera, says why and
  // what to do; a recording's (to `recording`) also says that it stopped
  // and that its file was kept with the frames recorded.
  void ExpectOneStopReport(const char* why, const std::string& recording) {
    ASSERT_EQ(ErrorReports().size(), 1u);
    const std::string& text = ErrorReports()[0].text;
    EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_DRIVER_ERROR);
    EXPECT_NE(text.find("\"ffmpeg test source\""), std::string::npos) << text;
    EXPECT_NE(text.find(why), std::string::npos) << text;
    EXPECT_NE(text.find("connect to it again"), std::string::npos) << text;
    if (recording.empty()) return;
    DWORD frames = Status().dwCurrentVideoFrame;
    EXPECT_GT(frames, 20u);
    EXPECT_EQ(text.find("Recording stopped: "), 0u) << text;
    EXPECT_NE(text.find(recording + " was kept with the " + std::to_string(frames) + " frames recorded."),
              std::string::npos)
        << text;
  }
  Dib Copy() {
    Dib d;
    EXPECT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
    EXPECT_TRUE(ReadClipboardDib(&d));
    return d;
  }
};

TEST_F(FfmpegCameraTest, ListedConnectsAndShowsAMovingPictureForStillsAndTheClipboard) {
  char name[80] = "", version[80] = "";
  ASSERT_TRUE(capGetDriverDescriptionA(1, name, sizeof name, version, sizeof version));
  EXPECT_STREQ(name, "ffmpeg test source");
  ConnectWithPreview();
  EXPECT_EQ(Format().biWidth, 640);  // the source's own size
  EXPECT_EQ(Format().biHeight, 480);
  EXPECT_FALSE(Caps().fHasDlgVideoSource);
  EXPECT_EQ(OurFfmpegs().size(), 1u);

  DWORD first = Status().dwCurrentVideoFrame;
  EXPECT_TRUE(PumpUntil([&] { return Status().dwCurrentVideoFrame >= first + 10; }, 10000));
  Dib a = Copy();
  PumpUntil([&] { return Status().dwCurrentVideoFrame >= first + 20; }, 10000);
  Send(WM_CAP_SET_PREVIEW, 0);
  Dib b = Copy();
  EXPECT_EQ(b.header.biWidth, 640);
  EXPECT_EQ(b.header.biBitCount, 24);
  EXPECT_NE(a.bits, b.bits);  // the picture moves
  std::string bmp = folder_ + "\\still.bmp";
  ASSERT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, bmp.c_str()), TRUE);
  Dib still;
  ASSERT_TRUE(ReadBmpFile(bmp, &still));
  EXPECT_EQ(still.bits, b.bits);  // the frozen frame
  EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(FfmpegCameraTest, FormatDialogRestartsTheStreamAtTheChosenSize) {
  ConnectWithPreview();
  std::vector<long> before = OurFfmpegs();
  LRESULT result = 0;
  WithDialog(
      [](HWND d) {
        HWND sizes = GetDlgItem(d, kFmtSize);
        ComboBox_SetCurSel(sizes, ComboBox_FindStringExact(sizes, -1, "320 x 240"));
        PressButton(d, IDOK);
      },
      [&] { result = Send(WM_CAP_DLG_VIDEOFORMAT); });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Format().biWidth, 320);
  EXPECT_TRUE(AllGone(before));  // the old stream's ffmpeg was waited for
  EXPECT_EQ(OurFfmpegs().size(), 1u);
  DWORD n = Status().dwCurrentVideoFrame;
  EXPECT_TRUE(PumpUntil([&] { return Status().dwCurrentVideoFrame >= n + 5; }, 10000));
  Dib d = Copy();
  EXPECT_EQ(d.header.biWidth, 320);
  EXPECT_EQ(d.header.biHeight, 240);
  EXPECT_TRUE(ErrorReports().empty());
}

TEST_F(FfmpegCameraTest, RecordsThreeSecondsOfTheCamerasFrames) {
  ConnectWithPreview();
  Setup(3, [](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = 33333; p.fCaptureAudio = FALSE; });
  std::string path = UseFile("ffmpeg_rec.avi");
  ASSERT_EQ(Send(WM_CAP_SEQUENCE), TRUE);
  CAPSTATUS st = Status();
  EXPECT_NEAR(st.dwCurrentVideoFrame, 90, 1);  // the limit's last period may add one
  EXPECT_LT(st.dwCurrentVideoFramesDropped, 45u);  // generous: a busy machine drops a few
  EXPECT_TRUE(ErrorReports().empty());
  EXPECT_GT(SizeOf(path), 640u * 480 * 3 * 45);
}

// The stream stops (ffmpeg killed, ffmpeg ended, a stall: whole frames no
// more, only a byte now and then) while the picture is live, and while
// recording on a worker or on the window's thread: one error report naming
// the camera and why, and for a recording what became of its file; the last
// frame kept, the recording's file closed as a valid AVI (checked by
// tests/e2e/ffmpeg_camera.sh for the kill), no hang.
TEST_F(FfmpegCameraTest, StreamStoppedGivesOneReportAndKeepsTheLastFrame) {
  struct Case {
    const char* name;
    const char* fake;  // FakeFfmpeg's body; null: ffmpeg's test source, killed
    bool recording;
    BOOL worker;
    const char* why;
    int width;
    const char* file;  // the recording's
  } cases[] = {
      {"killed, live picture", nullptr, false, FALSE, "stopped sending pictures", 640, "ffmpeg_none.avi"},
      {"killed, recording on a worker", nullptr, true, TRUE, "stopped sending pictures", 640, "ffmpeg_killed.avi"},
      {"stalled, live picture", "frames 30; sleep 600", false, FALSE, "no picture came for 5 seconds", 64,
       "ffmpeg_none.avi"},
      {"ended, recording on the window's thread", "frames 90", true, FALSE, "(ffmpeg ended)", 64,
       "ffmpeg_ended.avi"},
      {"trickling, recording on a worker", "frames 90; while printf x >&3; do sleep 2; done", true, TRUE,
       "no picture came for 5 seconds", 64, "ffmpeg_trickled.avi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string fake = c.fake ? StandIn("stops", FakeFfmpeg(c.fake)) : "";
    if (c.fake) {
      ASSERT_FALSE(fake.empty());
      UseCameras("[Driver0]\n[Driver1]\nDescription=ffmpeg test source\nInput=-i stand-in\n");
    }
    SetEnvironmentVariableA("MORVA_FFMPEG", c.fake ? fake.c_str() : nullptr);
    ErrorReports().clear();
    ConnectWithPreview();
    std::string path = UseFile(c.file);
    if (c.recording) {
      Setup(0, [&](CAPTUREPARMS& p) { p.fYield = c.worker; p.dwRequestMicroSecPerFrame = 33333; p.fCaptureAudio = FALSE; });
      LRESULT started = Send(WM_CAP_SEQUENCE);  // on the window's thread: returns at the end
      if (c.worker) {
        ASSERT_EQ(started, TRUE);
      }
      ASSERT_TRUE(PumpUntil([&] { return Status().dwCurrentVideoFrame >= 30 || !Status().fCapturingNow; }, 15000));
    } else {
      PumpUntil([&] { return Status().dwCurrentVideoFrame >= 5; }, 10000);
    }
    if (!c.fake) {
      std::vector<long> pids = OurFfmpegs();
      ASSERT_EQ(pids.size(), 1u);
      KillUnixProcess(pids[0]);
    }
    ASSERT_TRUE(PumpUntil([&] { return !ErrorReports().empty() && !Status().fCapturingNow; }, 20000));
    PumpMessages(300);  // nothing more comes
    ExpectOneStopReport(c.why, c.recording ? path : "");
    EXPECT_FALSE(Status().fLiveWindow);
    EXPECT_EQ(Copy().header.biWidth, c.width);  // the last frame stays
    if (c.recording) {
      EXPECT_GT(SizeOf(path), static_cast<uint64_t>(c.width) * (c.width * 3 / 4) * 3 * 20);
    }
    Send(WM_CAP_DRIVER_DISCONNECT);
  }
}

// Nothing started for a camera outlives its connection or its window: not
// ffmpeg, nor what a wrapper around it leaves (a wrapper that runs ffmpeg
// as its child, and starts a child of its own), nor the watchdog.
TEST_F(FfmpegCameraTest, NothingStartedForACameraOutlivesItsWindowOrItsConnection) {
  std::string wrapper = StandIn("wrapper", "#!/bin/sh\nsleep 600 &\n/usr/bin/ffmpeg \"$@\"\n");
  ASSERT_FALSE(wrapper.empty());
  struct Case {
    const char* name;
    bool wrapped;
    bool destroyWindow;  // else disconnected
  } cases[] = {{"ffmpeg, disconnected", false, false},
               {"ffmpeg, window destroyed", false, true},
               {"wrapper, disconnected", true, false},
               {"wrapper, window destroyed", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetEnvironmentVariableA("MORVA_FFMPEG", c.wrapped ? wrapper.c_str() : nullptr);
    ConnectWithPreview();
    std::vector<long> streams = OurStreamPids();
    ASSERT_EQ(streams.size(), 1u);
    std::vector<long> started = Family(streams[0]);
    EXPECT_GE(started.size(), c.wrapped ? 4u : 2u);  // ffmpeg or the wrapper, the watchdog (, the child, ffmpeg)
    if (c.destroyWindow) {
      DestroyWindow(cap_);
      cap_ = nullptr;
      EXPECT_TRUE(NoneRuns({streams[0]}));  // waited for
    } else {
      Send(WM_CAP_DRIVER_DISCONNECT);
    }
    EXPECT_TRUE(PumpUntil([&] { return NoneRuns(started); }, 5000));
    if (c.destroyWindow) Recreate();
  }
}

// Connecting again and again leaves no handle behind: the service's handle
// count stays flat (a fast fake ffmpeg; the first cycle starts what stays
// for the process).
TEST_F(FfmpegCameraTest, ConnectionsLeaveNoHandleBehind) {
  std::string fake = StandIn("fast", FakeFfmpeg("frames 100000"));
  ASSERT_FALSE(fake.empty());
  SetEnvironmentVariableA("MORVA_FFMPEG", fake.c_str());
  UseCameras("[Driver0]\n[Driver1]\nDescription=fast fake\nInput=-i fast\n");
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  Send(WM_CAP_DRIVER_DISCONNECT);
  DWORD before = HandleCount(), after = 0;
  ASSERT_GT(before, 0u);
  enum { kCycles = 40, kSlack = 4 };
  for (int i = 0; i < kCycles; ++i) {
    ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE) << i;
    Send(WM_CAP_DRIVER_DISCONNECT);
  }
  after = HandleCount();
  EXPECT_LE(after, before + kSlack) << before << " handles before, " << after << " after " << kCycles << " connections";
  EXPECT_TRUE(ErrorReports().empty());
}

// The machine's cameras from a stand-in tree, and ffmpeg missing: what is
// listed, and the one report a connection gives.
TEST_F(FfmpegCameraTest, FindsTheMachinesCamerasAndReportsWhatCannotOpen) {
  std::string root = "/tmp/morva-v4l2-" + std::to_string(OwnUnixPid());
  std::string winRoot = "Z:" + root;
  for (char& ch : winRoot) ch = ch == '/' ? '\\' : ch;
  const std::string v4l = "\\sys\\class\\video4linux";
  const char* const folders[] = {"", "\\sys", "\\sys\\class", "\\sys\\class\\video4linux", "\\dev",
                                 "\\sys\\class\\video4linux\\video0", "\\sys\\class\\video4linux\\video1",
                                 "\\sys\\class\\video4linux\\video7"};
  const std::pair<std::string, const char*> files[] = {
      {v4l + "\\video0\\name", "Desk Cam\n"},  {v4l + "\\video0\\index", "0\n"},
      {v4l + "\\video1\\name", "Desk Cam\n"},  {v4l + "\\video1\\index", "1\n"},  // metadata node
      {v4l + "\\video7\\name", "Unplugged\n"},  // no /dev node
      {"\\dev\\video0", ""},                    {"\\dev\\video1", ""}};
  for (const char* d : folders) CreateDirectoryA((winRoot + d).c_str(), nullptr);
  for (const auto& f : files) WriteWholeFile(winRoot + f.first, f.second);
  SetEnvironmentVariableA("MORVA_VIDEO4LINUX_ROOT", root.c_str());

  // An ffmpeg that connects and then sends a byte every two seconds: the
  // whole first frame is due within ten seconds all the same.
  std::string trickle = StandIn("trickle", FakeFfmpeg("while printf x >&3; do sleep 2; done"));
  ASSERT_FALSE(trickle.empty());
  struct Case {
    const char* ffmpeg;  // MORVA_FFMPEG, null: the system's
    const char* deskCamAt2;
    int connect;          // the driver connected to
    const char* reportHas;
  } cases[] = {
      {nullptr, "Desk Cam", 2, "\"Desk Cam\""},
      {"/nonexistent/ffmpeg", nullptr, 1, "sudo apt install ffmpeg"},
      {trickle.c_str(), "Desk Cam", 1, "ffmpeg sent no picture within 10 seconds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ffmpeg ? c.ffmpeg : "system ffmpeg");
    SetEnvironmentVariableA("MORVA_FFMPEG", c.ffmpeg);
    DWORD start = GetTickCount();
    ErrorReports().clear();
    char name[80] = "", version[128] = "";
    BOOL listed = capGetDriverDescriptionA(2, name, sizeof name, version, sizeof version);
    EXPECT_EQ(listed != FALSE, c.deskCamAt2 != nullptr);
    if (c.deskCamAt2) {
      EXPECT_STREQ(name, c.deskCamAt2);
      EXPECT_EQ(std::string(version), root + "/dev/video0 through ffmpeg");
    }
    EXPECT_FALSE(capGetDriverDescriptionA(3, name, sizeof name, version, sizeof version));
    EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, c.connect), FALSE);  // not a device / no ffmpeg / no picture
    EXPECT_LT(GetTickCount() - start, 25000u);  // the probe (8 s at most) and the ten seconds, generously
    ASSERT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_VIDEO_OPEN_ERROR);
    EXPECT_NE(ErrorReports()[0].text.find(c.reportHas), std::string::npos) << ErrorReports()[0].text;
    EXPECT_TRUE(OurFfmpegs().empty());
  }
  for (const auto& f : files) DeleteFileA((winRoot + f.first).c_str());
  for (size_t i = sizeof folders / sizeof folders[0]; i-- > 0;) RemoveDirectoryA((winRoot + folders[i]).c_str());
}

}  // namespace
