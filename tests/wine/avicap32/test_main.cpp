// Entry of service_tests.exe. Run as "service_tests --read-clipboard FILE" it
// is the other process of the clipboard test: it writes the clipboard's
// CF_DIB (header and rows) to FILE and exits 0, or exits 1 when there is none.
// Run as "service_tests --hold-camera N" it connects driver N with the live
// picture on and runs until killed (tests/e2e/ffmpeg_camera.sh kills it).
#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "service_fixture.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read-clipboard") == 0) {
    Dib dib;
    if (!ReadClipboardDib(&dib)) return 1;
    std::string bytes(reinterpret_cast<const char*>(&dib.header), sizeof dib.header);
    bytes.append(reinterpret_cast<const char*>(dib.bits.data()), dib.bits.size());
    WriteWholeFile(argv[2], bytes);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--hold-camera") == 0) {
    HWND cap = capCreateCaptureWindowA("hold", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, 0);
    if (cap == nullptr || !SendMessageA(cap, WM_CAP_DRIVER_CONNECT, std::atoi(argv[2]), 0)) return 1;
    SendMessageA(cap, WM_CAP_SET_PREVIEW, 1, 0);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
