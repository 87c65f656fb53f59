// The layout's arithmetic, apart from any window: where the main window opens
// on the screen, where the video frame window goes inside the main window's
// client area, and where the capture window goes inside the video frame
// window (portable: no windows.h).
#ifndef MORVA_UI_LAYOUT_ARITHMETIC_H
#define MORVA_UI_LAYOUT_ARITHMETIC_H

struct Placement {
  int x;
  int y;
  int width;
  int height;
};

// Where the main window opens for a stored position and size. The size is
// kept within screenWidth x screenHeight (what the screen can show); when the
// stored rectangle then meets none of the monitors' work areas, the window
// opens at the default place (100, 100) with the default size 300 x 300.
// Usable values stand as given. A size of 0 or less counts as one pixel for
// the test (the window system makes the window its smallest size).
// Arithmetic in 64 bits: any stored values are safe.
Placement ReachableMainWindow(Placement stored, const Placement* workAreas, int workAreaCount,
                              int screenWidth, int screenHeight);

// The video frame window: 5 pixels from the client area's left edge, 4 from
// its right edge, 6 below the toolbar and 5 above the status bar.
Placement VideoFramePlacement(int clientWidth, int clientHeight, int toolbarHeight,
                              int statusHeight);

// The capture window inside a frame of inclusive size frameWidth x
// frameHeight (client extent + 1): a video narrower (lower) than the frame is
// centred at its own width (height); otherwise it fills the frame from 0.
// Values are signed; differences are taken without overflow.
Placement CapturePlacement(int frameWidth, int frameHeight, int videoWidth, int videoHeight);

#endif
