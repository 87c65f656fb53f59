// Resource identifiers of the capture service's own dialogs, shared by
// avicap32.rc and the dialog code.
#ifndef MORVA_AVICAP32_RESOURCE_H
#define MORVA_AVICAP32_RESOURCE_H

// Dialogs
#define IDD_CAP_FORMAT 201
#define IDD_CAP_SOURCE 202
#define IDD_CAP_DISPLAY 203

// Format dialog controls
#define IDC_FMT_SIZE 2101
#define IDC_FMT_DEPTH 2102

// Source dialog controls
#define IDC_SRC_PATTERN 2201
#define IDC_SRC_BRIGHTNESS 2202
#define IDC_SRC_CONTRAST 2203
#define IDC_SRC_STAMP 2204

// Display dialog controls
#define IDC_DSP_KEEPASPECT 2301
#define IDC_DSP_DARK 2302

#endif
