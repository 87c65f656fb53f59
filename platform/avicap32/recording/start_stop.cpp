// Starting and stopping recordings: the user's confirmation, recording in
// the window's thread or on a worker, and the clean-up when the window goes.
#include <cstdio>
#include <new>

#include "window/capture_window.h"
#include "recording/recording_state.h"

namespace {

struct WorkerStart {
  RecordingState* rec;
  RecordingJob* job;
};

DWORD WINAPI WorkerMain(LPVOID p) {
  WorkerStart* start = static_cast<WorkerStart*>(p);
  try {
    RunRecording(start->rec, *start->job);
  } catch (...) {
  }
  RecordingState* rec = start->rec;
  delete start->job;
  delete start;
  PostRecordingFinished(rec);
  return 0;
}

bool UserAgrees(CaptureWindowState* s, bool toFile) {
  char text[MAX_PATH + 160];
  if (toFile) {
    snprintf(text, sizeof text,
             "Ready to record video into\n%s\n\nChoose OK to start recording, or Cancel to record nothing.",
             s->captureFile);
  } else {
    snprintf(text, sizeof text, "Ready to record video without keeping it in a file.\n\n"
                                "Choose OK to start recording, or Cancel to record nothing.");
  }
  HWND owner = GetAncestor(s->window, GA_ROOT);
  return MessageBoxA(owner, text, "Start Recording", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

RecordingJob* MakeJob(CaptureWindowState* s, RecordingState* rec, bool toFile) {
  RecordingJob* job = new RecordingJob;
  job->parms = rec->parms;
  job->toFile = toFile;
  job->onWorker = rec->parms.fYield != FALSE;
  lstrcpynA(job->path, s->captureFile, sizeof job->path);
  job->format = FrameFormatOf(s);
  job->source = s->source;
  job->bih = s->videoFormat;
  job->audioFormat = rec->audioFormat;
  job->info = rec->info;
  job->compressor = rec->compressor;
  job->haveCompressor = rec->haveCompressor;
  job->previewRateMs = s->previewRateMs;
  job->showFrames = !job->onWorker && s->preview;
  return job;
}

void EndOnWindowThread(RecordingState* rec) {
  rec->capturing = 0;
  if (rec->restorePreview && rec->window && !rec->orphaned) ResumePreview(rec->window);
  rec->restorePreview = false;
}

}  // namespace

void FreeRecordingState(RecordingState* rec) {
  if (rec->haveCompressor) ICCompressorFree(&rec->compressor);
  delete rec;
}

LRESULT StartRecording(CaptureWindowState* s, bool toFile) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || rec->capturing || !s->connected) return FALSE;
  try {
    if (rec->parms.fMakeUserHitOKToCapture) {
      rec->modalUp = true;
      bool agreed = UserAgrees(s, toFile);
      rec->modalUp = false;
      if (rec->orphaned) {  // the window went while the box was up: s is gone
        FreeRecordingState(rec);
        return FALSE;
      }
      if (!agreed) return FALSE;
    }
    if (rec->capturing || !s->connected) return FALSE;  // things may have changed while the box was up
    RecordingJob* job = MakeJob(s, rec, toFile);
    rec->capturing = 1;
    rec->stopRequested = 0;
    rec->abortRequested = 0;
    rec->frames = rec->dropped = rec->elapsedMs = rec->waveSamples = 0;
    rec->restorePreview = s->preview;
    if (s->preview) StopView(s);
    if (job->onWorker) {
      // Without the relay the worker's end would never reach this thread
      // and the window would stay busy for good.
      WorkerStart* start = new WorkerStart{rec, job};
      if (rec->relay) rec->worker = CreateThread(nullptr, 0, WorkerMain, start, 0, nullptr);
      if (rec->worker) return TRUE;
      delete start;
      delete job;
      EndOnWindowThread(rec);
      return FALSE;
    }
    BOOL ok = RunRecording(rec, *job);
    delete job;
    if (rec->orphaned) {  // the window went while it recorded
      FreeRecordingState(rec);
      return FALSE;
    }
    EndOnWindowThread(rec);
    return ok;
  } catch (...) {
    if (rec->capturing && !rec->worker && !rec->orphaned) EndOnWindowThread(rec);
    return FALSE;
  }
}

void FinishWorkerRecording(RecordingState* rec) {
  if (rec->worker) {
    WaitForSingleObject(rec->worker, INFINITE);
    CloseHandle(rec->worker);
    rec->worker = nullptr;
  }
  EndOnWindowThread(rec);
}

LRESULT StopRecording(CaptureWindowState* s, bool abort) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !rec->capturing) return FALSE;
  InterlockedExchange(abort ? &rec->abortRequested : &rec->stopRequested, 1);
  return TRUE;
}

void ReleaseRecordingState(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec) return;
  s->recording = nullptr;
  rec->stopRequested = 1;
  if (rec->worker) {
    // The worker only posts to the relay, never waits on this thread.
    WaitForSingleObject(rec->worker, INFINITE);
    CloseHandle(rec->worker);
    rec->worker = nullptr;
    rec->capturing = 0;
  }
  DestroyRelay(rec);
  if (rec->capturing || rec->modalUp) {
    // Recording or asking in this thread, further up the stack: that ends
    // itself and frees the state; the window must not be touched any more.
    rec->orphaned = true;
    rec->window = nullptr;
    return;
  }
  FreeRecordingState(rec);
}
