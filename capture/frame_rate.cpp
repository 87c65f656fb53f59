// Frame-rate divisions, guarded against the 0 or negative rates a settings
// file can hold.
#include "capture/frame_rate.h"

namespace {

int UsableRate(int frameRate) { return frameRate > 0 ? frameRate : 1; }

}  // namespace

int PreviewIntervalMs(int frameRate) { return 1000 / UsableRate(frameRate); }

int MicroSecondsPerFrame(int frameRate) { return 1000000 / UsableRate(frameRate); }
