// What the codec refuses, with its error codes and without touching the
// frame: formats it does not take and headers that lie (zero, negative or
// huge sizes, odd bit depths, a biSizeImage smaller than the rows), for
// compression and decompression, and JPEG data that is not what it claims.
#include <climits>

#include "codec_fixture.h"

namespace {

struct BadHeader {
  const char* what;
  void (*change)(BITMAPINFOHEADER*);
};

const BadHeader kBadInputs[] = {
    {"8 bits", [](BITMAPINFOHEADER* h) { h->biBitCount = 8; }},
    {"15 bits", [](BITMAPINFOHEADER* h) { h->biBitCount = 15; }},
    {"48 bits", [](BITMAPINFOHEADER* h) { h->biBitCount = 48; }},
    {"0 bits", [](BITMAPINFOHEADER* h) { h->biBitCount = 0; }},
    {"run-length coded", [](BITMAPINFOHEADER* h) { h->biCompression = BI_RLE8; }},
    {"bit fields", [](BITMAPINFOHEADER* h) { h->biCompression = BI_BITFIELDS; }},
    {"MJPG already", [](BITMAPINFOHEADER* h) { h->biCompression = kMjpg; }},
    {"zero width", [](BITMAPINFOHEADER* h) { h->biWidth = 0; }},
    {"zero height", [](BITMAPINFOHEADER* h) { h->biHeight = 0; }},
    {"negative width", [](BITMAPINFOHEADER* h) { h->biWidth = -320; }},
    {"huge width", [](BITMAPINFOHEADER* h) { h->biWidth = 100000; }},
    {"huge height", [](BITMAPINFOHEADER* h) { h->biHeight = 100000; }},
    {"largest width", [](BITMAPINFOHEADER* h) { h->biWidth = LONG_MAX; }},
    {"smallest height", [](BITMAPINFOHEADER* h) { h->biHeight = LONG_MIN; }},
    {"too large in all", [](BITMAPINFOHEADER* h) { h->biWidth = h->biHeight = 16384; h->biBitCount = 32; }},
    {"biSizeImage lies", [](BITMAPINFOHEADER* h) { h->biSizeImage = 100; }},
    {"two planes", [](BITMAPINFOHEADER* h) { h->biPlanes = 2; }},
    {"short header", [](BITMAPINFOHEADER* h) { h->biSize = 12; }},
};

}  // namespace

TEST_F(CodecTest, RefusesInputFormatsItCannotTake) {
  std::vector<uint8_t> small(64), out(64);
  for (const BadHeader& bad : kBadInputs) {
    SCOPED_TRACE(bad.what);
    BITMAPINFO bi{};
    bi.bmiHeader = RgbHeader(320, 240, 24);
    bad.change(&bi.bmiHeader);
    BITMAPINFO bo{};
    EXPECT_EQ(ICERR_BADFORMAT, ICCompressQuery(hic_, &bi, nullptr));
    EXPECT_EQ(ICERR_BADFORMAT, ICCompressGetFormat(hic_, &bi, &bo));
    EXPECT_EQ(0u, static_cast<DWORD>(ICCompressGetSize(hic_, &bi, nullptr)));
    bo.bmiHeader.biSize = sizeof bo.bmiHeader;
    bo.bmiHeader.biWidth = 320;
    bo.bmiHeader.biHeight = 240;
    bo.bmiHeader.biPlanes = 1;
    bo.bmiHeader.biCompression = kMjpg;
    DWORD flags = 0, ckid = 0;
    EXPECT_EQ(ICERR_BADFORMAT, IcmResult(ICCompress(hic_, 0, &bo.bmiHeader, out.data(), &bi.bmiHeader,
                                                               small.data(), &ckid, &flags, 0, 0, 0, nullptr, nullptr)));
  }
}

TEST_F(CodecTest, RefusesOutputsOfAnotherSizeOrFormatAndMissingBuffers) {
  BITMAPINFO bi{};
  bi.bmiHeader = RgbHeader(320, 240, 24);
  BITMAPINFO bo{};
  ASSERT_EQ(ICERR_OK, ICCompressGetFormat(hic_, &bi, &bo));
  const BITMAPINFOHEADER good = bo.bmiHeader;
  const BadHeader kBadOutputs[] = {
      {"other width", [](BITMAPINFOHEADER* h) { h->biWidth = 160; }},
      {"upside down", [](BITMAPINFOHEADER* h) { h->biHeight = -240; }},
      {"not MJPG", [](BITMAPINFOHEADER* h) { h->biCompression = BI_RGB; }},
  };
  for (const BadHeader& bad : kBadOutputs) {
    SCOPED_TRACE(bad.what);
    bo.bmiHeader = good;
    bad.change(&bo.bmiHeader);
    EXPECT_EQ(ICERR_BADFORMAT, ICCompressQuery(hic_, &bi, &bo));
  }
  ICCOMPRESS c{};  // no buffers at all
  c.lpbiInput = &bi.bmiHeader;
  c.lpbiOutput = &bo.bmiHeader;
  EXPECT_EQ(ICERR_BADPARAM, ICSendMessage(hic_, ICM_COMPRESS, reinterpret_cast<DWORD_PTR>(&c), sizeof c));
  EXPECT_EQ(ICERR_BADPARAM, ICSendMessage(hic_, ICM_COMPRESS, 0, sizeof c));
}

TEST_F(CodecTest, DecompressionRefusesBadHeaders) {
  BITMAPINFOHEADER in = RgbHeader(320, 240, 24);
  std::vector<uint8_t> frame = CameraFrame(in, 1), jpeg, bits;
  BITMAPINFOHEADER good{};
  DWORD flags = 0;
  ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), ICQUALITY_DEFAULT, &jpeg, &good, &flags));
  const BadHeader kBadJpegs[] = {
      {"other code", [](BITMAPINFOHEADER* h) { h->biCompression = mmioFOURCC('X', 'V', 'I', 'D'); }},
      {"uncompressed", [](BITMAPINFOHEADER* h) { h->biCompression = BI_RGB; }},
      {"zero width", [](BITMAPINFOHEADER* h) { h->biWidth = 0; }},
      {"negative height", [](BITMAPINFOHEADER* h) { h->biHeight = -240; }},
      {"huge", [](BITMAPINFOHEADER* h) { h->biWidth = h->biHeight = 70000; }},
      {"odd depth", [](BITMAPINFOHEADER* h) { h->biBitCount = 7; }},
  };
  for (const BadHeader& bad : kBadJpegs) {
    SCOPED_TRACE(bad.what);
    BITMAPINFO bi{};
    bi.bmiHeader = good;
    bad.change(&bi.bmiHeader);
    EXPECT_EQ(ICERR_BADFORMAT, ICDecompressQuery(hic_, &bi, nullptr));
    EXPECT_EQ(ICERR_BADFORMAT, DecompressFrame(bi.bmiHeader, jpeg, RgbHeader(320, 240, 24), &bits));
  }
  const BITMAPINFOHEADER kBadFrames[] = {RgbHeader(320, 240, 16), RgbHeader(160, 240, 24), RgbHeader(320, 120, 32)};
  for (const BITMAPINFOHEADER& out : kBadFrames) {
    BITMAPINFO bi{}, bo{};
    bi.bmiHeader = good;
    bo.bmiHeader = out;
    EXPECT_EQ(ICERR_BADFORMAT, ICDecompressQuery(hic_, &bi, &bo)) << out.biWidth << "x" << out.biHeight;
  }
  BITMAPINFO lower{};
  lower.bmiHeader = good;
  lower.bmiHeader.biCompression = mmioFOURCC('m', 'j', 'p', 'g');
  EXPECT_EQ(ICERR_OK, ICDecompressQuery(hic_, &lower, nullptr));
}

TEST_F(CodecTest, DataThatIsNoJpegOfTheSizeFailsWithoutHarm) {
  BITMAPINFOHEADER in = RgbHeader(160, 120, 24);
  std::vector<uint8_t> frame = CameraFrame(in, 1), jpeg, bits;
  BITMAPINFOHEADER header{};
  DWORD flags = 0;
  ASSERT_EQ(ICERR_OK, CompressFrame(in, frame.data(), ICQUALITY_DEFAULT, &jpeg, &header, &flags));
  BITMAPINFOHEADER claimsLarger = header;
  claimsLarger.biWidth = 320;
  claimsLarger.biHeight = 240;
  EXPECT_EQ(ICERR_ERROR, DecompressFrame(claimsLarger, jpeg, RgbHeader(320, 240, 24), &bits));
  std::vector<uint8_t> noise(4000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 131 + 7);
  EXPECT_EQ(ICERR_ERROR, DecompressFrame(header, noise, RgbHeader(160, 120, 24), &bits));
  // A frame cut short still gives a whole picture (the rest grey) or an error.
  std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
  const LRESULT r = DecompressFrame(header, cut, RgbHeader(160, 120, 24), &bits);
  EXPECT_TRUE(r == ICERR_OK || r == ICERR_ERROR) << r;
  EXPECT_NE(ICERR_OK, DecompressFrame(header, {}, RgbHeader(160, 120, 24), &bits));  // no bytes
}
