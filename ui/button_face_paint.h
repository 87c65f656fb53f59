// The plain button-face fill with which the frame windows and the driver list
// paint themselves.
#ifndef MORVA_UI_BUTTON_FACE_PAINT_H
#define MORVA_UI_BUTTON_FACE_PAINT_H

#include <windows.h>

// Answers a paint request of `window`: begins painting, sets the background
// mode to opaque, fills the client area with a new solid brush of the system
// button-face colour, deletes the brush and ends painting.
void PaintButtonFace(HWND window);

#endif
