/* Resource identifiers shared by the resource script (morva.rc) and the code.
 * Grouped by kind and number range; the numbers are fixed: the menu, toolbar,
 * dialogs and string table refer to each other through them. */
#ifndef MORVA_RESOURCE_H
#define MORVA_RESOURCE_H

/* Menus (101) */
#define IDR_MAINMENU            101

/* Cursors (104) and icons (140) */
#define IDC_MAINCURSOR          104
#define IDI_MAINICON            140

/* Dialogs (106..132) */
#define IDD_OPTIONS             106
#define IDD_DRIVERLIST          108
#define IDD_ABOUT               132

/* Bitmaps: toolbar strip (113) and the self-timer gauges (120..130) */
#define IDB_TOOLBAR             113
#define IDB_GAUGE_FULL          120   /* present, never loaded */
#define IDB_GAUGE_FIRST         121   /* 9 s left: 180-pixel bar */
#define IDB_GAUGE_LAST_BAR      129   /* 20-pixel bar */
#define IDB_GAUGE_GO            130   /* the word GO */

/* Controls of the Options dialog (1000..1002, 1018..1020) */
#define IDC_FRAMERATE           1000
#define IDC_TIMEINTERVAL        1001
#define IDC_SELFTIMER           1002
#define IDC_CAPTUREAUDIO        1018
#define IDC_ENABLETIMELIMIT     1019
#define IDC_USEOVERLAY          1020

/* Controls of the driver list dialog: one button per driver index 0..9 */
#define IDC_DRIVER_FIRST        1007
#define IDC_DRIVER_LAST         1016

/* Commands (40001..40029), sent by the menu and the toolbar */
#define IDM_EXIT                40001
#define IDM_ABOUT               40002
#define IDM_VIDEOSOURCE         40003
#define IDM_VIDEOFORMAT         40004
#define IDM_NEW                 40017
#define IDM_OPTION              40019
#define IDM_COPY                40020
#define IDM_STILLMANUAL         40021
#define IDM_VIDEOSTREAM         40022
#define IDM_SELECTCAMERA        40024
#define IDM_VIDEOCOMPRESSOR     40025
#define IDM_DISPLAYOPTION       40026
#define IDM_AUDIOFORMAT         40027
#define IDM_SAVEAS              40028
#define IDM_STILLAUTO           40029

/* Strings (1..43) */
#define IDS_CAPTION             1     /* "Capture Application" */
#define IDS_PRODUCTS            2
#define IDS_HELP_FILE           23
#define IDS_HELP_EDIT           24
#define IDS_HELP_SETTING        25
#define IDS_HELP_EXIT           26
#define IDS_HELP_VIDEOFORMAT    27
#define IDS_HELP_VIDEOSOURCE    28
#define IDS_HELP_ABOUT          29
#define IDS_HELP_STILLAUTO      30
#define IDS_HELP_COPY           31
#define IDS_HELP_NEW            32
#define IDS_HELP_SAVEAS         33
#define IDS_HELP_STILLMANUAL    34
#define IDS_HELP_VIDEOSTREAM    35
#define IDS_HELP_CAPTURE        36
#define IDS_HELP_HELP           37
#define IDS_HELP_AUDIOFORMAT    38
#define IDS_HELP_DISPLAYOPTION  39
#define IDS_HELP_SELECTCAMERA   40
#define IDS_HELP_COMPRESSOR     41
#define IDS_HELP_OPTION         42
#define IDS_HELP_PLAYBACK       43

#endif /* MORVA_RESOURCE_H */
