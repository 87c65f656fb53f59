// The codec tests' helpers: frames, the manager's compress and decompress
// sequences, PSNR.
#include "codec_fixture.h"

#include <cmath>
#include <cstring>

#include "core/image/dib_layout.h"
#include "core/image/frame_synth.h"

namespace {

size_t Stride(const BITMAPINFOHEADER& h) { return (static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4; }
size_t Rows(const BITMAPINFOHEADER& h) { return static_cast<size_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight); }

}  // namespace

BITMAPINFOHEADER RgbHeader(LONG width, LONG height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(Stride(h) * Rows(h));
  return h;
}

std::vector<uint8_t> CameraFrame(const BITMAPINFOHEADER& h, uint32_t n) {
  capcore::FrameFormat f{h.biWidth, static_cast<int>(Rows(h)), h.biBitCount};
  std::vector<uint8_t> bits(Stride(h) * Rows(h));
  EXPECT_TRUE(capcore::RenderFrame(f, capcore::SourceSettings{}, n, n * 40, bits.data(), bits.size()));
  if (h.biHeight < 0) {  // the same picture with its rows from the top
    std::vector<uint8_t> flipped(bits.size());
    for (size_t y = 0; y < Rows(h); ++y)
      std::memcpy(&flipped[y * Stride(h)], &bits[(Rows(h) - 1 - y) * Stride(h)], Stride(h));
    bits.swap(flipped);
  }
  return bits;
}

std::vector<uint8_t> AsPacked24(const BITMAPINFOHEADER& h, const std::vector<uint8_t>& bits) {
  const size_t row = static_cast<size_t>(h.biWidth) * 3;
  std::vector<uint8_t> out(row * Rows(h));
  const int bytes = h.biBitCount / 8;
  for (size_t y = 0; y < Rows(h); ++y) {
    const uint8_t* src = &bits[(h.biHeight < 0 ? Rows(h) - 1 - y : y) * Stride(h)];
    uint8_t* dst = &out[y * row];
    if (bytes == 2) {
      capcore::Rgb555ToBgr24(src, h.biWidth, dst);
      continue;
    }
    for (LONG x = 0; x < h.biWidth; ++x) std::memcpy(dst + 3 * x, src + bytes * x, 3);
  }
  return out;
}

namespace {

// JPEG's full-range BT.601 YCbCr of one B, G, R pixel.
void ToYcc(const uint8_t* p, double* ycc) {
  const double b = p[0], g = p[1], r = p[2];
  ycc[0] = 0.299 * r + 0.587 * g + 0.114 * b;
  ycc[1] = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b;
  ycc[2] = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b;
}

}  // namespace

double Yuv420Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width, int height) {
  if (a.size() != b.size() || a.size() != static_cast<size_t>(width) * height * 3) return 0;
  double lumaSum = 0, chromaSum = 0;
  for (int y = 0; y < height; y += 2) {
    for (int x = 0; x < width; x += 2) {
      double ca[2] = {}, cb[2] = {};
      int n = 0;
      for (int dy = 0; dy < 2 && y + dy < height; ++dy) {
        for (int dx = 0; dx < 2 && x + dx < width; ++dx, ++n) {
          const size_t at = (static_cast<size_t>(y + dy) * width + (x + dx)) * 3;
          double ya[3], yb[3];
          ToYcc(&a[at], ya);
          ToYcc(&b[at], yb);
          lumaSum += (ya[0] - yb[0]) * (ya[0] - yb[0]);
          for (int c = 0; c < 2; ++c) ca[c] += ya[c + 1], cb[c] += yb[c + 1];
        }
      }
      for (int c = 0; c < 2; ++c) chromaSum += (ca[c] - cb[c]) / n * (ca[c] - cb[c]) / n;
    }
  }
  const double lumaCount = static_cast<double>(width) * height;
  const double chromaCount = 2.0 * ((width + 1) / 2) * ((height + 1) / 2);
  const double mse = (lumaSum + chromaSum) / (lumaCount + chromaCount);
  return mse == 0 ? 100 : 10 * std::log10(255.0 * 255.0 / mse);
}

void CodecTest::SetUp() {
  hic_ = ICOpen(ICTYPE_VIDEO, kMjpg, ICMODE_COMPRESS | ICMODE_DECOMPRESS);
  ASSERT_NE(nullptr, hic_) << "morvamjpg.dll is not installed as vidc.MJPG in this prefix";
}

void CodecTest::TearDown() {
  if (hic_) ICClose(hic_);
}

LRESULT CodecTest::CompressFrame(const BITMAPINFOHEADER& in, const void* bits, DWORD quality,
                                 std::vector<uint8_t>* jpeg, BITMAPINFOHEADER* out, DWORD* flags) {
  BITMAPINFO bi{};
  bi.bmiHeader = in;
  BITMAPINFO bo{};
  LRESULT r = ICCompressGetFormat(hic_, &bi, &bo);
  if (r != ICERR_OK) return r;
  const DWORD bound = ICCompressGetSize(hic_, &bi, &bo);
  if (bound == 0) return ICERR_BADSIZE;
  if ((r = ICCompressBegin(hic_, &bi, &bo)) != ICERR_OK) return r;
  jpeg->assign(bound, 0);
  DWORD ckid = 0;
  *flags = 0;
  r = IcmResult(ICCompress(hic_, 0, &bo.bmiHeader, jpeg->data(), const_cast<BITMAPINFOHEADER*>(&in),
                         const_cast<void*>(bits), &ckid, flags, 0, 0, quality, nullptr, nullptr));
  ICCompressEnd(hic_);
  if (r == ICERR_OK) jpeg->resize(bo.bmiHeader.biSizeImage);
  *out = bo.bmiHeader;
  return r;
}

LRESULT CodecTest::DecompressFrame(const BITMAPINFOHEADER& in, const std::vector<uint8_t>& jpeg,
                                   const BITMAPINFOHEADER& out, std::vector<uint8_t>* bits) {
  BITMAPINFOHEADER i = in, o = out;
  i.biSizeImage = static_cast<DWORD>(jpeg.size());
  bits->assign(o.biSizeImage, 0);
  LRESULT r = ICDecompressBegin(hic_, &i, &o);
  if (r != ICERR_OK) return r;
  r = IcmResult(ICDecompress(hic_, 0, &i, const_cast<uint8_t*>(jpeg.data()), &o, bits->data()));
  ICDecompressEnd(hic_);
  return r;
}
