// Shared helpers of the recording tests: a connected capture window with a
// small picture, the report procedures installed, the synthetic camera's
// tone as the audio source, the virtual recording clock on request, and the folder where recordings are kept for
// the independent reader (MORVA_RECORD_OUT, else the test folder).
#ifndef MORVA_TESTS_TEST_RECORD_FIXTURE_H
#define MORVA_TESTS_TEST_RECORD_FIXTURE_H

#include <cstring>
#include <functional>
#include <string>

#include "service_fixture.h"

class RecordTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", "tone");
    SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", nullptr);
    ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
    ASSERT_TRUE(SetFormat(160, 120, 24));
    SendPtr(WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<const void*>(RecordStatus));
    SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(RecordError));
    StatusReports().clear();
    ErrorReports().clear();
  }
  void TearDown() override {
    SetEnvironmentVariableA("MORVA_AVICAP_CLOCK", nullptr);
    SetEnvironmentVariableA("MORVA_AVICAP_AUDIO_SOURCE", nullptr);
    SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", nullptr);
    ServiceTest::TearDown();
  }

  // Recordings from now on run on the virtual clock: faster than real time,
  // for tests that do not test timing.
  static void FastClock() { SetEnvironmentVariableA("MORVA_AVICAP_CLOCK", "virtual"); }

  CAPTUREPARMS Parms() {
    CAPTUREPARMS p{};
    SendPtr(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, &p);
    return p;
  }
  // Changes the capture parameters through `edit`, with a time limit of
  // `seconds` and no confirmation or mouse abort unless `edit` says so.
  void Setup(int seconds, const std::function<void(CAPTUREPARMS&)>& edit = nullptr) {
    CAPTUREPARMS p = Parms();
    p.fLimitEnabled = seconds > 0;
    p.wTimeLimit = static_cast<UINT>(seconds);
    p.fAbortLeftMouse = FALSE;
    p.fAbortRightMouse = FALSE;
    p.fMakeUserHitOKToCapture = FALSE;
    if (edit) edit(p);
    ASSERT_TRUE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
  }
  // A capture file in the output folder.
  std::string UseFile(const std::string& name) {
    std::string path = OutFolder() + "\\" + name;
    DeleteFileA(path.c_str());
    EXPECT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
    return path;
  }
  std::string OutFolder() {
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("MORVA_RECORD_OUT", buf, sizeof buf);
    if (n > 0 && n < sizeof buf) {
      CreateDirectoryA(buf, nullptr);
      return buf;
    }
    return folder_;
  }
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  static uint64_t SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  }
  // The 32-bit field `offset` bytes after the first `fourcc` in the file
  // (0 when there is none): AviField(path, "avih", 24) is the frame count.
  static uint32_t AviField(const std::string& path, const char* fourcc, size_t offset) {
    std::string b = ReadWholeFile(path);
    size_t at = b.find(fourcc);
    uint32_t v = 0;
    if (at != std::string::npos && at + offset + 4 <= b.size()) std::memcpy(&v, b.data() + at + offset, 4);
    return v;
  }
  static std::vector<int> Ids(const std::vector<Report>& r) {
    std::vector<int> v;
    for (const Report& x : r) v.push_back(x.id);
    return v;
  }
  static int Count(const std::vector<Report>& r, int id) {
    int n = 0;
    for (const Report& x : r) n += x.id == id;
    return n;
  }
};

#endif
