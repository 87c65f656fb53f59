// The "Video Capture Driver List" dialog (resource 108): one button per
// installed driver, labelled with its name and version. It ends with the
// chosen index 0..9, or -1 for Enter and Escape.
#ifndef MORVA_CAPTURE_DRIVER_LIST_H
#define MORVA_CAPTURE_DRIVER_LIST_H

#include <windows.h>

INT_PTR CALLBACK DriverListProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

#endif
