// Every request to the capture window goes through SendCapture: with no live
// capture window nothing is sent and the result is 0.
#ifndef MORVA_CAPTURE_CAPTURE_INTERFACE_H
#define MORVA_CAPTURE_CAPTURE_INTERFACE_H

#include <windows.h>
#include <vfw.h>

LRESULT SendCapture(UINT request, WPARAM first, LPARAM second);

#endif
