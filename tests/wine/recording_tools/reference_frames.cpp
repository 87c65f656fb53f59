// Writes the frames the synthetic camera makes for a recording, as raw
// top-down BGR24 (what ffmpeg decodes an uncompressed AVI to), so that a
// script can compare decoded frame n with frame n as made.
// Usage: reference_frames WIDTH HEIGHT MICROSEC_PER_FRAME COUNT OUT
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/image/frame_synth.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: reference_frames WIDTH HEIGHT MICROSEC_PER_FRAME COUNT OUT\n");
    return 2;
  }
  capcore::FrameFormat f;
  f.width = std::atoi(argv[1]);
  f.height = std::atoi(argv[2]);
  f.bitCount = 24;
  unsigned long long period = std::strtoull(argv[3], nullptr, 10);
  long count = std::atol(argv[4]);
  size_t stride = capcore::FrameStride(f);
  std::vector<uint8_t> frame(capcore::FrameBytes(f));
  if (frame.empty() || count <= 0) return 2;
  std::FILE* out = std::fopen(argv[5], "wb");
  if (!out) return 1;
  capcore::SourceSettings source;
  for (long n = 0; n < count; ++n) {
    uint32_t ms = static_cast<uint32_t>(static_cast<unsigned long long>(n) * period / 1000);
    if (!capcore::RenderFrame(f, source, static_cast<uint32_t>(n), ms, frame.data(), frame.size())) return 1;
    for (int y = f.height - 1; y >= 0; --y) std::fwrite(frame.data() + stride * y, 1, static_cast<size_t>(f.width) * 3, out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
