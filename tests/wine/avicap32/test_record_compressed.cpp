// Recordings through a compressor the camera remembers (its section of the
// service's settings file names Morva's Motion JPEG codec and a quality):
// the stream header and format say MJPG, every frame is a key frame in the
// index, the status report counts the frames the file holds, and a higher
// quality gives a larger file.
#include <string>

#include "test_record_fixture.h"

namespace {

const char kMjpg[] = "MJPG";
const uint32_t kMjpgCode = mmioFOURCC('M', 'J', 'P', 'G');

struct IndexCount {
  int video = 0;  // 00dc entries
  int keyFrames = 0;
  int empty = 0;
};

IndexCount CountIndex(const std::string& bytes) {
  IndexCount c;
  size_t at = bytes.rfind("idx1");
  if (at == std::string::npos || at + 8 > bytes.size()) return c;
  uint32_t size = 0;
  std::memcpy(&size, bytes.data() + at + 4, 4);
  for (size_t e = at + 8; e + 16 <= bytes.size() && e + 16 <= at + 8 + size; e += 16) {
    if (bytes.compare(e, 4, "00dc") != 0) continue;
    uint32_t flags = 0, length = 0;
    std::memcpy(&flags, bytes.data() + e + 4, 4);
    std::memcpy(&length, bytes.data() + e + 12, 4);
    ++c.video;
    c.keyFrames += (flags & AVIIF_KEYFRAME) != 0;
    c.empty += length == 0;
  }
  return c;
}

}  // namespace

class CompressedRecordTest : public RecordTest {
 protected:
  // The camera at index 0 remembers the codec at `quality` and is connected again.
  void RememberCodec(int quality) {
    char name[256] = "";
    ASSERT_TRUE(SendPtr(WM_CAP_DRIVER_GET_NAMEA, sizeof name, name));
    const std::string file = folder_ + "\\MorvaCap.ini";
    WritePrivateProfileStringA("Camera0", "Description", name, file.c_str());
    WritePrivateProfileStringA("Camera0", "Compressor", kMjpg, file.c_str());
    WritePrivateProfileStringA("Camera0", "CompressorQuality", std::to_string(quality).c_str(), file.c_str());
    ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
    ASSERT_TRUE(SetFormat(160, 120, 24));
  }
  std::string Record(const std::string& name) {
    FastClock();
    Setup(2, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
    std::string path = UseFile(name);
    StatusReports().clear();
    EXPECT_TRUE(Send(WM_CAP_SEQUENCE));
    return path;
  }
};

TEST_F(CompressedRecordTest, RememberedCodecWritesMjpgKeyFramesAndReportsTheirCount) {
  RememberCodec(ICQUALITY_DEFAULT);
  std::string path = Record("rec_mjpeg.avi");
  EXPECT_EQ(kMjpgCode, AviField(path, "strh", 12));  // fccHandler
  EXPECT_EQ(kMjpgCode, AviField(path, "strf", 24));  // biCompression
  EXPECT_EQ(160u, AviField(path, "strf", 12));       // biWidth
  EXPECT_EQ(120u, AviField(path, "strf", 16));       // biHeight, upright
  const uint32_t frames = AviField(path, "avih", 24);
  EXPECT_EQ(30u, frames);
  IndexCount index = CountIndex(ReadWholeFile(path));
  EXPECT_EQ(static_cast<int>(frames), index.video);
  EXPECT_EQ(index.video, index.keyFrames);
  EXPECT_EQ(0, index.empty);
  std::string counted;
  for (const Report& r : StatusReports())
    if (r.id == IDS_CAP_STAT_VIDEOONLY) counted = r.text;
  EXPECT_NE(std::string::npos, counted.find(": " + std::to_string(frames) + " frames (0 dropped)")) << counted;
  EXPECT_LT(SizeOf(path) * 10, uint64_t{160} * 120 * 3 * frames);  // a tenth of raw at the most
  // The choice stays remembered after the format was set again.
  char kept[8] = "";
  GetPrivateProfileStringA("Camera0", "Compressor", "", kept, sizeof kept, (folder_ + "\\MorvaCap.ini").c_str());
  EXPECT_STREQ(kMjpg, kept);
}

TEST_F(CompressedRecordTest, HigherRememberedQualityGivesLargerFiles) {
  uint64_t last = 0;
  for (int quality : {1000, 5000, 10000}) {
    RememberCodec(quality);
    std::string path = Record("rec_mjpeg_q" + std::to_string(quality) + ".avi");
    EXPECT_EQ(kMjpgCode, AviField(path, "strf", 24)) << quality;
    EXPECT_GT(SizeOf(path), last) << quality;
    last = SizeOf(path);
  }
}

TEST_F(CompressedRecordTest, RememberedFullFramesReplaceTheCodecOnTheNextConnection) {
  RememberCodec(ICQUALITY_DEFAULT);
  const std::string file = folder_ + "\\MorvaCap.ini";
  WritePrivateProfileStringA("Camera0", "Compressor", "DIB ", file.c_str());  // read back as "DIB"
  ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
  ASSERT_TRUE(SetFormat(160, 120, 24));
  std::string path = Record("rec_full_frames.avi");
  EXPECT_EQ(0u, AviField(path, "strf", 24));  // BI_RGB
  std::string bytes = ReadWholeFile(path);
  size_t movi = bytes.find("movi");
  ASSERT_NE(std::string::npos, movi);
  EXPECT_EQ(0, bytes.compare(movi + 4, 4, "00db"));
}
