// The status bar below the video frame window: one part, with a size grip.
#include "ui/status_bar.h"

#include "app/application_context.h"

int CreateStatusBar() {
  const LONG style = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM;  // 0x50000103
  g_context.statusWindow = CreateStatusWindowA(style, "Load Completed", g_context.mainWindow, 0);
  return 1;
}
