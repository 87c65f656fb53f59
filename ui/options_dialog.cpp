// The Options dialog. Not built yet: ShowOptions shows nothing for now.
#include "ui/options_dialog.h"

void ShowOptions(HWND owner) {
  (void)owner;
}
