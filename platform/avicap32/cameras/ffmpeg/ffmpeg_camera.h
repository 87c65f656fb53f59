// cameras/ffmpeg/: the cameras read through ffmpeg under Wine: the Linux
// host through drive Z: (unix_host), the /bin/sh scripts that start ffmpeg
// (shell_script), the loopback connection (loopback), one stream and its
// receiving thread (ffmpeg_feed), and the camera itself (here). At Prepare
// its sizes are found (the source's own size, or the sizes a V4L2 device
// offers); Open starts the stream at the chosen size, a new size restarts
// it; the window takes the newest frame, a recording each frame in turn
// (the stream runs on ffmpeg's clock at 30 frames/s). The stream's end is
// reported once, by whoever sees it first.
#ifndef MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_CAMERA_H
#define MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_CAMERA_H

#include <memory>

#include "cameras/camera.h"

std::shared_ptr<Camera> MakeFfmpegCamera();

#endif
