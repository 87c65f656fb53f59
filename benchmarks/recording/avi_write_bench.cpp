// Writes raw frames into an AVI file with the recording's writer and prints
// its throughput. Usage:
//   avi_write_bench OUT.avi WIDTH HEIGHT FRAMES [--fps N] [--audio] [--drop-every N] [--raw IN]
// --raw takes the frames from a file of raw bottom-up BGR frames (the same
// bytes ffmpeg is given in the comparison); else one frame buffer is reused.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/camera/audio_pcm.h"
#include "core/camera/audio_tone.h"
#include "core/riff/avi_writer.h"
#include "core/riff/riff_output.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s OUT.avi WIDTH HEIGHT FRAMES [--fps N] [--audio] [--drop-every N] [--raw IN]\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  long frames = std::atol(argv[4]);
  int fps = 30, dropEvery = 0;
  bool audioOn = false;
  const char* raw = nullptr;
  for (int i = 5; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--fps") && i + 1 < argc) fps = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--audio")) audioOn = true;
    else if (!std::strcmp(argv[i], "--drop-every") && i + 1 < argc) dropEvery = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--raw") && i + 1 < argc) raw = argv[++i];
  }
  if (width <= 0 || height <= 0 || frames <= 0 || fps <= 0) return 2;
  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  size_t frameBytes = stride * static_cast<size_t>(height);

  avi::Options o;
  o.microSecPerFrame = static_cast<uint32_t>(1000000 / fps);
  o.video.width = width;
  o.video.height = height;
  o.video.sizeImage = static_cast<uint32_t>(frameBytes);
  audio::PcmFormat pcm = audio::DefaultFormat();
  o.hasAudio = audioOn;
  audio::ToneSource tone(pcm, o.microSecPerFrame);

  riff::StdioOutput out;
  if (!out.Open(path)) {
    std::perror(path);
    return 1;
  }
  std::FILE* in = raw ? std::fopen(raw, "rb") : nullptr;
  if (raw && !in) {
    std::perror(raw);
    return 1;
  }
  std::vector<uint8_t> frame(frameBytes), samples;
  auto t0 = std::chrono::steady_clock::now();
  avi::Writer w(&out);
  bool ok = w.Begin(o);
  for (long n = 0; ok && n < frames; ++n) {
    if (in && std::fread(frame.data(), 1, frameBytes, in) != frameBytes) break;
    if (!in) std::memset(frame.data(), static_cast<int>(n & 0xFF), 64);
    if (dropEvery > 0 && n % dropEvery == dropEvery - 1) ok = w.AddDroppedFrame();
    else ok = w.AddVideoFrame(frame.data(), static_cast<uint32_t>(frameBytes), true);
    if (ok && audioOn) {
      tone.RenderFrame(static_cast<uint64_t>(n), samples);
      ok = w.AddAudio(samples.data(), static_cast<uint32_t>(samples.size()));
    }
    if (ok && n % fps == 0) ok = w.Refresh();
  }
  ok = w.Finish() && ok;
  ok = out.Close() && ok;
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (in) std::fclose(in);
  double mb = static_cast<double>(w.size()) / 1e6;
  std::printf("frames %u dropped %u bytes %llu seconds %.3f MB/s %.1f\n", w.frames(), w.droppedFrames(),
              static_cast<unsigned long long>(w.size()), s, s > 0 ? mb / s : 0.0);
  return ok ? 0 : 1;
}
