// The capture file's life around recordings: preallocation, save-as of the
// recorded data only (atomically, with its failures reported), and a disk
// that fills up (made by the write limit), and the page-cache trimmer that
// runs beside a recording under Wine.
#include <cstring>

#include "test_record_fixture.h"

namespace {

int CountFiles(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

// The trimmers (scripts that drop a file's pages from the page cache) of
// this process that name `file`, as seen while the recording's first frame
// was handed to the video stream procedure.
int g_trimmersSeen = -1;
std::string g_trimmedName;

int TrimmersOf(const std::string& name) {
  int n = 0;
  for (const std::string& folder : OurScriptFolders()) {
    std::string run = ReadWholeFile(folder + "\\run");
    n += run.find("nocache") != std::string::npos && run.find(name) != std::string::npos;
  }
  return n;
}

LRESULT CALLBACK NoteTrimmers(HWND, LPVIDEOHDR) {
  if (g_trimmersSeen < 0) g_trimmersSeen = TrimmersOf(g_trimmedName);
  return TRUE;
}

// The disk allocated to a file beyond its length (Wine tells the Linux
// file's blocks), -1 when it cannot be read.
long long ReservedPastEnd(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return -1;
  FILE_STANDARD_INFO info{};
  BOOL ok = GetFileInformationByHandleEx(f, FileStandardInfo, &info, sizeof info);
  CloseHandle(f);
  return ok ? info.AllocationSize.QuadPart - info.EndOfFile.QuadPart : -1;
}

// At the first frame: what the trimmer reserved past the file's end once
// a reservation came or `g_reserveWaitMs` went by; then the recording stops.
std::string g_reservingFile;
DWORD g_reserveWaitMs = 0;
long long g_reservedAtFirstFrame = -1;
LRESULT CALLBACK NoteReservationAndStop(HWND w, LPVIDEOHDR) {
  if (g_reservedAtFirstFrame >= 0) return TRUE;
  DWORD start = GetTickCount();
  do {
    g_reservedAtFirstFrame = ReservedPastEnd(g_reservingFile);
    if (g_reservedAtFirstFrame >= (64 << 20)) break;
    Sleep(20);
  } while (GetTickCount() - start < g_reserveWaitMs);
  SendMessageA(w, WM_CAP_STOP, 0, 0);
  return TRUE;
}

}  // namespace

TEST_F(RecordTest, PreallocationReservesTheSpaceAndTheRecordingKeepsOnlyItsData) {
  FastClock();
  std::string path = UseFile("rec_prealloc.avi");
  ASSERT_TRUE(Send(WM_CAP_FILE_ALLOCATE, 0, 8 * 1024 * 1024));
  EXPECT_EQ(8u * 1024 * 1024, SizeOf(path));
  Setup(1);
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  uint64_t size = SizeOf(path);
  EXPECT_GT(size, 15u * 57600);
  EXPECT_LT(size, 8u * 1024 * 1024);
  std::string bytes = ReadWholeFile(path);
  ASSERT_GE(bytes.size(), 12u);
  uint32_t riff;
  std::memcpy(&riff, bytes.data() + 4, 4);
  EXPECT_EQ(bytes.size(), riff + 8u);
}

TEST_F(RecordTest, SaveAsCopiesTheRecordedDataNotTheSpaceAfterIt) {
  FastClock();
  std::string path = UseFile("rec_source.avi");
  Setup(1);
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  std::string recorded = ReadWholeFile(path);
  ASSERT_FALSE(recorded.empty());
  // As a preallocated file left by a killed recording: data, then unused space.
  WriteWholeFile(path, recorded + std::string(300000, '\0'));
  std::string target = OutFolder() + "\\rec_saved.avi";
  DeleteFileA(target.c_str());
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SAVEASA, 0, target.c_str()));
  EXPECT_EQ(recorded, ReadWholeFile(target));
  EXPECT_TRUE(ErrorReports().empty());
  WriteWholeFile(path, recorded);
  // Saving again replaces the earlier copy.
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SAVEASA, 0, target.c_str()));
  EXPECT_EQ(recorded, ReadWholeFile(target));
}

TEST_F(RecordTest, SaveAsFailuresAnswerFalseReportAndLeaveNoPartialFile) {
  FastClock();
  std::string missing = folder_ + "\\missing.avi";
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, missing.c_str()));
  std::string target = folder_ + "\\copy.avi";
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SAVEASA, 0, target.c_str()));
  ASSERT_EQ(1u, ErrorReports().size());
  EXPECT_NE(std::string::npos, ErrorReports()[0].text.find("missing.avi"));
  EXPECT_FALSE(Exists(target));

  // A capture file that holds no recording (only preallocated space).
  ASSERT_TRUE(Send(WM_CAP_FILE_ALLOCATE, 0, 100000));
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SAVEASA, 0, target.c_str()));
  EXPECT_EQ(2u, ErrorReports().size());
  EXPECT_FALSE(Exists(target));

  // A real recording, saved into a folder that does not exist.
  std::string path = folder_ + "\\src.avi";
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
  Setup(1);
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  ErrorReports().clear();
  int before = CountFiles(folder_);
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SAVEASA, 0, (folder_ + "\\nowhere\\copy.avi").c_str()));
  EXPECT_EQ(1u, ErrorReports().size());
  // Over a read-only file: refused, the old file intact, no temporary left.
  WriteWholeFile(target, "old");
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ErrorReports().clear();
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SAVEASA, 0, target.c_str()));
  EXPECT_EQ(1u, ErrorReports().size());
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ("old", ReadWholeFile(target));
  EXPECT_EQ(before + 1, CountFiles(folder_));
}

TEST_F(RecordTest, NearlyFullDiskStopsTheRecordingWithAValidFile) {
  FastClock();
  // 160x120 24-bit at 15 fps: 864,000 bytes a second; the watch wants three
  // seconds' room, so a 4 MB disk stops the recording after about 1.5 s.
  SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", "4000000");
  std::string path = UseFile("rec_diskfull.avi");
  Setup(10, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  ASSERT_EQ(1u, ErrorReports().size());
  EXPECT_EQ(IDS_CAP_NODISKSPACE, ErrorReports()[0].id);
  EXPECT_NE(std::string::npos, ErrorReports()[0].text.find("nearly full")) << ErrorReports()[0].text;
  DWORD frames = Status().dwCurrentVideoFrame;
  EXPECT_GE(frames, 10u);
  EXPECT_LT(frames, 60u);
  EXPECT_LE(SizeOf(path), 4000000u);
  EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
  // The frame count for the independent check.
  WriteWholeFile(OutFolder() + "\\rec_diskfull.frames", std::to_string(frames));
}

TEST_F(RecordTest, AFailedWriteStopsTheRecordingAndKeepsAValidFile) {
  FastClock();
  // Without the watch, the full disk is met by a write: the chunk that did
  // not fit is cut off and the file closed over the frames before it.
  SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", "1000000");
  SetEnvironmentVariableA("MORVA_AVICAP_SPACE_WATCH", "0");
  std::string path = UseFile("rec_writefail.avi");
  Setup(10);
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  SetEnvironmentVariableA("MORVA_AVICAP_SPACE_WATCH", nullptr);
  ASSERT_EQ(1u, ErrorReports().size());
  EXPECT_EQ(IDS_CAP_NODISKSPACE, ErrorReports()[0].id);
  EXPECT_NE(std::string::npos, ErrorReports()[0].text.find("disk is full")) << ErrorReports()[0].text;
  DWORD frames = Status().dwCurrentVideoFrame;
  EXPECT_GE(frames, 10u);  // about 17 frames of 57,600 bytes fit
  EXPECT_LT(frames, 20u);
  std::string bytes = ReadWholeFile(path);
  ASSERT_GE(bytes.size(), 12u);
  uint32_t riff;
  std::memcpy(&riff, bytes.data() + 4, 4);
  EXPECT_EQ(bytes.size(), riff + 8u);
  EXPECT_LE(bytes.size(), 1000000u);
  WriteWholeFile(OutFolder() + "\\rec_writefail.frames", std::to_string(frames));
}

TEST_F(RecordTest, PastThePartLimitTheFileGoesOnInOpenDmlParts) {
  FastClock();
  SetEnvironmentVariableA("MORVA_AVICAP_PART_LIMIT", "500000");
  std::string path = UseFile("rec_opendml.avi");  // 2 s, 30 frames of 57,600 bytes in four parts
  Setup(2);
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  SetEnvironmentVariableA("MORVA_AVICAP_PART_LIMIT", nullptr);
  EXPECT_TRUE(ErrorReports().empty());
  std::string bytes = ReadWholeFile(path);
  int parts = 0;
  for (size_t at = 0; at + 12 <= bytes.size();) {
    ASSERT_EQ(0, std::memcmp(bytes.data() + at, "RIFF", 4)) << at;
    ASSERT_EQ(0, std::memcmp(bytes.data() + at + 8, parts == 0 ? "AVI " : "AVIX", 4)) << at;
    uint32_t size;
    std::memcpy(&size, bytes.data() + at + 4, 4);
    EXPECT_LE(size + 8u, 500000u);
    at += 8 + size + (size & 1);
    ++parts;
  }
  EXPECT_GE(parts, 4);
}

TEST_F(RecordTest, UnderWineATrimmerRunsWhileTheCaptureFileIsOpenUnlessTurnedOff) {
  struct Case {
    const char* knob;  // MORVA_AVICAP_CACHE_TRIM
    int trimmers;
  } cases[] = {{nullptr, 1}, {"0", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.knob ? c.knob : "default");
    SetEnvironmentVariableA("MORVA_AVICAP_CACHE_TRIM", c.knob);
    g_trimmedName = "trimmed.avi";
    g_trimmersSeen = -1;
    std::string path = UseFile(g_trimmedName);
    Setup(1);
    SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<const void*>(NoteTrimmers));
    EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
    SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, nullptr);
    EXPECT_EQ(g_trimmersSeen, c.trimmers);
    EXPECT_EQ(TrimmersOf(g_trimmedName), 0);  // its folder went with the file's close
    EXPECT_GT(AviField(path, "avih", 24), 0u);  // frames recorded all the same
  }
  SetEnvironmentVariableA("MORVA_AVICAP_CACHE_TRIM", nullptr);
}

// Under Wine a recording that writes 128 MiB a second or more has its next
// two seconds of disk reserved past the file's end while it runs; the
// reservation goes with the file's closing. A slower one reserves nothing.
TEST_F(RecordTest, UnderWineAFastRecordingReservesDiskAheadUntilItsFileCloses) {
  struct Case {
    int width, height;  // at 100 frames a second, 24-bit
    DWORD waitMs;       // for the trimmer's first look
    bool reserves;
  } cases[] = {{1280, 720, 10000, true}, {640, 480, 2500, false}};  // 276 and 92 MB a second
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    ASSERT_TRUE(SetFormat(c.width, c.height, 24));
    g_reservingFile = UseFile("reserving.avi");
    g_reserveWaitMs = c.waitMs;
    g_reservedAtFirstFrame = -1;
    Setup(0, [](CAPTUREPARMS& p) {
      p.fCaptureAudio = FALSE;
      p.dwRequestMicroSecPerFrame = 10000;
    });
    SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, reinterpret_cast<const void*>(NoteReservationAndStop));
    EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
    SendPtr(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, nullptr);
    EXPECT_GE(g_reservedAtFirstFrame, 0);
    EXPECT_EQ(c.reserves, g_reservedAtFirstFrame >= (64 << 20)) << g_reservedAtFirstFrame;
    EXPECT_LT(ReservedPastEnd(g_reservingFile), 1 << 20);  // freed
    EXPECT_GT(AviField(g_reservingFile, "avih", 24), 0u);
    EXPECT_TRUE(DeleteFileA(g_reservingFile.c_str()));
  }
}
