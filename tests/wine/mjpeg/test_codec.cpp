// The codec as programs see it: what it says of itself, its remembered
// state, its Configure dialog, and frames of every layout it takes through a compress and
// decompress round trip, close to the original and smaller with less quality.
#include <cstring>
#include <string>

#include "codec_fixture.h"
#include "tests/wine/support/dialog_watcher.h"

namespace {

std::string Narrow(const WCHAR* w) {
  char text[256];
  WideCharToMultiByte(CP_ACP, 0, w, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

const DWORD kDefaultQuality = 9000;

}  // namespace

TEST_F(CodecTest, DescribesItselfAsAVideoCompressorWithQuality) {
  ICINFO info{};
  ASSERT_EQ(static_cast<LRESULT>(sizeof info), ICGetInfo(hic_, &info, sizeof info));
  EXPECT_EQ(ICTYPE_VIDEO, info.fccType);
  EXPECT_EQ(kMjpg, info.fccHandler);
  EXPECT_TRUE(info.dwFlags & VIDCF_QUALITY);
  EXPECT_EQ("MJPG", Narrow(info.szName));
  EXPECT_EQ("Morva Motion JPEG", Narrow(info.szDescription));
  EXPECT_EQ(kDefaultQuality, static_cast<DWORD>(ICGetDefaultQuality(hic_)));
  // A too-small ICINFO is left alone.
  EXPECT_EQ(0, ICSendMessage(hic_, ICM_GETINFO, reinterpret_cast<DWORD_PTR>(&info), 8));
}

TEST_F(CodecTest, StateRoundTripsAndBadStatesAreIgnored) {
  const LRESULT size = ICGetStateSize(hic_);
  ASSERT_EQ(8, size);
  DWORD state[2] = {kMjpg, 4200};
  EXPECT_EQ(size, ICSetState(hic_, state, sizeof state));
  DWORD back[2] = {};
  EXPECT_EQ(size, ICGetState(hic_, back, sizeof back));
  EXPECT_EQ(4200u, back[1]);
  struct Bad {
    DWORD tag, quality, size;
  } bad[] = {{mmioFOURCC('D', 'I', 'B', ' '), 100, 8}, {kMjpg, 10001, 8}, {kMjpg, 100, 4}};
  for (const Bad& b : bad) {
    DWORD s[2] = {b.tag, b.quality};
    EXPECT_EQ(0, ICSetState(hic_, s, b.size)) << b.tag << " " << b.quality << " " << b.size;
  }
  EXPECT_EQ(size, ICGetState(hic_, back, sizeof back));
  EXPECT_EQ(4200u, back[1]);
  ICSetState(hic_, nullptr, 0);  // back to the defaults
  ICGetState(hic_, back, sizeof back);
  EXPECT_EQ(kDefaultQuality, back[1]);
}

struct RoundTrip {
  LONG width, height;  // negative height: top-down input
  WORD bits;
  WORD outBits;  // decompressed to
  double minDb;  // the goal, 38 dB; less where the stamp's text fills much of a tiny picture
};

class CodecRoundTrip : public CodecTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(CodecRoundTrip, KeyFrameOfMjpgCloseToTheOriginal) {
  const RoundTrip& t = GetParam();
  BITMAPINFOHEADER in = RgbHeader(t.width, t.height, t.bits);
  std::vector<uint8_t> frame = CameraFrame(in, 17);
  BITMAPINFO bi{};
  bi.bmiHeader = in;
  ASSERT_EQ(ICERR_OK, ICCompressQuery(hic_, &bi, nullptr));
  std::vector<uint8_t> jpeg;
  BITMAPINFOHEADER out{};
  DWORD flags = 0;
  ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), ICQUALITY_DEFAULT, &jpeg, &out, &flags));
  EXPECT_EQ(static_cast<DWORD>(AVIIF_KEYFRAME), flags);
  EXPECT_EQ(kMjpg, out.biCompression);
  EXPECT_EQ(t.width, out.biWidth);
  EXPECT_EQ(t.height < 0 ? -t.height : t.height, out.biHeight);  // compressed frames are upright
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(0, std::memcmp(jpeg.data(), "\xFF\xD8", 2));  // start of image
  EXPECT_EQ(0, std::memcmp(&jpeg[jpeg.size() - 2], "\xFF\xD9", 2));  // end of image
  EXPECT_LT(jpeg.size() * 4, frame.size());

  BITMAPINFOHEADER back = RgbHeader(out.biWidth, out.biHeight, t.outBits);
  std::vector<uint8_t> decoded;
  ASSERT_EQ(ICERR_OK, DecompressFrame(out, jpeg, back, &decoded));
  const double psnr = Yuv420Psnr(AsPacked24(in, frame), AsPacked24(back, decoded), out.biWidth, out.biHeight);
  EXPECT_GE(psnr, t.minDb) << psnr << " dB " << t.width << "x" << t.height << "x" << t.bits;
}

INSTANTIATE_TEST_SUITE_P(Layouts, CodecRoundTrip,
                         ::testing::Values(RoundTrip{640, 480, 24, 24, 38}, RoundTrip{320, 240, 32, 32, 38},
                                           RoundTrip{320, 240, 16, 24, 38}, RoundTrip{320, -240, 24, 32, 38},
                                           RoundTrip{321, 241, 24, 24, 38}, RoundTrip{1280, 720, 24, 24, 38},
                                           RoundTrip{160, 120, 24, 24, 36}));

TEST_F(CodecTest, HigherQualityGivesLargerFrames) {
  BITMAPINFOHEADER in = RgbHeader(320, 240, 24);
  std::vector<uint8_t> frame = CameraFrame(in, 3);
  size_t last = 0;
  for (DWORD q : {0u, 2500u, 5000u, 7500u, 10000u}) {
    std::vector<uint8_t> jpeg;
    BITMAPINFOHEADER out{};
    DWORD flags = 0;
    ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), q, &jpeg, &out, &flags));
    EXPECT_GT(jpeg.size(), last) << "quality " << q;
    last = jpeg.size();
  }
}

TEST_F(CodecTest, QualityOfTheStateServesFramesAskingForTheDefault) {
  BITMAPINFOHEADER in = RgbHeader(320, 240, 24);
  std::vector<uint8_t> frame = CameraFrame(in, 3), low, byDefault;
  BITMAPINFOHEADER out{};
  DWORD flags = 0;
  ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), 1000, &low, &out, &flags));
  DWORD state[2] = {kMjpg, 1000};
  ICSetState(hic_, state, sizeof state);
  ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), ICQUALITY_DEFAULT, &byDefault, &out, &flags));
  EXPECT_EQ(low, byDefault);
}

// The Configure dialog sets the quality of frames that ask for the default,
// and only a JPEG quality of 1 to 100 closes it; Cancel changes nothing.
TEST_F(CodecTest, ConfigureDialogSetsTheDefaultQuality) {
  ASSERT_TRUE(ICQueryConfigure(hic_));
  struct Case {
    std::vector<const char*> typed;  // each typed and confirmed in turn; the last closes it
    int button;
    DWORD quality;
  } cases[] = {{{"37"}, IDOK, 3700}, {{"0", "101", "", "100"}, IDOK, 10000}, {{"5"}, IDCANCEL, 10000}};
  for (const Case& c : cases) {
    size_t answered = 0;
    DialogWatcher watcher;
    watcher.SetAction([&](HWND d, const SeenDialog&) {
      for (const char* text : c.typed) {
        SetDlgItemTextA(d, 1001, text);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), 0);
        ++answered;
        if (!IsWindow(d)) break;
      }
    });
    const LRESULT r = ICConfigure(hic_, GetDesktopWindow());
    EXPECT_EQ(c.button == IDOK ? ICERR_OK : ICERR_ABORT, r) << c.typed[0];
    EXPECT_EQ(c.typed.size(), answered) << "closed before its last answer: " << c.typed[0];
    DWORD state[2] = {};
    ICGetState(hic_, state, sizeof state);
    EXPECT_EQ(c.quality, state[1]) << c.typed[0];
  }
}
