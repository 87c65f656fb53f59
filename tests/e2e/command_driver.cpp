// command_driver: drives the running application from another process, as a
// user would, for the command scripts. Each verb does one thing and exits 0
// when it succeeded:
//   command_driver command <title> <id>              post the command to the main window
//   command_driver save <timeout-ms> <path>          type path into the save dialog, confirm
//   command_driver press <title> <timeout-ms>        OK on the dialog or message box of that
//                                                    title; prints its text
//   command_driver choose-format <timeout-ms> <format> <attributes>
//                                                    in the audio format chooser, picks the
//                                                    format and the first attributes that
//                                                    start so, then OK; prints both
//   command_driver choose-compressor <timeout-ms> <name> <quality>
//                                                    in the video compression dialog, picks
//                                                    the compressor whose name starts so, types
//                                                    the quality into its Configure dialog
//                                                    (titled as the name; -1: not opened),
//                                                    then OK; prints the compressor
//   command_driver clipboard <file.bmp>              the clipboard's bitmap as a BMP file
//   command_driver empty-clipboard                   nothing on the clipboard
// The main window is found by its title and class (both the caption); dialogs
// and message boxes by the dialog class and their title.
#include <windows.h>
#include <msacmdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kDialogClass[] = "#32770";
const char kSaveTitle[] = "Save Video As...";
const int kFileNameEdit = 0x480;   // edt1 of the save dialog
const int kFileNameCombo = 0x47C;  // cmb13, its place in the explorer-style dialog
const char kFormatChooserTitle[] = "Sound Selection";
const char kCompressorChooserTitle[] = "Video Compression";

HWND WaitForDialog(const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowA(kDialogClass, title);
    if (w && IsWindowVisible(w)) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(50);
  }
}

bool WaitUntilClosed(HWND dialog, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (IsWindow(dialog)) {
    if (GetTickCount() - start > timeoutMs) {
      std::fprintf(stderr, "command_driver: the dialog stayed open\n");
      return false;
    }
    Sleep(50);
  }
  return true;
}

int PostCommand(const char* title, int id) {
  HWND main = FindWindowA(title, title);
  if (!main) {
    std::fprintf(stderr, "command_driver: no main window titled %s\n", title);
    return 1;
  }
  return PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
}

int AnswerSave(DWORD timeoutMs, const char* path) {
  HWND dialog = WaitForDialog(kSaveTitle, timeoutMs);
  if (!dialog) {
    std::fprintf(stderr, "command_driver: no save dialog\n");
    return 1;
  }
  HWND name = GetDlgItem(dialog, kFileNameEdit);
  if (!name) name = GetDlgItem(dialog, kFileNameCombo);
  if (!name || !SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path))) {
    std::fprintf(stderr, "command_driver: the save dialog has no file name field\n");
    return 1;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntilClosed(dialog, timeoutMs) ? 0 : 1;  // confirmed once the dialog is gone
}

int Press(const char* title, DWORD timeoutMs) {
  HWND dialog = WaitForDialog(title, timeoutMs);
  if (!dialog) {
    std::fprintf(stderr, "command_driver: no dialog titled %s\n", title);
    return 1;
  }
  char text[512] = "";
  GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);  // a message box's text
  std::printf("%s\n", text);
  std::fflush(stdout);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return 0;
}

// Selects the item of the chooser's combo box `id` that starts with `text`
// (exactly `text` when `exact`), as a user's choice: the dialog is told of
// the change. Prints the item; false when there is none.
bool PickInCombo(HWND dialog, int id, const char* text, bool exact) {
  HWND combo = GetDlgItem(dialog, id);
  WCHAR wide[256];
  if (!combo || MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256) == 0) return false;
  const LRESULT item = SendMessageW(combo, exact ? CB_FINDSTRINGEXACT : CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(wide));
  if (item == CB_ERR || SendMessageW(combo, CB_GETLBTEXTLEN, item, 0) >= 256) return false;
  WCHAR shown[256] = L"";
  SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(shown));
  SendMessageW(combo, CB_SETCURSEL, item, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  char printed[512];
  if (WideCharToMultiByte(CP_ACP, 0, shown, -1, printed, sizeof printed, nullptr, nullptr) == 0) printed[0] = '\0';
  std::printf("%s\n", printed);
  return true;
}

int ChooseFormat(DWORD timeoutMs, const char* format, const char* attributes) {
  HWND dialog = WaitForDialog(kFormatChooserTitle, timeoutMs);
  if (!dialog) {
    std::fprintf(stderr, "command_driver: no audio format chooser\n");
    return 1;
  }
  if (!PickInCombo(dialog, IDD_ACMFORMATCHOOSE_CMB_FORMATTAG, format, true) ||
      !PickInCombo(dialog, IDD_ACMFORMATCHOOSE_CMB_FORMAT, attributes, false)) {
    std::fprintf(stderr, "command_driver: the chooser offers no %s, %s\n", format, attributes);
    return 1;
  }
  std::fflush(stdout);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntilClosed(dialog, timeoutMs) ? 0 : 1;
}

struct ClassSearch {
  const char* name;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND w, LPARAM p) {
  ClassSearch* s = reinterpret_cast<ClassSearch*>(p);
  char name[64];
  if (GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, s->name) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND w, LPARAM) {
  char name[64] = "", text[128] = "";
  GetClassNameA(w, name, sizeof name);
  GetWindowTextA(w, text, sizeof text);
  std::fprintf(stderr, "  control %d: %s \"%s\"%s\n", GetDlgCtrlID(w), name, text,
               IsWindowEnabled(w) ? "" : " (disabled)");
  return TRUE;
}

// The first child of `dialog` of that window class.
HWND ChildOfClass(HWND dialog, const char* className) {
  ClassSearch search{className, nullptr};
  EnumChildWindows(dialog, MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Types `quality` into the compressor's own configuration dialog, opened by
// the chooser's Configure button, and confirms it.
bool ConfigureQuality(HWND chooser, const char* name, int quality, DWORD timeoutMs) {
  HWND configure = nullptr;
  for (HWND w = GetWindow(chooser, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    char text[64] = "";
    GetWindowTextA(w, text, sizeof text);
    if (std::strstr(text, "figure") && IsWindowEnabled(w)) configure = w;  // "Con&figure..."
  }
  if (!configure) return false;
  PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(configure), BN_CLICKED),
               reinterpret_cast<LPARAM>(configure));
  HWND dialog = WaitForDialog(name, timeoutMs);
  HWND field = dialog ? ChildOfClass(dialog, "Edit") : nullptr;
  if (!field) return false;
  char text[16];
  std::snprintf(text, sizeof text, "%d", quality);
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntilClosed(dialog, timeoutMs);
}

int ChooseCompressor(DWORD timeoutMs, const char* name, int quality) {
  HWND dialog = WaitForDialog(kCompressorChooserTitle, timeoutMs);
  HWND combo = dialog ? ChildOfClass(dialog, "ComboBox") : nullptr;
  if (!combo || !PickInCombo(dialog, GetDlgCtrlID(combo), name, false)) {
    std::fprintf(stderr, "command_driver: the video compression dialog offers no %s\n", name);
    return 1;
  }
  if (quality >= 0 && !ConfigureQuality(dialog, name, quality, timeoutMs)) {
    std::fprintf(stderr, "command_driver: no configuration dialog for %s; the chooser holds:\n", name);
    EnumChildWindows(dialog, PrintChild, 0);
    return 1;
  }
  std::fflush(stdout);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntilClosed(dialog, timeoutMs) ? 0 : 1;
}

// The device-independent bitmap on the clipboard, behind a file header.
int SaveClipboard(const char* file) {
  if (!OpenClipboard(nullptr)) return 1;
  int rc = 1;
  HANDLE data = GetClipboardData(CF_DIB);
  const auto* dib = data ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(data)) : nullptr;
  if (dib) {
    const SIZE_T size = GlobalSize(data);
    DWORD colours = dib->biClrUsed;
    if (colours == 0 && dib->biBitCount <= 8) colours = 1u << dib->biBitCount;
    const DWORD masks = dib->biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfSize = static_cast<DWORD>(sizeof header + size);
    header.bfOffBits =
        static_cast<DWORD>(sizeof header + dib->biSize + masks + colours * sizeof(RGBQUAD));
    if (FILE* out = std::fopen(file, "wb")) {
      const bool ok = std::fwrite(&header, sizeof header, 1, out) == 1 &&
                      std::fwrite(dib, size, 1, out) == 1;
      rc = std::fclose(out) == 0 && ok ? 0 : 1;
    }
    GlobalUnlock(data);
  } else {
    std::fprintf(stderr, "command_driver: no bitmap on the clipboard\n");
  }
  CloseClipboard();
  return rc;
}

int EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  const int rc = EmptyClipboard() ? 0 : 1;
  CloseClipboard();
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  const char* verb = argc > 1 ? argv[1] : "";
  if (std::strcmp(verb, "command") == 0 && argc == 4) return PostCommand(argv[2], std::atoi(argv[3]));
  if (std::strcmp(verb, "save") == 0 && argc == 4) {
    return AnswerSave(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)), argv[3]);
  }
  if (std::strcmp(verb, "press") == 0 && argc == 4) {
    return Press(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
  }
  if (std::strcmp(verb, "choose-format") == 0 && argc == 5) {
    return ChooseFormat(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)), argv[3], argv[4]);
  }
  if (std::strcmp(verb, "choose-compressor") == 0 && argc == 5) {
    return ChooseCompressor(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)), argv[3], std::atoi(argv[4]));
  }
  if (std::strcmp(verb, "clipboard") == 0 && argc == 3) return SaveClipboard(argv[2]);
  if (std::strcmp(verb, "empty-clipboard") == 0 && argc == 2) return EmptyTheClipboard();
  std::fprintf(stderr,
               "usage: command_driver command <title> <id> | save <timeout-ms> <path> |\n"
               "       press <title> <timeout-ms> | choose-format <timeout-ms> <format> <attributes> |\n"
               "       choose-compressor <timeout-ms> <name> <quality> |\n"
               "       clipboard <file.bmp> | empty-clipboard\n");
  return 2;
}
