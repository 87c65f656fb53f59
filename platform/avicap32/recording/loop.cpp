// The recording loop (see recording_run.h): its start, the decision for
// each moment (stop, wait, take a frame or write it as dropped), the pacing
// wait, and its one way out.
#include <string>

#include "recording/recording_run.h"

namespace {

// The longest single wait: the abort keys are looked at this often.
const uint64_t kKeyPollMicros = 100000;

uint64_t CameraBuffers(UINT requested) {
  if (requested == 0) return 1;
  return requested > kMaxCameraBuffers ? kMaxCameraBuffers : requested;
}

uint64_t FramePeriod(DWORD requested) {
  if (requested == 0) return 0;  // refused by Begin
  return requested < kFastestFramePeriod ? kFastestFramePeriod : requested;
}

}  // namespace

Recording::Recording(RecordingState* rec, RecordingJob& job)
    : rec_(rec),
      job_(job),
      direct_(!job.onWorker),
      period_(FramePeriod(job.parms.dwRequestMicroSecPerFrame)),
      buffers_(CameraBuffers(job.parms.wNumVideoRequested)),
      limit_(job.parms.fLimitEnabled ? static_cast<uint64_t>(job.parms.wTimeLimit) * kMicrosPerSecond : UINT64_MAX),
      ownClock_(job.frames->OwnClock()),
      slots_(period_),
      keys_(job.parms) {}

BOOL Recording::Run() {
  Status(IDS_CAP_BEGIN, "Recording started");
  try {
    if (Begin()) {
      Loop();
      End();
    }
  } catch (...) {
    Abandon();
  }
  Status(IDS_CAP_END, "Recording ended");
  return Recorded() ? TRUE : FALSE;
}

// Everything before the first frame; false when the recording cannot start
// (reported) or the caller's control procedure refuses to start it (not an
// error: nothing is written).
bool Recording::Begin() {
  frame_.assign(capcore::FrameBytes(job_.format), 0);
  if (frame_.empty() || period_ == 0) {
    Error(IDS_CAP_VIDEO_OPEN_ERROR, "The camera's picture format cannot be recorded.");
    return false;
  }
  bytesPerSecond_ = static_cast<uint64_t>(frame_.size()) * kMicrosPerSecond / period_;
  if (job_.toFile && CompressionSession::Wanted(job_.compressor, job_.haveCompressor)) {
    compressing_ = compressor_.Start(job_.compressor, job_.bih);
    if (!compressing_) Error(IDS_CAP_COMPRESSOR_ERROR, "The chosen compressor cannot start: recording uncompressed.");
  }
  ChooseAudio();
  if (!Preroll()) return false;
  if (job_.toFile && !OpenFile()) {
    // Whatever the file holds now is no recording (reported by OpenFile).
    writer_.reset();
    DiscardFile();
    return false;
  }
  clock_ = MakePacingClock(job_.knobs.virtualClock);
  return true;
}

// Each step first takes the audio of the time that has passed, then does
// what Decide says, then reports the progress when a second has gone by.
void Recording::Loop() {
  while (!stopForError_ && !StopWanted() && CallerContinues()) {
    uint64_t now = clock_->Micros();
    elapsed_ = now < limit_ ? now : limit_;
    Publish();
    if (!TakeAudio(elapsed_)) break;
    Step step = Decide(now);
    if (step == Step::Stop) break;
    if (step == Step::Wait) {
      Wait(TimeToWait(now));
    } else if (!(ownClock_ ? TakeSent(now) : TakeDue(now, step == Step::Drop))) {
      break;
    }
    if (!ReportSecond(clock_->Micros())) break;
  }
}

// The camera holds wNumVideoRequested frames: a frame is lost only when the
// recording falls further behind than that (then written as dropped). The
// time limit is wall time: every frame due before it is written (taken, or
// dropped when the camera no longer holds it), and the recording ends when
// the clock reaches it. A camera with its own clock sets the pace: TakeSent
// waits for its frames.
Recording::Step Recording::Decide(uint64_t now) const {
  uint64_t due = frames_ * period_;
  if (due >= limit_) return now >= limit_ ? Step::Stop : Step::Wait;
  if (ownClock_) return Step::Take;
  if (now < due) return Step::Wait;
  return now >= due + period_ * buffers_ ? Step::Drop : Step::Take;
}

// Until the next frame is due or the time limit comes, whichever is first.
uint64_t Recording::TimeToWait(uint64_t now) const {
  uint64_t due = frames_ * period_;
  uint64_t until = due < limit_ ? due : limit_;
  return until > now ? until - now : 0;
}

bool Recording::StopWanted() {
  if (rec_->stopRequested || rec_->abortRequested || rec_->windowGone) return true;
  return keys_.Pressed();
}

// Until the frame is due, a stop wakes it, or (in the window's thread) a
// message comes; the window's messages keep flowing meanwhile.
void Recording::Wait(uint64_t micros) {
  clock_->Wait(micros < kKeyPollMicros ? micros : kKeyPollMicros, rec_->wake, direct_);
  if (direct_) PumpMessages();
}

void Recording::PumpMessages() {
  MSG m;
  while (!rec_->windowGone && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      rec_->stopRequested = true;
      break;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Writes the next slot: the frame in frame_, or a dropped one.
bool Recording::PutFrame(uint64_t now, bool dropped) {
  uint64_t due = frames_ * period_;
  if (!SpaceLeft()) return false;
  if (!dropped) VideoStream(due);  // the procedure may change the frame before it is written
  if (!WriteFrame(frames_, dropped)) return false;
  ++frames_;
  if (dropped) ++dropped_;
  Publish();
  if (!dropped) ShowInWindow(now);
  return true;
}

// The frame due now from a camera without its own clock (none: written as
// dropped), unless the recording is too far behind to get it.
bool Recording::TakeDue(uint64_t now, bool dropped) {
  uint64_t stamp = 0;
  if (!dropped) {
    CameraTake t = job_.frames->Next(frames_, frames_ * period_, period_ / 2, Out(), &stamp);
    if (t == CameraTake::Ended) return CameraEnded();
    dropped = t == CameraTake::NoFrame;
  }
  return PutFrame(now, dropped);
}

// The next frame a camera with its own clock sent, after the slots it sent
// nothing for (written as dropped); none yet: the slots it can no longer
// fill. In the window's thread the window's messages flow between frames.
bool Recording::TakeSent(uint64_t now) {
  if (direct_) PumpMessages();
  if (rec_->windowGone) return true;  // the loop ends
  uint64_t stamp = 0;
  uint64_t wait = period_ < kKeyPollMicros ? period_ : kKeyPollMicros;
  CameraTake t = job_.frames->Next(frames_, frames_ * period_, wait, Out(), &stamp);
  if (t == CameraTake::Ended) return CameraEnded();
  bool sent = t == CameraTake::Frame;
  uint64_t lost = sent ? slots_.Delivered(stamp) : slots_.Silent(stamp);
  for (; lost > 0 && frames_ * period_ < limit_; --lost)
    if (!PutFrame(now, true)) return false;
  return !sent || frames_ * period_ >= limit_ || PutFrame(now, false);
}

// The camera's stream has ended: reported once, by whoever sees it first.
bool Recording::CameraEnded() {
  stopForError_ = true;
  std::string why;
  if (!job_.frames->ClaimEndReport(&why)) why = "the camera stopped sending pictures.";
  DropEmptyFile();
  char fate[kReportTextSize];
  FileFate(fate, sizeof fate);
  Error(IDS_CAP_DRIVER_ERROR, "Recording stopped: %s%s%s", why.c_str(), fate[0] ? " " : "", fate);
  return false;
}

// The audio up to the recording's end (its time limit at the most), the file
// closed, or deleted when it holds no frame.
void Recording::End() {
  uint64_t now = clock_->Micros();
  elapsed_ = now < limit_ ? now : limit_;
  if (audio_) {
    audio_->Stop();
    if (!stopForError_) TakeAudio(elapsed_, true);
  }
  CloseFile();
  Publish();
  if (job_.toFile && !discarded_ && frames_ == dropped_) {
    DiscardFile();
    if (!stopForError_) Error(IDS_CAP_NO_FRAME_CAP_ERROR, "No frame was recorded, so no capture file was kept.");
  }
  FinalReports();
}

// Something threw (memory ran out, above all): the file is closed over what
// was written, or deleted when that cannot be done, and the caller is told.
void Recording::Abandon() {
  try {
    stopForError_ = true;
    try {
      CloseFile();
    } catch (...) {
      broken_ = true;
      writer_.reset();
    }
    if (job_.toFile && (broken_ || frames_ == dropped_)) DiscardFile();
    Publish();
    char fate[kReportTextSize];
    FileFate(fate, sizeof fate);
    Error(IDS_CAP_OUTOFMEM, "Recording stopped: out of memory.%s%s", fate[0] ? " " : "", fate);
  } catch (...) {
  }
}

BOOL RunRecording(RecordingState* rec, RecordingJob& job) {
  try {
    Recording r(rec, job);
    return r.Run();
  } catch (...) {
    return FALSE;
  }
}
