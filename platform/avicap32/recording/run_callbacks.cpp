// The caller's procedures that a recording calls (see recording_run.h), on
// the recording's own thread: capture control before the start
// (CONTROLCALLBACK_PREROLL) and, with the yield procedure, once per turn of
// the loop (CONTROLCALLBACK_CAPTURING; FALSE from either ends the
// recording, keeping what was recorded); the video stream with every frame
// taken and the wave stream with every audio buffer, each before it is
// written. Their installation too: a procedure taken away is no longer
// called, and is not running on the worker once its request returns.
#include "recording/recording_run.h"
#include "window/capture_window.h"

namespace {

template <typename Proc>
LRESULT Install(CaptureWindowState* s, std::atomic<Proc> RecordingState::*slot, Proc proc) {
  RecordingState* rec = RecordingOf(s);
  if (!rec) return FALSE;
  // A request answered while it waits may end the window, and let go of the state.
  std::shared_ptr<RecordingState> hold = rec->shared_from_this();
  {
    CalloutLock lock(rec);
    (rec->*slot) = proc;
  }
  WaitOutOfCallout(rec);
  return TRUE;
}

}  // namespace

LRESULT SetVideoStreamCallback(CaptureWindowState* s, CAPVIDEOCALLBACK cb) {
  return Install(s, &RecordingState::videoStream, cb);
}
LRESULT SetWaveStreamCallback(CaptureWindowState* s, CAPWAVECALLBACK cb) {
  return Install(s, &RecordingState::waveStream, cb);
}
LRESULT SetYieldCallback(CaptureWindowState* s, CAPYIELDCALLBACK cb) { return Install(s, &RecordingState::yield, cb); }
LRESULT SetControlCallback(CaptureWindowState* s, CAPCONTROLCALLBACK cb) {
  return Install(s, &RecordingState::control, cb);
}

// Calls the procedure in `slot` (none: nothing is called) through
// `call(proc)` while the window lives; false when it is gone after the call
// (the procedure may destroy it) or was before. On the worker the procedure
// is taken under the callout lock and the call is marked, for whoever takes
// it away to wait for (recording_state.h).
template <typename Proc, typename Call>
bool Recording::CallOut(std::atomic<Proc> RecordingState::*slot, Call call) {
  if (direct_) {
    Proc proc = rec_->*slot;
    if (rec_->windowGone) return false;
    if (proc != nullptr) call(proc);
    return !rec_->windowGone;
  }
  Proc proc;
  {
    CalloutLock lock(rec_);
    if (rec_->windowGone) return false;
    proc = rec_->*slot;
    if (proc == nullptr) return true;
    rec_->workerInCallout = true;
  }
  call(proc);
  CalloutLock lock(rec_);
  rec_->workerInCallout = false;
  ++rec_->calloutsLeft;
  SetEvent(rec_->calloutLeft);
  return !rec_->windowGone;
}

bool Recording::Preroll() {
  LRESULT go = TRUE;
  bool lives = CallOut(&RecordingState::control,
                       [&](CAPCONTROLCALLBACK p) { go = p(job_.window, CONTROLCALLBACK_PREROLL); });
  return lives && go != FALSE;
}

bool Recording::CallerContinues() {
  LRESULT go = TRUE;
  if (!CallOut(&RecordingState::yield, [&](CAPYIELDCALLBACK p) { go = p(job_.window); }) || go == FALSE) return false;
  bool lives = CallOut(&RecordingState::control,
                       [&](CAPCONTROLCALLBACK p) { go = p(job_.window, CONTROLCALLBACK_CAPTURING); });
  return lives && go != FALSE;
}

void Recording::VideoStream(uint64_t due) {
  VIDEOHDR h{};
  h.lpData = frame_.data();
  h.dwBufferLength = static_cast<DWORD>(frame_.size());
  h.dwBytesUsed = h.dwBufferLength;
  h.dwTimeCaptured = static_cast<DWORD>(due / 1000);
  h.dwFlags = VHDR_DONE | VHDR_PREPARED | VHDR_KEYFRAME;
  CallOut(&RecordingState::videoStream, [&](CAPVIDEOCALLBACK p) { p(job_.window, &h); });
}

void Recording::WaveStream(std::vector<uint8_t>& data) {
  if (data.empty()) return;
  WAVEHDR h{};
  h.lpData = reinterpret_cast<LPSTR>(data.data());
  h.dwBufferLength = static_cast<DWORD>(data.size());
  h.dwBytesRecorded = h.dwBufferLength;
  h.dwFlags = WHDR_DONE | WHDR_PREPARED;
  CallOut(&RecordingState::waveStream, [&](CAPWAVECALLBACK p) { p(job_.window, &h); });
}
