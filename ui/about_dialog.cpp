// The About dialog. Not built yet: ShowAbout shows nothing for now.
#include "ui/about_dialog.h"

void ShowAbout(HWND owner) {
  (void)owner;
}
