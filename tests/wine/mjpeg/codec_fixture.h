// Shared by the codec tests: the codec opened through ICOpen, frames of the
// synthetic camera in any layout, one frame compressed and decompressed
// through the manager's calls, and the PSNR of two 24-bit pictures.
#ifndef MORVA_TESTS_MJPEG_CODEC_FIXTURE_H
#define MORVA_TESTS_MJPEG_CODEC_FIXTURE_H

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

const DWORD kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

// An uncompressed frame header; negative height for top-down rows.
BITMAPINFOHEADER RgbHeader(LONG width, LONG height, WORD bits);
// The camera's frame `n` in the layout of `h` (16, 24 or 32 bits, either row order).
std::vector<uint8_t> CameraFrame(const BITMAPINFOHEADER& h, uint32_t n);
// Any such frame as top-down 24-bit rows without padding (5-5-5 widened as
// the codec does).
std::vector<uint8_t> AsPacked24(const BITMAPINFOHEADER& h, const std::vector<uint8_t>& bits);
// Peak signal-to-noise ratio in dB of two such pictures as ffmpeg's psnr
// filter gives it for a JPEG: over the Y plane and the Cb and Cr planes
// halved both ways (JPEG's full-range BT.601), weighted by their samples.
// The RGB pictures themselves differ more where sharp colour edges meet the
// halved colour planes, which 4:2:0 gives up by design.
double Yuv420Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int width, int height);

// ICCompress and ICDecompress answer a DWORD, the ICERR_ codes (negative
// longs) in its 32 bits: as the LRESULT the other ICM calls answer, in
// either build.
inline LRESULT IcmResult(DWORD r) { return static_cast<LONG>(r); }

class CodecTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Compresses `bits`; ICERR_OK and the JPEG with its header and flags, or the error.
  LRESULT CompressFrame(const BITMAPINFOHEADER& in, const void* bits, DWORD quality, std::vector<uint8_t>* jpeg,
                        BITMAPINFOHEADER* out, DWORD* flags);
  // Decompresses into a frame of header `out`.
  LRESULT DecompressFrame(const BITMAPINFOHEADER& in, const std::vector<uint8_t>& jpeg, const BITMAPINFOHEADER& out,
                          std::vector<uint8_t>* bits);

  HIC hic_ = nullptr;
};

#endif
