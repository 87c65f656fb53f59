// The capture service test fixture (see service_fixture.h).
#include "service_fixture.h"

#include "tests/wine/support/dialog_watcher.h"
#include "tests/wine/support/plain_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::string p = folder + "\\" + fd.cFileName;
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(p.c_str());
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

std::vector<Report>& StatusReports() {
  static std::vector<Report> r;
  return r;
}
std::vector<Report>& ErrorReports() {
  static std::vector<Report> r;
  return r;
}
LRESULT CALLBACK RecordStatus(HWND, int id, LPCSTR text) {
  StatusReports().push_back({id, text ? text : ""});
  return 1;
}
LRESULT CALLBACK RecordError(HWND, int id, LPCSTR text) {
  ErrorReports().push_back({id, text ? text : ""});
  return 1;
}

std::string TestFolder() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "morva_service_tests";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

DialogSeen WithDialog(const std::function<void(HWND)>& handle, const std::function<void()>& run) {
  DialogSeen seen;
  DialogWatcher watcher;
  watcher.SetAction([&](HWND dialog, const SeenDialog& s) {
    if (seen.appeared) return;  // the first one only
    seen.appeared = true;
    seen.owner = s.owner;
    seen.caption = s.caption;
    if (handle) handle(dialog);
  });
  run();
  return seen;
}

void PressButton(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PumpMessages(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

bool ReadClipboardDib(Dib* out) {
  if (!OpenClipboard(nullptr)) return false;
  bool ok = false;
  HANDLE h = GetClipboardData(CF_DIB);
  if (h != nullptr) {
    SIZE_T size = GlobalSize(h);
    const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(h));
    if (p != nullptr && size >= sizeof(BITMAPINFOHEADER)) {
      std::memcpy(&out->header, p, sizeof out->header);
      out->bits.assign(p + out->header.biSize, p + size);
      ok = true;
    }
    if (p != nullptr) GlobalUnlock(h);
  }
  CloseClipboard();
  return ok;
}

COLORREF ScreenPixel(HWND w, int x, int y) {
  HDC dc = GetDC(w);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

capcore::Rgb FramePixel(const Dib& dib, int x, int y) {
  capcore::FrameFormat f{dib.header.biWidth, dib.header.biHeight, dib.header.biBitCount};
  capcore::Rgb c{0, 0, 0};
  capcore::ReadPixel(f, dib.bits.data(), dib.bits.size(), x, y, &c);
  return c;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

std::string UnixFile(const std::string& unixPath) {
  std::string win = "Z:";
  for (char c : unixPath) win += c == '/' ? '\\' : c;
  return ReadWholeFile(win);
}

// This process's Unix id, found as the service finds it: Wine's server opens
// files for its clients (so /proc/self read is the server's), but looks up
// attributes in the client: ours is the /proc entry that is a task of /proc/self.
long OwnUnixPid() {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  long pid = 0;
  if (h == INVALID_HANDLE_VALUE) return pid;
  do {
    if (GetFileAttributesA((std::string("Z:\\proc\\self\\task\\") + fd.cFileName).c_str()) != INVALID_FILE_ATTRIBUTES)
      pid = std::atol(fd.cFileName);
  } while (pid == 0 && FindNextFileA(h, &fd));
  FindClose(h);
  return pid;
}

std::vector<std::string> OurScriptFolders() {
  std::vector<std::string> folders;
  WIN32_FIND_DATAA fd;
  std::string pattern = std::string("Z:\\tmp\\") + capcore::kScriptFolderPrefix + std::to_string(OwnUnixPid()) + "-*";
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return folders;
  do folders.push_back(std::string("Z:\\tmp\\") + fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return folders;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

bool ReadBmpFile(const std::string& path, Dib* out, BITMAPFILEHEADER* fileHeader) {
  std::string bytes = ReadWholeFile(path);
  if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, bytes.data(), sizeof fh);
  std::memcpy(&out->header, bytes.data() + sizeof fh, sizeof out->header);
  if (fh.bfOffBits > bytes.size()) return false;
  out->bits.assign(bytes.begin() + fh.bfOffBits, bytes.end());
  if (fileHeader != nullptr) *fileHeader = fh;
  return true;
}

bool WritePpm(const std::string& path, const Dib& dib) {
  int w = dib.header.biWidth, h = dib.header.biHeight, bpp = dib.header.biBitCount;
  size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  if (w <= 0 || h <= 0 || dib.bits.size() < stride * h) return false;
  std::string out = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = dib.bits.data() + static_cast<size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      uint8_t r, g, b;
      if (bpp == 16) {
        unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
        unsigned r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
        r = static_cast<uint8_t>((r5 << 3) | (r5 >> 2));
        g = static_cast<uint8_t>((g5 << 3) | (g5 >> 2));
        b = static_cast<uint8_t>((b5 << 3) | (b5 >> 2));
      } else {
        const uint8_t* p = row + x * (bpp / 8);
        b = p[0];
        g = p[1];
        r = p[2];
      }
      out += static_cast<char>(r);
      out += static_cast<char>(g);
      out += static_cast<char>(b);
    }
  }
  WriteWholeFile(path, out);
  return true;
}

void ServiceTest::SetUp() {
  folder_ = TestFolder();
  EmptyFolder(folder_);
  std::string settings = folder_ + "\\MorvaCap.ini";
  SetEnvironmentVariableA("MORVA_CAPTURE_SETTINGS", settings.c_str());
  SetEnvironmentVariableA("MORVA_CAMERAS", nullptr);
  StatusReports().clear();
  ErrorReports().clear();
  parent_ = CreateWindowExA(0, PlainWindowClass(), "Service test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                            10, 400, 320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent_, nullptr);
  Recreate();
}

void ServiceTest::Recreate() {
  if (cap_ != nullptr) DestroyWindow(cap_);
  cap_ = capCreateCaptureWindowA("cap", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, parent_, 0);
  ASSERT_NE(cap_, nullptr);
}

void ServiceTest::TearDown() {
  if (parent_ != nullptr) DestroyWindow(parent_);
  parent_ = cap_ = nullptr;
  PumpMessages(0);
  SetEnvironmentVariableA("MORVA_CAMERAS", nullptr);
}

void ServiceTest::UseCameras(const std::string& iniText) {
  if (iniText.empty()) {
    SetEnvironmentVariableA("MORVA_CAMERAS", nullptr);
    return;
  }
  static int n = 0;
  std::string path = folder_ + "\\cameras" + std::to_string(++n) + ".ini";
  WriteWholeFile(path, iniText);
  SetEnvironmentVariableA("MORVA_CAMERAS", path.c_str());
}

BITMAPINFOHEADER ServiceTest::Format() {
  BITMAPINFOHEADER h{};
  SendPtr(WM_CAP_GET_VIDEOFORMAT, sizeof h, &h);
  return h;
}

CAPSTATUS ServiceTest::Status() {
  CAPSTATUS st{};
  SendPtr(WM_CAP_GET_STATUS, sizeof st, &st);
  return st;
}

CAPDRIVERCAPS ServiceTest::Caps() {
  CAPDRIVERCAPS c{};
  SendPtr(WM_CAP_DRIVER_GET_CAPS, sizeof c, &c);
  return c;
}

bool ServiceTest::SetFormat(int width, int height, int bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = BI_RGB;
  return SendPtr(WM_CAP_SET_VIDEOFORMAT, sizeof h, &h) != 0;
}
