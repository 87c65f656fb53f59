// Recording requests before recording exists: each answers FALSE.
#include "sequence.h"

void Sequence_Init(CaptureWindowState*) {}
void Sequence_Destroy(CaptureWindowState*) {}
LRESULT Sequence_GetSetup(CaptureWindowState*, WPARAM, CAPTUREPARMS*) { return FALSE; }
LRESULT Sequence_SetSetup(CaptureWindowState*, WPARAM, const CAPTUREPARMS*) { return FALSE; }
LRESULT Sequence_Start(CaptureWindowState*, bool) { return FALSE; }
LRESULT Sequence_Stop(CaptureWindowState*, bool) { return FALSE; }
LRESULT Sequence_GetAudioFormat(CaptureWindowState*, WPARAM, WAVEFORMATEX*) { return 0; }
LRESULT Sequence_SetAudioFormat(CaptureWindowState*, WPARAM, const WAVEFORMATEX*) { return FALSE; }
LRESULT Sequence_SaveAs(CaptureWindowState*, const char*) { return FALSE; }
LRESULT Sequence_FileAllocate(CaptureWindowState*, DWORD) { return FALSE; }
LRESULT Sequence_SetInfoChunk(CaptureWindowState*, const CAPINFOCHUNK*) { return FALSE; }
LRESULT Sequence_DlgCompression(CaptureWindowState*) { return FALSE; }
bool Sequence_IsCapturing(const CaptureWindowState*) { return false; }
void Sequence_FillStatus(const CaptureWindowState*, CAPSTATUS*) {}
