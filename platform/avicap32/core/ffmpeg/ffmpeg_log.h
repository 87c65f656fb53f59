// What the capture service reads from ffmpeg's messages (its log file):
// the input's own picture size, the sizes a V4L2 device offers, and the line
// that says why ffmpeg stopped, for the error report.
#ifndef MORVA_CAPCORE_FFMPEG_LOG_H
#define MORVA_CAPCORE_FFMPEG_LOG_H

#include <string>
#include <vector>

#include "core/camera/camera_config.h"

namespace capcore {

// The size of the first video stream of "Input #0" ("Stream #0:0: Video:
// rawvideo ..., 640x480 [SAR 1:1 DAR 4:3], 30 fps"). False when none.
bool ParseSourceSize(const std::string& log, PictureSize* out);

// The sizes of "-list_formats all" ("... Raw : yuyv422 : YUYV 4:2:2 :
// 640x480 320x240"), raw and compressed formats together, each once, in the
// order listed; ranges ("{16-4096, 2}x...") are skipped.
std::vector<PictureSize> ParseDeviceSizes(const std::string& log);

// The last line of the log that says something, without the "[v4l2 @
// 0x...]" prefix, cut to `maxChars`; "" for an empty log.
std::string LastLogLine(const std::string& log, size_t maxChars);

}  // namespace capcore

#endif
