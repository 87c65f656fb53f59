// Recording requests of the capture window (streaming to AVI, the sequence
// setup, the audio format, save-as, preallocation, compression), called by
// the capture window's dispatch. The capture window embeds SequenceState.
#ifndef MORVA_AVICAP32_SEQUENCE_H
#define MORVA_AVICAP32_SEQUENCE_H

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

struct CaptureWindowState;

struct SequenceState {
  void* impl;  // owned by the recording code
};

void Sequence_Init(CaptureWindowState* s);      // at window creation
void Sequence_Destroy(CaptureWindowState* s);   // at window destruction (stops a recording)

// Each returns the request's documented result (FALSE when it cannot be done).
LRESULT Sequence_GetSetup(CaptureWindowState* s, WPARAM size, CAPTUREPARMS* out);
LRESULT Sequence_SetSetup(CaptureWindowState* s, WPARAM size, const CAPTUREPARMS* in);
LRESULT Sequence_Start(CaptureWindowState* s, bool toFile);   // WM_CAP_SEQUENCE(_NOFILE)
LRESULT Sequence_Stop(CaptureWindowState* s, bool abort);     // WM_CAP_STOP / WM_CAP_ABORT
LRESULT Sequence_GetAudioFormat(CaptureWindowState* s, WPARAM size, WAVEFORMATEX* out);
LRESULT Sequence_SetAudioFormat(CaptureWindowState* s, WPARAM size, const WAVEFORMATEX* in);
LRESULT Sequence_SaveAs(CaptureWindowState* s, const char* path);
LRESULT Sequence_FileAllocate(CaptureWindowState* s, DWORD bytes);
LRESULT Sequence_SetInfoChunk(CaptureWindowState* s, const CAPINFOCHUNK* chunk);
LRESULT Sequence_DlgCompression(CaptureWindowState* s);
bool Sequence_IsCapturing(const CaptureWindowState* s);
void Sequence_FillStatus(const CaptureWindowState* s, CAPSTATUS* status);  // recording fields

#endif
