// What a camera read through ffmpeg is, found when it is prepared: its
// input, whether it is a V4L2 device, the sizes it offers (the source's own
// size, or those the device makes itself; probed once a process for each
// input), and the stream request for one of its sizes.
#ifndef MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_SOURCE_H
#define MORVA_AVICAP32_CAMERAS_FFMPEG_FFMPEG_SOURCE_H

#include <string>
#include <vector>

#include "common/knobs.h"
#include "core/camera/camera_config.h"
#include "core/ffmpeg/ffmpeg_command.h"

struct FfmpegSource {
  ServiceKnobs knobs;              // as they were at connection: the ffmpeg program, the temporary folder
  std::string label;               // "\"Name\" (source)" in reports
  capcore::Arguments input;
  bool device = false;             // a V4L2 device: sizes it offers are asked of it directly
  std::vector<capcore::PictureSize> deviceSizes;
  capcore::PictureSize own{0, 0};  // the source's own size; 0 x 0: not known
};

// Checks that ffmpeg is there, finds what driver `d` reads and completes
// its sizes; false with the reason in `error` (empty: nothing to report).
bool FindFfmpegSource(capcore::DriverConfig* d, FfmpegSource* out, std::string* error);
// The stream of `source` at a size it offers.
capcore::StreamRequest StreamAt(const FfmpegSource& source, int width, int height);

#endif
