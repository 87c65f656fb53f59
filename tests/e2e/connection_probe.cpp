// connection_probe: tells a script where the running application's picture
// is. It finds the main window by its title, the video frame window inside
// it (the child of the same class) and the capture window inside that, and
// prints, in screen pixels:
//   frame <left> <top> <right> <bottom>     the video frame window's client area
//   capture <left> <top> <right> <bottom>   the capture window
// Exit code 0 when all three windows were found, 1 otherwise.
//   connection_probe <title>
#include <windows.h>

#include <cstdio>

namespace {

void PrintRect(const char* what, const RECT& r) {
  std::printf("%s %ld %ld %ld %ld\n", what, r.left, r.top, r.right, r.bottom);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: connection_probe <title>\n");
    return 2;
  }
  HWND main = FindWindowA(nullptr, argv[1]);
  if (!main) {
    std::fprintf(stderr, "connection_probe: no window titled %s\n", argv[1]);
    return 1;
  }
  char className[256] = "";
  GetClassNameA(main, className, sizeof className);
  HWND frame = FindWindowExA(main, nullptr, className, nullptr);
  HWND capture = frame ? GetWindow(frame, GW_CHILD) : nullptr;
  if (!frame || !capture) {
    std::fprintf(stderr, "connection_probe: %s\n", frame ? "no capture window" : "no video frame window");
    return 1;
  }
  RECT client;
  GetClientRect(frame, &client);
  MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
  PrintRect("frame", client);
  RECT picture;
  GetWindowRect(capture, &picture);
  PrintRect("capture", picture);
  std::fflush(stdout);
  return 0;
}
