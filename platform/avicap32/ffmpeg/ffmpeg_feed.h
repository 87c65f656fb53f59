// One camera stream from ffmpeg. Starting it has the launcher run ffmpeg's
// shell script with the raw-video stream sent to a loopback listener,
// accepts the one connection and requires a whole first frame of the exact
// size within the start-up time (counted from the start, for the whole
// frame). A thread of its own then receives the frames, each whole within
// the stall time, into the newest-frame buffer, which the preview and the
// recording take from (each remembers the last frame number it took).
// Stopping closes the connection (ffmpeg ends at its next write), creates
// the stop file (its watchdog ends ffmpeg's process group) and waits for
// ffmpeg to be gone.
//
// Shared (std::shared_ptr) by the capture window and a recording, which may
// outlive the window; all members are safe from any thread.
#ifndef MORVA_AVICAP32_FFMPEG_FFMPEG_FEED_H
#define MORVA_AVICAP32_FFMPEG_FFMPEG_FEED_H

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/knobs.h"
#include "core/ffmpeg/ffmpeg_command.h"
#include "core/image/frame_format.h"
#include "ffmpeg/shell_script.h"

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
  // The newest frame when it is newer than `*seen` (then `*seen` is its
  // number), converted into `format` (the feed's size) in `out`; waits up to
  // `waitMs` for one. Ended once the stream has stopped for good.
  Take TakeNewer(uint32_t* seen, DWORD waitMs, const capcore::FrameFormat& format, uint8_t* out,
                 size_t outSize);
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
  UINT_PTR AcceptFfmpeg(LoopbackListener* listener, DWORD ms);  // a SOCKET
  void Receive();
  void End(const std::string& text);
  bool ReadPid();
  std::string LogLine();
  static DWORD WINAPI ReceiverMain(LPVOID self);

  std::string camera_;
  int width_ = 0, height_ = 0;
  ScriptFolder folder_;
  capcore::ScriptFiles files_;
  long pid_ = 0;
  UINT_PTR connection_ = ~static_cast<UINT_PTR>(0);  // a SOCKET (INVALID_SOCKET: none)
  HANDLE receiver_ = nullptr;

  CRITICAL_SECTION lock_;
  CONDITION_VARIABLE arrived_;
  std::vector<uint8_t> newest_;   // packed bgr24, under lock_
  uint32_t newestNumber_ = 0;     // 0: none yet
  bool ended_ = false;
  bool stopping_ = false;
  bool endReported_ = false;
  std::string endText_;
  bool lockReady_ = false;
};

#endif
