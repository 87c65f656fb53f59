// The Motion JPEG codec morvamjpg.dll: a video compression manager driver
// for FOURCC MJPG. DriverProc (driver_proc.cpp) opens one Codec per ICOpen
// and hands it the ICM_ messages: compress.cpp takes 16-, 24- and 32-bit
// BI_RGB frames (bottom-up or top-down) to baseline 4:2:0 JPEG, every frame
// a key frame; decompress.cpp turns MJPG back into 24- or 32-bit frames.
// Every header is checked (core/image/dib_layout) before a pixel is touched.
// configure.cpp is its quality dialog.
#ifndef MORVA_MJPEG_CODEC_H
#define MORVA_MJPEG_CODEC_H

#include <windows.h>
#include <vfw.h>

#include "core/image/dib_layout.h"

namespace mjpeg {

const DWORD kFourcc = mmioFOURCC('M', 'J', 'P', 'G');
const DWORD kDefaultQuality = 9000;  // of the manager's 0..10000

struct Codec {
  DWORD quality = kDefaultQuality;  // used when a frame asks for the default
};

// What ICM_GETSTATE and ICM_SETSTATE carry.
struct SavedState {
  DWORD tag;  // kFourcc
  DWORD quality;
};

// The header fields the checks read; a null header gives zeros (refused).
capcore::DibFields Fields(const BITMAPINFOHEADER* h);
// The header of an MJPG frame of that size.
void FillMjpgHeader(BITMAPINFOHEADER* h, int width, int height);

// ICM_CONFIGURE: lParam1 -1 asks whether there is a dialog, else owns it.
LRESULT Configure(Codec* codec, LPARAM owner);

LRESULT CompressQuery(const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT CompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out);
LRESULT CompressGetSize(const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT Compress(const Codec& codec, ICCOMPRESS* c, size_t size);

LRESULT DecompressQuery(const BITMAPINFO* in, const BITMAPINFO* out);
LRESULT DecompressGetFormat(const BITMAPINFO* in, BITMAPINFO* out);
LRESULT Decompress(ICDECOMPRESS* d, size_t size);

}  // namespace mjpeg

#endif
