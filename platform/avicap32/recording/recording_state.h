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
// (run_callbacks.cpp), and the window's end does not wait for a worker that
// is inside such a call: the procedure may be waiting for the window's
// thread, even for the very request that destroys the window. That worker
// is let go and finishes on its own.
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
  bool restorePreview = false;
  HWND relay = nullptr;               // carries reports of the worker to the window's thread

  // The caller's procedures that a recording calls (none: not called): set
  // on the window's thread, read by the recording on either thread.
  std::atomic<CAPVIDEOCALLBACK> videoStream{nullptr};
  std::atomic<CAPWAVECALLBACK> waveStream{nullptr};
  std::atomic<CAPYIELDCALLBACK> yield{nullptr};
  std::atomic<CAPCONTROLCALLBACK> control{nullptr};
  // Guards windowGone's setting, relay posts from the worker and
  // workerInCallout against each other (CalloutLock).
  CRITICAL_SECTION calloutLock;
  bool workerInCallout = false;

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
void PostRecordingFinished(RecordingState* rec);  // from the worker, its last act
void FinishWorkerRecording(RecordingState* rec);  // then, on the window's thread: the clean-up

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
