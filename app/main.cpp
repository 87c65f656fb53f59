// The program's entry point. Only the instance handle is used: the command
// line is never read and the show state is ignored (the main window is
// always shown plainly).
#include <windows.h>

#include "app/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunApplication(instance);
}
