// DriverProc of morvamjpg.dll: the driver messages (load, open one Codec per
// ICOpen, close, free) and the dispatch of the ICM_ messages to their
// handlers. Nothing thrown leaves it.
#include <new>

#include "codec.h"

namespace mjpeg {

namespace {

const DWORD kVersion = 0x00010000;

LRESULT Open(const ICOPEN* open) {
  // Only video compression; an open without ICOPEN (the driver manager's
  // own) gets an instance too.
  if (open && open->fccType != 0 && open->fccType != ICTYPE_VIDEO && open->fccType != mmioFOURCC('V', 'I', 'D', 'C'))
    return 0;
  Codec* codec = new (std::nothrow) Codec;
  if (open) const_cast<ICOPEN*>(open)->dwError = codec ? ICERR_OK : ICERR_MEMORY;
  return reinterpret_cast<LRESULT>(codec);
}

LRESULT GetInfo(ICINFO* info, LPARAM size) {
  if (!info) return sizeof(ICINFO);
  if (size < static_cast<LPARAM>(sizeof(ICINFO))) return 0;
  ZeroMemory(info, sizeof *info);
  info->dwSize = sizeof *info;
  info->fccType = ICTYPE_VIDEO;
  info->fccHandler = kFourcc;
  info->dwFlags = VIDCF_QUALITY;
  info->dwVersion = kVersion;
  info->dwVersionICM = ICVERSION;
  lstrcpynW(info->szName, L"MJPG", ARRAYSIZE(info->szName));
  lstrcpynW(info->szDescription, L"Morva Motion JPEG", ARRAYSIZE(info->szDescription));
  return sizeof *info;
}

LRESULT GetState(const Codec& codec, SavedState* out, LPARAM size) {
  if (!out) return sizeof(SavedState);
  if (size < static_cast<LPARAM>(sizeof(SavedState))) return ICERR_BADSIZE;
  out->tag = kFourcc;
  out->quality = codec.quality;
  return sizeof(SavedState);
}

LRESULT SetState(Codec* codec, const SavedState* in, LPARAM size) {
  if (!in) {
    codec->quality = kDefaultQuality;
    return 0;
  }
  if (size < static_cast<LPARAM>(sizeof(SavedState)) || in->tag != kFourcc || in->quality > ICQUALITY_HIGH) return 0;
  codec->quality = in->quality;
  return sizeof(SavedState);
}

LRESULT PutDword(LPARAM where, DWORD value) {
  if (!where) return ICERR_BADPARAM;
  *reinterpret_cast<DWORD*>(where) = value;
  return ICERR_OK;
}

LRESULT SetQuality(Codec* codec, LPARAM quality) {
  if (quality < 0 || quality > ICQUALITY_HIGH) return ICERR_BADPARAM;
  codec->quality = static_cast<DWORD>(quality);
  return ICERR_OK;
}

const BITMAPINFO* In(LPARAM p) { return reinterpret_cast<const BITMAPINFO*>(p); }
BITMAPINFO* Out(LPARAM p) { return reinterpret_cast<BITMAPINFO*>(p); }

LRESULT CodecMessage(Codec* codec, UINT msg, LPARAM p1, LPARAM p2) {
  switch (msg) {
    case ICM_CONFIGURE: return Configure(codec, p1);
    case ICM_GETINFO: return GetInfo(reinterpret_cast<ICINFO*>(p1), p2);
    case ICM_GETDEFAULTQUALITY: return PutDword(p1, kDefaultQuality);
    case ICM_GETQUALITY: return PutDword(p1, codec->quality);
    case ICM_SETQUALITY: return SetQuality(codec, p1);
    case ICM_GETDEFAULTKEYFRAMERATE: return PutDword(p1, 1);
    case ICM_GETSTATE: return GetState(*codec, reinterpret_cast<SavedState*>(p1), p2);
    case ICM_SETSTATE: return SetState(codec, reinterpret_cast<const SavedState*>(p1), p2);
    case ICM_COMPRESS_QUERY: return CompressQuery(In(p1), In(p2));
    case ICM_COMPRESS_GET_FORMAT: return CompressGetFormat(In(p1), Out(p2));
    case ICM_COMPRESS_GET_SIZE: return CompressGetSize(In(p1), In(p2));
    case ICM_COMPRESS_BEGIN: return CompressQuery(In(p1), In(p2));
    case ICM_COMPRESS: return Compress(*codec, reinterpret_cast<ICCOMPRESS*>(p1), static_cast<size_t>(p2));
    case ICM_COMPRESS_END: return ICERR_OK;
    case ICM_COMPRESS_FRAMES_INFO: return ICERR_OK;
    case ICM_DECOMPRESS_QUERY: return DecompressQuery(In(p1), In(p2));
    case ICM_DECOMPRESS_GET_FORMAT: return DecompressGetFormat(In(p1), Out(p2));
    case ICM_DECOMPRESS_BEGIN: return DecompressQuery(In(p1), In(p2));
    case ICM_DECOMPRESS: return Decompress(reinterpret_cast<ICDECOMPRESS*>(p1), static_cast<size_t>(p2));
    case ICM_DECOMPRESS_END: return ICERR_OK;
    default: return ICERR_UNSUPPORTED;  // no about box, no palettes
  }
}

LRESULT DriverMessage(DWORD_PTR id, HDRVR drv, UINT msg, LPARAM p1, LPARAM p2) {
  Codec* codec = reinterpret_cast<Codec*>(id);
  switch (msg) {
    case DRV_LOAD: return 1;
    case DRV_FREE: return 1;
    case DRV_OPEN: return Open(reinterpret_cast<const ICOPEN*>(p2));
    case DRV_CLOSE: delete codec; return 1;
    case DRV_ENABLE: return 1;
    case DRV_DISABLE: return 1;
    case DRV_QUERYCONFIGURE: return 0;  // nothing to configure
    case DRV_CONFIGURE: return DRVCNF_OK;
    case DRV_INSTALL: return DRVCNF_OK;
    case DRV_REMOVE: return DRVCNF_OK;
    default:
      if (msg < DRV_USER) return DefDriverProc(id, drv, msg, p1, p2);
      return codec ? CodecMessage(codec, msg, p1, p2) : ICERR_BADHANDLE;
  }
}

}  // namespace

}  // namespace mjpeg

extern "C" __declspec(dllexport) LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR drv, UINT msg, LPARAM p1, LPARAM p2) {
  try {
    return mjpeg::DriverMessage(id, drv, msg, p1, p2);
  } catch (...) {
    return ICERR_INTERNAL;
  }
}
