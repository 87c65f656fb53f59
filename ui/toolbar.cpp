// The toolbar: the button table and its creation.
#include "ui/toolbar.h"

#include "app/application_context.h"
#include "resources/resource.h"

static_assert(sizeof(TBBUTTON) == (sizeof(void*) == 4 ? 20 : 32),
              "toolbar button records are 20 bytes (32 in a 64-bit build)");

namespace {

TBBUTTON Button(int image, int command) {
  TBBUTTON b{};
  b.iBitmap = image;
  b.idCommand = command;
  b.fsState = TBSTATE_ENABLED;
  b.fsStyle = TBSTYLE_BUTTON;
  return b;
}

TBBUTTON Separator() {
  TBBUTTON b{};
  b.iBitmap = -1;
  b.idCommand = 0;
  b.fsState = 0;
  b.fsStyle = TBSTYLE_SEP;
  return b;
}

}  // namespace

const TBBUTTON kToolbarButtons[kToolbarButtonCount] = {
    Button(0, IDM_NEW),         Button(1, IDM_SAVEAS),      Separator(),
    Button(2, IDM_COPY),        Button(3, IDM_STILLMANUAL), Button(4, IDM_STILLAUTO),
    Button(5, IDM_VIDEOSTREAM), Separator(),                Button(6, IDM_ABOUT),
};

int CreateToolbar() {
  const DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP;  // 0x50000101
  g_context.toolbarWindow =
      CreateToolbarEx(g_context.mainWindow, style, 0, 10, g_context.instance, IDB_TOOLBAR,
                      kToolbarButtons, kToolbarButtonCount, 16, 15, 16, 15, sizeof(TBBUTTON));
  SendMessageA(g_context.toolbarWindow, TB_AUTOSIZE, 0, 0);
  return 1;
}
