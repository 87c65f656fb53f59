// The toolbar under the menu bar: nine buttons over bitmap strip 113.
#ifndef MORVA_UI_TOOLBAR_H
#define MORVA_UI_TOOLBAR_H

#include <windows.h>
#include <commctrl.h>

enum { kToolbarButtonCount = 9 };

// The nine button records, by position (two separators).
extern const TBBUTTON kToolbarButtons[kToolbarButtonCount];

// Start-up step 7: creates the toolbar and has it size itself; always 1.
int CreateToolbar();

#endif
