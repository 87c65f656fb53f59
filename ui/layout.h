// Laying out the frame windows and placing the capture window.
#ifndef MORVA_UI_LAYOUT_H
#define MORVA_UI_LAYOUT_H

// Steps 3 to 7 of a size change: resizes the status bar and the toolbar,
// moves the video frame window between them, and centres the capture window.
// Stops early when a window it needs does not exist yet.
void LayOutFrameWindows();

// Places the capture window in the video frame window for the current video
// format. Leaves it as it is when there is no capture window, when the
// format is smaller than a bitmap header (0 with no driver connected), or
// when the format buffer cannot be allocated.
void CentreCaptureWindow();

#endif
