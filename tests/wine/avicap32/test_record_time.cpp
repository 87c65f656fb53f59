// Recordings by the clock: the time limit as wall time with the audio of that
// time, frame periods from one microsecond to the largest, and recordings
// that end before their first frame. The files are kept in MORVA_RECORD_OUT
// for tests/e2e/record_files.sh.
#include "test_record_fixture.h"
#include "tests/unit/test_avi_reader.h"

using avitest::Chunk;
using avitest::Le32;

namespace {

// Whether the capture file was there when the error was reported.
std::string g_capturePath;
bool g_fileAtReport = false;
LRESULT CALLBACK NoteFileAtError(HWND w, int id, LPCSTR text) {
  g_fileAtReport = GetFileAttributesA(g_capturePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  return RecordError(w, id, text);
}

}  // namespace

TEST_F(RecordTest, TheTimeLimitIsWallTimeAndTheAudioIsThatTimes) {
  const WAVEFORMATEX mono{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
  struct Row {
    const char* file;
    DWORD microSecPerFrame, inFile;  // asked for, and as the file says
    int seconds;
    bool realClock;
    WAVEFORMATEX audio;
    DWORD frames;
  };
  const Row rows[] = {
      {"rec_timelimit.avi", 5000000, 5000000, 2, true, mono, 1},  // a limit shorter than one period: one frame
      {"rec_longestperiod.avi", 0xFFFFFFFF, 0xFFFFFFFF, 1, false, mono, 1},
      {"rec_hugeperiod.avi", 4000000000u, 4000000000u, 1, false, {WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0}, 1},
      {"rec_fastest.avi", 1, 10000, 1, false, mono, 100},  // the camera's 100 frames a second
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
    EXPECT_EQ(row.frames, st.dwCurrentVideoFrame);
    EXPECT_EQ(0u, st.dwCurrentVideoFramesDropped);
    EXPECT_EQ(row.seconds * 1000u, st.dwCurrentTimeElapsedMS);
    DWORD samples = row.audio.nSamplesPerSec * row.seconds;
    EXPECT_EQ(samples, st.dwCurrentWaveSamples);

    std::string text = ReadWholeFile(path);
    std::vector<uint8_t> b(text.begin(), text.end());
    avitest::File file = avitest::Parse(b);
    ASSERT_TRUE(file.ok);
    const Chunk* hdrl = file.riffs.at(0).Find("LIST", "hdrl");
    ASSERT_TRUE(hdrl && hdrl->Find("avih") && hdrl->All("LIST").size() == 2u);
    EXPECT_EQ(row.inFile, Le32(b, hdrl->Find("avih")->data()));           // dwMicroSecPerFrame
    EXPECT_EQ(row.frames, Le32(b, hdrl->Find("avih")->data() + 16));      // dwTotalFrames
    const Chunk* strh = hdrl->All("LIST")[1]->Find("strh");
    ASSERT_NE(nullptr, strh);
    EXPECT_EQ(samples, Le32(b, strh->data() + 32));                      // dwLength of the audio
    // Audio in chunks between the frames, none over a quarter second.
    for (const Chunk* chunk : file.riffs[0].Find("LIST", "movi")->All("01wb"))
      EXPECT_LE(chunk->size, row.audio.nAvgBytesPerSec / 4);
  }
}

TEST_F(RecordTest, ARecordingThatEndsBeforeItsFirstFrameSaysItsFileWasDeleted) {
  FastClock();
  SendPtr(WM_CAP_SET_CALLBACK_ERRORA, 0, reinterpret_cast<const void*>(NoteFileAtError));
  struct Row {
    const char* writeLimit;
    const char* said;
  };
  // Below the headers' size; room for the headers but not for the seconds
  // that the free-space watch wants. The file is gone when the report says so.
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
  }
}
