// The video compression dialog: the platform's compressor chooser, starting
// from "uncompressed" (full frames) until a compressor has been chosen.
#include "recording/recording_state.h"

namespace {

void StartUncompressed(COMPVARS* c) {
  ZeroMemory(c, sizeof *c);
  c->cbSize = sizeof *c;
  c->dwFlags = ICMF_COMPVARS_VALID;
  c->fccType = ICTYPE_VIDEO;
  c->fccHandler = mmioFOURCC('D', 'I', 'B', ' ');  // full frames
  c->lQ = ICQUALITY_DEFAULT;
}

}  // namespace

LRESULT ShowCompressionDialog(CaptureWindowState* s) {
  std::shared_ptr<RecordingState> rec = s->recording;  // held while the chooser is up
  if (!rec || !s->connected || rec->capturing) return FALSE;
  try {
    if (!rec->haveCompressor) StartUncompressed(&rec->compressor);
    BITMAPINFO in{};
    in.bmiHeader = s->videoFormat;
    char title[] = "Video Compression";
    HWND owner = GetAncestor(s->window, GA_ROOT);
    BOOL chosen = ICCompressorChoose(owner, ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_KEYFRAME, &in, nullptr,
                                     &rec->compressor, title);
    if (chosen) rec->haveCompressor = true;
    if (rec->windowGone) return FALSE;  // the window went while the chooser was up
    return chosen ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
