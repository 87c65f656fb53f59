// Menu and tooltip help: three lookup tables from the toolbar's commands,
// the menu bar's pop-up positions and the menu items to the string table's
// help texts. The tooltip loads its text from the string table itself; the
// menu help goes into the status bar while a menu is open.
#include "ui/menu_help.h"

#include "app/application_context.h"
#include "resources/resource.h"
#include "ui/status_bar.h"

namespace {

struct HelpEntry {
  unsigned command;
  unsigned text;  // string table number; 0 for none
};

// Parallel to the toolbar's nine buttons; separators have neither.
const HelpEntry kTooltips[] = {
    {IDM_NEW, IDS_HELP_NEW},
    {IDM_SAVEAS, IDS_HELP_SAVEAS},
    {0, 0},
    {IDM_COPY, IDS_HELP_COPY},
    {IDM_STILLMANUAL, IDS_HELP_STILLMANUAL},
    {IDM_STILLAUTO, IDS_HELP_STILLAUTO},
    {IDM_VIDEOSTREAM, IDS_HELP_VIDEOSTREAM},
    {0, 0},
    {IDM_ABOUT, IDS_HELP_ABOUT},
};

// By position in the menu bar: File, Edit, Setting, Capture, Help.
const unsigned kPopupHelp[] = {
    IDS_HELP_FILE, IDS_HELP_EDIT, IDS_HELP_SETTING, IDS_HELP_CAPTURE, IDS_HELP_HELP,
};

const HelpEntry kItemHelp[] = {
    {IDM_EXIT, IDS_HELP_EXIT},
    {IDM_VIDEOSOURCE, IDS_HELP_VIDEOSOURCE},
    {IDM_VIDEOFORMAT, IDS_HELP_VIDEOFORMAT},
    {IDM_ABOUT, IDS_HELP_ABOUT},
    {IDM_OPTION, IDS_HELP_OPTION},
    {IDM_DISPLAYOPTION, IDS_HELP_DISPLAYOPTION},
    {IDM_VIDEOCOMPRESSOR, IDS_HELP_COMPRESSOR},
    {IDM_NEW, IDS_HELP_NEW},
    {IDM_SAVEAS, IDS_HELP_SAVEAS},
    {IDM_COPY, IDS_HELP_COPY},
    {IDM_AUDIOFORMAT, IDS_HELP_AUDIOFORMAT},
    {IDM_STILLMANUAL, IDS_HELP_STILLMANUAL},
    {IDM_STILLAUTO, IDS_HELP_STILLAUTO},
    {IDM_VIDEOSTREAM, IDS_HELP_VIDEOSTREAM},
    {IDM_SELECTCAMERA, IDS_HELP_SELECTCAMERA},
};

const unsigned kTooltipNeedText = static_cast<unsigned>(TTN_GETDISPINFOA);  // -520
const unsigned kMenuClosed = 0xFFFF;

void ShowHelpText(unsigned text) {
  char line[kTextSize] = "";
  LoadStringA(g_context.instance, text, line, sizeof line);
  StatusBar_SetWindowText(g_context.statusWindow, line);
}

}  // namespace

LRESULT HandleNotify(NMHDR* notification) {
  if (!notification || notification->code != kTooltipNeedText) return 0;
  auto* request = reinterpret_cast<NMTTDISPINFOA*>(notification);
  request->hinst = g_context.instance;
  for (const HelpEntry& entry : kTooltips) {
    if (entry.text != 0 && entry.command == notification->idFrom) {
      request->lpszText = MAKEINTRESOURCEA(entry.text);
    }
  }
  return 0;
}

// Opening any pop-up, the window menu included, ends a countdown.
LRESULT HandlePopupOpened(HWND window, unsigned position, unsigned windowMenu) {
  (void)windowMenu;
  KillTimer(window, reinterpret_cast<UINT_PTR>(window));
  g_context.timerRunning = 0;
  if (position < sizeof kPopupHelp / sizeof kPopupHelp[0]) ShowHelpText(kPopupHelp[position]);
  return 0;
}

LRESULT HandleMenuSelect(HWND window, unsigned item, unsigned flags) {
  (void)window;
  if (flags == kMenuClosed) {
    StatusBar_SetWindowText(g_context.statusWindow, "");
    return 0;
  }
  if (flags & MF_POPUP) return 0;
  for (const HelpEntry& entry : kItemHelp) {
    if (entry.command == item) ShowHelpText(entry.text);
  }
  return 0;
}
