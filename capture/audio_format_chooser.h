// The audio format of recordings, chosen by the user in the audio compression
// manager's format chooser.
#ifndef MORVA_CAPTURE_AUDIO_FORMAT_CHOOSER_H
#define MORVA_CAPTURE_AUDIO_FORMAT_CHOOSER_H

#include <windows.h>

// Opens the chooser, owned by `owner`, at the capture window's current audio
// format; a format the user confirms goes to the capture window. When the
// format buffer cannot be had, nothing is shown and nothing changes.
void ChooseAudioFormat(HWND owner);

#endif
