// Command messages from the menu and the toolbar.
#ifndef MORVA_CAPTURE_COMMAND_HANDLER_H
#define MORVA_CAPTURE_COMMAND_HANDLER_H

#include <windows.h>

// Stops any countdown, then acts on the command identifier (the low 16 bits
// of the command message's first argument). Returns 0.
LRESULT HandleCommand(HWND window, int id);

#endif
