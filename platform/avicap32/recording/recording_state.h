// The recording state that the capture window holds
// (CaptureWindowState::recording), shared by the files of recording/.
#ifndef MORVA_AVICAP32_RECORDING_RECORDING_STATE_H
#define MORVA_AVICAP32_RECORDING_RECORDING_STATE_H

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "core/riff/avi_format.h"
#include "window/capture_state.h"

enum class AudioSourceChoice { Automatic, ToneOnly, None };

struct RecordingState {
  CaptureWindowState* window = nullptr;
  CAPTUREPARMS parms{};
  std::vector<uint8_t> audioFormat;   // a WAVEFORMATEX, PCM
  std::vector<avi::InfoItem> info;    // set with WM_CAP_FILE_SET_INFOCHUNK
  COMPVARS compressor{};              // chosen in the compression dialog
  bool haveCompressor = false;

  // The recording in progress. Counters are written by the recording and
  // read by GET_STATUS on the window's thread.
  volatile LONG capturing = 0;
  volatile LONG stopRequested = 0;
  volatile LONG abortRequested = 0;
  volatile LONG frames = 0;
  volatile LONG dropped = 0;
  volatile LONG elapsedMs = 0;
  volatile LONG waveSamples = 0;
  HANDLE worker = nullptr;            // the fYield recording's thread
  bool restorePreview = false;
  bool modalUp = false;               // the confirmation or compression box is up (window's thread)
  bool orphaned = false;              // the window went while recording or asking in its thread

  HWND relay = nullptr;               // carries reports of the worker to the window's thread
};

RecordingState* RecordingOf(const CaptureWindowState* s);
// Frees the recording state (its chosen compressor too).
void FreeRecordingState(RecordingState* rec);

// Reports of a recording: on the window's thread at once, or through the
// relay when the recording runs on its worker thread.
void CreateRelay(RecordingState* rec);
void DestroyRelay(RecordingState* rec);
void RelayStatus(RecordingState* rec, bool direct, int id, const char* text);
void RelayError(RecordingState* rec, bool direct, int id, const char* text);
void PostRecordingFinished(RecordingState* rec);  // from the worker, its last act
void FinishWorkerRecording(RecordingState* rec);      // then, on the window's thread: the clean-up

// Where recording audio comes from (MORVA_AVICAP_AUDIO_SOURCE=auto|tone|none).
AudioSourceChoice AudioSourceFromEnvironment();

// What one recording takes from the window when it starts.
struct RecordingJob {
  CAPTUREPARMS parms{};
  bool toFile = true;
  bool onWorker = false;
  char path[MAX_PATH] = "";
  capcore::FrameFormat format;
  capcore::SourceSettings source;
  BITMAPINFOHEADER bih{};
  std::vector<uint8_t> audioFormat;
  std::vector<avi::InfoItem> info;
  COMPVARS compressor{};
  bool haveCompressor = false;
  UINT previewRateMs = 66;
  bool showFrames = false;            // in the window's thread with preview on
};

// Runs one recording to its end; TRUE when it recorded.
BOOL RunRecording(RecordingState* rec, RecordingJob& job);

#endif
