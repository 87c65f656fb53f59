// ICM_DECOMPRESS_*: MJPG frames of a size within the limits back to 24- or
// 32-bit BI_RGB frames of the same size, bottom-up or top-down.
#include "codec.h"

#include "jpeg_codec.h"

namespace mjpeg {

namespace {

bool InputSize(const BITMAPINFO* in, int* w, int* h) {
  return in && capcore::ReadCompressedSize(Fields(&in->bmiHeader), kFourcc, w, h);
}

bool OutputLayout(const BITMAPINFOHEADER* out, int w, int h, capcore::DibLayout* l) {
  return capcore::ReadRgbLayout(Fields(out), l) && l->bitCount != 16 && l->width == w && l->height == h;
}

}  // namespace

LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out) {
  int w = 0, h = 0;
  if (!InputSize(in, &w, &h)) return ICERR_BADFORMAT;
  capcore::DibLayout l;
  return !out || OutputLayout(&out->bmiHeader, w, h, &l) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out) {
  if (!out) return sizeof(BITMAPINFOHEADER);
  int w = 0, h = 0;
  if (!InputSize(in, &w, &h)) return ICERR_BADFORMAT;
  BITMAPINFOHEADER& o = out->bmiHeader;
  ZeroMemory(&o, sizeof o);
  o.biSize = sizeof o;
  o.biWidth = w;
  o.biHeight = h;
  o.biPlanes = 1;
  o.biBitCount = 24;
  o.biCompression = BI_RGB;
  capcore::DibLayout l;
  if (!capcore::ReadRgbLayout(Fields(&o), &l)) return ICERR_BADFORMAT;
  o.biSizeImage = static_cast<DWORD>(l.bytes);
  return ICERR_OK;
}

LRESULT Decompress(ICDECOMPRESS* d, size_t size) {
  if (!d || size < sizeof(ICDECOMPRESS) || !d->lpbiInput || !d->lpInput || !d->lpOutput) return ICERR_BADPARAM;
  int w = 0, h = 0;
  capcore::DibLayout l;
  if (!capcore::ReadCompressedSize(Fields(d->lpbiInput), kFourcc, &w, &h) || !OutputLayout(d->lpbiOutput, w, h, &l))
    return ICERR_BADFORMAT;
  const DWORD bytes = d->lpbiInput->biSizeImage;  // the frame's length
  if (bytes == 0 || bytes > capcore::kMaxDibBytes) return ICERR_BADFORMAT;
  return DecodeFrame(static_cast<const uint8_t*>(d->lpInput), bytes, l, static_cast<uint8_t*>(d->lpOutput))
             ? ICERR_OK
             : ICERR_ERROR;
}

}  // namespace mjpeg
