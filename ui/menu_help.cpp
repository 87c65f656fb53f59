// Menu and tooltip help. Not built yet: the tooltip texts, the pop-up help
// and the item help come later. Until then each route returns 0 and does
// nothing else.
#include "ui/menu_help.h"

LRESULT HandleNotify(NMHDR* notification) {
  (void)notification;
  return 0;
}

LRESULT HandlePopupOpened(HWND window, unsigned position, unsigned windowMenu) {
  (void)window;
  (void)position;
  (void)windowMenu;
  return 0;
}

LRESULT HandleMenuSelect(HWND window, unsigned item, unsigned flags) {
  (void)window;
  (void)item;
  (void)flags;
  return 0;
}
