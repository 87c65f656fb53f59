// Painting of the frame windows: any countdown stops, then a plain
// button-face fill.
#include "ui/frame_handlers.h"

#include "app/application_context.h"
#include "ui/button_face_paint.h"

LRESULT OnFramePaint(HWND window) {
  CancelCountdown(window);
  PaintButtonFace(window);
  return 0;
}
