// The capture file name, SAVEDIB and the clipboard. The BMPs written here
// are kept, with a PPM of the clipboard's pixels beside each, for the
// independent reader in tests/e2e/service_bmp.sh (MORVA_SERVICE_OUT names
// the folder; without it they go to the test folder).
#include <cstdlib>
#include <cstring>

#include "service_fixture.h"

namespace {

std::string OutFolder(const std::string& fallback) {
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("MORVA_SERVICE_OUT", buf, sizeof buf);
  if (n > 0 && n < sizeof buf) {
    CreateDirectoryA(buf, nullptr);
    return buf;
  }
  return fallback;
}

size_t Stride(const BITMAPINFOHEADER& h) {
  return ((static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
}

int CountFiles(const std::string& pattern) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n;
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

TEST_F(ServiceTest, CaptureFileDefaultSetAndBoundedRead) {
  char buf[200];
  EXPECT_EQ(SendPtr(WM_CAP_FILE_GET_CAPTURE_FILEA, sizeof buf, buf), 1);
  EXPECT_STREQ(buf, "C:\\CAPTURE.AVI");
  EXPECT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, "D:\\video\\take1.avi"));
  char small[8];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(SendPtr(WM_CAP_FILE_GET_CAPTURE_FILEA, 5, small), 1);
  EXPECT_STREQ(small, "D:\\v");
  EXPECT_EQ(small[5], 'x');
  std::string tooLong(400, 'a');
  EXPECT_FALSE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, tooLong.c_str()));
  EXPECT_EQ(SendPtr(WM_CAP_FILE_GET_CAPTURE_FILEA, sizeof buf, buf), 1);
  EXPECT_STREQ(buf, "D:\\video\\take1.avi");
  EXPECT_EQ(SendPtr(WM_CAP_FILE_GET_CAPTURE_FILEA, 0, buf), 0);
}

// One BMP per camera format, including widths whose rows need padding.
TEST_F(ServiceTest, SaveDibWritesTheFrameOnTheClipboardAsBmp) {
  UseCameras("[Driver0]\nSizes=161x121,320x240,7x5\nBitDepths=24,32,16\n");
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  std::string out = OutFolder(folder_);
  struct Case { int w, h, bits; } cases[] = {{161, 121, 24}, {161, 121, 16}, {320, 240, 32},
                                             {7, 5, 24}, {7, 5, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "x" + std::to_string(c.bits));
    ASSERT_TRUE(SetFormat(c.w, c.h, c.bits));
    ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
    std::string name = out + "\\frame_" + std::to_string(c.w) + "x" + std::to_string(c.h) + "_" +
                       std::to_string(c.bits);
    ASSERT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, (name + ".bmp").c_str()), TRUE);
    ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
    Dib clip, file;
    BITMAPFILEHEADER fh{};
    ASSERT_TRUE(ReadClipboardDib(&clip));
    ASSERT_TRUE(ReadBmpFile(name + ".bmp", &file, &fh));
    EXPECT_EQ(fh.bfType, 0x4D42);
    EXPECT_EQ(fh.bfOffBits, 54u);
    EXPECT_EQ(fh.bfSize, 54u + Stride(clip.header) * c.h);
    EXPECT_EQ(file.header.biWidth, c.w);
    EXPECT_EQ(file.header.biHeight, c.h);
    EXPECT_EQ(file.header.biBitCount, c.bits);
    EXPECT_EQ(clip.header.biWidth, c.w);
    EXPECT_EQ(clip.bits.size(), Stride(clip.header) * c.h);
    EXPECT_EQ(file.bits, clip.bits);
    EXPECT_TRUE(WritePpm(name + ".ppm", clip));
  }
}

// The built-in camera's largest frame (24 MiB, many write calls) arrives
// whole: the file holds the frame on the clipboard, byte for byte.
TEST_F(ServiceTest, SaveDibOfA3840x2160FrameIsWhole) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  ASSERT_TRUE(SetFormat(3840, 2160, 24));
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  std::string path = folder_ + "\\frame_3840x2160.bmp";
  ASSERT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, path.c_str()), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib clip, file;
  BITMAPFILEHEADER fh{};
  ASSERT_TRUE(ReadClipboardDib(&clip));
  ASSERT_TRUE(ReadBmpFile(path, &file, &fh));
  EXPECT_EQ(fh.bfSize, 54u + 3840u * 3u * 2160u);
  EXPECT_EQ(file.header.biWidth, 3840);
  EXPECT_EQ(file.header.biHeight, 2160);
  ASSERT_EQ(file.bits.size(), clip.bits.size());
  EXPECT_TRUE(file.bits == clip.bits);  // not printed whole when they differ
  DeleteFileA(path.c_str());
}

TEST_F(ServiceTest, FailedSaveDibReportsThePathAndLeavesNoFile) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 0), TRUE);
  SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
  std::string path = folder_ + "\\no such folder\\still.bmp";
  EXPECT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, path.c_str()), FALSE);
  ASSERT_EQ(ErrorReports().size(), 1u);
  EXPECT_EQ(ErrorReports()[0].id, IDS_CAP_ERRORDIBSAVE);
  EXPECT_NE(ErrorReports()[0].text.find(path), std::string::npos) << ErrorReports()[0].text;

  // An existing file that cannot be replaced stays whole; no temporary is left.
  std::string existing = folder_ + "\\keep.bmp";
  WriteWholeFile(existing, "old contents");
  HANDLE lock = CreateFileA(existing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, existing.c_str()), FALSE);
  CloseHandle(lock);
  EXPECT_EQ(ReadWholeFile(existing), "old contents");
  EXPECT_EQ(CountFiles(folder_ + "\\~mcap*"), 0);
  EXPECT_EQ(ErrorReports().size(), 2u);

  // Once free, it is replaced by a complete image.
  EXPECT_EQ(SendPtr(WM_CAP_FILE_SAVEDIBA, 0, existing.c_str()), TRUE);
  Dib file;
  ASSERT_TRUE(ReadBmpFile(existing, &file));
  EXPECT_EQ(file.header.biWidth, 320);
  EXPECT_EQ(file.bits.size(), 320u * 3u * 240u);
  EXPECT_EQ(CountFiles(folder_ + "\\~mcap*"), 0);
}

TEST_F(ServiceTest, AnotherProcessReadsTheSamePixelsFromTheClipboard) {
  ASSERT_EQ(Send(WM_CAP_DRIVER_CONNECT, 1), TRUE);
  ASSERT_EQ(Send(WM_CAP_GRAB_FRAME), TRUE);
  ASSERT_EQ(Send(WM_CAP_EDIT_COPY), TRUE);
  Dib mine;
  ASSERT_TRUE(ReadClipboardDib(&mine));

  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string dump = folder_ + "\\clipboard.bin";
  std::string command = std::string("\"") + exe + "\" --read-clipboard \"" + dump + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  // The other process may ask this one's window for nothing (CF_DIB is
  // rendered already), but pump anyway while waiting.
  DWORD rc = STILL_ACTIVE;
  for (int i = 0; i < 600 && rc == STILL_ACTIVE; ++i) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &rc);
    PumpMessages(0);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(rc, 0u);
  std::string bytes = ReadWholeFile(dump);
  ASSERT_EQ(bytes.size(), sizeof(BITMAPINFOHEADER) + mine.bits.size());
  BITMAPINFOHEADER theirs;
  std::memcpy(&theirs, bytes.data(), sizeof theirs);
  EXPECT_EQ(theirs.biWidth, 320);
  EXPECT_EQ(theirs.biBitCount, 24);
  EXPECT_EQ(0, std::memcmp(bytes.data() + sizeof theirs, mine.bits.data(), mine.bits.size()));
}

}  // namespace
