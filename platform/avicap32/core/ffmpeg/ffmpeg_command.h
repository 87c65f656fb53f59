// The command lines the capture service hands to ffmpeg, kept free of
// windows.h so that they are unit-tested natively: a camera's input
// arguments split as a shell would, the raw-video stream to the service's
// loopback port, the probe runs, and the /bin/sh scripts the launcher
// (core/unix/shell_scripts.h) runs for them: the stream's pid written
// first, a watchdog that ends its process group when the service asks or
// its process is gone.
#ifndef MORVA_CAPCORE_FFMPEG_COMMAND_H
#define MORVA_CAPCORE_FFMPEG_COMMAND_H

#include <string>
#include <vector>

#include "core/unix/shell_scripts.h"

namespace capcore {

typedef std::vector<std::string> Arguments;

// Splits on blanks; "..." keeps blanks inside one argument (the quotes go,
// \" inside is a quote). False for an unclosed quote or no argument at all.
bool SplitArguments(const std::string& text, Arguments* out);

// The value after option `name` (the last one given), or "".
std::string OptionValue(const Arguments& args, const char* name);

// True for a V4L2 device (-f v4l2): the sizes it offers can be asked of it.
bool IsVideoDeviceInput(const Arguments& input);

// True when the input is read as it comes (a capture device, a network
// stream, a screen grab); otherwise (a file, a lavfi test source) ffmpeg is
// told to read it at its own frame rate (-re), or it would run flat out.
bool IsLiveInput(const Arguments& input);

// One camera stream: the input, the picture size asked for (`scale`: the
// source's own size differs, so ffmpeg scales), the frame rate, and the
// service's loopback port. The output is raw bgr24 frames, top-down rows.
struct StreamRequest {
  Arguments input;
  int width = 640;
  int height = 480;
  bool scale = false;
  int fps = 30;
  int port = 0;
};
Arguments StreamArguments(const StreamRequest& r);

// Reads one frame of the input and discards it: ffmpeg's log then names the
// input's own picture size (ParseSourceSize).
Arguments SizeProbeArguments(const Arguments& input);
// Lists the picture sizes a V4L2 device offers (ParseDeviceSizes).
Arguments DeviceSizesArguments(const std::string& device);

// The streaming script, run by the launcher: writes its pid (ffmpeg's, and
// its process group's id), starts a watchdog that ends that whole group
// once the stop file appears, the pid file is gone (the service removed its
// folder), ffmpeg has ended, or process `ownerPid` (the service's own
// process; 0: none) has ended (then it removes the folder first), and
// becomes ffmpeg (exec) with `args`.
std::string StreamScript(const std::string& ffmpeg, const Arguments& args, const ScriptFiles& files,
                         long ownerPid);

// The probe script, run by the launcher: runs ffmpeg with `args` for at
// most `seconds`, its messages into the log file under a temporary name,
// renamed to the log file's name once ffmpeg has ended (the service waits
// for that name), then ends what ffmpeg left in its process group.
std::string ProbeScript(const std::string& ffmpeg, const Arguments& args, const ScriptFiles& files,
                        int seconds);

}  // namespace capcore

#endif
