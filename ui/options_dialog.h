// The Options dialog ("Capture Setting"): edits six of the Settings.
#ifndef MORVA_UI_OPTIONS_DIALOG_H
#define MORVA_UI_OPTIONS_DIALOG_H

#include <windows.h>

// Runs the dialog modally, owned by owner; changes the Settings in memory.
// It opens at the top left corner of the owner's client area.
void ShowOptions(HWND owner);

// The dialog procedure: the Settings into the controls at the start, back
// from them on OK; Cancel changes nothing.
INT_PTR CALLBACK OptionsProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

#endif
