// The cameras read through ffmpeg (see ffmpeg_camera.h).
#include "cameras/ffmpeg/ffmpeg_camera.h"

#include <windows.h>

#include <string>

#include "cameras/ffmpeg/ffmpeg_feed.h"
#include "cameras/ffmpeg/ffmpeg_source.h"

namespace {

// A recording within this share of the stream's rate is paced by it.
const uint64_t kSameRatePercent = 5;

// Whether a recording one frame every `periodMicros` runs at the stream's rate.
bool AtStreamRate(const FfmpegFeed& feed, uint64_t periodMicros) {
  if (feed.fps() <= 0) return false;
  uint64_t own = 1000000 / static_cast<uint64_t>(feed.fps());
  uint64_t apart = periodMicros > own ? periodMicros - own : own - periodMicros;
  return apart * 100 <= own * kSameRatePercent;
}

CameraTake TakeOf(FfmpegFeed::Take t) {
  if (t == FfmpegFeed::Take::Frame) return CameraTake::Frame;
  return t == FfmpegFeed::Take::Ended ? CameraTake::Ended : CameraTake::NoFrame;
}

// The stream's end, for whoever claims it first (the window or a recording).
bool ClaimEnd(FfmpegFeed* feed, std::string* text) {
  if (feed == nullptr) {
    *text = "the camera is not running. Connect to it again.";  // after "Recording stopped: "
    return true;
  }
  if (!feed->ClaimEndReport()) return false;
  *text = feed->EndText();
  return true;
}

// A recording's frames: each in turn at the stream's rate (the stream's
// clock paces the recording), else the newest one within half a period.
class FfmpegFrames : public CameraFrames {
 public:
  FfmpegFrames(std::shared_ptr<FfmpegFeed> feed, uint64_t periodMicros)
      : feed_(std::move(feed)), ownClock_(feed_ && AtStreamRate(*feed_, periodMicros)) {}
  bool OwnClock() const override { return ownClock_; }
  CameraTake Next(uint64_t, uint64_t, uint64_t waitMicros, const FrameOut& out, uint64_t* stamp) override {
    if (!feed_) return CameraTake::Ended;
    FfmpegFeed::Order order = ownClock_ ? FfmpegFeed::Order::Next : FfmpegFeed::Order::Newest;
    return TakeOf(feed_->TakeFrame(&seen_, order, static_cast<DWORD>(waitMicros / 1000), out.format, out.data,
                                   out.size, stamp));
  }
  bool ClaimEndReport(std::string* text) override { return ClaimEnd(feed_.get(), text); }

 private:
  std::shared_ptr<FfmpegFeed> feed_;  // held until the recording ends, even past the window
  bool ownClock_;
  uint32_t seen_ = 0;                 // the last frame number taken
};

class FfmpegCamera : public Camera {
 public:
  bool Prepare(capcore::DriverConfig* d, std::string* error) override { return FindFfmpegSource(d, &source_, error); }
  bool Open(const capcore::FrameFormat& format, std::string* error) override {
    return Start(format.width, format.height, error);
  }
  bool ChangeFormat(const capcore::FrameFormat& from, const capcore::FrameFormat& to, std::string* error) override;
  CameraTake TakeForWindow(const WindowFrameRequest& request, const FrameOut& out) override {
    if (!feed_) return CameraTake::NoFrame;
    uint64_t stamp = 0;
    return TakeOf(feed_->TakeFrame(&shown_, FfmpegFeed::Order::Newest, request.waitMs, out.format, out.data,
                                   out.size, &stamp));
  }
  std::shared_ptr<CameraFrames> ForRecording(const capcore::FrameFormat&, const capcore::SourceSettings&,
                                             uint64_t periodMicros) override {
    return std::make_shared<FfmpegFrames>(feed_, periodMicros);
  }
  bool ClaimEndReport(std::string* text) override { return feed_ && ClaimEnd(feed_.get(), text); }
  void Close() override {
    if (feed_) feed_->Stop();
  }

 private:
  bool Start(int width, int height, std::string* error);

  FfmpegSource source_;
  std::shared_ptr<FfmpegFeed> feed_;
  uint32_t shown_ = 0;  // the last frame number the window took
};

// Starts the stream at a size; false with the reason in `error`.
bool FfmpegCamera::Start(int width, int height, std::string* error) {
  FfmpegFeed::Setup setup;
  setup.camera = source_.label;
  setup.stream = StreamAt(source_, width, height);
  setup.knobs = source_.knobs;
  feed_ = FfmpegFeed::Start(setup, error);
  shown_ = 0;
  return feed_ != nullptr;
}

// The stream restarts at the new size, at the old one again when that fails.
bool FfmpegCamera::ChangeFormat(const capcore::FrameFormat& from, const capcore::FrameFormat& to,
                                std::string* error) {
  if (feed_ && feed_->width() == to.width && feed_->height() == to.height) return true;
  if (feed_) feed_->Stop();  // a device serves one stream at a time
  feed_.reset();
  std::string again;
  if (Start(to.width, to.height, error)) return true;
  if (!Start(from.width, from.height, &again)) *error += " " + again;
  return false;
}

}  // namespace

std::shared_ptr<Camera> MakeFfmpegCamera() { return std::make_shared<FfmpegCamera>(); }
