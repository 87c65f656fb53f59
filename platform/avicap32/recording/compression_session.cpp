// Frame compression through the video compression manager's sequence calls.
#include "recording/compression_session.h"

CompressionSession::~CompressionSession() {
  if (started_) ICSeqCompressFrameEnd(&cv_);
}

bool CompressionSession::Wanted(const COMPVARS& chosen, bool have) {
  return have && chosen.hic != nullptr && chosen.fccHandler != 0 &&
         chosen.fccHandler != mmioFOURCC('D', 'I', 'B', ' ');
}

bool CompressionSession::Start(const COMPVARS& chosen, const BITMAPINFOHEADER& input) {
  cv_ = chosen;
  cv_.lpbiIn = nullptr;
  cv_.lpbiOut = nullptr;
  cv_.lpBitsOut = nullptr;
  cv_.lpBitsPrev = nullptr;
  cv_.lpState = nullptr;
  in_.bmiHeader = input;
  started_ = ICSeqCompressFrameStart(&cv_, &in_) != FALSE;
  // Every frame of a compressor that codes no frame from another (no
  // VIDCF_TEMPORAL) is a key frame, whatever the sequence calls report.
  ICINFO info{};
  info.dwSize = sizeof info;
  keyFramesOnly_ = ICGetInfo(cv_.hic, &info, sizeof info) != 0 && !(info.dwFlags & VIDCF_TEMPORAL);
  return started_ && cv_.lpbiOut != nullptr;
}

avi::VideoFormat CompressionSession::OutputFormat() const {
  avi::VideoFormat v;
  const BITMAPINFOHEADER& h = cv_.lpbiOut->bmiHeader;
  v.width = h.biWidth;
  v.height = h.biHeight;
  v.bitCount = h.biBitCount;
  v.compression = h.biCompression;
  v.sizeImage = h.biSizeImage;
  v.clrUsed = h.biClrUsed;
  v.handler = cv_.fccHandler;
  if (h.biSize > sizeof(BITMAPINFOHEADER) && h.biSize < 65536) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&h) + sizeof(BITMAPINFOHEADER);
    v.extra.assign(p, p + (h.biSize - sizeof(BITMAPINFOHEADER)));
  }
  return v;
}

const void* CompressionSession::Compress(void* bits, uint32_t* size, bool* key) {
  BOOL k = FALSE;
  LONG n = 0;
  const void* out = ICSeqCompressFrame(&cv_, 0, bits, &k, &n);
  if (!out || n < 0) return nullptr;
  *size = static_cast<uint32_t>(n);
  *key = k != FALSE || keyFramesOnly_;
  return out;
}
