// HandleCommand: every command first stops a running countdown. The commands
// themselves are not dispatched yet; for now nothing follows the cancel.
#include "capture/command_handler.h"

#include "app/application_context.h"

LRESULT HandleCommand(HWND window, int id) {
  CancelCountdown(window);
  (void)id;  // no command acts yet
  return 0;
}
