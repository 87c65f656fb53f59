// Starting and stopping recordings: the user's confirmation, recording in
// the window's thread or on a worker, and the clean-up when the window goes.
#include <cstdio>
#include <new>

#include "capture_internal.h"
#include "sequence_impl.h"

namespace {

struct WorkerStart {
  SequenceImpl* impl;
  RecordingJob* job;
};

DWORD WINAPI WorkerMain(LPVOID p) {
  WorkerStart* start = static_cast<WorkerStart*>(p);
  try {
    Recorder_Run(start->impl, *start->job);
  } catch (...) {
  }
  SequenceImpl* impl = start->impl;
  delete start->job;
  delete start;
  Relay_PostFinished(impl);
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

RecordingJob* MakeJob(CaptureWindowState* s, SequenceImpl* impl, bool toFile) {
  RecordingJob* job = new RecordingJob;
  job->parms = impl->parms;
  job->toFile = toFile;
  job->onWorker = impl->parms.fYield != FALSE;
  lstrcpynA(job->path, s->captureFile, sizeof job->path);
  job->format = Capture_FrameFormat(s);
  job->source = s->source;
  job->bih = s->videoFormat;
  job->audioFormat = impl->audioFormat;
  job->info = impl->info;
  job->compressor = impl->compressor;
  job->haveCompressor = impl->haveCompressor;
  job->previewRateMs = s->previewRateMs;
  job->showFrames = !job->onWorker && s->preview;
  return job;
}

void EndOnWindowThread(SequenceImpl* impl) {
  impl->capturing = 0;
  if (impl->restorePreview && impl->window && !impl->orphaned) Capture_ResumePreview(impl->window);
  impl->restorePreview = false;
}

}  // namespace

void Impl_Free(SequenceImpl* impl) {
  if (impl->haveCompressor) ICCompressorFree(&impl->compressor);
  delete impl;
}

LRESULT Sequence_Start(CaptureWindowState* s, bool toFile) {
  SequenceImpl* impl = Impl(s);
  if (!impl || impl->capturing || !s->connected) return FALSE;
  try {
    if (impl->parms.fMakeUserHitOKToCapture) {
      impl->modalUp = true;
      bool agreed = UserAgrees(s, toFile);
      impl->modalUp = false;
      if (impl->orphaned) {  // the window went while the box was up: s is gone
        Impl_Free(impl);
        return FALSE;
      }
      if (!agreed) return FALSE;
    }
    if (impl->capturing || !s->connected) return FALSE;  // things may have changed while the box was up
    RecordingJob* job = MakeJob(s, impl, toFile);
    impl->capturing = 1;
    impl->stopRequested = 0;
    impl->abortRequested = 0;
    impl->frames = impl->dropped = impl->elapsedMs = impl->waveSamples = 0;
    impl->restorePreview = s->preview;
    if (s->preview) StopView(s);
    if (job->onWorker) {
      // Without the relay the worker's end would never reach this thread
      // and the window would stay busy for good.
      WorkerStart* start = new WorkerStart{impl, job};
      if (impl->relay) impl->worker = CreateThread(nullptr, 0, WorkerMain, start, 0, nullptr);
      if (impl->worker) return TRUE;
      delete start;
      delete job;
      EndOnWindowThread(impl);
      return FALSE;
    }
    BOOL ok = Recorder_Run(impl, *job);
    delete job;
    if (impl->orphaned) {  // the window went while it recorded
      Impl_Free(impl);
      return FALSE;
    }
    EndOnWindowThread(impl);
    return ok;
  } catch (...) {
    if (impl->capturing && !impl->worker && !impl->orphaned) EndOnWindowThread(impl);
    return FALSE;
  }
}

void Relay_Finished(SequenceImpl* impl) {
  if (impl->worker) {
    WaitForSingleObject(impl->worker, INFINITE);
    CloseHandle(impl->worker);
    impl->worker = nullptr;
  }
  EndOnWindowThread(impl);
}

LRESULT Sequence_Stop(CaptureWindowState* s, bool abort) {
  SequenceImpl* impl = Impl(s);
  if (!impl || !impl->capturing) return FALSE;
  InterlockedExchange(abort ? &impl->abortRequested : &impl->stopRequested, 1);
  return TRUE;
}

void Sequence_Destroy(CaptureWindowState* s) {
  SequenceImpl* impl = Impl(s);
  if (!impl) return;
  s->sequence.impl = nullptr;
  impl->stopRequested = 1;
  if (impl->worker) {
    // The worker only posts to the relay, never waits on this thread.
    WaitForSingleObject(impl->worker, INFINITE);
    CloseHandle(impl->worker);
    impl->worker = nullptr;
    impl->capturing = 0;
  }
  Relay_Destroy(impl);
  if (impl->capturing || impl->modalUp) {
    // Recording or asking in this thread, further up the stack: that ends
    // itself and frees the state; the window must not be touched any more.
    impl->orphaned = true;
    impl->window = nullptr;
    return;
  }
  Impl_Free(impl);
}
