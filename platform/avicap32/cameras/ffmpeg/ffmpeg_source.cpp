// What a camera read through ffmpeg reads and the sizes it offers (see
// ffmpeg_source.h).
#include "cameras/ffmpeg/ffmpeg_source.h"

#include <mutex>

#include "core/ffmpeg/ffmpeg_command.h"
#include "core/ffmpeg/ffmpeg_log.h"
#include "unix/shell_script.h"
#include "unix/unix_host.h"

namespace {

enum { kProbeSeconds = 8, kFps = 30, kLabelChars = 120, kLogLineChars = 200, kMaxLogBytes = 64 * 1024, kPollMs = 20 };

// Runs ffmpeg (knobs.ffmpegProgram) with `args` in a probe script (at most
// `seconds`) and returns its messages; false when it did not start or finish
// in time.
bool RunFfmpegProbe(const ServiceKnobs& knobs, const capcore::Arguments& args, int seconds, std::string* log) {
  ScriptFolder folder;
  if (!folder.Create(knobs.unixTempFolder)) return false;
  capcore::ScriptFiles files = folder.Files();
  if (!StartShellScript(folder, capcore::ProbeScript(knobs.ffmpegProgram, args, files, seconds), knobs.unixTempFolder))
    return false;
  // The script's own time limit ends ffmpeg; allow the shell a little more.
  DWORD start = GetTickCount(), limit = static_cast<DWORD>(seconds) * 1000 + 2000;
  while (GetTickCount() - start < limit) {
    if (ReadUnixFile(files.logFile, log, kMaxLogBytes)) return true;
    Sleep(kPollMs);
  }
  return false;
}

// What the probes found for one input text, kept for the process: probing
// takes a moment, and the driver list and connections come often.
struct Probed {
  std::string input;
  capcore::PictureSize own{0, 0};
  std::vector<capcore::PictureSize> deviceSizes;
  std::string failure;  // the probe's last log line when it found nothing
};

std::mutex g_probedLock;
std::vector<Probed> g_probed;

using capcore::OptionValue;

Probed Probe(const ServiceKnobs& knobs, const std::string& text, const capcore::Arguments& input, bool device) {
  {
    std::lock_guard<std::mutex> hold(g_probedLock);
    for (const Probed& p : g_probed)
      if (p.input == text) return p;
  }
  Probed p;
  p.input = text;
  std::string log;
  if (device) {
    if (RunFfmpegProbe(knobs, capcore::DeviceSizesArguments(OptionValue(input, "-i")), kProbeSeconds, &log))
      p.deviceSizes = capcore::ParseDeviceSizes(log);
  } else if (RunFfmpegProbe(knobs, capcore::SizeProbeArguments(input), kProbeSeconds, &log)) {
    capcore::ParseSourceSize(log, &p.own);
  }
  bool found = p.own.width > 0 || !p.deviceSizes.empty();
  if (!found) {
    p.failure = capcore::LastLogLine(log, kLogLineChars);
    return p;
  }
  std::lock_guard<std::mutex> hold(g_probedLock);
  g_probed.push_back(p);
  return p;
}

// `first`, then the rest of `others` without repeats.
std::vector<capcore::PictureSize> SizesWith(capcore::PictureSize first,
                                            const std::vector<capcore::PictureSize>& others) {
  std::vector<capcore::PictureSize> sizes = {first};
  for (const capcore::PictureSize& s : others)
    if (!capcore::HasSize(sizes, s.width, s.height)) sizes.push_back(s);
  return sizes;
}

std::string Label(const capcore::DriverConfig& d, const capcore::Arguments& input) {
  std::string source = OptionValue(input, "-i");
  if (source.empty()) source = d.input;
  if (source.size() > kLabelChars) source = source.substr(0, kLabelChars) + "...";
  return "\"" + d.description + "\" (" + source + ")";
}

}  // namespace

capcore::StreamRequest StreamAt(const FfmpegSource& c, int width, int height) {
  capcore::StreamRequest r;
  r.input = c.input;
  r.width = width;
  r.height = height;
  r.fps = kFps;
  bool deviceSize = c.device && capcore::HasSize(c.deviceSizes, width, height) &&
                    OptionValue(c.input, "-video_size").empty();
  if (deviceSize) {
    // The device makes this size itself: asked for before its -i.
    for (size_t i = 0; i < r.input.size(); ++i) {
      if (r.input[i] != "-i") continue;
      r.input.insert(r.input.begin() + static_cast<long>(i),
                     {"-video_size", std::to_string(width) + "x" + std::to_string(height)});
      break;
    }
  }
  r.scale = !deviceSize && !(c.own.width == width && c.own.height == height);
  return r;
}

bool FindFfmpegSource(capcore::DriverConfig* d, FfmpegSource* c, std::string* error) {
  if (!RunningUnderWine()) return false;  // never offered there
  c->knobs = ReadKnobs();
  if (!FfmpegAvailable(c->knobs)) {
    *error = "The camera \"" + d->description + "\" is read through ffmpeg, which is not installed (" +
             c->knobs.ffmpegProgram +
             " is missing). Install it (on Debian and Ubuntu: sudo apt install ffmpeg), then connect to the camera again.";
    return false;
  }
  if (!capcore::SplitArguments(d->input, &c->input)) {
    *error = "The camera \"" + d->description +
             "\" has no usable Input in the cameras file (an unclosed quote?). Correct it, then connect again.";
    return false;
  }
  c->device = capcore::IsVideoDeviceInput(c->input);
  c->label = Label(*d, c->input);
  if (!d->sizesGiven || !c->device) {
    Probed p = Probe(c->knobs, d->input, c->input, c->device);
    c->own = p.own;
    c->deviceSizes = p.deviceSizes;
    if (!c->device && c->own.width == 0 && !d->sizesGiven) {
      *error = "The camera " + c->label + " could not be opened: " +
               (p.failure.empty() ? std::string("ffmpeg found no picture in it") : p.failure) +
               ". Check that it is plugged in and not in use by another program, then connect to it again.";
      return false;
    }
  }
  if (!d->sizesGiven) {
    if (c->own.width > 0) {
      d->sizes = SizesWith(c->own, capcore::CommonCameraSizes());
    } else if (!c->deviceSizes.empty()) {
      capcore::PictureSize vga{640, 480};
      d->sizes = SizesWith(capcore::HasSize(c->deviceSizes, 640, 480) ? vga : c->deviceSizes[0], c->deviceSizes);
    }
  }
  return true;
}

