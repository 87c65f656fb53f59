// The video compression dialog: the platform's compressor chooser, starting
// from "uncompressed" (full frames) until a compressor has been chosen. The
// choice (the compressor's code, quality, key-frame rate and its own state,
// as its configuration dialog left it) is kept per camera with its other
// settings (drivers/driver_settings.cpp), so that the camera records with it
// again after the next connection.
#include <cstdio>

#include "drivers/drivers.h"
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

void Replace(RecordingState* rec, const COMPVARS& c) {
  if (rec->haveCompressor) ICCompressorFree(&rec->compressor);
  rec->compressor = c;
  rec->haveCompressor = true;
}

// Four printable characters, else none.
bool FourccText(DWORD fcc, char* out) {
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((fcc >> (8 * i)) & 0xFF);
    if (c < ' ' || c > '~') return false;
    out[i] = c;
  }
  out[4] = '\0';
  return true;
}

// The largest compressor state (ICGetState) kept.
const LRESULT kMaxState = 256;

// The compressor's state as hexadecimal text, if it has one of a sensible
// size; a compressor without one has the key removed.
void WriteState(HIC hic, const char* section, const char* file) {
  const LRESULT size = hic ? ICGetStateSize(hic) : 0;
  unsigned char state[kMaxState];
  char text[2 * kMaxState + 1] = "";
  const bool have = size > 0 && size <= kMaxState && ICGetState(hic, state, static_cast<DWORD>(size)) == size;
  for (LRESULT i = 0; have && i < size; ++i) std::snprintf(text + 2 * i, 3, "%02x", state[i]);
  WritePrivateProfileStringA(section, "CompressorState", have ? text : nullptr, file);
}

void ReadState(HIC hic, const char* section, const char* file) {
  char text[2 * kMaxState + 2] = "";
  GetPrivateProfileStringA(section, "CompressorState", "", text, sizeof text, file);
  const int length = lstrlenA(text);
  if (length == 0 || length % 2 != 0 || length > 2 * kMaxState) return;
  unsigned char state[kMaxState];
  for (int i = 0; i < length / 2; ++i) {
    unsigned v = 0;
    if (std::sscanf(text + 2 * i, "%2x", &v) != 1) return;
    state[i] = static_cast<unsigned char>(v);
  }
  ICSetState(hic, state, static_cast<DWORD>(length / 2));
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
    if (chosen) SaveDriverSettings(s);
    return chosen ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

void RememberCompressor(const CaptureWindowState* s, const char* section, const char* file) {
  const RecordingState* rec = s->recording.get();
  char fcc[5], number[16];
  if (!rec || !rec->haveCompressor || !FourccText(rec->compressor.fccHandler, fcc)) return;
  WritePrivateProfileStringA(section, "Compressor", fcc, file);
  std::snprintf(number, sizeof number, "%ld", rec->compressor.lQ);
  WritePrivateProfileStringA(section, "CompressorQuality", number, file);
  std::snprintf(number, sizeof number, "%ld", rec->compressor.lKey);
  WritePrivateProfileStringA(section, "CompressorKeyFrames", number, file);
  WriteState(rec->compressor.hic, section, file);
}

void RecallCompressor(CaptureWindowState* s, const char* section, const char* file) {
  RecordingState* rec = s->recording.get();
  char fcc[8] = "";
  GetPrivateProfileStringA(section, "Compressor", "", fcc, sizeof fcc, file);
  const int length = lstrlenA(fcc);
  if (!rec || rec->capturing || length == 0 || length > 4) return;
  for (int i = length; i < 4; ++i) fcc[i] = ' ';  // the reader drops trailing blanks ("DIB ")
  COMPVARS c;
  StartUncompressed(&c);
  c.fccHandler = mmioFOURCC(fcc[0], fcc[1], fcc[2], fcc[3]);
  if (c.fccHandler != mmioFOURCC('D', 'I', 'B', ' ')) {
    c.hic = ICOpen(ICTYPE_VIDEO, c.fccHandler, ICMODE_COMPRESS);
    if (!c.hic) return;  // no longer installed: the choice stays as it was
    const LONG quality = static_cast<LONG>(GetPrivateProfileIntA(section, "CompressorQuality", ICQUALITY_DEFAULT, file));
    c.lQ = quality >= 0 && quality <= ICQUALITY_HIGH ? quality : ICQUALITY_DEFAULT;
    c.lKey = static_cast<LONG>(GetPrivateProfileIntA(section, "CompressorKeyFrames", 0, file));
    ReadState(c.hic, section, file);
  }
  Replace(rec, c);
}
