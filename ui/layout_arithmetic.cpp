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

// The main window's default place and size, as a missing settings file gives them.
const Placement kDefaultMainWindow = {100, 100, 300, 300};

int AtMost(int value, int limit) { return value < limit ? value : limit; }

// Whether [start, start + extent) and [areaStart, areaStart + areaExtent) share a pixel.
bool Overlaps(long long start, long long extent, long long areaStart, long long areaExtent) {
  return start < areaStart + areaExtent && areaStart < start + extent;
}

bool Meets(const Placement& window, const Placement& area) {
  const long long width = window.width > 0 ? window.width : 1;
  const long long height = window.height > 0 ? window.height : 1;
  return area.width > 0 && area.height > 0 && Overlaps(window.x, width, area.x, area.width) &&
         Overlaps(window.y, height, area.y, area.height);
}

}  // namespace

Placement ReachableMainWindow(Placement stored, const Placement* workAreas, int workAreaCount,
                              int screenWidth, int screenHeight) {
  Placement p = stored;
  p.width = AtMost(p.width, screenWidth);
  p.height = AtMost(p.height, screenHeight);
  for (int i = 0; i < workAreaCount; ++i) {
    if (Meets(p, workAreas[i])) return p;
  }
  return kDefaultMainWindow;
}

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
