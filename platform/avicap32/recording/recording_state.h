// The recording state that the capture window holds
// (CaptureWindowState::recording), shared by the files of recording/.
//
// Its lifetime follows one rule: it is owned through shared pointers by
// everyone who uses it (the window, a recording running in the window's
// thread or on its worker, a confirmation or compression box that is up),
// and whoever finishes last frees it. The window's end sets `windowGone`
// and wakes the recording; from then on nothing touches the window.
//
// The caller's procedures that a recording calls run on the recording's
// thread. A worker calls them only through Recording::CallOut
// (run_callbacks.cpp), which takes the procedure from its slot under the
// callout lock and marks the call. Whoever takes a procedure away (a new one
// set, the window's end, STOP, ABORT, DISCONNECT) waits until the worker is
// out of it, answering the requests sent to the window's thread meanwhile
// (worker_wait.cpp), so that a procedure may send requests to the window.
// That wait is skipped only inside a request sent from another thread while
// the worker is inside a procedure: it may be that procedure's own request,
// whose sender cannot return before it does.
#ifndef MORVA_AVICAP32_RECORDING_RECORDING_STATE_H
#define MORVA_AVICAP32_RECORDING_RECORDING_STATE_H

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cameras/camera.h"
#include "common/knobs.h"
#include "core/riff/avi_format.h"
#include "window/capture_state.h"

struct RecordingState : std::enable_shared_from_this<RecordingState> {
  RecordingState();
  ~RecordingState();  // frees the chosen compressor
  RecordingState(const RecordingState&) = delete;
  RecordingState& operator=(const RecordingState&) = delete;

  CaptureWindowState* window = nullptr;  // read on the window's thread only, while !windowGone
  CAPTUREPARMS parms{};
  std::vector<uint8_t> audioFormat;   // a WAVEFORMATEX and, unless PCM, its cbSize extra bytes
  std::vector<avi::InfoItem> info;    // set with WM_CAP_FILE_SET_INFOCHUNK
  COMPVARS compressor{};              // chosen in the compression dialog
  bool haveCompressor = false;

  // The recording in progress. Written by the recording (on either thread),
  // read by WM_CAP_GET_STATUS on the window's thread.
  std::atomic<bool> capturing{false};
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> abortRequested{false};
  std::atomic<bool> windowGone{false};
  std::atomic<long> frames{0};
  std::atomic<long> dropped{0};
  std::atomic<long> elapsedMs{0};
  std::atomic<long> waveSamples{0};
  HANDLE wake = nullptr;              // manual-reset event: set to end the pacing wait at once
  HANDLE worker = nullptr;            // the fYield recording's thread
  unsigned run = 0;                   // the number of the worker's recording (its finish names it)
  bool restorePreview = false;
  HWND relay = nullptr;               // carries reports of the worker to the window's thread

  // The caller's procedures that a recording calls (none: not called): set
  // on the window's thread, read by the recording on either thread.
  std::atomic<CAPVIDEOCALLBACK> videoStream{nullptr};
  std::atomic<CAPWAVECALLBACK> waveStream{nullptr};
  std::atomic<CAPYIELDCALLBACK> yield{nullptr};
  std::atomic<CAPCONTROLCALLBACK> control{nullptr};
  // Guards windowGone's setting, relay posts from the worker, the slots'
  // changes and the worker's calls against each other (CalloutLock).
  CRITICAL_SECTION calloutLock;
  bool workerInCallout = false;
  unsigned calloutsLeft = 0;          // calls the worker has come back from
  HANDLE calloutLeft = nullptr;       // manual-reset event: set whenever it comes back from one

  // The single-frame capture file while open (single_frames.cpp).
  std::shared_ptr<struct SingleFrameFile> singleFrames;
};

// Holds the recording state's callout lock while it lives.
class CalloutLock {
 public:
  explicit CalloutLock(RecordingState* rec) : rec_(rec) { EnterCriticalSection(&rec_->calloutLock); }
  ~CalloutLock() { LeaveCriticalSection(&rec_->calloutLock); }
  CalloutLock(const CalloutLock&) = delete;
  CalloutLock& operator=(const CalloutLock&) = delete;

 private:
  RecordingState* rec_;
};

RecordingState* RecordingOf(const CaptureWindowState* s);
// The default setup and audio format of a new recording state (setup.cpp).
void InitRecordingSetup(RecordingState* rec);

// Reports of a recording: on the window's thread at once, or through the
// relay when the recording runs on its worker thread. Nothing is reported
// once the window is gone.
void CreateRelay(RecordingState* rec);
void DestroyRelay(RecordingState* rec);
void RelayReport(RecordingState* rec, bool direct, ReportKind kind, int id, const char* text);
void PostRecordingFinished(RecordingState* rec, unsigned run);  // from the worker, its last act
// Then, on the window's thread, the clean-up (nothing when that worker was
// waited for and cleaned up already, or the window let it go).
void FinishWorkerRecording(RecordingState* rec, unsigned run);

// The waits for the worker on the window's thread (worker_wait.cpp), which
// answer the requests sent to that thread while they wait. Each returns
// false without waiting inside a request that the worker's procedure may
// have sent (see above).
bool WaitForWorkerEnd(RecordingState* rec);   // until its thread has ended
bool WaitOutOfCallout(RecordingState* rec);   // until it has left the procedure it is in
// True inside such a request (called with the callout lock held).
bool InRequestFromProcedure(const RecordingState* rec);

// Ends the window's single-frame capture file quietly (the window is going).
void EndSingleFrames(RecordingState* rec);

// What one recording takes from the window when it starts.
struct RecordingJob {
  HWND window = nullptr;              // what the caller's procedures are given
  CAPTUREPARMS parms{};
  bool toFile = true;
  bool onWorker = false;
  WCHAR path[MAX_PATH] = L"";
  std::string pathText;               // the path as the reports show it (the code page)
  capcore::FrameFormat format;
  BITMAPINFOHEADER bih{};
  std::vector<uint8_t> audioFormat;
  std::vector<avi::InfoItem> info;
  COMPVARS compressor{};
  bool haveCompressor = false;
  UINT previewRateMs = kDefaultPreviewMs;
  bool showFrames = false;            // in the window's thread with preview on
  ServiceKnobs knobs;                 // as they were when it started
  std::shared_ptr<CameraFrames> frames;  // the camera's, held until the recording ends, even past the window
};

// Runs one recording to its end; TRUE when it recorded.
BOOL RunRecording(RecordingState* rec, RecordingJob& job);

#endif
