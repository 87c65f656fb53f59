// What a recording tells (see recording_run.h): its status and error
// reports, its counters for WM_CAP_GET_STATUS, the progress each second,
// the frames shown in the window, and the closing totals.
#include <cstdarg>
#include <cstdio>

#include "recording/recording_run.h"
#include "window/capture_window.h"

void Recording::Say(ReportKind kind, int id, const char* format, va_list args) {
  char text[kReportTextSize];
  if (vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
  RelayReport(rec_, direct_, kind, id, text);
}

void Recording::Status(int id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Say(ReportKind::Status, id, format, args);
  va_end(args);
}

void Recording::Error(int id, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Say(ReportKind::Error, id, format, args);
  va_end(args);
}

void Recording::Publish() {
  rec_->frames = static_cast<long>(frames_);
  rec_->dropped = static_cast<long>(dropped_);
  rec_->elapsedMs = static_cast<long>(elapsed_ / 1000);
  rec_->waveSamples = static_cast<long>(pcmBytes_ / pcmAlign_);
}

// Once a second of recording (by the clock, `now`): the file's headers
// brought up to date and the progress reported. False when that write
// failed (reported).
bool Recording::ReportSecond(uint64_t now) {
  if (now < nextSecond_) return true;
  nextSecond_ = now - now % kMicrosPerSecond + kMicrosPerSecond;
  if (writer_ && !writer_->Refresh()) {
    WriteFailed();
    return false;
  }
  uint64_t ms = (now < limit_ ? now : limit_) / 1000;
  Status(IDS_CAP_STAT_VIDEOCURRENT, "%llu frames (%llu dropped) %llu.%03llu sec.",
         static_cast<unsigned long long>(frames_), static_cast<unsigned long long>(dropped_), ms / 1000, ms % 1000);
  return true;
}

// In the window's thread with preview on, at the preview rate. The window
// takes the frame's buffer, which is written already, and gives back one
// that the next frame overwrites.
void Recording::ShowInWindow(uint64_t now) {
  if (!job_.showFrames || rec_->windowGone) return;
  if (shownOnce_ && now - lastShown_ < job_.previewRateMs * 1000ull) return;
  ShowFrame(rec_->window, frame_);
  lastShown_ = now;
  shownOnce_ = true;
}

void Recording::FinalReports() {
  uint64_t ms = elapsed_ / 1000;
  uint64_t taken = frames_ - dropped_;
  uint64_t fpsX100 = ms ? taken * 100000 / ms : 0;
  unsigned long long frames = frames_, dropped = dropped_;
  if (audio_) {
    uint64_t sps = ms ? pcmBytes_ / pcmAlign_ * 1000 / ms : 0;
    Status(IDS_CAP_STAT_VIDEOAUDIO,
           "Recorded %llu.%03llu sec.: %llu frames (%llu dropped), %llu.%02llu frames/sec., %llu audio bytes "
           "(%llu samples/sec.)",
           ms / 1000, ms % 1000, frames, dropped, fpsX100 / 100, fpsX100 % 100,
           static_cast<unsigned long long>(audioBytes_), static_cast<unsigned long long>(sps));
  } else {
    Status(IDS_CAP_STAT_VIDEOONLY, "Recorded %llu.%03llu sec.: %llu frames (%llu dropped), %llu.%02llu frames/sec.",
           ms / 1000, ms % 1000, frames, dropped, fpsX100 / 100, fpsX100 % 100);
  }
  if (frames_ > 0 && dropped_ * 100 > static_cast<uint64_t>(job_.parms.wPercentDropForError) * frames_) {
    uint64_t pct = dropped_ * 10000 / frames_;
    Status(IDS_CAP_STAT_FRAMESDROPPED, "%llu of %llu frames (%llu.%02llu%%) were dropped.", dropped, frames,
           pct / 100, pct % 100);
  }
}
