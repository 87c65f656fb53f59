// The capture parameters of a video stream recording, set from the Settings
// just before each recording.
#ifndef MORVA_CAPTURE_SEQUENCE_SETUP_H
#define MORVA_CAPTURE_SEQUENCE_SETUP_H

// Reads the capture window's parameters, changes the frame period, the
// confirmation, audio, the mouse aborts and the time limit, and writes them
// back; every other field stays as the capture window gave it.
void SetupSequence();

#endif
