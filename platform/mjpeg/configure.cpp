// ICM_CONFIGURE: the codec's own dialog, which sets the quality it uses for
// frames that ask for the default (the compressor chooser's Configure button;
// Wine's chooser has no working quality bar). JPEG quality 1..100 is shown,
// the manager's 100..10000 kept.
#include "codec.h"
#include "jpeg_codec.h"
#include "mjpeg_resource.h"

namespace mjpeg {

namespace {

const UINT kLowest = 1, kHighest = 100;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

void OnInit(HWND dialog, Codec* codec) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(codec));
  SendDlgItemMessageW(dialog, IDC_MJPEG_QUALITY, EM_LIMITTEXT, 3, 0);
  SetDlgItemInt(dialog, IDC_MJPEG_QUALITY, static_cast<UINT>(JpegQuality(codec->quality)), FALSE);
}

void OnOk(HWND dialog) {
  Codec* codec = reinterpret_cast<Codec*>(GetWindowLongPtrW(dialog, DWLP_USER));
  BOOL read = FALSE;
  const UINT q = GetDlgItemInt(dialog, IDC_MJPEG_QUALITY, &read, FALSE);
  if (!codec || !read || q < kLowest || q > kHighest) {
    MessageBeep(MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog, IDC_MJPEG_QUALITY));
    return;
  }
  codec->quality = q * ICQUALITY_HIGH / kHighest;  // JpegQuality gives q back
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ConfigureProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    switch (msg) {
      case WM_INITDIALOG: OnInit(dialog, reinterpret_cast<Codec*>(lp)); return TRUE;
      case WM_COMMAND:
        switch (LOWORD(wp)) {
          case IDOK: OnOk(dialog); return TRUE;
          case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
  } catch (...) {
  }
  return FALSE;
}

}  // namespace

LRESULT Configure(Codec* codec, LPARAM owner) {
  if (owner == -1) return ICERR_OK;  // ICQueryConfigure: there is a dialog
  const INT_PTR r = DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(IDD_MJPEG_CONFIGURE),
                                    reinterpret_cast<HWND>(owner), ConfigureProc, reinterpret_cast<LPARAM>(codec));
  return r == IDOK ? ICERR_OK : ICERR_ABORT;
}

}  // namespace mjpeg
