// The caller's procedures that a recording calls (see recording_run.h), on
// the recording's own thread: capture control before the start
// (CONTROLCALLBACK_PREROLL) and, with the yield procedure, once per turn of
// the loop (CONTROLCALLBACK_CAPTURING; FALSE from either ends the
// recording, keeping what was recorded); the video stream with every frame
// taken and the wave stream with every audio buffer, each before it is
// written. Their installation too.
#include "recording/recording_run.h"
#include "window/capture_window.h"

namespace {

template <typename Proc>
LRESULT Install(CaptureWindowState* s, std::atomic<Proc> RecordingState::*slot, Proc proc) {
  RecordingState* rec = RecordingOf(s);
  if (!rec) return FALSE;
  (rec->*slot) = proc;
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

// Calls `call` while the window lives; false when it is gone after the call
// (the procedure may destroy it) or was before. On the worker the call is a
// callout that the window's end does not wait for (recording_state.h).
template <typename Call>
bool Recording::CallOut(Call call) {
  if (direct_) {
    if (rec_->windowGone) return false;
    call();
    return !rec_->windowGone;
  }
  {
    CalloutLock lock(rec_);
    if (rec_->windowGone) return false;
    rec_->workerInCallout = true;
  }
  call();
  CalloutLock lock(rec_);
  rec_->workerInCallout = false;
  return !rec_->windowGone;
}

bool Recording::Preroll() {
  CAPCONTROLCALLBACK control = rec_->control;
  if (control == nullptr) return !rec_->windowGone;
  LRESULT go = TRUE;
  return CallOut([&] { go = control(job_.window, CONTROLCALLBACK_PREROLL); }) && go != FALSE;
}

bool Recording::CallerContinues() {
  LRESULT go = TRUE;
  CAPYIELDCALLBACK yield = rec_->yield;
  if (yield != nullptr && (!CallOut([&] { go = yield(job_.window); }) || go == FALSE)) return false;
  CAPCONTROLCALLBACK control = rec_->control;
  if (control != nullptr && (!CallOut([&] { go = control(job_.window, CONTROLCALLBACK_CAPTURING); }) || go == FALSE))
    return false;
  return true;
}

void Recording::VideoStream(uint64_t due) {
  CAPVIDEOCALLBACK stream = rec_->videoStream;
  if (stream == nullptr) return;
  VIDEOHDR h{};
  h.lpData = frame_.data();
  h.dwBufferLength = static_cast<DWORD>(frame_.size());
  h.dwBytesUsed = h.dwBufferLength;
  h.dwTimeCaptured = static_cast<DWORD>(due / 1000);
  h.dwFlags = VHDR_DONE | VHDR_PREPARED | VHDR_KEYFRAME;
  CallOut([&] { stream(job_.window, &h); });
}

void Recording::WaveStream(std::vector<uint8_t>& data) {
  CAPWAVECALLBACK stream = rec_->waveStream;
  if (stream == nullptr || data.empty()) return;
  WAVEHDR h{};
  h.lpData = reinterpret_cast<LPSTR>(data.data());
  h.dwBufferLength = static_cast<DWORD>(data.size());
  h.dwBytesRecorded = h.dwBufferLength;
  h.dwFlags = WHDR_DONE | WHDR_PREPARED;
  CallOut([&] { stream(job_.window, &h); });
}
