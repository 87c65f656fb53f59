// Frame synthesis speed: 640 x 480 frames of the moving test pattern with
// the stamp, in each depth, rendered into one reused buffer.
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/image/frame_synth.h"

int main() {
  for (int bits : {24, 32, 16}) {
    capcore::FrameFormat f{640, 480, bits};
    capcore::SourceSettings s;
    std::vector<uint8_t> buf(capcore::FrameBytes(f));
    const int frames = 3000;
    unsigned sum = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
      capcore::RenderFrame(f, s, static_cast<uint32_t>(i), static_cast<uint32_t>(i * 33),
                           buf.data(), buf.size());
      sum += buf[static_cast<size_t>(i) % buf.size()];
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frame synthesis 640x480 %d-bit: %.0f frames/s (%.3f ms/frame) [%u]\n", bits,
                frames / secs, secs * 1000.0 / frames, sum & 1u);
  }
  return 0;
}
