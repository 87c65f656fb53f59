// The fixture of the capture service's Windows tests: a plain parent window
// with a capture window in it, a cameras file and a service settings file of
// the test's own (switched through the environment), report recorders, a
// dialog handler that runs inside modal loops, and small readers.
#ifndef MORVA_TESTS_SERVICE_FIXTURE_H
#define MORVA_TESTS_SERVICE_FIXTURE_H

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/image/pixel_convert.h"
#include "core/unix/shell_scripts.h"

struct Report {
  int id;
  std::string text;
};

// Status and error procedures that record what they are given.
std::vector<Report>& StatusReports();
std::vector<Report>& ErrorReports();
LRESULT CALLBACK RecordStatus(HWND, int id, LPCSTR text);
LRESULT CALLBACK RecordError(HWND, int id, LPCSTR text);

// A folder of the test's own under the temp folder, emptied at start.
std::string TestFolder();

// Runs `handle` on the first dialog (#32770) of this thread that appears
// while `run` runs (through the dialog watcher); records whether one
// appeared and its owner.
struct DialogSeen {
  bool appeared = false;
  HWND owner = nullptr;
  std::string caption;
};
DialogSeen WithDialog(const std::function<void(HWND dialog)>& handle,
                      const std::function<void()>& run);

// Presses a dialog's button the way a user does.
void PressButton(HWND dialog, int id);

void PumpMessages(DWORD ms);

// A frame read back: format and the bottom-up rows.
struct Dib {
  BITMAPINFOHEADER header{};
  std::vector<uint8_t> bits;
};
bool ReadClipboardDib(Dib* out);
// A pixel of a window as it is on screen, and one of a frame read back.
COLORREF ScreenPixel(HWND w, int x, int y);
capcore::Rgb FramePixel(const Dib& dib, int x, int y);
bool ReadBmpFile(const std::string& path, Dib* out, BITMAPFILEHEADER* fileHeader = nullptr);
// Writes a binary PPM of a 16/24/32-bit DIB (for the independent reader).
bool WritePpm(const std::string& path, const Dib& dib);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// A Unix file read whole through drive Z:.
std::string UnixFile(const std::string& unixPath);
// This process's Unix id, found as the service finds it.
long OwnUnixPid();
// The service's private Unix folders of this process
// (Z:\tmp\morva-sh-<our pid>-*), as Windows paths.
std::vector<std::string> OurScriptFolders();

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the cameras file for the rest of the test ("" = none: built-in list).
  void UseCameras(const std::string& iniText);
  void Recreate();  // a new capture window (the old one destroyed)
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(cap_, msg, wp, lp); }
  LRESULT SendPtr(UINT msg, WPARAM wp, const void* p) {
    return SendMessageA(cap_, msg, wp, reinterpret_cast<LPARAM>(p));
  }
  BITMAPINFOHEADER Format();
  CAPSTATUS Status();
  CAPDRIVERCAPS Caps();
  bool SetFormat(int width, int height, int bits);

  HWND parent_ = nullptr;
  HWND cap_ = nullptr;
  std::string folder_;
};

#endif
