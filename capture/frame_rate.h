// The two intervals derived from the FrameRate setting: milliseconds per
// preview frame and microseconds per captured frame. FrameRate comes straight
// from the settings file and may be 0 or negative there; both divisions then
// use 1 so that a bad file cannot crash the program. The stored setting is
// left as loaded.
#ifndef MORVA_CAPTURE_FRAME_RATE_H
#define MORVA_CAPTURE_FRAME_RATE_H

// 1000 / frameRate, integer division; frameRate <= 0 counts as 1.
int PreviewIntervalMs(int frameRate);

// 1000000 / frameRate, integer division; frameRate <= 0 counts as 1.
int MicroSecondsPerFrame(int frameRate);

#endif
