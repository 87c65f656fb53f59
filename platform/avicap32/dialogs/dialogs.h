// dialogs/: the driver dialogs of the connected camera (format, source,
// display), each run modally by the shared runner (dialog_runner.h). Each
// answers 1 only when the user confirmed it.
#ifndef MORVA_AVICAP32_DIALOGS_DIALOGS_H
#define MORVA_AVICAP32_DIALOGS_DIALOGS_H

#include "window/capture_state.h"

LRESULT ShowFormatDialog(CaptureWindowState* s);   // format_dialog.cpp
LRESULT ShowSourceDialog(CaptureWindowState* s);   // source_dialog.cpp
LRESULT ShowDisplayDialog(CaptureWindowState* s);  // display_dialog.cpp

#endif
