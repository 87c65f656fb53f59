// The capture service's status and error procedures: progress in the status
// bar and the main window's title, the end of a capture and errors in
// message boxes.
#ifndef MORVA_UI_STATUS_REPORT_H
#define MORVA_UI_STATUS_REPORT_H

#include <windows.h>

// Both have the capture service's callback signature and return 1.
LRESULT CALLBACK StatusProcedure(HWND captureWindow, int number, LPCSTR text);
LRESULT CALLBACK ErrorProcedure(HWND captureWindow, int number, LPCSTR text);

#endif
