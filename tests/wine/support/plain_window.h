// The plain window class that the Windows tests use for parent and frame
// windows: the default window procedure on a white ground.
#ifndef MORVA_TESTS_SUPPORT_PLAIN_WINDOW_H
#define MORVA_TESTS_SUPPORT_PLAIN_WINDOW_H

#include <windows.h>

// The class name, registered on first use.
const char* PlainWindowClass();

#endif
