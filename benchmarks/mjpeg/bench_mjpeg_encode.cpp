// Encodes a raw stream (top-down 24-bit B, G, R frames, as ffmpeg's bgr24)
// through the installed Motion JPEG codec (ICOpen, ICCompress) and prints the
// time per frame; the JPEGs go one after another into OUT, a stream that
// ffmpeg reads (-f mjpeg) for their PSNR. Run under Wine by
// scripts/benchmarks.sh. Usage: bench_mjpeg_encode RAW WIDTH HEIGHT OUT [QUALITY]
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const LONG width = std::atol(argv[2]), height = std::atol(argv[3]);
  const DWORD quality = argc > 5 ? static_cast<DWORD>(std::atol(argv[5])) : static_cast<DWORD>(ICQUALITY_DEFAULT);
  if (width <= 0 || height <= 0 || width * 3 % 4 != 0) return 2;  // rows without padding
  HIC hic = ICOpen(ICTYPE_VIDEO, mmioFOURCC('M', 'J', 'P', 'G'), ICMODE_COMPRESS);
  std::FILE* in = std::fopen(argv[1], "rb");
  std::FILE* out = std::fopen(argv[4], "wb");
  if (!hic || !in || !out) {
    std::fprintf(stderr, "no codec, input or output\n");
    return 1;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // the stream's rows run from the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biSizeImage = static_cast<DWORD>(width * 3 * height);
  BITMAPINFO bo{};
  if (ICCompressGetFormat(hic, &bi, &bo) != ICERR_OK || ICCompressBegin(hic, &bi, &bo) != ICERR_OK) return 1;
  std::vector<unsigned char> frame(bi.bmiHeader.biSizeImage), jpeg(ICCompressGetSize(hic, &bi, &bo));
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  double seconds = 0;
  unsigned long frames = 0, bytes = 0;
  while (std::fread(frame.data(), 1, frame.size(), in) == frame.size()) {
    DWORD flags = 0, ckid = 0;
    QueryPerformanceCounter(&t0);
    DWORD r = ICCompress(hic, 0, &bo.bmiHeader, jpeg.data(), &bi.bmiHeader, frame.data(), &ckid, &flags,
                         static_cast<LONG>(frames), 0, quality, nullptr, nullptr);
    QueryPerformanceCounter(&t1);
    if (r != ICERR_OK) return 1;
    seconds += static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    std::fwrite(jpeg.data(), 1, bo.bmiHeader.biSizeImage, out);
    bytes += bo.bmiHeader.biSizeImage;
    ++frames;
  }
  ICCompressEnd(hic);
  ICClose(hic);
  std::fclose(in);
  if (std::fclose(out) != 0 || frames == 0) return 1;
  std::printf("%ldx%ld: %lu frames, %.3f ms per frame, %lu bytes per frame\n", width, height, frames,
              1000.0 * seconds / frames, bytes / frames);
  return 0;
}
