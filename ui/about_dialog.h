// The About dialog: a fixed text under the application's caption.
#ifndef MORVA_UI_ABOUT_DIALOG_H
#define MORVA_UI_ABOUT_DIALOG_H

#include <windows.h>

// Runs the dialog modally, owned by owner.
void ShowAbout(HWND owner);

#endif
