// Cameras read through ffmpeg, the whole way with ffmpeg's test source (the
// same code as a camera, only the input differs): listing, connection, the
// moving picture, still image and clipboard, the format dialog restarting
// the stream at a new size, a recording (its frames are compared with
// ffmpeg's own by tests/e2e/ffmpeg_camera.sh), ffmpeg killed mid-preview and
// mid-recording, no ffmpeg left after the window goes, and the machine's
// cameras found in a stand-in /sys and /dev tree.
#include <windowsx.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_record_fixture.h"

namespace {

const char kTestSource[] = "-f lavfi -i testsrc2=size=640x480:rate=30";
enum { kFmtSize = 2101 };

std::string UnixFile(const std::string& unixPath) {
  std::string win = "Z:";
  for (char c : unixPath) win += c == '/' ? '\\' : c;
  return ReadWholeFile(win);
}

// This process's Unix id, found as the service finds it: Wine's server opens
// files for its clients (so /proc/self read is the server's), but looks up
// attributes in the client: ours is the /proc entry that is a task of /proc/self.
long OwnUnixPid() {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  long pid = 0;
  if (h == INVALID_HANDLE_VALUE) return pid;
  do {
    if (GetFileAttributesA((std::string("Z:\\proc\\self\\task\\") + fd.cFileName).c_str()) != INVALID_FILE_ATTRIBUTES)
      pid = std::atol(fd.cFileName);
  } while (pid == 0 && FindNextFileA(h, &fd));
  FindClose(h);
  return pid;
}

// True while `pid` runs ffmpeg (not ended, not a zombie).
bool FfmpegRuns(long pid) {
  std::string stat = UnixFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z') return false;
  return stat.find("(ffmpeg)") != std::string::npos;
}

// The ffmpeg processes of this process's cameras, from their pid files
// (/tmp/morva-ffmpeg-<our pid>-*/pid).
std::vector<long> OurFfmpegs() {
  std::vector<long> pids;
  std::string pattern = "Z:\\tmp\\morva-ffmpeg-" + std::to_string(OwnUnixPid()) + "-*";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return pids;
  do {
    long pid = std::atol(ReadWholeFile(std::string("Z:\\tmp\\") + fd.cFileName + "\\pid").c_str());
    if (pid > 0 && FfmpegRuns(pid)) pids.push_back(pid);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return pids;
}

void KillUnixProcess(long pid) {
  std::wstring line = L"/bin/kill -9 " + std::to_wstring(pid);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(L"Z:\\bin\\kill", &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &si, &pi)) {
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
  }
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
    SetEnvironmentVariableA("MORVA_FFMPEG", nullptr);
    SetEnvironmentVariableA("MORVA_VIDEO4LINUX_ROOT", nullptr);
    RecordTest::TearDown();
  }
  void ConnectWithPreview() {
    ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE) << (ErrorReports().empty() ? "" : ErrorReports()[0].text);
    Send(WM_CAP_SET_PREVIEWRATE, 33);
    ASSERT_EQ(Send(WM_CAP_SET_PREVIEW, 1), TRUE);
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

// ffmpeg killed while the picture is live, and while recording on a worker:
// one error report naming the camera, the last frame kept, the recording's
// file closed as a valid AVI (checked by tests/e2e/ffmpeg_camera.sh), no hang.
TEST_F(FfmpegCameraTest, FfmpegKilledGivesOneReportAndKeepsTheLastFrame) {
  struct Case {
    bool recording;
  } cases[] = {{false}, {true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recording ? "recording" : "preview");
    ErrorReports().clear();
    ConnectWithPreview();
    std::string path = UseFile("ffmpeg_killed.avi");
    if (c.recording) {
      Setup(0, [](CAPTUREPARMS& p) { p.fYield = TRUE; p.dwRequestMicroSecPerFrame = 33333; p.fCaptureAudio = FALSE; });
      ASSERT_EQ(Send(WM_CAP_SEQUENCE), TRUE);
      ASSERT_TRUE(PumpUntil([&] { return Status().dwCurrentVideoFrame >= 30; }, 15000));
    } else {
      PumpUntil([&] { return Status().dwCurrentVideoFrame >= 5; }, 10000);
    }
    std::vector<long> pids = OurFfmpegs();
    ASSERT_EQ(pids.size(), 1u);
    KillUnixProcess(pids[0]);
    ASSERT_TRUE(PumpUntil([&] { return !ErrorReports().empty() && !Status().fCapturingNow; }, 15000));
    PumpMessages(300);  // nothing more comes
    ASSERT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_DRIVER_ERROR);
    EXPECT_NE(ErrorReports()[0].text.find("\"ffmpeg test source\""), std::string::npos) << ErrorReports()[0].text;
    EXPECT_NE(ErrorReports()[0].text.find("connect to it again"), std::string::npos);
    EXPECT_FALSE(Status().fLiveWindow);
    EXPECT_EQ(Copy().header.biWidth, 640);  // the last frame stays
    if (c.recording) {
      EXPECT_GT(SizeOf(path), 640u * 480 * 3 * 20);
    }
    Send(WM_CAP_DRIVER_DISCONNECT);
  }
}

TEST_F(FfmpegCameraTest, NoFfmpegOutlivesItsWindowOrItsConnection) {
  ConnectWithPreview();
  std::vector<long> first = OurFfmpegs();
  ASSERT_EQ(first.size(), 1u);
  Send(WM_CAP_DRIVER_DISCONNECT);
  EXPECT_TRUE(AllGone(first));
  ConnectWithPreview();
  std::vector<long> second = OurFfmpegs();
  ASSERT_EQ(second.size(), 1u);
  DestroyWindow(cap_);
  cap_ = nullptr;
  EXPECT_TRUE(AllGone(second));
  Recreate();
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

  struct Case {
    const char* ffmpeg;  // MORVA_FFMPEG, null: the system's
    const char* deskCamAt2;
    int connect;          // the driver connected to
    const char* reportHas;
  } cases[] = {
      {nullptr, "Desk Cam", 2, "\"Desk Cam\""},
      {"/nonexistent/ffmpeg", nullptr, 1, "sudo apt install ffmpeg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ffmpeg ? c.ffmpeg : "system ffmpeg");
    SetEnvironmentVariableA("MORVA_FFMPEG", c.ffmpeg);
    ErrorReports().clear();
    char name[80] = "", version[128] = "";
    BOOL listed = capGetDriverDescriptionA(2, name, sizeof name, version, sizeof version);
    EXPECT_EQ(listed != FALSE, c.deskCamAt2 != nullptr);
    if (c.deskCamAt2) {
      EXPECT_STREQ(name, c.deskCamAt2);
      EXPECT_EQ(std::string(version), root + "/dev/video0 through ffmpeg");
    }
    EXPECT_FALSE(capGetDriverDescriptionA(3, name, sizeof name, version, sizeof version));
    EXPECT_EQ(Send(WM_CAP_DRIVER_CONNECT, c.connect), FALSE);  // not a device / no ffmpeg
    ASSERT_EQ(ErrorReports().size(), 1u);
    EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_VIDEO_OPEN_ERROR);
    EXPECT_NE(ErrorReports()[0].text.find(c.reportHas), std::string::npos) << ErrorReports()[0].text;
    EXPECT_TRUE(OurFfmpegs().empty());
  }
  for (const auto& f : files) DeleteFileA((winRoot + f.first).c_str());
  for (size_t i = sizeof folders / sizeof folders[0]; i-- > 0;) RemoveDirectoryA((winRoot + folders[i]).c_str());
}

}  // namespace
