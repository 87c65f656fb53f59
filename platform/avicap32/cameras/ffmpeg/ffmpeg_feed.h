// One camera stream from ffmpeg. Starting it has the launcher run ffmpeg's
// shell script with the raw-video stream sent to a loopback listener,
// accepts the one connection and requires a whole first frame of the exact
// size within the start-up time (counted from the start, for the whole
// frame). A thread of its own then receives the frames, each whole within
// the stall time, into a ring of the last few, each stamped with its
// arrival; the preview takes the newest, a recording each in turn (each
// remembers the last frame number it took). Stopping closes the connection
// (ffmpeg ends at its next write), creates the stop file (its watchdog ends
// ffmpeg's process group) and waits for ffmpeg to be gone.
//
// Shared (std::shared_ptr) by the capture window and a recording, which may
// outlive the window; all members are safe from any thread.
#ifndef MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_FEED_H
#define MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_FEED_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/knobs.h"
#include "core/ffmpeg/ffmpeg_command.h"
#include "core/image/frame_format.h"
#include "unix/shell_script.h"

class LoopbackListener;

class FfmpegFeed {
 public:
  struct Setup {
    std::string camera;             // names the camera in reports: "\"Name\" (/dev/video0)"
    capcore::StreamRequest stream;  // the port is filled in by Start
    ServiceKnobs knobs;             // the ffmpeg program and the temporary folder
  };
  // Started and its first frame received, or null with the reason in `error`.
  static std::shared_ptr<FfmpegFeed> Start(const Setup& setup, std::string* error);
  ~FfmpegFeed();

  enum class Take { Frame, NoNewFrame, Ended };
  // Newest: the newest frame when it is newer than `*seen`. Next: the one
  // after `*seen` (the oldest still held when that one is gone; the newest
  // when `*seen` is 0). Then `*seen` is its number, it is converted into
  // `format` (the feed's size) in `out`, and `*stamp` is its arrival
  // (microseconds on the feed's clock). Waits up to `waitMs` for one; when
  // none comes, `*stamp` is the time then. Ended once the stream has
  // stopped for good.
  enum class Order { Newest, Next };
  Take TakeFrame(uint32_t* seen, Order order, DWORD waitMs, const capcore::FrameFormat& format, uint8_t* out,
                 size_t outSize, uint64_t* stamp);
  // The frame rate of the stream (on ffmpeg's clock).
  int fps() const { return fps_; }
  // Why the stream stopped, as a whole sentence with what to do.
  std::string EndText();
  // True for the first caller only: the end is reported once.
  bool ClaimEndReport();
  int width() const { return width_; }
  int height() const { return height_; }
  void Stop();

 private:
  FfmpegFeed() = default;
  bool Launch(const Setup& setup, std::string* error);
  bool ReceiveFirst(size_t frameBytes, DWORD ms);
  UINT_PTR AcceptFfmpeg(LoopbackListener* listener, DWORD ms);  // a SOCKET
  void Receive();
  uint32_t Pick(uint32_t seen, Order order) const;
  void End(const std::string& text);
  bool ReadPid();
  std::string LogLine();
  static DWORD WINAPI ReceiverMain(LPVOID self);

  std::string camera_;
  int width_ = 0, height_ = 0, fps_ = 0;
  ScriptFolder folder_;
  capcore::ScriptFiles files_;
  long pid_ = 0;
  UINT_PTR connection_ = ~static_cast<UINT_PTR>(0);  // a SOCKET (INVALID_SOCKET: none)
  HANDLE receiver_ = nullptr;

  CRITICAL_SECTION lock_;
  CONDITION_VARIABLE arrived_;
  // The last kHeldFrames frames (packed bgr24), frame n at n % kHeldFrames,
  // with their arrivals; under lock_.
  enum { kHeldFrames = 4 };
  std::vector<uint8_t> held_[kHeldFrames];
  uint64_t arrivals_[kHeldFrames] = {};
  uint32_t newestNumber_ = 0;     // 0: none yet
  bool ended_ = false;
  bool stopping_ = false;
  bool endReported_ = false;
  std::string endText_;
  bool lockReady_ = false;
};

#endif
