// The About dialog: a fixed text under the application's caption.
#ifndef MORVA_UI_ABOUT_DIALOG_H
#define MORVA_UI_ABOUT_DIALOG_H

#include <windows.h>

// Runs the dialog modally, owned by owner (the main window). It opens at the
// top left corner of the owner's client area.
void ShowAbout(HWND owner);

// The dialog procedure: the caption as title; OK or Escape closes it.
INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

#endif
