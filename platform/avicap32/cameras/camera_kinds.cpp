// The list of camera kinds: the one place that tells them apart, by the
// driver's entry in the camera list. A new kind is one line here.
#include "cameras/camera.h"

#include "cameras/ffmpeg/ffmpeg_camera.h"
#include "cameras/synthetic/synthetic_camera.h"

std::shared_ptr<Camera> MakeCamera(const capcore::DriverConfig& d) {
  if (d.IsFfmpeg()) return MakeFfmpegCamera();  // the file's Input key, or a machine's camera
  return MakeSyntheticCamera();
}
