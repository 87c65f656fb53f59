// ICM_COMPRESS_*: which frames the codec takes, the format and largest size
// of what it makes, and one frame compressed into the caller's buffer.
#include "codec.h"

#include "jpeg_codec.h"

namespace mjpeg {

namespace {

bool InputLayout(const BITMAPINFO* in, capcore::DibLayout* l) {
  return in && capcore::ReadRgbLayout(Fields(&in->bmiHeader), l);
}

// An output format fit for `l`: MJPG of the same size.
bool OutputFits(const BITMAPINFO* out, const capcore::DibLayout& l) {
  int w = 0, h = 0;
  return capcore::ReadCompressedSize(Fields(&out->bmiHeader), kFourcc, &w, &h) && w == l.width && h == l.height;
}

// ICQUALITY_DEFAULT (or anything past the range) asks for the codec's own.
DWORD FrameQuality(const Codec& codec, DWORD asked) {
  return asked <= ICQUALITY_HIGH ? asked : codec.quality;
}

}  // namespace

capcore::DibFields Fields(const BITMAPINFOHEADER* h) {
  capcore::DibFields f;
  if (!h || h->biSize < sizeof(BITMAPINFOHEADER)) return f;
  f.width = h->biWidth;
  f.height = h->biHeight;
  f.planes = h->biPlanes;
  f.bitCount = h->biBitCount;
  f.compression = h->biCompression;
  f.sizeImage = h->biSizeImage;
  return f;
}

void FillMjpgHeader(BITMAPINFOHEADER* h, int width, int height) {
  ZeroMemory(h, sizeof *h);
  h->biSize = sizeof *h;
  h->biWidth = width;
  h->biHeight = height;
  h->biPlanes = 1;
  h->biBitCount = 24;
  h->biCompression = kFourcc;
  h->biSizeImage = capcore::JpegBound(width, height);
}

LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) {
  capcore::DibLayout l;
  if (!InputLayout(in, &l)) return ICERR_BADFORMAT;
  return !out || OutputFits(out, l) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) {
  if (!out) return sizeof(BITMAPINFOHEADER);
  capcore::DibLayout l;
  if (!InputLayout(in, &l)) return ICERR_BADFORMAT;
  FillMjpgHeader(&out->bmiHeader, l.width, l.height);
  return ICERR_OK;
}

LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO*) {
  capcore::DibLayout l;
  if (!InputLayout(in, &l)) return 0;
  return static_cast<LRESULT>(capcore::JpegBound(l.width, l.height));
}

LRESULT Compress(const Codec& codec, ICCOMPRESS* c, size_t size) {
  if (!c || size < sizeof(ICCOMPRESS) || !c->lpInput || !c->lpOutput || !c->lpbiOutput) return ICERR_BADPARAM;
  capcore::DibLayout l;
  if (!capcore::ReadRgbLayout(Fields(c->lpbiInput), &l)) return ICERR_BADFORMAT;
  BITMAPINFO out;
  out.bmiHeader = *c->lpbiOutput;
  if (c->lpbiOutput->biSize < sizeof(BITMAPINFOHEADER) || !OutputFits(&out, l)) return ICERR_BADFORMAT;
  // The caller's buffer holds what ICM_COMPRESS_GET_SIZE said.
  const int q = JpegQuality(FrameQuality(codec, c->dwQuality));
  const uint32_t n = EncodeFrame(l, static_cast<const uint8_t*>(c->lpInput), q, static_cast<uint8_t*>(c->lpOutput),
                                 capcore::JpegBound(l.width, l.height));
  if (n == 0) return ICERR_ERROR;
  c->lpbiOutput->biSizeImage = n;
  if (c->lpdwFlags) *c->lpdwFlags = AVIIF_KEYFRAME;  // every frame stands alone
  return ICERR_OK;
}

}  // namespace mjpeg
