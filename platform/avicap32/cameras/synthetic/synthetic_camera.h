// cameras/synthetic/: the synthetic cameras, whose frames the core's frame
// synthesis makes on demand (core/image/frame_synth): a moving pattern with
// the source adjustments, made for each frame number at its time. They
// have no clock of their own: a recording asks for each frame when it is
// due.
#ifndef MORVA_AVICAP32_CAMERAS_SYNTHETIC_SYNTHETIC_CAMERA_H
#define MORVA_AVICAP32_CAMERAS_SYNTHETIC_SYNTHETIC_CAMERA_H

#include <memory>

#include "cameras/camera.h"

std::shared_ptr<Camera> MakeSyntheticCamera();

#endif
