// recording/: recording the camera into an AVI file. These are the recording
// requests of the capture window (streaming to AVI, the recording setup, the
// audio format, save-as, preallocation, compression), called by the capture
// window's dispatch; the window holds its RecordingState.
#ifndef MORVA_AVICAP32_RECORDING_RECORDING_H
#define MORVA_AVICAP32_RECORDING_RECORDING_H

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

struct CaptureWindowState;

void CreateRecordingState(CaptureWindowState* s);   // at window creation
void ReleaseRecordingState(CaptureWindowState* s);  // at window destruction (stops a recording)

// Each returns the request's documented result (FALSE when it cannot be done).
LRESULT GetRecordingSetup(CaptureWindowState* s, WPARAM size, CAPTUREPARMS* out);
LRESULT SetRecordingSetup(CaptureWindowState* s, WPARAM size, const CAPTUREPARMS* in);
LRESULT StartRecording(CaptureWindowState* s, bool toFile);   // WM_CAP_SEQUENCE(_NOFILE)
LRESULT StopRecording(CaptureWindowState* s, bool abort);     // WM_CAP_STOP / WM_CAP_ABORT
// Before a disconnection: a recording on the worker stopped (its file kept)
// and over. False when a recording in the window's thread goes on, when the
// window went meanwhile, or inside a request of the worker's own procedure
// (which cannot be waited for: the recording is only told to stop).
bool EndWorkerRecording(CaptureWindowState* s);
LRESULT GetAudioFormat(CaptureWindowState* s, WPARAM size, WAVEFORMATEX* out);
LRESULT SetAudioFormat(CaptureWindowState* s, WPARAM size, const WAVEFORMATEX* in);
LRESULT SaveRecordingAs(CaptureWindowState* s, const char* path);  // the name in the code page
LRESULT SaveRecordingAsW(CaptureWindowState* s, const WCHAR* path);
LRESULT AllocateCaptureFile(CaptureWindowState* s, DWORD bytes);
LRESULT SetInfoChunk(CaptureWindowState* s, const CAPINFOCHUNK* chunk);
LRESULT ShowCompressionDialog(CaptureWindowState* s);
// The chosen compressor in the camera's section of the settings file, and
// back (a compressor no longer installed leaves the choice as it was).
void RememberCompressor(const CaptureWindowState* s, const char* section, const char* file);
void RecallCompressor(CaptureWindowState* s, const char* section, const char* file);
// The caller's procedures that a recording calls (run_callbacks.cpp).
LRESULT SetVideoStreamCallback(CaptureWindowState* s, CAPVIDEOCALLBACK cb);
LRESULT SetWaveStreamCallback(CaptureWindowState* s, CAPWAVECALLBACK cb);
LRESULT SetYieldCallback(CaptureWindowState* s, CAPYIELDCALLBACK cb);
LRESULT SetControlCallback(CaptureWindowState* s, CAPCONTROLCALLBACK cb);
// Single frames, one per request, into the capture file (single_frames.cpp).
LRESULT OpenSingleFrames(CaptureWindowState* s);
LRESULT TakeSingleFrame(CaptureWindowState* s);
LRESULT CloseSingleFrames(CaptureWindowState* s);
bool IsRecording(const CaptureWindowState* s);
void FillRecordingStatus(const CaptureWindowState* s, CAPSTATUS* status);  // recording fields

#endif
