// The video compression dialog: the platform's compressor chooser, starting
// from "uncompressed" (full frames) until a compressor has been chosen.
#include "recording/recording_state.h"

LRESULT ShowCompressionDialog(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !s->connected || rec->capturing) return FALSE;
  try {
    if (!rec->haveCompressor) {
      ZeroMemory(&rec->compressor, sizeof rec->compressor);
      rec->compressor.cbSize = sizeof rec->compressor;
      rec->compressor.dwFlags = ICMF_COMPVARS_VALID;
      rec->compressor.fccType = ICTYPE_VIDEO;
      rec->compressor.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');  // full frames
      rec->compressor.lQ = ICQUALITY_DEFAULT;
    }
    BITMAPINFO in{};
    in.bmiHeader = s->videoFormat;
    char title[] = "Video Compression";
    HWND owner = GetAncestor(s->window, GA_ROOT);
    rec->modalUp = true;
    BOOL chosen = ICCompressorChoose(owner, ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_KEYFRAME, &in, nullptr,
                                     &rec->compressor, title);
    rec->modalUp = false;
    if (chosen) rec->haveCompressor = true;
    if (rec->orphaned) {  // the window went while the chooser was up: s is gone
      FreeRecordingState(rec);
      return FALSE;
    }
    return chosen ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
