// The video compression dialog: the platform's compressor chooser, starting
// from "uncompressed" (full frames) until a compressor has been chosen.
#include "sequence_impl.h"

LRESULT Sequence_DlgCompression(CaptureWindowState* s) {
  SequenceImpl* impl = Impl(s);
  if (!impl || !s->connected || impl->capturing) return FALSE;
  try {
    if (!impl->haveCompressor) {
      ZeroMemory(&impl->compressor, sizeof impl->compressor);
      impl->compressor.cbSize = sizeof impl->compressor;
      impl->compressor.dwFlags = ICMF_COMPVARS_VALID;
      impl->compressor.fccType = ICTYPE_VIDEO;
      impl->compressor.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');  // full frames
      impl->compressor.lQ = ICQUALITY_DEFAULT;
    }
    BITMAPINFO in{};
    in.bmiHeader = s->videoFormat;
    char title[] = "Video Compression";
    HWND owner = GetAncestor(s->window, GA_ROOT);
    impl->modalUp = true;
    BOOL chosen = ICCompressorChoose(owner, ICMF_CHOOSE_DATARATE | ICMF_CHOOSE_KEYFRAME, &in, nullptr,
                                     &impl->compressor, title);
    impl->modalUp = false;
    if (chosen) impl->haveCompressor = true;
    if (impl->orphaned) {  // the window went while the chooser was up: s is gone
      Impl_Free(impl);
      return FALSE;
    }
    return chosen ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
