// The frame windows' own message handlers (destroy, move, size, paint,
// close); FrameWindowProcedure hands these messages here.
#ifndef MORVA_UI_FRAME_HANDLERS_H
#define MORVA_UI_FRAME_HANDLERS_H

#include <windows.h>

LRESULT OnFrameDestroy(HWND window);
LRESULT OnFrameMove(HWND window, unsigned x, unsigned y);
LRESULT OnFrameSize(HWND window, unsigned width, unsigned height);
LRESULT OnFramePaint(HWND window);
LRESULT OnFrameClose(HWND window);

#endif
