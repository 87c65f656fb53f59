// Recordings by the clock: the time limit as wall time with the audio of that
// time, frame periods from one microsecond to the largest, and recordings
// that end before their first frame. The files are kept in MORVA_RECORD_OUT
// for tests/e2e/record_files.sh.
#include <cstring>

#include "test_record_fixture.h"

namespace {

// A 32-bit field of an AVI header: `offset` bytes into the first chunk
// `chunk` whose data starts with `type` (any data when null).
uint32_t AviField(const std::string& avi, const char* chunk, const char* type, size_t offset) {
  for (size_t at = avi.find(chunk); at != std::string::npos; at = avi.find(chunk, at + 1)) {
    size_t data = at + 8;
    if (type && avi.compare(data, 4, type) != 0) continue;
    uint32_t v = 0;
    if (data + offset + 4 <= avi.size()) std::memcpy(&v, avi.data() + data + offset, 4);
    return v;
  }
  return 0;
}

const size_t kAvihMicroSecPerFrame = 0, kAvihTotalFrames = 16;
const size_t kStrhLength = 32, kStrhSuggestedBufferSize = 36;

// The file is one whole RIFF: its size field covers the rest of it.
void ExpectWholeRiff(const std::string& avi) {
  ASSERT_GE(avi.size(), 12u);
  uint32_t riff;
  std::memcpy(&riff, avi.data() + 4, 4);
  EXPECT_EQ(avi.size(), riff + 8u);
}

// Whether the capture file was there when the error was reported.
std::string g_capturePath;
bool g_fileAtReport = false;
LRESULT CALLBACK NoteFileAtError(HWND w, int id, LPCSTR text) {
  g_fileAtReport = GetFileAttributesA(g_capturePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  return RecordError(w, id, text);
}

}  // namespace

TEST_F(RecordTest, TheTimeLimitIsWallTimeAndTheAudioIsThatTimes) {
  struct Row {
    const char* file;
    DWORD microSecPerFrame;
    int seconds;
    bool realClock;
    WAVEFORMATEX audio;
  };
  const Row rows[] = {
      {"rec_timelimit.avi", 5000000, 2, true, {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0}},
      {"rec_longestperiod.avi", 0xFFFFFFFF, 1, false, {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0}},
      {"rec_hugeperiod.avi", 4000000000u, 1, false, {WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    SetEnvironmentVariableA("MORVA_AVICAP_CLOCK", row.realClock ? nullptr : "virtual");
    ErrorReports().clear();
    std::string path = UseFile(row.file);
    ASSERT_TRUE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof row.audio, &row.audio));
    Setup(row.seconds, [&](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = row.microSecPerFrame; });
    DWORD t0 = GetTickCount();
    EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
    DWORD took = GetTickCount() - t0;
    if (row.realClock) {
      EXPECT_GE(took, 1500u);
      EXPECT_LE(took, 6000u);
    }
    EXPECT_TRUE(ErrorReports().empty()) << ErrorReports()[0].text;
    CAPSTATUS st = Status();
    EXPECT_EQ(1u, st.dwCurrentVideoFrame);  // the limit is shorter than one period
    EXPECT_EQ(row.seconds * 1000u, st.dwCurrentTimeElapsedMS);
    DWORD samples = row.audio.nSamplesPerSec * row.seconds;
    EXPECT_EQ(samples, st.dwCurrentWaveSamples);

    std::string avi = ReadWholeFile(path);
    ExpectWholeRiff(avi);
    EXPECT_EQ(row.microSecPerFrame, AviField(avi, "avih", nullptr, kAvihMicroSecPerFrame));
    EXPECT_EQ(1u, AviField(avi, "avih", nullptr, kAvihTotalFrames));
    EXPECT_EQ(samples, AviField(avi, "strh", "auds", kStrhLength));
    // Audio in chunks between the frames, none larger than a quarter second.
    EXPECT_LE(AviField(avi, "strh", "auds", kStrhSuggestedBufferSize), row.audio.nAvgBytesPerSec / 4);
  }
}

TEST_F(RecordTest, ARecordingThatEndsBeforeItsFirstFrameSaysItsFileWasDeleted) {
  FastClock();
  struct Row {
    const char* writeLimit;
    const char* said;
  };
  // Below the headers' size; room for the headers but not for the seconds
  // that the free-space watch wants. The file is gone when the report says so.
  SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(NoteFileAtError));
  for (const Row& row : {Row{"1000", "disk is full"}, Row{"100000", "nearly full"}}) {
    SCOPED_TRACE(row.writeLimit);
    SetEnvironmentVariableA("MORVA_AVICAP_WRITE_LIMIT", row.writeLimit);
    ErrorReports().clear();
    std::string path = g_capturePath = UseFile("rec_nothing.avi");
    Setup(1);
    g_fileAtReport = true;
    EXPECT_FALSE(Send(WM_CAP_SEQUENCE));
    EXPECT_FALSE(g_fileAtReport);
    EXPECT_FALSE(Exists(path));
    ASSERT_EQ(1u, ErrorReports().size());
    const std::string& text = ErrorReports()[0].text;
    EXPECT_EQ(IDS_CAP_NODISKSPACE, ErrorReports()[0].id);
    EXPECT_NE(std::string::npos, text.find(row.said)) << text;
    EXPECT_NE(std::string::npos, text.find("Nothing was recorded, so " + path + " was deleted.")) << text;
    EXPECT_EQ(IDS_CAP_END, StatusReports().back().id);
  }
}

TEST_F(RecordTest, OneMicrosecondPerFrameRecordsAtTheCamerasFastestRate) {
  FastClock();
  std::string path = UseFile("rec_fastest.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.dwRequestMicroSecPerFrame = 1; });
  EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_TRUE(ErrorReports().empty()) << ErrorReports()[0].text;
  CAPSTATUS st = Status();
  EXPECT_EQ(100u, st.dwCurrentVideoFrame);  // 100 frames a second
  EXPECT_EQ(0u, st.dwCurrentVideoFramesDropped);
  std::string avi = ReadWholeFile(path);
  ExpectWholeRiff(avi);
  EXPECT_EQ(10000u, AviField(avi, "avih", nullptr, kAvihMicroSecPerFrame));
  EXPECT_EQ(100u, AviField(avi, "avih", nullptr, kAvihTotalFrames));
}
