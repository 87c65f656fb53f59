// ffmpeg cameras in the capture window (see ffmpeg_camera.h).
#include "ffmpeg/ffmpeg_camera.h"

#include <vfw.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/ffmpeg/ffmpeg_command.h"
#include "core/ffmpeg/ffmpeg_log.h"
#include "ffmpeg/ffmpeg_feed.h"
#include "ffmpeg/shell_script.h"
#include "ffmpeg/unix_host.h"
#include "recording/recording.h"
#include "window/capture_window.h"

struct FfmpegCamera {
  ServiceKnobs knobs;            // as they were at connection: the ffmpeg program, the temporary folder
  std::string label;             // "\"Name\" (source)" in reports
  capcore::Arguments input;
  bool device = false;           // a V4L2 device: sizes it offers are asked of it directly
  std::vector<capcore::PictureSize> deviceSizes;
  capcore::PictureSize own{0, 0};  // the source's own size; 0 x 0: not known
  std::shared_ptr<FfmpegFeed> feed;
  uint32_t shown = 0;            // the last frame number the window took
  std::string pendingReport;     // the stream's end, posted to the window
};

namespace {

enum { kProbeSeconds = 8, kFps = 30, kLabelChars = 120, kLogLineChars = 200 };
enum : DWORD { kOneOffWaitMs = 1000 };

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

void Fail(CaptureWindowState* s, int id, const std::string& text) {
  Report(s, ReportKind::Error, id, "%s", text.c_str());
}

std::string Label(const capcore::DriverConfig& d, const capcore::Arguments& input) {
  std::string source = OptionValue(input, "-i");
  if (source.empty()) source = d.input;
  if (source.size() > kLabelChars) source = source.substr(0, kLabelChars) + "...";
  return "\"" + d.description + "\" (" + source + ")";
}

capcore::StreamRequest StreamAt(const FfmpegCamera& c, int width, int height) {
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

// Starts the stream at a size; false with the reason in `error`.
bool StartFeed(FfmpegCamera* c, int width, int height, std::string* error) {
  FfmpegFeed::Setup setup;
  setup.camera = c->label;
  setup.stream = StreamAt(*c, width, height);
  setup.knobs = c->knobs;
  c->feed = FfmpegFeed::Start(setup, error);
  c->shown = 0;
  return c->feed != nullptr;
}

}  // namespace

bool PrepareFfmpegCamera(CaptureWindowState* s, capcore::DriverConfig* d) {
  if (!RunningUnderWine()) return false;  // never offered there
  std::shared_ptr<FfmpegCamera> c = std::make_shared<FfmpegCamera>();
  c->knobs = ReadKnobs();
  if (!FfmpegAvailable(c->knobs)) {
    Fail(s, IDS_CAP_VIDEO_OPEN_ERROR,
         "The camera \"" + d->description + "\" is read through ffmpeg, which is not installed (" +
             c->knobs.ffmpegProgram +
             " is missing). Install it (on Debian and Ubuntu: sudo apt install ffmpeg), then connect to the camera again.");
    return false;
  }
  if (!capcore::SplitArguments(d->input, &c->input)) {
    Fail(s, IDS_CAP_VIDEO_OPEN_ERROR,
         "The camera \"" + d->description +
             "\" has no usable Input in the cameras file (an unclosed quote?). Correct it, then connect again.");
    return false;
  }
  c->device = capcore::IsVideoDeviceInput(c->input);
  c->label = Label(*d, c->input);
  if (!d->sizesGiven || !c->device) {
    Probed p = Probe(c->knobs, d->input, c->input, c->device);
    c->own = p.own;
    c->deviceSizes = p.deviceSizes;
    if (!c->device && c->own.width == 0 && !d->sizesGiven) {
      Fail(s, IDS_CAP_VIDEO_OPEN_ERROR,
           "The camera " + c->label + " could not be opened: " +
               (p.failure.empty() ? std::string("ffmpeg found no picture in it") : p.failure) +
               ". Check that it is plugged in and not in use by another program, then connect to it again.");
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
  s->ffmpeg = c;
  return true;
}

bool OpenFfmpegCamera(CaptureWindowState* s) {
  std::string error;
  if (s->ffmpeg != nullptr && StartFeed(s->ffmpeg.get(), s->videoFormat.biWidth, s->videoFormat.biHeight, &error))
    return true;
  DisconnectDriver(s);  // closes the camera too
  Fail(s, IDS_CAP_VIDEO_OPEN_ERROR, error);  // the last act: the procedure may destroy the window
  return false;
}

void CloseFfmpegCamera(CaptureWindowState* s) {
  std::shared_ptr<FfmpegCamera> c = std::move(s->ffmpeg);
  if (c && c->feed) c->feed->Stop();
}

bool ResizeFfmpegCamera(CaptureWindowState* s, int width, int height) {
  FfmpegCamera* c = s->ffmpeg.get();
  if (c == nullptr) return false;
  if (c->feed && c->feed->width() == width && c->feed->height() == height) return true;
  int oldWidth = s->videoFormat.biWidth, oldHeight = s->videoFormat.biHeight;
  if (c->feed) c->feed->Stop();  // a device serves one stream at a time
  c->feed.reset();
  std::string error, again;
  if (StartFeed(c, width, height, &error)) return true;
  if (!StartFeed(c, oldWidth, oldHeight, &again)) error += " " + again;
  Fail(s, IDS_CAP_VIDEO_OPEN_ERROR, error);
  return false;
}

bool TakeFfmpegFrame(CaptureWindowState* s) {
  FfmpegCamera* c = s->ffmpeg.get();
  if (c == nullptr || !c->feed) return false;
  DWORD wait = s->preview ? 0 : static_cast<DWORD>(kOneOffWaitMs);
  FfmpegFeed::Take t = c->feed->TakeNewer(&c->shown, wait, FrameFormatOf(s), s->frame.data(), s->frame.size());
  if (t == FfmpegFeed::Take::Frame) return true;
  if (t == FfmpegFeed::Take::Ended) {
    StopView(s);  // the last frame stays
    // Reported from the window's own message loop, where the error
    // procedure may do anything, even destroy the window; a recording
    // reports it itself, with what became of its file.
    if (!IsRecording(s) && c->feed->ClaimEndReport()) {
      c->pendingReport = c->feed->EndText();
      PostMessageA(s->window, kFfmpegEndedMessage, 0, 0);
    }
  }
  return false;
}

LRESULT ReportFfmpegEnd(CaptureWindowState* s) {
  if (s->ffmpeg == nullptr || s->ffmpeg->pendingReport.empty()) return 0;
  std::string text;
  text.swap(s->ffmpeg->pendingReport);
  Fail(s, IDS_CAP_DRIVER_ERROR, text);
  return 0;
}

std::shared_ptr<FfmpegFeed> FfmpegFeedOf(const CaptureWindowState* s) {
  return s->ffmpeg ? s->ffmpeg->feed : nullptr;
}
