// The recording code's own state behind SequenceState.impl, shared by the
// sequence_*.cpp and recorder_*.cpp files.
#ifndef MORVA_AVICAP32_SEQUENCE_IMPL_H
#define MORVA_AVICAP32_SEQUENCE_IMPL_H

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "avi_format.h"
#include "capture_state.h"

enum class AudioSourceChoice { Automatic, ToneOnly, None };

struct SequenceImpl {
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

SequenceImpl* Impl(const CaptureWindowState* s);
// Frees the recording state (its chosen compressor too).
void Impl_Free(SequenceImpl* impl);

// Reports of a recording: on the window's thread at once, or through the
// relay when the recording runs on its worker thread.
void Relay_Create(SequenceImpl* impl);
void Relay_Destroy(SequenceImpl* impl);
void Relay_Status(SequenceImpl* impl, bool direct, int id, const char* text);
void Relay_Error(SequenceImpl* impl, bool direct, int id, const char* text);
void Relay_PostFinished(SequenceImpl* impl);  // from the worker, its last act
void Relay_Finished(SequenceImpl* impl);      // then, on the window's thread: the clean-up

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
BOOL Recorder_Run(SequenceImpl* impl, RecordingJob& job);

#endif
