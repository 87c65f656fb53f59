// The layout's arithmetic (portable).
#include "ui/layout_arithmetic.h"

namespace {

// One axis of the capture window: centred when the video is smaller.
void CentreAxis(int frame, int video, int* position, int* extent) {
  *position = 0;
  *extent = frame;
  if (video < frame) {
    // 64-bit difference: a video extent near INT_MIN must not overflow. The
    // half of it always fits in an int again; division truncates toward zero.
    const long long half = (static_cast<long long>(frame) - video) / 2;
    *position = static_cast<int>(half);
    *extent = video;
  }
}

}  // namespace

Placement VideoFramePlacement(int clientWidth, int clientHeight, int toolbarHeight,
                              int statusHeight) {
  Placement p;
  p.x = 5;
  p.y = toolbarHeight + 6;
  p.width = clientWidth - 9;
  p.height = clientHeight - toolbarHeight - statusHeight - 11;
  return p;
}

Placement CapturePlacement(int frameWidth, int frameHeight, int videoWidth, int videoHeight) {
  Placement p;
  CentreAxis(frameWidth, videoWidth, &p.x, &p.width);
  CentreAxis(frameHeight, videoHeight, &p.y, &p.height);
  return p;
}
