// Menu and tooltip help: the tooltip texts of the toolbar and the one-line
// help that the status bar shows while a menu is open.
#ifndef MORVA_UI_MENU_HELP_H
#define MORVA_UI_MENU_HELP_H

#include <windows.h>
#include <commctrl.h>

LRESULT HandleNotify(NMHDR* notification);                              // WM_NOTIFY
LRESULT HandlePopupOpened(HWND window, unsigned position, unsigned windowMenu);  // WM_INITMENUPOPUP
LRESULT HandleMenuSelect(HWND window, unsigned item, unsigned flags);    // WM_MENUSELECT

#endif
