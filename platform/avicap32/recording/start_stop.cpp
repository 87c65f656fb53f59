// Starting and stopping recordings: the user's confirmation, recording in
// the window's thread or on a worker, ending the worker's recording (STOP,
// ABORT, DISCONNECT), and letting go of the recording state when the window
// goes (see the rules in recording_state.h).
#include <memory>
#include <new>
#include <string>

#include "common/path_names.h"
#include "recording/recording_state.h"
#include "window/capture_window.h"

namespace {

struct WorkerStart {
  std::shared_ptr<RecordingState> rec;
  std::unique_ptr<RecordingJob> job;
  unsigned run;
};

DWORD WINAPI WorkerMain(LPVOID p) {
  std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(p));
  try {
    RunRecording(start->rec.get(), *start->job);
  } catch (...) {
  }
  PostRecordingFinished(start->rec.get(), start->run);
  return 0;
}

bool UserAgrees(CaptureWindowState* s, bool toFile) {
  const WCHAR* ask = L"\n\nChoose OK to start recording, or Cancel to record nothing.";
  std::wstring text = toFile ? L"Ready to record video into\n" + std::wstring(s->captureFile) + ask
                             : std::wstring(L"Ready to record video without keeping it in a file.") + ask;
  HWND owner = GetAncestor(s->window, GA_ROOT);
  return MessageBoxW(owner, text.c_str(), L"Start Recording", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

std::unique_ptr<RecordingJob> MakeJob(CaptureWindowState* s, RecordingState* rec, bool toFile) {
  std::unique_ptr<RecordingJob> job(new RecordingJob);
  job->window = s->window;
  job->parms = rec->parms;
  job->toFile = toFile;
  job->onWorker = rec->parms.fYield != FALSE;
  lstrcpynW(job->path, s->captureFile, MAX_PATH);
  job->pathText = ShownName(s->captureFile);
  job->format = FrameFormatOf(s);
  job->bih = s->videoFormat;
  job->audioFormat = rec->audioFormat;
  job->info = rec->info;
  job->compressor = rec->compressor;
  job->haveCompressor = rec->haveCompressor;
  job->previewRateMs = s->previewRateMs;
  job->showFrames = !job->onWorker && s->preview;
  job->knobs = ReadKnobs();
  job->frames = s->camera->ForRecording(job->format, s->source, job->parms.dwRequestMicroSecPerFrame);
  return job;
}

void EndOnWindowThread(RecordingState* rec) {
  rec->capturing = false;
  if (rec->restorePreview && !rec->windowGone) ResumePreview(rec->window);
  rec->restorePreview = false;
}

void Begin(CaptureWindowState* s, RecordingState* rec) {
  rec->capturing = true;
  rec->stopRequested = false;
  rec->abortRequested = false;
  ResetEvent(rec->wake);
  rec->frames = rec->dropped = rec->elapsedMs = rec->waveSamples = 0;
  rec->restorePreview = s->preview;
  if (s->preview) StopView(s);
}

// Without the relay the worker's end would never reach this thread and the
// window would stay busy for good: no relay, no worker.
LRESULT StartWorker(CaptureWindowState* s, RecordingState* rec, std::unique_ptr<RecordingJob> job) {
  std::unique_ptr<WorkerStart> start(new WorkerStart{rec->shared_from_this(), std::move(job), ++rec->run});
  if (rec->relay) rec->worker = CreateThread(nullptr, 0, WorkerMain, start.get(), 0, nullptr);
  if (!rec->worker) {
    EndOnWindowThread(rec);
    Report(s, ReportKind::Error, IDS_CAP_RECORDING_ERROR, "The recording cannot start: no thread can be made for it.");
    return FALSE;
  }
  start.release();  // the worker's now
  return TRUE;
}

}  // namespace

RecordingState::RecordingState()
    : wake(CreateEventA(nullptr, TRUE, FALSE, nullptr)), calloutLeft(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  InitializeCriticalSection(&calloutLock);
}

RecordingState::~RecordingState() {
  if (haveCompressor) ICCompressorFree(&compressor);
  if (wake) CloseHandle(wake);
  if (calloutLeft) CloseHandle(calloutLeft);
  DeleteCriticalSection(&calloutLock);
}

LRESULT StartRecording(CaptureWindowState* s, bool toFile) {
  std::shared_ptr<RecordingState> rec = s->recording;  // held across the boxes and the recording
  if (!rec || rec->capturing || !s->connected) return FALSE;
  try {
    if (rec->parms.fMakeUserHitOKToCapture) {
      bool agreed = UserAgrees(s, toFile);
      if (rec->windowGone || !agreed) return FALSE;
      if (rec->capturing || !s->connected) return FALSE;  // things may have changed while the box was up
    }
    std::unique_ptr<RecordingJob> job = MakeJob(s, rec.get(), toFile);
    Begin(s, rec.get());
    if (job->onWorker) return StartWorker(s, rec.get(), std::move(job));
    BOOL ok = RunRecording(rec.get(), *job);
    if (rec->windowGone) return FALSE;
    EndOnWindowThread(rec.get());
    return ok;
  } catch (...) {
    if (rec->windowGone) return FALSE;
    if (rec->capturing && !rec->worker) EndOnWindowThread(rec.get());
    Report(s, ReportKind::Error, IDS_CAP_OUTOFMEM, "The recording cannot start: out of memory.");
    return FALSE;
  }
}

void FinishWorkerRecording(RecordingState* rec, unsigned run) {
  if (!rec->worker || run != rec->run) return;
  WaitForSingleObject(rec->worker, INFINITE);  // its last act was to post this
  CloseHandle(rec->worker);
  rec->worker = nullptr;
  EndOnWindowThread(rec);
}

// A recording on the worker: returns once the worker has ended (none of the
// caller's procedures runs any more); its last reports and its clean-up
// follow through the relay. Inside its procedure's own request: only asks.
LRESULT StopRecording(CaptureWindowState* s, bool abort) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !rec->capturing) return FALSE;
  std::shared_ptr<RecordingState> hold = rec->shared_from_this();
  (abort ? rec->abortRequested : rec->stopRequested) = true;
  SetEvent(rec->wake);
  WaitForWorkerEnd(rec);
  return TRUE;
}

bool EndWorkerRecording(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !rec->capturing) return true;
  if (!rec->worker) return false;  // in this thread, further up the stack
  std::shared_ptr<RecordingState> hold = rec->shared_from_this();
  rec->stopRequested = true;
  SetEvent(rec->wake);
  if (!WaitForWorkerEnd(rec) || s->gone) return false;
  FinishWorkerRecording(rec, rec->run);
  return !rec->capturing;
}

void CreateRecordingState(CaptureWindowState* s) {
  std::shared_ptr<RecordingState> rec(new (std::nothrow) RecordingState);
  s->recording = rec;
  if (!rec) return;
  rec->window = s;
  InitRecordingSetup(rec.get());
  CreateRelay(rec.get());
}

void ReleaseRecordingState(CaptureWindowState* s) {
  std::shared_ptr<RecordingState> rec = std::move(s->recording);
  if (!rec) return;
  {
    CalloutLock lock(rec.get());
    rec->windowGone = true;  // from now on the worker calls no procedure
  }
  rec->stopRequested = true;
  SetEvent(rec->wake);
  EndSingleFrames(rec.get());
  if (rec->worker) {
    // Woken at once, it ends soon. Not waited for inside a request that its
    // procedure may have sent: it is let go, and ends by itself (it holds
    // the state).
    WaitForWorkerEnd(rec.get());
    if (rec->worker) CloseHandle(rec->worker);
    rec->worker = nullptr;
    rec->capturing = false;
  }
  DestroyRelay(rec.get());
  rec->window = nullptr;
}  // a recording or a box still up in this thread holds its own reference
