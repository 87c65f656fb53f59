// cameras/: the kinds of camera the service reads, behind one interface.
// The capture window and the recording talk only to Camera and
// CameraFrames; each kind implements them in a folder of its own
// (synthetic/: frames made by the core's frame synthesis; ffmpeg/: a camera
// read through ffmpeg under Wine), and MakeCamera (camera_kinds.cpp, one
// line a kind) picks the kind for a driver of the camera list. Nothing here knows the
// window: failures come back as texts, which the caller reports.
#ifndef MORVA_AVICAP32_CAMERAS_CAMERA_H
#define MORVA_AVICAP32_CAMERAS_CAMERA_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/camera/camera_config.h"
#include "core/image/frame_format.h"
#include "core/image/frame_synth.h"

enum class CameraTake { Frame, NoFrame, Ended };

// Where a frame goes: `size` bytes at `data` in `format`.
struct FrameOut {
  capcore::FrameFormat format;
  uint8_t* data = nullptr;
  size_t size = 0;
};

// What a recording takes its frames from. Made on the window's thread,
// then used by the recording alone (on its worker, perhaps past the window).
class CameraFrames {
 public:
  virtual ~CameraFrames() = default;
  // True when the camera sends frames on its own clock at the recording's
  // rate: then each frame it sends is recorded once, and the recording's
  // slots follow them (core/camera/frame_slots.h).
  virtual bool OwnClock() const = 0;
  // Without its own clock: the frame of slot `slot`, due at `dueMicros`,
  // made at once. With it: the next frame the camera sent (at the first
  // call, its newest), waiting up to `waitMicros`; `*stamp` is when it came,
  // or the time when none has, on the camera's clock in microseconds.
  virtual CameraTake Next(uint64_t slot, uint64_t dueMicros, uint64_t waitMicros, const FrameOut& out,
                          uint64_t* stamp) = 0;
  // After Ended: true for whoever reports the end first, with its text.
  virtual bool ClaimEndReport(std::string* text) = 0;
};

// What the window asks a frame for: its number and time since connection,
// the source adjustments, and how long it may wait (a one-off request).
struct WindowFrameRequest {
  uint32_t number = 0;
  uint32_t timeMs = 0;
  capcore::SourceSettings source;
  uint32_t waitMs = 0;
};

class Camera {
 public:
  virtual ~Camera() = default;
  // Before connection: false when it cannot be connected (`*error` says
  // why; empty: nothing to report). Completes the sizes the camera offers
  // and its dialogs in `d`.
  virtual bool Prepare(capcore::DriverConfig* d, std::string* error) = 0;
  // Starts the camera at `format`.
  virtual bool Open(const capcore::FrameFormat& format, std::string* error) = 0;
  // From one format to another; on failure the old one stays in force.
  virtual bool ChangeFormat(const capcore::FrameFormat& from, const capcore::FrameFormat& to,
                            std::string* error) = 0;
  // The newest frame for the window, when there is one it has not shown.
  virtual CameraTake TakeForWindow(const WindowFrameRequest& request, const FrameOut& out) = 0;
  // The frames of one recording at `format`, one every `periodMicros`.
  virtual std::shared_ptr<CameraFrames> ForRecording(const capcore::FrameFormat& format,
                                                     const capcore::SourceSettings& source,
                                                     uint64_t periodMicros) = 0;
  // After TakeForWindow said Ended: true once, with the text to report.
  virtual bool ClaimEndReport(std::string* text) = 0;
  // Stops it; a recording holding its frames keeps them until it ends.
  virtual void Close() = 0;
};

// The camera for driver `d` of the camera list (camera_kinds.cpp).
std::shared_ptr<Camera> MakeCamera(const capcore::DriverConfig& d);

#endif
