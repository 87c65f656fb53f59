// Records 160x120 24-bit frames into the given file until the process is killed, writing the
// number of frames reached to COUNTFILE after every second (each report).
// Usage: record_until_killed AVI COUNTFILE
#include <windows.h>
#include <vfw.h>

#include <cstdio>

namespace {
const char* g_countFile = nullptr;

LRESULT CALLBACK OnStatus(HWND w, int id, LPCSTR) {
  if (id != IDS_CAP_STAT_VIDEOCURRENT) return 1;
  CAPSTATUS st{};
  SendMessageA(w, WM_CAP_GET_STATUS, sizeof st, reinterpret_cast<LPARAM>(&st));
  char tmp[MAX_PATH + 8];
  snprintf(tmp, sizeof tmp, "%s.tmp", g_countFile);
  if (std::FILE* f = std::fopen(tmp, "w")) {
    std::fprintf(f, "%lu\n", static_cast<unsigned long>(st.dwCurrentVideoFrame));
    std::fclose(f);
    MoveFileExA(tmp, g_countFile, MOVEFILE_REPLACE_EXISTING);
  }
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  g_countFile = argv[2];
  HWND cap = capCreateCaptureWindowA("rec", WS_POPUP, 0, 0, 160, 120, nullptr, 0);
  if (!cap || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, 0, 0)) return 1;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = 160;
  format.bmiHeader.biHeight = 120;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biSizeImage = 160 * 120 * 3;
  if (!SendMessageA(cap, WM_CAP_SET_VIDEOFORMAT, sizeof format, reinterpret_cast<LPARAM>(&format))) return 1;
  SendMessageA(cap, WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(argv[1]));
  SendMessageA(cap, WM_CAP_SET_CALLBACK_STATUSA, 0, reinterpret_cast<LPARAM>(OnStatus));
  CAPTUREPARMS p{};
  SendMessageA(cap, WM_CAP_GET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
  p.fLimitEnabled = FALSE;
  p.fAbortLeftMouse = p.fAbortRightMouse = FALSE;
  p.vKeyAbort = 0;
  SendMessageA(cap, WM_CAP_SET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
  SendMessageA(cap, WM_CAP_SEQUENCE, 0, 0);
  return 3;  // only reached if the recording ended by itself
}
