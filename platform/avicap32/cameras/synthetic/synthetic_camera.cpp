// The synthetic cameras (see synthetic_camera.h).
#include "cameras/synthetic/synthetic_camera.h"

namespace {

CameraTake Render(const FrameOut& out, const capcore::SourceSettings& source, uint32_t number, uint32_t timeMs) {
  bool made = capcore::RenderFrame(out.format, source, number, timeMs, out.data, out.size);
  return made ? CameraTake::Frame : CameraTake::NoFrame;
}

// A recording's frames: made with the adjustments as they were when it
// started, each frame numbered by its slot and stamped with its time.
class SyntheticFrames : public CameraFrames {
 public:
  explicit SyntheticFrames(const capcore::SourceSettings& source) : source_(source) {}
  bool OwnClock() const override { return false; }
  CameraTake Next(uint64_t slot, uint64_t dueMicros, uint64_t, const FrameOut& out, uint64_t* stamp) override {
    *stamp = dueMicros;
    return Render(out, source_, static_cast<uint32_t>(slot), static_cast<uint32_t>(dueMicros / 1000));
  }
  bool ClaimEndReport(std::string*) override { return false; }  // it never ends

 private:
  capcore::SourceSettings source_;
};

class SyntheticCamera : public Camera {
 public:
  bool Prepare(capcore::DriverConfig*, std::string*) override { return true; }  // the file's sizes and dialogs
  bool Open(const capcore::FrameFormat&, std::string*) override { return true; }
  bool ChangeFormat(const capcore::FrameFormat&, const capcore::FrameFormat&, std::string*) override { return true; }
  CameraTake TakeForWindow(const WindowFrameRequest& request, const FrameOut& out) override {
    return Render(out, request.source, request.number, request.timeMs);
  }
  std::shared_ptr<CameraFrames> ForRecording(const capcore::FrameFormat&,
                                             const capcore::SourceSettings& source, uint64_t) override {
    return std::make_shared<SyntheticFrames>(source);
  }
  bool ClaimEndReport(std::string*) override { return false; }
  void Close() override {}
};

}  // namespace

std::shared_ptr<Camera> MakeSyntheticCamera() { return std::make_shared<SyntheticCamera>(); }
