// The Options dialog ("Capture Setting"): edits six of the Settings.
#ifndef MORVA_UI_OPTIONS_DIALOG_H
#define MORVA_UI_OPTIONS_DIALOG_H

#include <windows.h>

// Runs the dialog modally, owned by owner; changes the Settings in memory.
void ShowOptions(HWND owner);

#endif
